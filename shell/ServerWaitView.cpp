#include "shell/ServerWaitView.h"

#include "browser/Desktop.h"
#include "ldap/OrnWait.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QWindow>

#include <utility>

int ServerWaitView::running_ = 0;
std::vector<std::pair<QPointer<QObject>, std::function<void()>>> ServerWaitView::heldBack_;

ServerWaitView::ServerWaitView() = default;

ServerWaitView::~ServerWaitView()
{
    end();
}

bool ServerWaitView::goOn(const std::string& what, int waitedMs, QWidget* parent)
{
    if (!waiting_) {
        waiting_ = true;
        ++running_;
        cancelled_ = false;
        qApp->installEventFilter(this);
    }
    const QString label = QString::fromStdString(what);
    if (!dialog_ && waitedMs >= kShowAfterMs) {
        dialog_ = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 0, parent);
        dialog_->setObjectName(QStringLiteral("serverWait"));
        dialog_->setWindowTitle(QString::fromLatin1(kAppTitle));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        connect(dialog_.get(), &QProgressDialog::canceled, this, [this] { cancelled_ = true; });
        dialog_->show();
        // Escape cancels only where the keys go.
        dialog_->activateWindow();
    } else if (dialog_ && dialog_->labelText() != label) {
        dialog_->setLabelText(label);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, kWaitSliceMs);
    return !cancelled_;
}

void ServerWaitView::end()
{
    if (!waiting_)
        return;
    waiting_ = false;
    qApp->removeEventFilter(this);
    dialog_.reset();
    if (--running_ > 0)
        return;
    for (auto& [owner, operation] : std::exchange(heldBack_, {}))
        if (owner)
            whenIdle(owner, std::move(operation));
}

void ServerWaitView::whenIdle(QObject* owner, std::function<void()> operation)
{
    QMetaObject::invokeMethod(
        owner,
        [owner, operation = std::move(operation)]() mutable {
            if (running_ > 0)
                heldBack_.emplace_back(owner, std::move(operation));
            else
                operation();
        },
        Qt::QueuedConnection);
}

bool ServerWaitView::onDialog(QObject* target) const
{
    if (!dialog_)
        return false;
    if (auto* widget = qobject_cast<QWidget*>(target))
        return widget == dialog_.get() || dialog_->isAncestorOf(widget);
    return target == dialog_->windowHandle();
}

bool ServerWaitView::eventFilter(QObject* target, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Drop:
    // A window closed now would take the command that waits with it.
    case QEvent::Close:
        return !onDialog(target);
    default:
        return false;
    }
}
