// "Add New Object Class": a class defined from an OID, a name, a parent
// class and the attributes it must and may hold, added to the server's
// subschema entry. The dialog reads the schema itself, to offer every class
// as a parent and every attribute type.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <cstdint>
#include <string>

struct AppContext;

class AddObjectClassDialog final : public DialogModel {
public:
    explicit AddObjectClassDialog(AppContext& context);

    static constexpr const char* kResource = "Add New Object Class";
    std::string resourceName() const override { return kResource; }

    // Run once before the dialog is shown: reads the schema into the lists.
    // A refusal leaves them empty; a lost connection ends the dialog.
    void open();

    const TextField& oid() const { return oid_; }
    void setOid(std::string text);
    const TextField& name() const { return name_; }
    void setName(std::string text);

    // The class names, sorted; "top" until another is chosen. Choosing one
    // refills the mandatory and optional lists from that class alone.
    const ChoiceList& parent() const { return parent_; }
    void chooseParent(int index);

    // The attribute types not yet chosen, sorted, and the chosen ones in the
    // order they were chosen.
    const ChoiceList& available() const { return available_; }
    const ChoiceList& mandatory() const { return mandatory_; }
    const ChoiceList& optional() const { return optional_; }
    void chooseAvailable(int index);
    void chooseMandatory(int index);
    void chooseOptional(int index);
    // The "->>" and "<<-" buttons: each moves the selected name, if any.
    void addMandatory();
    void addOptional();
    void removeMandatory();
    void removeOptional();

    // The definition OK sends.
    std::string definition() const;
    // Adds the class to cn=Schema. Ends the dialog on success and on a lost
    // connection; a refusal is shown and the dialog stays.
    void ok();

private:
    // Puts the names of the result's classes and attribute types into the
    // schema lists and the dialog's lists.
    void walk();

    AppContext& context_;
    TextField oid_;
    TextField name_;
    ChoiceList parent_;
    ChoiceList available_;
    ChoiceList mandatory_;
    ChoiceList optional_;
};
