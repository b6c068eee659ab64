// "Add New Attribute": an attribute type defined from a name, an OID, one
// of six syntaxes and a description, added to the server's subschema entry.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <string>

struct AppContext;

class AddAttributeTypeDialog final : public DialogModel {
public:
    explicit AddAttributeTypeDialog(AppContext& context);

    static constexpr const char* kResource = "Add New Attribute";
    std::string resourceName() const override { return kResource; }

    const TextField& name() const { return name_; }
    void setName(std::string text);
    const TextField& oid() const { return oid_; }
    void setOid(std::string text);
    // Six fixed choices, the first chosen at the start: never none.
    const ChoiceList& syntax() const { return syntax_; }
    void chooseSyntax(int index);
    const TextField& description() const { return description_; }
    void setDescription(std::string text);

    // The definition OK sends; an empty OID becomes the name and "-oid".
    std::string definition() const;
    // Adds the type to cn=Schema. Ends the dialog on success and on a lost
    // connection; a refusal is shown and the dialog stays.
    void ok();

private:
    AppContext& context_;
    TextField name_;
    TextField oid_;
    ChoiceList syntax_;
    TextField description_;
};
