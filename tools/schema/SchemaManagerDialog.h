// The "Schema Manager" window: every object class and attribute type of the
// server's schema by name, the details of one, and the two dialogs that add
// to the schema. Modeless: the view state keeps the model while the window
// is open, and the Schema Manager command shows it again.
//
// A lost connection ends the window and logs the main view out; the model
// does it itself, as no command waits for it to end.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <string>

struct AppContext;

class SchemaManagerDialog final : public DialogModel {
public:
    explicit SchemaManagerDialog(AppContext& context);

    static constexpr const char* kResource = "Schema Manager";
    std::string resourceName() const override { return kResource; }

    // Reads the whole schema afresh into the schema lists and the two list
    // boxes, and selects the first class. Without any schema entry the
    // window ends after "Unable to access schema".
    void read();

    // Sorted names. Choosing in one list clears the other's selection.
    const ChoiceList& classes() const { return classes_; }
    const ChoiceList& attributes() const { return attributes_; }
    void chooseClass(int index);
    void chooseAttribute(int index);

    // "Class &Details" and "Attribute Detai&ls": the class or attribute
    // chosen last.
    void classDetails();
    void attributeDetails();
    // "Add &New Class" and "Add New A&ttribute": only for a logged-in user;
    // after an addition (and after Add New Class whatever its end, as it
    // reads the schema lists itself) the schema is read again.
    void addNewClass();
    void addNewAttribute();

    // "&Close", and the window's close button: the schema lists go too.
    void close();
    void cancel() override { close(); }

private:
    // After a dialog of its own: ends the window and logs out when that
    // dialog lost the connection.
    bool connectionLost();
    bool mayModify();

    AppContext& context_;
    ChoiceList classes_;
    ChoiceList attributes_;
};

// The Schema Manager command: the window, made on first use and shown
// again while it is open.
void SchemaManagerCommand(AppContext& context);
