#include "browser/logs/DeleteLogDialog.h"
#include "browser/logs/ErrorLogFile.h"
#include "browser/logs/LogCommands.h"
#include "browser/logs/LogViewerDialog.h"
#include "tests/browser/BrowserTest.h"

namespace {

std::string record(const std::string& date, const std::string& message) { return date + "$10:00:00$ServerIp h " + message + "\n"; }
LogRow row(const std::string& date, const std::string& message) { return {date, "10:00:00", "ServerIp h " + message}; }

} // namespace

TEST(LogExpiry, ComparesDayAndMonthOnly)
{
    struct Case {
        FixedClock today;
        const char* date;
        bool expired;
    } cases[] = {
        {{2026, 12, 5}, "12/03/26", true}, // two days before
        {{2026, 12, 5}, "12/04/26", false},
        {{2026, 12, 5}, "11/30/26", true}, // earlier month
        {{2026, 12, 5}, "12/05/25", false}, // earlier year, same day
        {{2026, 12, 5}, "12/01/27", true},  // the day alone decides
        {{2027, 1, 2}, "12/31/26", false},  // nothing goes across the year end
        {{2027, 1, 2}, "01/01/27", false},
        {{2026, 3, 1}, "02/28/26", true}, // across a month end the month decides
        {{2026, 3, 2}, "03/01/26", false},
        {{2026, 3, 20}, "04/19/25", false}, // a later month number stays
        {{2026, 3, 20}, "04/18/25", true},  // unless its day is old enough
        {{2026, 3, 1}, "junk", true},       // no fields: month 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(recordExpired(c.date, c.today.now()), c.expired) << c.date << " on day " << c.today.now().tm_mday;
}

class LogDialogsTest : public CoreFolderTest {
protected:
    // Runs View and returns the rows and title the dialog showed.
    std::vector<LogRow> view(LogMode log, std::string* title = nullptr)
    {
        std::vector<LogRow> rows;
        onDialog<LogViewerDialog>(desktop, [&](LogViewerDialog& viewer) {
            rows = viewer.rows();
            if (title)
                *title = viewer.windowTitle();
            viewer.close();
        });
        ViewLog(context, log);
        return rows;
    }
    // Runs Delete for a date, given as indexes into the lists, or for the whole log.
    void remove(LogMode log, int month, int day, int year, bool entireLog = false)
    {
        onDialog<DeleteLogDialog>(desktop, [=](DeleteLogDialog& dialog) {
            dialog.chooseMonth(month);
            dialog.chooseDay(day);
            dialog.chooseYear(year);
            dialog.setDeleteEntireLog(entireLog);
            dialog.ok();
            EXPECT_EQ(dialog.result(), DialogResult::Ok);
        });
        DeleteLog(context, log);
    }
};

TEST_F(LogDialogsTest, ViewerListsRecordsAndPrunesExpiredOnes)
{
    const std::string longMessage(700, 'x');
    const std::string last = "12/05/26$16:01:02$ServerIp h without a line feed";
    write(kGeneralLogName, record("12/03/26", "too old") + record("12/04/26", "No$Such") + record("11/30/26", "last month")
                               + record("12/05/25", longMessage) + last);
    std::string title;
    EXPECT_EQ(view(LogMode::General, &title),
              (std::vector<LogRow>{row("12/04/26", "No$Such"), row("12/05/25", longMessage),
                                   {"12/05/26", "16:01:02", "ServerIp h without a line feed"}}));
    EXPECT_EQ(title, "General Log File");
    EXPECT_EQ(read(kGeneralLogName), record("12/04/26", "No$Such") + record("12/05/25", longMessage) + last);
    EXPECT_EQ(read(kTemporaryLogName), "<missing>");
    EXPECT_TRUE(desktop.boxes.empty());

    write(kLdifLogName, record("12/04/26", "cn=a"));
    EXPECT_EQ(view(LogMode::Ldif, &title), std::vector<LogRow>{row("12/04/26", "cn=a")});
    EXPECT_EQ(title, "LDIF Log File");
}

TEST_F(LogDialogsTest, MalformedLinesStopTheViewer)
{
    const std::string before = record("12/01/26", "expired") + record("12/05/26", "kept");
    const std::string after = record("12/05/26", "after");
    const std::string none = "no separator\n", one = "12/05/26$one separator\n";
    const char* format = "Invalid Log File Format";
    const char* file = "Invalid Log file";
    struct Case {
        LogMode log;
        std::string text;
        const char* box; // shown twice, titled "Error"
        std::vector<LogRow> rows;
        std::string logAfter;
    } cases[] = {
        // Pruning gives up and leaves the log; the listing stops at the same line.
        {LogMode::General, before + none + after, format, {row("12/01/26", "expired"), row("12/05/26", "kept")}, before + none + after},
        {LogMode::Ldif, before + none + after, format, {row("12/01/26", "expired"), row("12/05/26", "kept")}, before + none + after},
        {LogMode::General, none + after, format, {}, none + after},
        {LogMode::Ldif, before + one + after, file, {row("12/01/26", "expired"), row("12/05/26", "kept")}, before + one + after},
        // The general log is pruned up to the line; the line and what follows stay.
        {LogMode::General, before + one + after, file, {row("12/05/26", "kept")},
         record("12/05/26", "kept") + one + after},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        write(logFileName(c.log), c.text);
        desktop.boxes.clear();
        EXPECT_EQ(view(c.log), c.rows);
        EXPECT_EQ(desktop.boxes, Boxes(2, plainBox(c.box, "Error")));
        EXPECT_EQ(read(logFileName(c.log)), c.logAfter);
    }
}

TEST_F(LogDialogsTest, MissingLogsInTheWorkingFolder)
{
    std::filesystem::create_directory("profiles");
    state.workingFolder = (folder() / "profiles").string();
    write("profiles/" + std::string(kGeneralLogName), record("12/05/26", "there"));
    EXPECT_EQ(view(LogMode::General).size(), 1u);
    EXPECT_EQ(std::filesystem::current_path(), folder() / "profiles"); // and it stays current

    EXPECT_TRUE(view(LogMode::Ldif).empty());
    remove(LogMode::Ldif, 0, 0, 0);
    remove(LogMode::Ldif, -1, -1, -1, true);
    EXPECT_TRUE(desktop.boxes.empty());
    // Nothing was created beside the general log.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator{}), 1);
}

TEST_F(LogDialogsTest, DeleteDialogListsAndMissingDateParts)
{
    EXPECT_EQ(DeleteLogDialog(desktop, LogMode::General).windowTitle(), "Delete General Log");
    EXPECT_EQ(DeleteLogDialog(desktop, LogMode::Ldif).windowTitle(), "Delete LDIF Log");
    EXPECT_EQ(DeleteLogDialog::months().size(), 12u);
    EXPECT_EQ(DeleteLogDialog::days().front() + DeleteLogDialog::days()[8] + DeleteLogDialog::days().back(), "010931");
    EXPECT_EQ(DeleteLogDialog::years().size(), 101u); // "00" to "99", then the empty item
    EXPECT_EQ(DeleteLogDialog::years()[26] + DeleteLogDialog::years()[99] + DeleteLogDialog::years().back(), "2699");

    DeleteLogDialog dialog(desktop, LogMode::General);
    dialog.chooseMonth(2);
    dialog.setDeleteEntireLog(true);
    EXPECT_FALSE(dialog.listsEnabled());
    dialog.chooseMonth(5); // ignored while disabled
    dialog.setDeleteEntireLog(false);
    EXPECT_EQ(dialog.month(), "03");

    write(kGeneralLogName, record("12/05/05", "x"));
    struct Case {
        int month, day, year;
        const char* message;
    } cases[] = {
        {-1, 4, 5, "Please Select a proper month"},
        {11, 31, 5, "Please Select a proper day"}, // beyond the list: no choice
        {11, 4, -1, "Please Select a proper year"},
        {11, 4, 100, "Please Select a proper year"}, // the empty item
    };
    for (const Case& c : cases) {
        desktop.boxes.clear();
        dialog.chooseMonth(c.month);
        dialog.chooseDay(c.day);
        dialog.chooseYear(c.year);
        dialog.ok();
        EXPECT_FALSE(dialog.ended());
        EXPECT_EQ(desktop.boxes, Boxes{plainBox(c.message)});
    }
    EXPECT_EQ(read(kGeneralLogName), record("12/05/05", "x"));
}

TEST_F(LogDialogsTest, DeleteByDateAndWholeLog)
{
    const std::string otherDay = record("12/04/05", "other day");
    const std::string rest = record("12/05/04", "other year") + record("01/01/05", std::string(600, 'y'));
    write(kLdifLogName, record("12/05/05", "that day") + otherDay + record("11/01/05", "see 12/05/05") + rest
                            + record("12/05/05", "again"));
    remove(LogMode::Ldif, 11, 4, 5);
    EXPECT_EQ(read(kLdifLogName), otherDay + rest);
    EXPECT_EQ(read(kTemporaryLogName), "<missing>");

    // A rewrite that cannot be made leaves the log whole.
    std::filesystem::create_directory(kTemporaryLogName);
    remove(LogMode::Ldif, 11, 3, 5);
    EXPECT_EQ(read(kLdifLogName), otherDay + rest);
    std::filesystem::remove(kTemporaryLogName);

    remove(LogMode::Ldif, -1, -1, -1, true);
    EXPECT_EQ(read(kLdifLogName), "<missing>");
    EXPECT_TRUE(desktop.boxes.empty());
}
