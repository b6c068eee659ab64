// The View General Log, View LDIF Log, Delete General Log and Delete LDIF
// Log commands. Both work in the folder of the last profile-file operation,
// which they make current first, because the logs were written there.
#pragma once

#include "browser/logs/ErrorLog.h"

struct AppContext;

void ViewLog(AppContext& context, LogMode log);
void DeleteLog(AppContext& context, LogMode log);
