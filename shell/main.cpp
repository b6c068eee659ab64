// Velmora LDAP Browser: starts the main window, not connected, and waits for
// the user's Login command.
#include "shell/CMainFrame.h"
#include "shell/ExitingNotice.h"

#include <QApplication>
#include <QScreen>

#include <memory>

int main(int argc, char* argv[])
{
    // Qt takes its own switches from the command line; the program has none.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora LDAP Browser"));
    QApplication::setOrganizationName(QStringLiteral("Velmora Inc"));

    auto frame = std::make_unique<CMainFrame>();
    // Without a window manager there is nobody to maximise the window: it
    // takes the screen itself.
    frame->resize(frame->screen()->availableSize());
    frame->showMaximized();
    int status = QApplication::exec();
    frame.reset();
    ShowExitingNotice();
    return status;
}
