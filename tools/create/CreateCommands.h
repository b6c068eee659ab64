// The three commands that create an entry below the selected tree node:
// Create Object (through a template's form while Xml Rendering is on), User
// and Organisation Unit. Each runs its dialog, then either shows the new
// entry under the selected node or, when the connection was lost
// meanwhile, logs out.
#pragma once

#include <string>

struct AppContext;
struct TreeNode;

// After a creation dialog: the logout of a lost connection, or the new
// entry (labelText, when one was made) under parent after pauseMs.
void FinishCreation(AppContext& context, TreeNode& parent, std::string& labelText, int pauseMs);

void CreateObjectCommand(AppContext& context);
void AddUserCommand(AppContext& context);
void AddOrgUnitCommand(AppContext& context);
