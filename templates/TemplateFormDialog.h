// "Template View For <file>": the form a template describes, drawn by the
// program itself. Its buttons post what a browser posts for the HTML form
// that Stylesheet.xsl makes of the same template, and the post is handled
// as a browser's would be: decoded, then the entry created, the template
// editor asked for, or the form closed.
#pragma once

#include "browser/DialogModel.h"
#include "templates/XmlTemplate.h"

#include <string>
#include <string_view>
#include <vector>

struct AppContext;

enum class InputKind { TextBox, Password, TextArea };

struct FormControl {
    std::string name; // the field's Name, blanks collapsed
    std::string label; // its DisplayName, or the name when that is blank
    InputKind kind = InputKind::TextBox;
    std::string value; // starts as the DefaultValue
    int size = 0; // characters wide; 0: the widget's own width
    int maxLength = 0; // 0: no limit; never for a text area
    std::string color; // of the text, as a CSS colour; empty: the default
};

class TemplateFormDialog final : public DialogModel {
public:
    // labelText receives the RDN of an entry created through the form.
    TemplateFormDialog(AppContext& context, std::string fileName, XmlTemplate form, std::string& labelText);

    static constexpr const char* kResource = "Template View";
    std::string resourceName() const override { return kResource; }
    std::string windowTitle() const override { return "Template View For " + fileName_; }

    const std::vector<FormControl>& controls() const { return controls_; }
    // A line of a text box or password box loses its line breaks, as a
    // browser's would.
    void setValue(int control, std::string text);

    // The three buttons: submit=ok, submit=modify, submit=cancel.
    void create() { receive(posted("ok")); }
    void modify() { receive(posted("modify")); }
    void cancelForm() { receive(posted("cancel")); }

    // What the form posts with the submit button of that value.
    std::string posted(const std::string& submit) const;
    // Handles a post: Create adds the entry (a refusal or a failed rule
    // leaves the form open with what was typed); Modify ends the form,
    // cancelled, with modifyRequested(); anything else ends it with OK.
    void receive(std::string_view posted);
    bool modifyRequested() const { return modifyRequested_; }

private:
    AppContext& context_;
    std::string fileName_;
    XmlTemplate form_;
    std::string& labelText_;
    std::vector<FormControl> controls_;
    bool modifyRequested_ = false;
};
