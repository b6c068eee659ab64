// The program's images, compiled into it from shell/icons.
#pragma once

#include <QIcon>

// name: the file name without ".svg", such as "toolbar-login" or "tree-leaf".
QIcon ShellIcon(const char* name);
