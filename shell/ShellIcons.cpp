#include "shell/ShellIcons.h"

#include <QString>

// The resources live in a static library: nothing would pull them into the
// program unless they are initialised by name, outside any namespace.
static bool initialiseResources()
{
    Q_INIT_RESOURCE(resources);
    return true;
}

QIcon ShellIcon(const char* name)
{
    static const bool initialised = initialiseResources();
    (void)initialised;
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}
