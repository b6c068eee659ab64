// The three commands that create an entry below the selected tree node:
// Create Object, User and Organisation Unit. Each runs its dialog, then
// either shows the new entry under the selected node or, when the
// connection was lost meanwhile, logs out.
#pragma once

struct AppContext;

void CreateObjectCommand(AppContext& context);
void AddUserCommand(AppContext& context);
void AddOrgUnitCommand(AppContext& context);
