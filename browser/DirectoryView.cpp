#include "DirectoryView.h"

#include "AppContext.h"

void loadDirectoryTree(AppContext&) {}

void clearDirectoryView(AppContext&) {}
