#include "browser/CommandReports.h"
#include "tests/browser/BrowserTest.h"
#include "ldap/OrnCodes.h"

namespace {

const Box kCannotCreate = plainBox("Could not create file");
const Box kNoLogFile = plainBox("Could not generate error log file", "Error");

} // namespace

TEST(LogRecord, FormatFromTheClock)
{
    const std::string longMessage(600, 'm');
    struct Case {
        FixedClock clock;
        std::string host, message, expected;
    } cases[] = {
        {{2026, 12, 5, 16, 1, 2}, "h", "No Such Object", "12/05/26$16:01:02$ServerIp h No Such Object\n"},
        {{2001, 1, 9, 3, 4, 5}, "", "a$b", "01/09/01$03:04:05$ServerIp  a$b\n"}, // not connected
        {{1999, 10, 31, 23, 59, 59}, "10.0.0.1", longMessage, "10/31/99$23:59:59$ServerIp 10.0.0.1 " + longMessage + "\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatLogRecord(c.clock.now(), c.host, c.message), c.expected);
}

using ReportTest = CoreFolderTest;

TEST_F(ReportTest, GeneralRecordsAppendLdifRecordsNeedTheOpenStream)
{
    write(kGeneralLogName, "earlier\n");
    write(kLdifLogName, "kept\n");
    EXPECT_FALSE(ReportError(context, "before the import", LogMode::Ldif)); // refused, no box
    EXPECT_TRUE(ReportError(context, "first", LogMode::General));
    ASSERT_TRUE(state.errorLog.openLdifLog());
    state.connection.host = "ldap.example";
    clock.set(2027, 1, 2, 8, 9, 10);
    EXPECT_TRUE(ReportError(context, "cn=a,o=x", LogMode::Ldif));
    // Written through while the import still holds the stream.
    EXPECT_EQ(read(kLdifLogName), "kept\n01/02/27$08:09:10$ServerIp ldap.example cn=a,o=x\n");
    EXPECT_TRUE(ReportError(context, "second", LogMode::General));
    EXPECT_TRUE(state.errorLog.closeLdifLog());
    EXPECT_FALSE(ReportError(context, "after the import", LogMode::Ldif));

    EXPECT_EQ(read(kGeneralLogName), "earlier\n12/05/26$16:01:02$ServerIp  first\n"
                                     "01/02/27$08:09:10$ServerIp ldap.example second\n");
    EXPECT_EQ(read(kLdifLogName), "kept\n01/02/27$08:09:10$ServerIp ldap.example cn=a,o=x\n");
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(ReportTest, ServerResponseAndConnectionLost)
{
    state.connection.host = "10.1.2.3";
    state.connection.password = "secret"; // must not show up in the exact lines below
    std::string expectedLog;
    for (auto [code, text] : {std::pair{32, "No Such Objects"}, {49, " Invalid Credentials  "}, {15, " Error not defined in RFC"}}) {
        desktop.boxes.clear();
        ReportServerResponse(context, code);
        EXPECT_EQ(desktop.boxes, Boxes{errorBox(text, "Server Response")}) << code;
        expectedLog += "12/05/26$16:01:02$ServerIp 10.1.2.3 " + std::string(text) + "\n";
    }
    EXPECT_FALSE(state.flags.connectionLost);

    EXPECT_STREQ(kConnectionTimedOut, "Please Login. Connection timed out");
    EXPECT_STREQ(kConnectionTimedOutAgain, "Please Login again. Connection timed out");
    // A wait the user cancelled says so whatever the caller would have said.
    for (auto [wording, code, shown] : {std::tuple{kConnectionTimedOut, RECV_THREAD_TERMINATED, kConnectionTimedOut},
                                        {kConnectionTimedOutAgain, ORN_SENDING_ERROR, kConnectionTimedOutAgain},
                                        {kConnectionTimedOutAgain, ORN_WAIT_CANCELLED, kWaitCancelled}}) {
        state.flags.connectionLost = false;
        desktop.boxes.clear();
        ReportConnectionLost(context, wording, code);
        EXPECT_TRUE(state.flags.connectionLost);
        EXPECT_EQ(desktop.boxes, Boxes{errorBox(shown)});
        expectedLog += "12/05/26$16:01:02$ServerIp 10.1.2.3 Connection to the Server 10.1.2.3 lost\n";
    }
    EXPECT_EQ(read(kGeneralLogName), expectedLog);
    // The logout that follows is the caller's.
    EXPECT_TRUE(state.flags.viewNotConnected);
}

TEST_F(ReportTest, UnwritableGeneralLogIsReportedTwice)
{
    std::filesystem::create_directory(kGeneralLogName);
    EXPECT_FALSE(ReportError(context, "lost", LogMode::General));
    EXPECT_EQ(desktop.boxes, Boxes{kCannotCreate});

    desktop.boxes.clear();
    ReportServerResponse(context, 53);
    ReportConnectionLost(context, kConnectionTimedOutAgain, RECV_THREAD_TERMINATED);
    EXPECT_TRUE(state.flags.connectionLost);
    EXPECT_EQ(desktop.boxes, (Boxes{errorBox("Unwilling to perform the operation", "Server Response"),
                                               kCannotCreate, kNoLogFile,
                                               errorBox(kConnectionTimedOutAgain), kCannotCreate, kNoLogFile}));
}
