#include "templates/TemplateDialogs.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/Trimmed.h"
#include "templates/TemplateFiles.h"
#include "templates/TemplateFormDialog.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr const char* kPreviewFile = "XmlTemp.xml";

std::string withoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

} // namespace

SaveTemplateDialog::SaveTemplateDialog(Desktop& desktop)
    : desktop_(desktop)
{
}

void SaveTemplateDialog::setName(std::string text)
{
    name_.text = std::move(text);
    changed();
}

std::string SaveTemplateDialog::fileName() const
{
    return Trimmed(name_.text) + ".xml";
}

void SaveTemplateDialog::ok()
{
    if (Trimmed(name_.text).empty()) {
        desktop_.error("Please enter the file name", "Error");
        return;
    }
    std::error_code ignored;
    if (std::filesystem::exists(fileName(), ignored)
        && desktop_.messageBox({ "File with same name already exist. Do you want to rewrite the file", "Error",
               MessageIcon::Question, MessageButtons::YesNo })
            != MessageAnswer::Yes)
        return;
    end(DialogResult::Ok);
}

TemplatePickerDialog::TemplatePickerDialog(AppContext& context, Purpose purpose, std::string& labelText)
    : context_(context)
    , purpose_(purpose)
    , labelText_(labelText)
{
}

void TemplatePickerDialog::open()
{
    templates_.fill(ListTemplates(context_.desktop));
    changed();
}

void TemplatePickerDialog::choose(int index)
{
    templates_.choose(index);
    changed();
}

void TemplatePickerDialog::ok()
{
    if (templates_.selected < 0) {
        context_.desktop.error(purpose_ == Purpose::Modify ? "No Template selected for Modification"
                                                           : "No File selected for Object Creation",
            "Error");
        return;
    }
    const std::string fileName = templates_.text + ".xml";
    if (purpose_ == Purpose::Create) {
        std::optional<XmlTemplate> form = LoadTemplate(context_.desktop, fileName);
        if (!form)
            return;
        TemplateFormDialog view(context_, fileName, std::move(*form), labelText_);
        context_.desktop.runModal(view);
        if (view.modifyRequested())
            edit(fileName);
        else if (view.result() == DialogResult::Ok)
            end(DialogResult::Ok);
        return;
    }
    edit(fileName);
    end(DialogResult::Ok);
}

void TemplatePickerDialog::edit(const std::string& fileName)
{
    TemplateEditorDialog editor(context_, fileName, labelText_);
    editor.open();
    if (!editor.ended())
        context_.desktop.runModal(editor);
}

TemplateEditorDialog::TemplateEditorDialog(AppContext& context, std::string fileName, std::string& labelText)
    : context_(context)
    , fileName_(std::move(fileName))
    , labelText_(labelText)
{
}

void TemplateEditorDialog::open()
{
    std::ifstream in(fileName_, std::ios::binary);
    if (!in) {
        context_.desktop.error("Unable to open file", "Error");
        end(DialogResult::Cancel);
        return;
    }
    text_.text = withoutCarriageReturns({ std::istreambuf_iterator<char>(in), {} });
    changed();
}

void TemplateEditorDialog::setText(std::string text)
{
    text_.text = std::move(text);
    changed();
}

std::optional<std::string> TemplateEditorDialog::checkedText()
{
    std::string text = withoutCarriageReturns(text_.text);
    if (!LoadTemplate(context_.desktop, fileName_, &text))
        return std::nullopt;
    return text;
}

void TemplateEditorDialog::save()
{
    std::optional<std::string> text = checkedText();
    if (!text)
        return;
    if (!WriteTemplateFile(fileName_, *text)) {
        context_.desktop.error("Unable to write in the file", "Error");
        return;
    }
    context_.desktop.inform("Template is saved successfully", "Information", MessageIcon::Information);
}

void TemplateEditorDialog::saveAs()
{
    std::optional<std::string> text = checkedText();
    if (!text)
        return;
    SaveTemplateDialog name(context_.desktop);
    if (context_.desktop.runModal(name) != DialogResult::Ok)
        return;
    if (!WriteTemplateFile(name.fileName(), *text)) {
        context_.desktop.error("cannot open file for saving", "Error");
        return;
    }
    // Editing goes on in the file just written, as in any editor.
    fileName_ = name.fileName();
    changed();
}

void TemplateEditorDialog::preview()
{
    if (!WriteTemplateFile(kPreviewFile, text_.text)) {
        context_.desktop.error("Cannot open file to write XML", "Error");
        return;
    }
    if (std::optional<XmlTemplate> form = LoadTemplate(context_.desktop, kPreviewFile)) {
        TemplateFormDialog view(context_, kPreviewFile, std::move(*form), labelText_);
        context_.desktop.runModal(view);
    }
    std::error_code ignored;
    std::filesystem::remove(kPreviewFile, ignored);
}
