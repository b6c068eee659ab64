// The two LDIF dialogs: "Export LDIF File" takes the name of the file to
// write, "Import LDIF File" the name of the file to read and, on OK, runs the
// import itself, showing each entry's first line in its status line.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <string>

struct AppContext;

// The filters of both file dialogs, the first chosen at the start.
FileDialogRequest LdifFileRequest(std::string fileName);

class ExportLdifDialog final : public DialogModel {
public:
    // fileName receives the trimmed name on OK.
    ExportLdifDialog(Desktop& desktop, std::string& fileName);

    static constexpr const char* kResource = "Export LDIF File";
    std::string resourceName() const override { return kResource; }

    const TextField& fileName() const { return fileName_; }
    void setFileName(std::string text);
    // A save dialog that asks before it overwrites; with the LDIF filter
    // chosen, a name without ".ldif" gets it appended.
    void browse();
    // Refuses an empty name and stays; otherwise stores it and ends.
    void ok();

private:
    Desktop& desktop_;
    std::string& stored_;
    TextField fileName_;
};

class ImportLdifDialog final : public DialogModel {
public:
    explicit ImportLdifDialog(AppContext& context);

    static constexpr const char* kResource = "Import LDIF File";
    std::string resourceName() const override { return kResource; }

    const TextField& fileName() const { return fileName_; }
    const StatusLine& status() const { return status_; }
    void setFileName(std::string text);
    void browse();
    // Imports the file. Stays open when there is no name or no such file;
    // ends once the import is over, whatever its outcome.
    void ok();

    // The status line during the import.
    void showStatus(std::string line);

private:
    AppContext& context_;
    TextField fileName_;
    StatusLine status_;
};
