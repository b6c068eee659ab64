// Shared by the shell tests that run a session through the window against
// a real slapd, one per suite (the Suite parameter gives each its own): the
// login through the Login dialog's widgets, clicks and double-clicks in the
// tree, the attribute list's rows. Qt's model tester watches both panes'
// models throughout and aborts the test on any breach of the model contract.
#pragma once

#include "browser/session/LoginDialog.h"
#include "tests/shell/ShellFixture.h"
#include "tests/support/SuiteServer.h"

#include <QAbstractItemModelTester>
#include <QTableView>
#include <QTreeView>

#include <string>

template <class Suite> class SessionFixture : public ShellTest {
protected:
    // A suite may hide this to load more.
    static SlapdOptions serverOptions()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        return options;
    }
    static void SetUpTestSuite() { server_.start(Suite::serverOptions()); }
    static void TearDownTestSuite() { server_.stop(); }
    void SetUp() override { ASSERT_TRUE(server_.started()); }
    // A test that froze the server leaves it answering.
    void TearDown() override { server_->thaw(); }
    static SlapdServer& server() { return *server_; }

    static std::string port() { return std::to_string(server_->port()); }

    SessionFixture()
        : treeTester_(tree().model(), QAbstractItemModelTester::FailureReportingMode::Fatal)
        , listTester_(list().model(), QAbstractItemModelTester::FailureReportingMode::Fatal)
    {
    }

    void login(const std::string& userId, const QString& password)
    {
        write("OrnIni.ini", "test=127.0.0.1;" + port() + ";" + SlapdServer::suffix() + ";" + userId + ";\n");
        onDialog(LoginDialog::kResource, [password](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Login ");
            choose(dialog, "profileName", 0);
            choose(dialog, "userDetails", 0);
            type(dialog, "password", password);
            press(dialog, "connect");
        });
        trigger(CommandId::Login);
        settle();
    }

    QTreeView& tree() { return frame->view().tree(); }
    QTableView& list() { return frame->view().attributes(); }

    QModelIndex node(const QModelIndex& parent, const QString& label)
    {
        for (int row = 0; row < tree().model()->rowCount(parent); ++row) {
            QModelIndex child = tree().model()->index(row, 0, parent);
            if (child.data().toString() == label)
                return child;
        }
        return {};
    }
    // In the server's order, which is its own business.
    QStringList sortedLabels(const QModelIndex& parent)
    {
        QStringList out;
        for (int row = 0; row < tree().model()->rowCount(parent); ++row)
            out << tree().model()->index(row, 0, parent).data().toString();
        out.sort();
        return out;
    }
    void click(const QModelIndex& index)
    {
        tree().scrollTo(index);
        QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, tree().visualRect(index).center());
        settle();
    }
    // A person's double-click begins as a click.
    void doubleClick(const QModelIndex& index)
    {
        click(index);
        QTest::mouseDClick(tree().viewport(), Qt::LeftButton, {}, tree().visualRect(index).center());
        settle();
    }

    // The list's row of the attribute, -1 when it has none.
    int rowOf(const QString& attribute)
    {
        QAbstractItemModel& model = *list().model();
        for (int row = 0; row < model.rowCount(); ++row)
            if (model.index(row, 1).data().toString() == attribute)
                return row;
        return -1;
    }
    QString valueOf(const QString& attribute)
    {
        int row = rowOf(attribute);
        return row < 0 ? QString() : list().model()->index(row, 0).data().toString();
    }
    void selectRow(int row)
    {
        const QRect cell = list().visualRect(list().model()->index(row, 1));
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, cell.center());
        settle();
    }
    // Opens alice's entry below People.
    void openAlice()
    {
        QModelIndex people = node(tree().model()->index(0, 0), "ou=People");
        doubleClick(people);
        click(node(people, "uid=alice"));
    }

private:
    // One per suite: Suite tells them apart.
    static inline SuiteSlapd server_;
    QAbstractItemModelTester treeTester_;
    QAbstractItemModelTester listTester_;
};
