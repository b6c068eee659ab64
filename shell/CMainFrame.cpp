#include "shell/CMainFrame.h"

#include "shell/COrnBrowserView.h"
#include "shell/CommandActions.h"
#include "shell/QtDesktop.h"
#include "shell/ShellIcons.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

CMainFrame::CMainFrame()
    : statusPane_(new QLabel(QString::fromLatin1(kAppTitle)))
    , progress_(new QProgressBar)
    , desktop_(std::make_unique<QtDesktop>(*this, *statusPane_, *progress_))
    , view_(new COrnBrowserView(*desktop_, this))
    , commands_(new CommandActions(view_->context(), *this))
    , toolBar_(new QToolBar(this))
{
    setObjectName("mainFrame");
    setWindowTitle(QString::fromLatin1(kStartTitle));
    setWindowIcon(ShellIcon("velmora"));
    setCentralWidget(view_);

    commands_->fillMenuBar(*menuBar());
    toolBar_->setObjectName("toolBar");
    toolBar_->setWindowTitle(tr("Toolbar"));
    toolBar_->setIconSize(QSize(20, 20));
    commands_->fillToolBar(*toolBar_);
    for (QAction* action : toolBar_->actions())
        if (!action->isSeparator())
            toolBar_->widgetForAction(action)->setFixedSize(27, 27);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    buildStatusBar();

    connect(commands_, &CommandActions::shellCommand, this, &CMainFrame::carryOut);
    connect(commands_, &CommandActions::outcome, this, &CMainFrame::followOutcome);
    connect(view_, &COrnBrowserView::stateChanged, commands_, &CommandActions::refresh);
    connect(view_, &COrnBrowserView::commandRequested, commands_, &CommandActions::trigger);
    connect(view_, &COrnBrowserView::resized, this, &CMainFrame::placeProgress);
    connect(view_, &COrnBrowserView::treeMenuRequested, this,
        [this](const QPoint& at) { commands_->contextMenu(TreeContextMenu(), this)->popup(at); });
    connect(view_, &COrnBrowserView::attributeMenuRequested, this, [this](const QPoint& at) {
        if (AttributeContextMenuAvailable(view_->context().state))
            commands_->contextMenu(AttributeContextMenu(), this)->popup(at);
    });
    connect(toolBar_, &QToolBar::visibilityChanged, commands_->action(CommandId::Toolbar), &QAction::setChecked);
    commands_->action(CommandId::Toolbar)->setChecked(true);
    commands_->action(CommandId::StatusBar)->setChecked(true);
}

CMainFrame::~CMainFrame()
{
    // The view's core operations reach the desktop until the view is gone;
    // the modeless windows' models go with the view.
    desktop_->closeModeless();
    delete view_;
}

void CMainFrame::buildStatusBar()
{
    statusPane_->setObjectName("statusPane");
    statusBar()->addWidget(statusPane_, 1);
    // Placed by hand, over the panes, as the view's size dictates.
    progress_->setParent(statusBar());
    progress_->setObjectName("progress");
    progress_->setTextVisible(false);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setGeometry(600, 2, 100, 18);
}

void CMainFrame::placeProgress(const QSize& viewSize)
{
    const int cx = viewSize.width();
    progress_->setGeometry(cx / 2 + 50, 0, cx / 2 - 170, std::min(25, statusBar()->height()));
    progress_->raise();
}

void CMainFrame::carryOut(CommandId id)
{
    switch (id) {
    case CommandId::Toolbar:
        toolBar_->setHidden(!toolBar_->isHidden());
        commands_->action(CommandId::Toolbar)->setChecked(!toolBar_->isHidden());
        break;
    case CommandId::StatusBar:
        statusBar()->setHidden(!statusBar()->isHidden());
        commands_->action(CommandId::StatusBar)->setChecked(!statusBar()->isHidden());
        break;
    case CommandId::Exit:
        close();
        break;
    case CommandId::About:
        QMessageBox::about(this, tr("About Velmora LDAP Browser"), QString::fromLatin1(kAboutText));
        break;
    default:
        break;
    }
}

void CMainFrame::followOutcome(CommandOutcome outcome)
{
    if (outcome == CommandOutcome::CloseWindow)
        close();
    else if (outcome == CommandOutcome::EditValue)
        view_->attributes().editSelectedValue();
}
