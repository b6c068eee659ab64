// The template dialogs: "Save XML Template" asks a name, the two pickers
// list the templates, and "Modify XML Template" edits one.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <optional>
#include <string>

struct AppContext;

// "Save XML Template" ("File Name :"). Ends with OK once a name is given
// that is new or may be rewritten; fileName() is then the file's name.
class SaveTemplateDialog final : public DialogModel {
public:
    explicit SaveTemplateDialog(Desktop& desktop);

    static constexpr const char* kResource = "Save XML Template";
    std::string resourceName() const override { return kResource; }

    const TextField& name() const { return name_; }
    void setName(std::string text);
    void ok();

    std::string fileName() const;

private:
    Desktop& desktop_;
    TextField name_;
};

// "Modify XML Template" (Modify, Cancel) and "Create Object Using XML
// Templates" (OK, Cancel): the templates of the working folder.
class TemplatePickerDialog final : public DialogModel {
public:
    enum class Purpose { Modify, Create };
    TemplatePickerDialog(AppContext& context, Purpose purpose, std::string& labelText);

    static constexpr const char* kModifyResource = "Modify XML Template";
    static constexpr const char* kCreateResource = "Create Object Using XML Templates";
    std::string resourceName() const override
    {
        return purpose_ == Purpose::Modify ? kModifyResource : kCreateResource;
    }
    Purpose purpose() const { return purpose_; }

    // Lists the templates (an empty folder says so).
    void open();
    const ChoiceList& templates() const { return templates_; }
    void choose(int index);
    // Modify: the editor on the chosen template, then the picker ends.
    // Create: the form of the chosen template; the picker ends when the
    // form ends by a post other than Modify, which opens the editor
    // instead. A form closed by its window stays a choice away.
    void ok();

private:
    void edit(const std::string& fileName);

    AppContext& context_;
    Purpose purpose_;
    std::string& labelText_;
    ChoiceList templates_;
};

// "Modify XML Template": the template's text, with Save, Save As, Preview
// and Close. The window's title is the file's name.
class TemplateEditorDialog final : public DialogModel {
public:
    TemplateEditorDialog(AppContext& context, std::string fileName, std::string& labelText);

    static constexpr const char* kResource = "XML Template Editor";
    std::string resourceName() const override { return kResource; }
    std::string windowTitle() const override { return fileName_; }

    // Reads the file; ends the dialog after saying so when it cannot.
    void open();
    const TextField& text() const { return text_; }
    void setText(std::string text);

    // Each checks the text as a template first (carriage returns removed)
    // and writes nothing when it does not load.
    void save();
    void saveAs();
    // The form the text describes, through XmlTemp.xml, which is removed
    // again; the editor stays open with its text.
    void preview();

private:
    std::optional<std::string> checkedText();

    AppContext& context_;
    std::string fileName_;
    std::string& labelText_;
    TextField text_;
};
