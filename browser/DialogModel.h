// A dialog as a presentation model: the core class holds the dialog's
// fields, lists, selections, enabled flags and status line, offers one
// operation per button or choice, and knows when it has ended and how. The
// Qt dialog binds widgets to it and forwards events; a test drives it directly.
#pragma once

#include "browser/Desktop.h"

#include <functional>
#include <string>
#include <utility>

class DialogModel {
public:
    virtual ~DialogModel() = default;

    // The dialog's resource name, each model's kResource: the shell picks
    // the widget class by it, and tests find the dialog by it.
    virtual std::string resourceName() const = 0;
    virtual std::string windowTitle() const { return resourceName(); }

    bool ended() const { return result_ != DialogResult::None; }
    DialogResult result() const { return result_; }

    // Called whenever fields, lists or enabled flags change, so a view can redraw.
    void onChanged(std::function<void()> observer) { observer_ = std::move(observer); }

    // Every dialog can be cancelled (Escape, the window's close button).
    virtual void cancel() { end(DialogResult::Cancel); }

    // Tells the view that fields changed. Operations call it themselves; a
    // command that works on the dialog calls it before it blocks, so that the
    // view can show the change first.
    void changed()
    {
        if (observer_)
            observer_();
    }

protected:
    void end(DialogResult result)
    {
        result_ = result;
        changed();
    }

private:
    DialogResult result_ = DialogResult::None;
    std::function<void()> observer_;
};
