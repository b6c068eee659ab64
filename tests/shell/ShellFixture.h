// Shared by the shell tests: a fresh current folder (and configuration
// folder) per test, the real main window on the offscreen platform, message
// boxes answered and recorded by a FakeDesktop, and dialogs driven through
// their widgets while they wait for the user.
#pragma once

#include "shell/CMainFrame.h"
#include "shell/COrnBrowserView.h"
#include "shell/CommandActions.h"
#include "shell/QtDesktop.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/TemporaryFolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>

class ShellTest : public ::testing::Test {
private:
    // First, so that it is made before and removed after everything below.
    CurrentTemporaryFolder folder_ { "orn-shell" };

protected:
    using DialogDriver = std::function<void(QDialog&)>;

    ShellTest()
    {
        // The registry value "entries" lives below it.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder_.path().string()));
        frame = std::make_unique<CMainFrame>();
        frame->desktop().setMessageBoxSeam([this](const MessageBoxRequest& box) { return boxes.messageBox(box); });
        frame->desktop().setDialogSeam([this](QDialog& dialog) { drive(dialog); });
        frame->resize(1000, 700);
        frame->show();
        // Window shortcuts answer only in the active window.
        QApplication::setActiveWindow(frame.get());
    }
    ~ShellTest() override
    {
        frame.reset();
        for (const auto& [name, drivers] : drivers_)
            EXPECT_TRUE(drivers.empty()) << "dialog \"" << name << "\" never opened";
    }

    // How the next dialog with this resource name is worked. Whatever the
    // driver leaves open is cancelled, as a user closing it would.
    void onDialog(const std::string& resourceName, DialogDriver driver)
    {
        drivers_[resourceName].push_back(std::move(driver));
    }

    // Runs a command as its menu item or toolbar button does.
    void trigger(CommandId id) { frame->commands().action(id)->trigger(); }

    // Delivers what the view has queued for after the event that asked for it.
    static void settle()
    {
        for (int round = 0; round < 20; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    template <class Widget> static Widget& child(QWidget& parent, const char* name)
    {
        auto* found = parent.findChild<Widget*>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no widget named ") + name);
        return *found;
    }
    // The user's pick from a list, and typing into a field.
    static void choose(QWidget& dialog, const char* box, int index)
    {
        auto& combo = child<QComboBox>(dialog, box);
        combo.setCurrentIndex(index);
        emit combo.activated(index);
    }
    static void type(QWidget& dialog, const char* field, const QString& text)
    {
        auto& edit = child<QLineEdit>(dialog, field);
        edit.selectAll();
        QTest::keyClicks(&edit, text);
    }
    static void press(QWidget& dialog, const char* button) { child<QAbstractButton>(dialog, button).click(); }

    static void write(const std::string& name, const std::string& text)
    {
        std::ofstream(name, std::ios::binary) << text;
    }
    static std::string read(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }

    ViewState& state() { return frame->view().context().state; }

    FakeDesktop boxes;
    std::unique_ptr<CMainFrame> frame;

private:
    void drive(QDialog& dialog)
    {
        const std::string name = dialog.objectName().toStdString();
        auto& queue = drivers_[name];
        if (queue.empty()) {
            ADD_FAILURE() << "unexpected dialog \"" << name << "\"";
            QTimer::singleShot(0, &dialog, &QDialog::reject);
            return;
        }
        DialogDriver driver = std::move(queue.front());
        queue.pop_front();
        // Once the dialog waits for the user. A modeless window stays open.
        QTimer::singleShot(0, &dialog, [&dialog, driver] {
            driver(dialog);
            if (dialog.isVisible() && dialog.isModal())
                dialog.reject();
        });
    }

    std::map<std::string, std::deque<DialogDriver>> drivers_;
};
