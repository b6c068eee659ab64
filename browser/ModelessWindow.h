// The commands that open a modeless window (Schema Manager, LDAP Search):
// the window's model lives in a slot of the view state, so that it outlives
// the command, until it ends and the next command makes a new one.
#pragma once

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/DialogModel.h"

#include <memory>

// Shows the open window again; else makes a new one, lets it read what it
// shows, and shows it unless it ended while reading.
template <class Window> void OpenModelessWindow(AppContext& context, std::unique_ptr<DialogModel>& slot)
{
    if (slot && !slot->ended()) {
        context.desktop.showModeless(*slot);
        return;
    }
    auto made = std::make_unique<Window>(context);
    Window& window = *made;
    slot = std::move(made);
    window.read();
    if (!window.ended())
        context.desktop.showModeless(window);
}
