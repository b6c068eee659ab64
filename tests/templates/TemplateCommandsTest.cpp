// The template commands against slapd, driven through their dialog models:
// a template made of the entry shown, the pickers, the editor's checks and
// writes, and an entry created through a template's form.
#include "browser/CommandTable.h"
#include "templates/TemplateCommands.h"
#include "templates/TemplateDialogs.h"
#include "templates/TemplateFormDialog.h"
#include "tests/tools/create/CreateFixture.h"
#include "tools/create/CreateCommands.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;
const std::string kBase = SlapdServer::suffix();

class TemplateCommandsTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        startServer(options);
    }

    TemplateCommandsTest()
    {
        logInAsAdmin();
        LoadTree(context);
        state.xmlRendering = true;
        fs::copy_file(SlapdServer::dataDirectory() + "/Stylesheet.xsl", "Stylesheet.xsl");
        desktop = FakeDesktop {};
    }

    void onPicker(const char* resource, std::function<void(TemplatePickerDialog&)> work)
    {
        desktop.onDialog(resource, [work](DialogModel& dialog) { work(static_cast<TemplatePickerDialog&>(dialog)); });
    }

    // Modify XML Template on the named template, the editor worked by edit.
    void editTemplate(const std::string& name, std::function<void(TemplateEditorDialog&)> edit)
    {
        onPicker(TemplatePickerDialog::kModifyResource, [&](TemplatePickerDialog& picker) {
            picker.choose(indexOf(picker.templates().items, name));
            picker.ok();
        });
        desktop.onDialog(TemplateEditorDialog::kResource,
            [&](DialogModel& dialog) { edit(static_cast<TemplateEditorDialog&>(dialog)); });
        ModifyXmlTemplateCommand(context);
    }
};

const std::string kGoodTemplate = "<?xml version=\"1.0\"?>\n<XmlTemplate>\n<ObjectClass>organizationalUnit</ObjectClass>\n"
                                  "<Field>\n<Name>ou</Name>\n</Field>\n</XmlTemplate>";

} // namespace

TEST_F(TemplateCommandsTest, ATemplateOfTheEntryShownAsksBeforeItRewrites)
{
    selectPath(context, { "ou=Groups", "cn=staff" });
    desktop = FakeDesktop {};
    onDialog<SaveTemplateDialog>(desktop, [&](SaveTemplateDialog& name) {
        name.ok();
        name.setName("  staff ");
        name.ok();
    });
    CreateXmlTemplateCommand(context);
    EXPECT_EQ(desktop.boxes, Boxes({ errorBox("Please enter the file name", "Error") }));
    XmlError error;
    auto made = ReadTemplateFile("staff.xml", error);
    ASSERT_TRUE(made) << error.reason;
    EXPECT_EQ(made->objectClasses, Strings({ "groupOfNames" }));
    Strings names;
    for (const TemplateField& field : made->fields)
        names.push_back(field.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, Strings({ "cn", "member", "member" })); // a field per value, none for dn

    // Over an existing file: No keeps the dialog, Yes replaces the file whole.
    write("staff.xml", std::string(5000, 'x'));
    desktop = FakeDesktop {};
    desktop.answer(MessageAnswer::No);
    bool keptOpen = false;
    onDialog<SaveTemplateDialog>(desktop, [&](SaveTemplateDialog& name) {
        name.setName("staff");
        name.ok();
        keptOpen = !name.ended();
        name.ok();
    });
    CreateXmlTemplateCommand(context);
    EXPECT_TRUE(keptOpen);
    EXPECT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].text, "File with same name already exist. Do you want to rewrite the file");
    EXPECT_TRUE(ReadTemplateFile("staff.xml", error));
}

TEST_F(TemplateCommandsTest, PickersWithoutTemplatesSaySo)
{
    selectPath(context, { "ou=People" });
    desktop = FakeDesktop {};
    onPicker(TemplatePickerDialog::kModifyResource, [&](TemplatePickerDialog& picker) {
        EXPECT_TRUE(picker.templates().items.empty());
        picker.ok();
    });
    onPicker(TemplatePickerDialog::kCreateResource, [&](TemplatePickerDialog& picker) { picker.ok(); });
    ModifyXmlTemplateCommand(context);
    CreateObjectCommand(context);
    EXPECT_EQ(desktop.boxes,
        Boxes({ errorBox("XML Template not found", "Error"), errorBox("No Template selected for Modification", "Error"),
            errorBox("XML Template not found", "Error"), errorBox("No File selected for Object Creation", "Error") }));
    EXPECT_EQ(desktop.dialogsRun,
        Strings({ TemplatePickerDialog::kModifyResource, TemplatePickerDialog::kCreateResource }));
}

TEST_F(TemplateCommandsTest, TheEditorWritesOnlyTextThatLoads)
{
    struct Case {
        const char* what;
        std::string stylesheet; // empty: none
        std::string text;
        std::string box;
        bool written;
    };
    const std::vector<Case> cases {
        { "malformed text: the loader's line and position", "keep", "<a>\r\n<b>\n</a>",
            "Error in t.xml on  line 3, position 5\nReason: Opening and ending tag mismatch: b line 2 and a", false },
        { "no stylesheet", "", kGoodTemplate,
            "Error in StyleSheet.xsl on line 0, position 0\nReason: the file Stylesheet.xsl does not exist", false },
        { "a broken stylesheet", "<xsl:stylesheet>", kGoodTemplate,
            "Error in StyleSheet.xsl on line 1, position 16\nReason: Namespace prefix xsl on stylesheet is not defined",
            false },
        { "carriage returns never reach the file", "keep", "<?xml version=\"1.0\"?>\r\n<XmlTemplate/>\r\n",
            "Template is saved successfully", true },
    };
    const std::string stylesheet = read("Stylesheet.xsl");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write("t.xml", kGoodTemplate);
        fs::remove("Stylesheet.xsl");
        if (!c.stylesheet.empty())
            write("Stylesheet.xsl", c.stylesheet == "keep" ? stylesheet : c.stylesheet);
        desktop = FakeDesktop {};
        editTemplate("t", [&](TemplateEditorDialog& editor) {
            EXPECT_EQ(editor.windowTitle(), "t.xml");
            EXPECT_EQ(editor.text().text, kGoodTemplate);
            editor.setText(c.text);
            editor.save();
        });
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].text, c.box);
        std::string expected = c.text;
        std::erase(expected, '\r');
        EXPECT_EQ(read("t.xml"), c.written ? expected : kGoodTemplate);
    }

    // Save As writes the new name, and editing goes on there.
    write("t.xml", kGoodTemplate);
    desktop = FakeDesktop {};
    onDialog<SaveTemplateDialog>(desktop, [](SaveTemplateDialog& name) {
        name.setName("copy");
        name.ok();
    });
    editTemplate("t", [&](TemplateEditorDialog& editor) {
        editor.saveAs();
        EXPECT_EQ(editor.windowTitle(), "copy.xml");
    });
    EXPECT_EQ(read("copy.xml"), kGoodTemplate);
}

TEST_F(TemplateCommandsTest, CreateObjectGoesThroughATemplatesForm)
{
    // A name with a dot of its own is listed whole, so that it opens.
    fs::copy_file(SlapdServer::dataDirectory() + "/templates/Person.xml", "Person.v2.xml");
    selectPath(context, { "ou=People" });
    const Strings typed { "zoe7", "Zoë (R&D) 100% + = x", "Ærø", "z@example.com", "42", "secret", "a\nb" };
    auto fill = [&](TemplateFormDialog& form) {
        EXPECT_EQ(form.windowTitle(), "Template View For Person.v2.xml");
        for (std::size_t i = 0; i < typed.size(); ++i)
            form.setValue(static_cast<int>(i), typed[i]);
    };
    // A form closed by its window, then Modify, which opens the editor on
    // the template: the picker stays after both.
    desktop = FakeDesktop {};
    onPicker(TemplatePickerDialog::kCreateResource, [&](TemplatePickerDialog& picker) {
        picker.choose(indexOf(picker.templates().items, "Person.v2"));
        for (int form = 0; form < 2; ++form) {
            picker.ok();
            EXPECT_FALSE(picker.ended());
        }
        picker.ok();
    });
    onDialog<TemplateFormDialog>(desktop, [](TemplateFormDialog&) {});
    onDialog<TemplateFormDialog>(desktop, [&](TemplateFormDialog& form) { form.modify(); });
    desktop.onDialog(TemplateEditorDialog::kResource, [](DialogModel& editor) {
        EXPECT_EQ(editor.windowTitle(), "Person.v2.xml");
    });
    onDialog<TemplateFormDialog>(desktop, [&](TemplateFormDialog& form) {
        fill(form);
        form.create();
    });
    CreateObjectCommand(context);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    const std::string dn = "uid=zoe7,ou=People," + kBase;
    EXPECT_EQ(server().ldapsearchValues(dn, "cn"), Strings({ typed[1] }));
    EXPECT_EQ(server().ldapsearchValues(dn, "description"), Strings({ "a\r\nb" })); // as a browser sends it
    EXPECT_NE(find(context.state.tree.selected(), "uid=zoe7"), nullptr);
    EXPECT_EQ(desktop.pauses, std::vector<int>({ 500 }));
}
