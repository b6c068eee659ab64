// The "Create Object" dialog: the server's object classes, sorted, and the
// Create button that asks for the chosen class's mandatory attributes in
// the Mandatory Attributes dialog. On an Active Directory server (its
// subschema DN names the Aggregate entry) it offers five fixed classes with
// fixed attributes instead of reading the schema. The dialog always ends
// as cancelled; a label text left behind means an entry was created.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <string>
#include <vector>

struct AppContext;

class CreateObjectDialog final : public DialogModel {
public:
    // The new entry goes below parentDn; labelText receives its RDN.
    CreateObjectDialog(AppContext& context, std::string parentDn, std::string& labelText);

    static constexpr const char* kResource = "Create Object";
    std::string resourceName() const override { return kResource; }

    // Run once before the dialog is shown: fills the class list and chooses
    // its first class. A lost connection or a schema without entry ends it.
    void open();

    const ChoiceList& classes() const { return classes_; }
    void chooseClass(int index);
    bool activeDirectory() const { return activeDirectory_; }

    // "&Create": runs the Mandatory Attributes dialog for the chosen class,
    // then ends.
    void create();
    void cancel() override;

private:
    void createInActiveDirectory();
    void askForAttributes(const std::vector<std::string>& names);

    AppContext& context_;
    std::string parentDn_;
    std::string& labelText_;
    ChoiceList classes_;
    bool activeDirectory_ = false;
};
