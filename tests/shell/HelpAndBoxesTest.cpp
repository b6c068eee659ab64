// Help Topics through its menu item, and the message boxes the Qt desktop
// draws for the core's requests.
#include "browser/HelpCommand.h"
#include "tests/shell/ShellFixture.h"

#include <QMessageBox>

namespace {

using Box = FakeDesktop::Box;

using HelpTopics = ShellTest;

TEST_F(HelpTopics, AMissingManualAndAManualNothingOpensAreReported)
{
    trigger(CommandId::HelpTopics);
    write(kManualFileName, "%PDF-1.4\n");
    // The offscreen platform has no program to open documents with.
    trigger(CommandId::HelpTopics);
    EXPECT_EQ(boxes.boxes,
        (std::vector<Box> { { "Help File Not Found", "Error", MessageIcon::Error, MessageButtons::Ok },
            { "Acrobat reader is not installed.Unable to Open help file", "Error", MessageIcon::Error,
                MessageButtons::Ok } }));
}

TEST(MessageBoxes, CarryTheRequestsTitleIconAndButtons)
{
    struct Case {
        MessageBoxRequest request;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    const Case cases[] = {
        { { "Help File Not Found", "Error", MessageIcon::Error, MessageButtons::Ok, false }, QMessageBox::Critical,
            QMessageBox::Ok },
        { { "Login to different LDAP Server?", "Logout", MessageIcon::None, MessageButtons::YesNoCancel, false },
            QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel },
        { { "Delete old RDN?", "Delete", MessageIcon::Question, MessageButtons::YesNoCancel, false },
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel },
        { { "<b>not markup</b>", kAppTitle, MessageIcon::Warning, MessageButtons::OkCancel, true },
            QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel },
    };
    for (const Case& c : cases) {
        std::unique_ptr<QMessageBox> box = BuildMessageBox(c.request, nullptr);
        EXPECT_EQ(box->text().toStdString(), c.request.text);
        EXPECT_EQ(box->windowTitle().toStdString(), c.request.title);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), c.icon) << c.request.text;
        EXPECT_EQ(box->standardButtons(), c.buttons) << c.request.text;
    }
    EXPECT_EQ(AnswerOf(QMessageBox::No), MessageAnswer::No);
    EXPECT_EQ(AnswerOf(QMessageBox::Cancel), MessageAnswer::Cancel);
}

} // namespace
