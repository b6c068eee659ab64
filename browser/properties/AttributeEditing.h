// Changing the entry shown in the attribute list: in-place editing of a
// value (a replace, or a rename when it is the naming value), adding and
// deleting one attribute value.
#pragma once

#include <optional>
#include <string>

class AttributeList;
struct AppContext;
struct EditingState;
struct ViewState;

// A list of one entry's values that can be edited in place, with its own
// editing state: the search window keeps one beside the main view's. Its
// entry's DN is the editing state's dnToShow (keepDn), so the tree, which
// has no node for it, renames nothing: a changed naming value goes to the
// server as a modify, which it refuses.
struct EditedList {
    AttributeList& rows;
    EditingState& editing;
};

// How an in-place edit was asked for: F2 or a double-click in the list are
// refused without write access; the Edit Attribute command needs a selected row.
enum class EditTrigger { ListKey, DoubleClick, Command };

// Whether the selected row's value may be edited now; shows the refusal
// when not. The shell then opens its editor with BeginValueEdit's text.
// Each of these works on the main view's list unless given another.
bool CanStartValueEdit(AppContext& context, EditTrigger trigger, const EditedList* list = nullptr);
// Remembers the row and returns the text the editor starts with.
std::string BeginValueEdit(AppContext& context, int row, const EditedList* list = nullptr);
// The editor closed: the edited text, or nothing when the edit was cancelled.
void EndValueEdit(AppContext& context, const std::optional<std::string>& text, const EditedList* list = nullptr);
// Sends the edit held in the editing state: a rename for a new naming value,
// else one modify (a cleared value is deleted; a value of an attribute the
// list shows several values of is deleted and the new one added; otherwise
// the attribute's value is replaced).
void ApplyValueEdit(AppContext& context, const EditedList* list = nullptr);

// The DN of the entry the attribute list shows: the selection's, or the
// entry an object link points to while the link's target is shown. Every
// change made from a list goes to the DN its editing state shows.
const std::string& ShownEntryDn(const ViewState& state, const EditingState& editing);

// Without write access or a selected node refuses; otherwise runs the "Add
// Attribute to Object" dialog and shows the entry again after an addition.
void AddAttributeCommand(AppContext& context);
// Deletes the selected row's value from the entry, after asking.
void DeleteAttributeCommand(AppContext& context);
