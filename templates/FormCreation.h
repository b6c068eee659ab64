// What a template form's "submit=ok" does: the posted fields checked
// against the template's rules and added as one entry below the selected
// node.
#pragma once

#include "browser/DialogModel.h"
#include "templates/FormPost.h"
#include "templates/XmlTemplate.h"

#include <string>
#include <vector>

class Desktop;
struct AppContext;

// True when value passes rule ("Number", "alphanumeric", "boolean",
// "charactersonly", "nonnegativenumber", in any case; anything else always
// passes, as does an empty value). A failure is shown, titled "Validation
// Error". Letters and digits are those of any script.
bool ValidateValue(Desktop& desktop, const std::string& value, const std::string& rule);

// Adds the entry the fields make below the selected node: one attribute
// per field (the values of a name that repeats join its first), a field
// left empty sent with none, then the template's classes; named by uid,
// else cn, else the first field. labelText receives the new RDN.
// Ok: added. Cancel: the connection is gone. None: nothing added, the
// reason shown, so the form stays open with what was typed.
DialogResult CreateFromForm(
    AppContext& context, const XmlTemplate& form, const std::vector<FormPair>& fields, std::string& labelText);
