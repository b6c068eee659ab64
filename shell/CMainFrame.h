// The main window: menu bar, toolbar and status bar built from the command
// table, the main view in the middle, and the Desktop port through which
// the core reaches all of them.
#pragma once

#include "browser/CommandTable.h"

#include <QMainWindow>

#include <memory>

class COrnBrowserView;
class CommandActions;
class QLabel;
class QProgressBar;
class QtDesktop;

// Seven blanks: the title at start-up (a logout writes six).
inline constexpr const char* kStartTitle = "Velmora LDAP Browser       Not Connected";

class CMainFrame final : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame();
    ~CMainFrame() override;

    QtDesktop& desktop() { return *desktop_; }
    COrnBrowserView& view() { return *view_; }
    CommandActions& commands() { return *commands_; }
    QToolBar& toolBar() { return *toolBar_; }
    QProgressBar& progress() { return *progress_; }
    QLabel& statusPane() { return *statusPane_; }

private:
    void buildStatusBar();
    void carryOut(CommandId id);
    void followOutcome(CommandOutcome outcome);
    void placeProgress(const QSize& viewSize);

    QLabel* statusPane_;
    QProgressBar* progress_;
    std::unique_ptr<QtDesktop> desktop_;
    COrnBrowserView* view_;
    CommandActions* commands_;
    QToolBar* toolBar_;
};
