// The "Add Attribute to Object" dialog: one value of an attribute that the
// object classes of the shown entry allow, added to that entry. The list
// offers the MUST and MAY names of the entry's classes and of all their
// superior classes, because the server returns only the classes stored on
// the entry (inetOrgPerson, not person or top).
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <cstdint>
#include <string>

struct AppContext;

class AddAttributeDialog final : public DialogModel {
public:
    explicit AddAttributeDialog(AppContext& context);

    static constexpr const char* kResource = "Add Attribute to Object";
    std::string resourceName() const override { return kResource; }

    // Run once before the dialog is shown: reads the entry's classes and the
    // schema's object classes and fills the attribute list. A lost
    // connection ends the dialog.
    void open();

    // Sorted, each name once.
    const ChoiceList& attributes() const { return attributes_; }
    void chooseAttribute(int index);
    // Read-only: the chosen attribute's syntax as the schema gives it.
    const std::string& syntax() const { return syntax_; }
    const TextField& value() const { return value_; }
    void setValue(std::string text);

    // OK is enabled once an attribute has been chosen.
    bool okEnabled() const { return attributes_.selected >= 0; }
    // Adds the value (an empty field sends an empty value, which the server
    // judges). Ends the dialog on success and on a lost connection; a
    // refusal is shown and the dialog stays.
    void ok();

private:
    // False after a failure, which has been reported.
    bool succeeded(int32_t code);

    AppContext& context_;
    ChoiceList attributes_;
    std::string syntax_;
    TextField value_;
};
