// The "Add Organisation Unit" dialog: an organizational unit below the
// selected node, named by the name typed.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <string>

struct AppContext;

class AddOrgUnitDialog final : public DialogModel {
public:
    // The entry goes below parentDn; labelText receives its RDN.
    AddOrgUnitDialog(AppContext& context, std::string parentDn, std::string& labelText);

    static constexpr const char* kResource = "Add Organisation Unit";
    std::string resourceName() const override { return kResource; }

    const TextField& name() const { return name_; }
    void setName(std::string text);

    // Refuses an empty name (blanks count as a name: the server judges
    // them). Ends as Add User does.
    void ok();

private:
    AppContext& context_;
    std::string parentDn_;
    std::string& labelText_;
    TextField name_;
};
