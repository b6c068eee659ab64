// The template dialogs worked through their widgets: the picker, the form
// drawn from a template with each input kind (each value reaches the model,
// as its rule's refusal shows), and the editor the form's Modify opens.
#include "tests/shell/ShellFixture.h"

#include "templates/TemplateDialogs.h"
#include "templates/TemplateFormDialog.h"
#include "tests/support/SlapdServer.h"

#include <QListWidget>
#include <QPlainTextEdit>

#include <filesystem>

namespace {

const char* const kTemplate = "<?xml version=\"1.0\"?>\n<XmlTemplate>\n<ObjectClass>device</ObjectClass>\n"
                              "<Field><Name>cn</Name><DisplayName>Name</DisplayName><Input>TextBox</Input>"
                              "<Validation>alphanumeric</Validation><MaxLength>8</MaxLength><Color>red</Color></Field>\n"
                              "<Field><Name>serialNumber</Name><Input>Password</Input><Validation>Number</Validation>"
                              "<DefaultValue>12</DefaultValue></Field>\n"
                              "<Field><Name>description</Name><Input>TextArea</Input><Validation>boolean</Validation>"
                              "</Field>\n</XmlTemplate>";

class TemplateDialogs : public ShellTest {
protected:
    TemplateDialogs()
    {
        state().flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
        state().connection.baseDn = "dc=example,dc=com";
        state().tree.select(state().tree.setRoot("dc=example,dc=com", NodeImage::Root));
        state().xmlRendering = true;
        frame->commands().refresh();
        std::filesystem::copy_file(SlapdServer::dataDirectory() + "/Stylesheet.xsl", "Stylesheet.xsl");
        write("Device.xml", kTemplate);
    }
};

TEST_F(TemplateDialogs, TheFormHandsEachKindOfFieldToTheModel)
{
    onDialog(TemplatePickerDialog::kCreateResource, [](QDialog& dialog) {
        auto& templates = child<QListWidget>(dialog, "templates");
        ASSERT_EQ(templates.count(), 1);
        EXPECT_EQ(templates.item(0)->text(), "Device");
        templates.setCurrentRow(0);
        press(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible()) << "the form asked for the editor";
        press(dialog, "cancel");
    });
    onDialog(TemplateFormDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Template View For Device.xml");
        auto& name = child<QLineEdit>(dialog, "cn");
        EXPECT_EQ(name.maxLength(), 8);
        EXPECT_EQ(name.styleSheet(), "color: red");
        auto& serial = child<QLineEdit>(dialog, "serialNumber");
        EXPECT_EQ(serial.echoMode(), QLineEdit::Password);
        EXPECT_EQ(serial.text(), "12");
        auto& notes = child<QPlainTextEdit>(dialog, "description");

        type(dialog, "cn", "a-b");
        press(dialog, "create");
        type(dialog, "cn", "ab");
        type(dialog, "serialNumber", "4x");
        press(dialog, "create");
        type(dialog, "serialNumber", "4");
        notes.setFocus();
        QTest::keyClicks(&notes, "maybe");
        press(dialog, "create");
        EXPECT_TRUE(dialog.isVisible()) << "a refused value keeps the form";
        press(dialog, "modify");
    });
    onDialog(TemplateEditorDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Device.xml");
        EXPECT_EQ(child<QPlainTextEdit>(dialog, "text").toPlainText().toStdString(), kTemplate);
        press(dialog, "close");
    });
    trigger(CommandId::CreateObject);
    std::vector<std::string> texts;
    for (const auto& box : boxes.boxes)
        texts.push_back(box.text);
    EXPECT_EQ(texts,
        (std::vector<std::string> { "a-b Non alphanumeric value specified.Unable to Create Object",
            "4x Value is Not Numeric.Unable to Create Object",
            "maybe Non boolean value specified.Unable to Create Object" }));
}

} // namespace
