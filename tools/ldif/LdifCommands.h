// Export LDIF File and Import LDIF File.
//
// The export writes the selected entry's subtree as the search delivers it,
// batch by batch, into a new file beside the target, and renames that over
// the target only once the search has ended with success: a failed or
// cancelled export leaves an existing file as it was.
//
// The import reads its file record by record, adds each entry, counts the
// entries copied and rejected, logs rejections in the LDIF log and ends with
// its summary.
#pragma once

#include <string>

struct AppContext;
class ImportLdifDialog;

void ExportLdifCommand(AppContext& context);
void ImportLdifCommand(AppContext& context);

// The export itself, after its dialog: base and file as given.
void ExportLdif(AppContext& context, const std::string& baseDn, const std::string& fileName);

// The import the dialog's OK runs; false when it did not start (the file
// could not be opened), so the dialog stays.
bool ImportLdif(AppContext& context, ImportLdifDialog& dialog, const std::string& fileName);
