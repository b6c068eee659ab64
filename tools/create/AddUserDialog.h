// The "Add User " dialog: a person below the selected node, named by its
// first name (cn), with its last name as sn.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <string>

struct AppContext;

class AddUserDialog final : public DialogModel {
public:
    // The entry goes below parentDn; labelText receives its RDN.
    AddUserDialog(AppContext& context, std::string parentDn, std::string& labelText);

    static constexpr const char* kResource = "Add User ";
    std::string resourceName() const override { return kResource; }

    const TextField& firstName() const { return firstName_; }
    const TextField& lastName() const { return lastName_; }
    void setFirstName(std::string text);
    void setLastName(std::string text);

    // Refuses an empty first name. Ends with OK once added and as cancelled
    // after a lost connection; a refusal is shown and the dialog stays.
    void ok();

private:
    AppContext& context_;
    std::string parentDn_;
    std::string& labelText_;
    TextField firstName_;
    TextField lastName_;
};
