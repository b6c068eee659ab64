// Changing the entry shown in the attribute list: in-place editing of a
// value (a replace, or a rename when it is the naming value), adding and
// deleting one attribute value, and the Root DSE dialog.
#pragma once

#include <optional>
#include <string>

struct AppContext;

// How an in-place edit was asked for: F2 or a double-click in the list are
// refused without write access; the Edit Attribute command needs a selected row.
enum class EditTrigger { ListKey, DoubleClick, Command };

// Whether the selected row's value may be edited now; shows the refusal
// when not. The shell then opens its editor with BeginValueEdit's text.
bool CanStartValueEdit(AppContext& context, EditTrigger trigger);
// Remembers the row and returns the text the editor starts with.
std::string BeginValueEdit(AppContext& context, int row);
// The editor closed: the edited text, or nothing when the edit was cancelled.
void EndValueEdit(AppContext& context, const std::optional<std::string>& text);
// Sends the edit held in the editing state (a replace, or a modify-RDN).
void ApplyValueEdit(AppContext& context);

void AddAttributeCommand(AppContext& context);
void DeleteAttributeCommand(AppContext& context);
void RootDseProperties(AppContext& context);
