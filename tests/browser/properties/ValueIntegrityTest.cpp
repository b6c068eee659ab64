// The attribute list against slapd never changes a value behind the user's
// back: bytes are shown as placeholders and never edited as text, a refused
// edit leaves the row showing what the server holds, and editing one value
// of two keeps the other.
#include "tests/browser/properties/AttributeEditingFixture.h"

namespace {

const std::string kPhoto = photoBytes();
const std::string kCertificate = certificateBytes();

const Box kBinaryRefusal = errorBox("A binary value cannot be edited as text.");

} // namespace

using ValueIntegrityTest = EditSuite;

TEST_F(ValueIntegrityTest, BinaryValuesArePlaceholdersThatKeepTheirBytes)
{
    browse();
    ASSERT_NE(select("uid=photo"), nullptr);
    const int photo = row("jpegPhoto", kPhoto);
    const int certificate = row("userCertificate;binary", kCertificate);
    ASSERT_GE(photo, 0);
    ASSERT_GE(certificate, 0);
    EXPECT_EQ(state.attributes.row(photo).shownValue(), "(binary value, 2,912 bytes)");
    EXPECT_EQ(state.attributes.row(certificate).shownValue(), "(binary value, 392 bytes)");
    EXPECT_EQ(state.attributes.row(photo).syntax, "JPEG");

    for (EditTrigger trigger : { EditTrigger::ListKey, EditTrigger::DoubleClick, EditTrigger::Command }) {
        state.attributes.select(photo);
        EXPECT_FALSE(CanStartValueEdit(context, trigger));
    }
    EXPECT_EQ(desktop.boxes, std::vector<Box>(3, kBinaryRefusal));
    // An editor the shell opened anyway sends nothing either.
    BeginValueEdit(context, photo);
    EndValueEdit(context, "x");
    EXPECT_EQ(server().ldapsearchValues(dnOf("uid=photo"), "jpegPhoto"), std::vector<std::string> { kPhoto });

    // Deleting a value sends its bytes whole, past the zero byte.
    desktop.answer(MessageAnswer::Yes);
    state.attributes.select(certificate);
    DeleteAttributeCommand(context);
    EXPECT_EQ(row("userCertificate;binary", kCertificate), -1);
    EXPECT_TRUE(server().ldapsearchValues(dnOf("uid=photo"), "userCertificate").empty());
    EXPECT_EQ(server().ldapsearchValues(dnOf("uid=photo"), "jpegPhoto"), std::vector<std::string> { kPhoto });
}

TEST_F(ValueIntegrityTest, ARefusedEditShowsWhatTheServerHolds)
{
    browse();
    ASSERT_NE(select("uid=refused"), nullptr);
    // Anonymous from here on: slapd lets anonymous clients read, not write.
    ASSERT_EQ(service.OrnBindSync("", "", kSimpleBind), 0);
    desktop.answer(MessageAnswer::No); // keep the old RDN
    for (const auto& [name, held] : { std::pair { "description", "held" }, std::pair { "uid", "refused" } }) {
        SCOPED_TRACE(name);
        const int index = row(name, held);
        ASSERT_GE(index, 0);
        edit(index, "changed");
        EXPECT_EQ(state.attributes.row(index).value, held);
        EXPECT_EQ(server().ldapsearchValues(dnOf("uid=refused"), name), std::vector<std::string> { held });
    }
    ASSERT_EQ(desktop.boxes.size(), 3u); // the rename question, then one refusal for each
}

TEST_F(ValueIntegrityTest, EditingOneOfTwoValuesKeepsTheOther)
{
    browse();
    ASSERT_NE(select("uid=pair"), nullptr);
    edit(row("telephoneNumber", "1"), "3");
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_EQ(serverValues(dnOf("uid=pair"), "telephoneNumber"), (std::vector<std::string> { "2", "3" }));
}
