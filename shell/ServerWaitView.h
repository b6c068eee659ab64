// What the window does while the core waits for the server: it keeps
// painting, takes no input except on the wait's own dialog (so no command
// runs inside another or late, after it), and from half a second on shows
// what it waits for with a Cancel button.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QProgressDialog;
class QWidget;

class ServerWaitView final : public QObject {
public:
    static constexpr int kShowAfterMs = 500;

    ServerWaitView();
    ~ServerWaitView() override;

    // One ask of a wait: false once the user has cancelled it.
    bool goOn(const std::string& what, int waitedMs, QWidget* parent);
    // The wait is over: its dialog goes, and input flows again.
    void end();

    // Runs operation from the event loop, on owner's behalf, once no wait on
    // the server is running: work queued before a wait must not run inside it.
    static void whenIdle(QObject* owner, std::function<void()> operation);

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    bool onDialog(QObject* target) const;

    bool waiting_ = false;
    bool cancelled_ = false;
    static int running_; // waits running now, in all windows
    static std::vector<std::pair<QPointer<QObject>, std::function<void()>>> heldBack_;
    std::unique_ptr<QProgressDialog> dialog_;
};
