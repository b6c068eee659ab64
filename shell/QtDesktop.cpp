#include "shell/QtDesktop.h"

#include "browser/DialogModel.h"
#include "shell/dialogs/DialogViews.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest& box, QWidget* parent)
{
    auto message = std::make_unique<QMessageBox>(iconOf(box.icon), QString::fromStdString(box.title),
        QString::fromStdString(box.text), buttonsOf(box.buttons), parent);
    // Texts are shown as written, never read as markup.
    message->setTextFormat(Qt::PlainText);
    if (box.systemModal)
        message->setWindowModality(Qt::ApplicationModal);
    return message;
}

MessageAnswer AnswerOf(int standardButton)
{
    switch (standardButton) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

QtDesktop::QtDesktop(QMainWindow& window, QLabel& statusPane, QProgressBar& progress)
    : window_(window)
    , statusPane_(statusPane)
    , progress_(progress)
{
}

// Boxes and dialogs opened from a dialog belong over it.
QWidget* QtDesktop::topWindow() const
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : &window_;
}

MessageAnswer QtDesktop::messageBox(const MessageBoxRequest& box)
{
    if (messageBoxSeam_)
        return messageBoxSeam_(box);
    std::unique_ptr<QMessageBox> message = BuildMessageBox(box, topWindow());
    return AnswerOf(message->exec());
}

void QtDesktop::setStatusText(const std::string& text)
{
    statusPane_.setText(QString::fromStdString(text));
    // Commands run on the user-interface thread: let the text show before they block.
    statusPane_.repaint();
}

void QtDesktop::setProgressRange(int lower, int upper)
{
    // An empty range would make Qt show a busy bar; nothing to do is an empty bar.
    progress_.setRange(lower, std::max(upper, lower + 1));
    batchPainted_ = false;
}

void QtDesktop::setProgressStep(int step)
{
    progressStep_ = step;
}

void QtDesktop::setProgressPosition(int position)
{
    progress_.setValue(position);
}

void QtDesktop::stepProgress()
{
    const int before = progress_.value();
    progress_.setValue(std::min(before + progressStep_, progress_.maximum()));
    // A batch runs on the user-interface thread: paint each whole percent
    // as it is reached, and no more often.
    const int span = std::max(progress_.maximum() - progress_.minimum(), 1);
    if ((before - progress_.minimum()) * 100 / span == (progress_.value() - progress_.minimum()) * 100 / span)
        return;
    // The batch keeps the user-interface thread, so the window takes no
    // expose events meanwhile: once its first step is done (a box closed just
    // before has gone from the screen by then), the whole window is painted.
    if (!batchPainted_) {
        batchPainted_ = true;
        // Each pane paints itself: mark them all, then paint at once.
        for (QWidget* child : window_.findChildren<QWidget*>())
            if (child->isVisible())
                child->update();
        window_.repaint();
    }
    progress_.repaint();
}

void QtDesktop::setWindowTitle(const std::string& title)
{
    window_.setWindowTitle(QString::fromStdString(title));
}

void QtDesktop::setWaitCursor(bool busy)
{
    if (busy == waitCursor_)
        return;
    waitCursor_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool QtDesktop::openDocument(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void QtDesktop::pause(int milliseconds)
{
    // The commands that pause wait for a server on purpose; nothing else may run meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DialogResult QtDesktop::runModal(DialogModel& dialog)
{
    std::unique_ptr<QDialog> view = CreateDialogView(dialog, topWindow());
    if (!view) {
        qWarning("No dialog for \"%s\"", dialog.resourceName().c_str());
        dialog.cancel();
        return dialog.result();
    }
    if (dialogSeam_)
        dialogSeam_(*view);
    if (!dialog.ended())
        view->exec();
    if (!dialog.ended())
        dialog.cancel();
    return dialog.result();
}

void QtDesktop::showModeless(DialogModel& dialog)
{
    QPointer<QDialog>& open = modeless_[&dialog];
    if (open && open->isVisible() && !dialog.ended()) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return;
    }
    // A closed window not yet deleted must let go of its model first.
    delete open.data();
    QDialog* view = CreateDialogView(dialog, &window_).release();
    if (!view) {
        qWarning("No dialog for \"%s\"", dialog.resourceName().c_str());
        dialog.cancel();
        return;
    }
    // The view closes itself when its model ends, and is deleted then.
    view->setAttribute(Qt::WA_DeleteOnClose);
    if (dialogSeam_)
        dialogSeam_(*view);
    if (dialog.ended()) {
        delete view;
        return;
    }
    open = view;
    view->show();
}

std::optional<FileChoice> QtDesktop::openFileName(const FileDialogRequest& request)
{
    return fileDialog(false, request);
}

std::optional<FileChoice> QtDesktop::saveFileName(const FileDialogRequest& request)
{
    return fileDialog(true, request);
}

std::optional<FileChoice> QtDesktop::fileDialog(bool save, const FileDialogRequest& request)
{
    if (fileDialogSeam_)
        return fileDialogSeam_(save, request);
    QStringList filters;
    for (const auto& [label, pattern] : request.filters)
        filters << QString::fromStdString(label + " (" + pattern + ")");
    QFileDialog dialog(topWindow());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (!request.fileName.empty())
        dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const int filter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return FileChoice { dialog.selectedFiles().front().toStdString(), std::max(filter, 0) };
}

void QtDesktop::closeModeless()
{
    for (auto& [model, view] : modeless_)
        delete view.data();
    modeless_.clear();
}

bool QtDesktop::serverWaitGoesOn(const std::string& what, int waitedMs)
{
    return serverWait_.goOn(what, waitedMs, topWindow());
}

void QtDesktop::serverWaitEnded()
{
    serverWait_.end();
}
