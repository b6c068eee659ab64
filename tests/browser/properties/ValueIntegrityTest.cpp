// The attribute list against slapd never changes a value behind the user's
// back: bytes are shown as placeholders and never edited as text, a refused
// edit leaves the row showing what the server holds, and editing one value
// of two keeps the other.
#include "tests/browser/properties/AttributeEditingFixture.h"
#include "tests/support/Bytes.h"

namespace {

using Box = FakeDesktop::Box;

// A PNG's signature, then bytes of every value, zero included.
std::string photoBytes()
{
    std::string bytes = "\x89PNG\r\n\x1A\n";
    for (int i = 0; bytes.size() < 2912; ++i)
        bytes += static_cast<char>(i * 7);
    return bytes;
}
const std::string kPhoto = photoBytes();
// A self-signed certificate (slapd checks the syntax); a zero byte at 156.
const Bytes kCertificateBytes = hex(
    "308201843082012ba003020102021416409faa331c4bd9bb58416f28b77f90ff0f5aad300a06082a8648ce3d04030230"
    "173115301306035504030c0c56656c6d6f726120546573743020170d3236313230373034333430355a180f3231323631"
    "3131333034333430355a30173115301306035504030c0c56656c6d6f726120546573743059301306072a8648ce3d0201"
    "06082a8648ce3d030107034200045b4806da49bac8416dc27721162e9f5ef5a10fc5ceef572eac3bb1ec4506ffc1659a"
    "d4b2374d3ab868945a87a0988fe37b5a44d93c4e55664af098c9ea2cbe11a3533051301d0603551d0e04160414bae202"
    "e47fb3c497b8fe338c6dd969ee28df6236301f0603551d23041830168014bae202e47fb3c497b8fe338c6dd969ee28df"
    "6236300f0603551d130101ff040530030101ff300a06082a8648ce3d0403020347003044022012ff0869bd85a90d6fb6"
    "31fe99a778d3754037923a9d57ca20b8c51852a39c32022054f23a0a128ddbb7dbedec3809d33599e99a9ae3e5eb13e6"
    "8911d3f8f759b209");
const std::string kCertificate(kCertificateBytes.begin(), kCertificateBytes.end());

const Box kBinaryRefusal { "A binary value cannot be edited as text.", "Error", MessageIcon::Error, MessageButtons::Ok };

} // namespace

class ValueIntegrityTest : public EditSuite {
protected:
    static void SetUpTestSuite()
    {
        startServer(editPerson("photo",
                        "jpegPhoto:: " + base64(kPhoto) + "\nuserCertificate;binary:: " + base64(kCertificate) + "\n")
            + editPerson("refused", "description: held\n") + editPerson("pair", "telephoneNumber: 1\ntelephoneNumber: 2\n"));
    }

    static std::string dnOf(const std::string& uid) { return "uid=" + uid + "," + kEditDn; }
};

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
    EXPECT_EQ(server().ldapsearchValues(dnOf("photo"), "jpegPhoto"), std::vector<std::string> { kPhoto });

    // Deleting a value sends its bytes whole, past the zero byte.
    desktop.answer(MessageAnswer::Yes);
    state.attributes.select(certificate);
    DeleteAttributeCommand(context);
    EXPECT_EQ(row("userCertificate;binary", kCertificate), -1);
    EXPECT_TRUE(server().ldapsearchValues(dnOf("photo"), "userCertificate").empty());
    EXPECT_EQ(server().ldapsearchValues(dnOf("photo"), "jpegPhoto"), std::vector<std::string> { kPhoto });
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
        EXPECT_EQ(server().ldapsearchValues(dnOf("refused"), name), std::vector<std::string> { held });
    }
    ASSERT_EQ(desktop.boxes.size(), 3u); // the rename question, then one refusal for each
}

TEST_F(ValueIntegrityTest, EditingOneOfTwoValuesKeepsTheOther)
{
    browse();
    ASSERT_NE(select("uid=pair"), nullptr);
    edit(row("telephoneNumber", "1"), "3");
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_EQ(serverValues(dnOf("pair"), "telephoneNumber"), (std::vector<std::string> { "2", "3" }));
}
