// The "Set Entries to View" dialog: the tree's page size, a whole number
// from 1 up. Every valid change of the field is in force at once, even if
// the dialog is then cancelled; OK also stores it as the registry value
// "entries", or says what the field must hold and keeps the dialog open.
#pragma once

#include "browser/DialogModel.h"

#include <string>

class Desktop;
class Registry;
struct ViewState;

class SetEntriesDialog : public DialogModel {
public:
    SetEntriesDialog(Desktop& desktop, ViewState& state, const Registry& registry);

    static constexpr const char* kResource = "Set Entries to View";
    std::string resourceName() const override { return kResource; }

    const std::string& entries() const { return text_; }
    // Text that is not a whole number from 1 up leaves the page size as it was.
    void setEntries(std::string text);
    // Closes even when the value cannot be stored.
    void ok();

private:
    Desktop& desktop_;
    ViewState& state_;
    const Registry& registry_;
    std::string text_;
};
