// The Desktop port drawn with Qt: message boxes, the main window's status
// pane, progress bar and title, the wait cursor, documents, the dialogs of
// the core's models and the waits on the server. Tests answer message boxes and drive dialogs through the
// two seams instead of a person.
#pragma once

#include "browser/Desktop.h"
#include "shell/ServerWaitView.h"

#include <QPointer>

#include <functional>
#include <map>
#include <memory>

class QDialog;
class QLabel;
class QMainWindow;
class QMessageBox;
class QProgressBar;
class QWidget;

class QtDesktop final : public Desktop {
public:
    // Answers a box in place of the user; unset, the box is shown and waited for.
    using MessageBoxSeam = std::function<MessageAnswer(const MessageBoxRequest&)>;
    // Called with every dialog as it opens, before it waits for the user.
    using DialogSeam = std::function<void(QDialog&)>;
    // Answers a file dialog in place of the user (save: a save dialog).
    using FileDialogSeam = std::function<std::optional<FileChoice>(bool save, const FileDialogRequest&)>;

    QtDesktop(QMainWindow& window, QLabel& statusPane, QProgressBar& progress);

    void setMessageBoxSeam(MessageBoxSeam seam) { messageBoxSeam_ = std::move(seam); }
    void setDialogSeam(DialogSeam seam) { dialogSeam_ = std::move(seam); }
    void setFileDialogSeam(FileDialogSeam seam) { fileDialogSeam_ = std::move(seam); }

    MessageAnswer messageBox(const MessageBoxRequest& box) override;
    void setStatusText(const std::string& text) override;
    void setProgressRange(int lower, int upper) override;
    void setProgressStep(int step) override;
    void setProgressPosition(int position) override;
    void stepProgress() override;
    void setWindowTitle(const std::string& title) override;
    void setWaitCursor(bool busy) override;
    bool openDocument(const std::string& path) override;
    void pause(int milliseconds) override;
    std::optional<FileChoice> openFileName(const FileDialogRequest& request) override;
    std::optional<FileChoice> saveFileName(const FileDialogRequest& request) override;
    DialogResult runModal(DialogModel& dialog) override;
    void showModeless(DialogModel& dialog) override;
    bool serverWaitGoesOn(const std::string& what, int waitedMs) override;
    void serverWaitEnded() override;

    // Closes every modeless window: their models die with the main view.
    void closeModeless();

private:
    QWidget* topWindow() const;
    std::optional<FileChoice> fileDialog(bool save, const FileDialogRequest& request);

    QMainWindow& window_;
    QLabel& statusPane_;
    QProgressBar& progress_;
    bool batchPainted_ = false; // the window was painted since the progress range was set
    int progressStep_ = 1;
    bool waitCursor_ = false;
    MessageBoxSeam messageBoxSeam_;
    DialogSeam dialogSeam_;
    FileDialogSeam fileDialogSeam_;
    ServerWaitView serverWait_;
    // The open window of each modeless model, raised when shown again.
    std::map<DialogModel*, QPointer<QDialog>> modeless_;
};

// The box for a request, with its title, icon and buttons.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest& box, QWidget* parent);
// The answer for the button the box ended with.
MessageAnswer AnswerOf(int standardButton);
