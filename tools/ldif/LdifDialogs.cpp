#include "tools/ldif/LdifDialogs.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/Trimmed.h"
#include "tools/ldif/LdifCommands.h"

namespace {

constexpr const char* kNoFileName = "Please specify the file name";

} // namespace

FileDialogRequest LdifFileRequest(std::string fileName)
{
    return { { { "Ldif File(.Ldif)", "*.Ldif" }, { "All Files (*.*)", "*.*" } }, std::move(fileName) };
}

ExportLdifDialog::ExportLdifDialog(Desktop& desktop, std::string& fileName)
    : desktop_(desktop)
    , stored_(fileName)
{
}

void ExportLdifDialog::setFileName(std::string text)
{
    fileName_.text = std::move(text);
    changed();
}

void ExportLdifDialog::browse()
{
    std::optional<FileChoice> chosen = desktop_.saveFileName(LdifFileRequest(fileName_.text));
    if (!chosen)
        return;
    if (chosen->filter == 0 && chosen->path.find(".ldif") == std::string::npos)
        chosen->path += ".ldif";
    setFileName(chosen->path);
}

void ExportLdifDialog::ok()
{
    const std::string name = Trimmed(fileName_.text);
    if (name.empty()) {
        desktop_.error(kNoFileName, "Error");
        return;
    }
    stored_ = name;
    end(DialogResult::Ok);
}

ImportLdifDialog::ImportLdifDialog(AppContext& context)
    : context_(context)
{
}

void ImportLdifDialog::setFileName(std::string text)
{
    fileName_.text = std::move(text);
    changed();
}

void ImportLdifDialog::browse()
{
    if (std::optional<FileChoice> chosen = context_.desktop.openFileName(LdifFileRequest(fileName_.text)))
        setFileName(chosen->path);
}

void ImportLdifDialog::showStatus(std::string line)
{
    status_.show(std::move(line));
    changed();
}

void ImportLdifDialog::ok()
{
    const std::string name = Trimmed(fileName_.text);
    if (name.empty()) {
        context_.desktop.error(kNoFileName, "Error");
        return;
    }
    if (ImportLdif(context_, *this, name))
        end(DialogResult::Ok);
}
