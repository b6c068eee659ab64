// The native form posts, byte for byte, what a browser posts for the HTML
// form that xsltproc makes of the same template with Stylesheet.xsl: the
// browser side computed here from that HTML by the HTML form-submission
// rules (entry list in tree order, the submitter only, newlines as CR LF,
// the urlencoded serializer).
#include "templates/TemplateFormDialog.h"
#include "tests/support/CoreSession.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstdlib>

namespace {

std::string attribute(xmlNode* node, const char* name, const char* otherwise = "")
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value ? reinterpret_cast<const char*>(value) : otherwise;
    xmlFree(value);
    return text;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string crlf(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The urlencoded serializer's byte encoding.
std::string serialized(const std::string& text)
{
    std::string out;
    char escape[4];
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '*' || c == '-' || c == '.' || c == '_')
            out += static_cast<char>(c);
        else if (c == ' ')
            out += '+';
        else {
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            out += escape;
        }
    }
    return out;
}

struct Browser {
    std::vector<std::string> typed; // into the text controls, in order; past the end: left as drawn
    std::string submitter;          // the value of the button pressed
    std::vector<std::pair<std::string, std::string>> entries;
    std::size_t textControl = 0;

    std::string typedOr(const std::string& drawn)
    {
        return textControl < typed.size() ? typed[textControl++] : (++textControl, drawn);
    }

    void walk(xmlNode* node)
    {
        for (; node; node = node->next) {
            if (node->type == XML_ELEMENT_NODE) {
                const std::string tag = lower(reinterpret_cast<const char*>(node->name));
                const std::string name = attribute(node, "name");
                if (tag == "input") {
                    const std::string type = lower(attribute(node, "type", "text"));
                    std::string drawn = attribute(node, "value");
                    std::erase_if(drawn, [](char c) { return c == '\r' || c == '\n'; });
                    if ((type == "text" || type == "password") && !name.empty())
                        entries.emplace_back(name, typedOr(drawn));
                } else if (tag == "textarea") {
                    xmlChar* content = xmlNodeGetContent(node);
                    std::string drawn = content ? reinterpret_cast<const char*>(content) : "";
                    xmlFree(content);
                    if (!name.empty())
                        entries.emplace_back(name, typedOr(drawn));
                } else if (tag == "button" && lower(attribute(node, "type", "submit")) == "submit") {
                    if (!name.empty() && attribute(node, "value") == submitter)
                        entries.emplace_back(name, submitter);
                }
            }
            walk(node->children);
        }
    }

    std::string post(const std::string& html)
    {
        htmlDocPtr document = htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
            HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
        walk(xmlDocGetRootElement(document));
        xmlFreeDoc(document);
        std::string out;
        for (const auto& [name, value] : entries)
            out += (out.empty() ? "" : "&") + serialized(crlf(name)) + "=" + serialized(crlf(value));
        return out;
    }
};

class BrowserPostTest : public CoreFolderTest {
protected:
    static std::string stylesheetForm(const std::string& templatePath)
    {
        const std::string command
            = "xsltproc '" + SlapdServer::dataDirectory() + "/Stylesheet.xsl' '" + templatePath + "' > form.html";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return read("form.html");
    }
};

} // namespace

TEST_F(BrowserPostTest, TheNativeFormPostsWhatABrowserPosts)
{
    struct Case {
        const char* templateFile;
        std::vector<std::string> typed;
        std::string submit;
    };
    const std::string data = SlapdServer::dataDirectory() + "/templates/";
    const std::vector<Case> cases {
        { "Person.xml", { "zoë7", "Zoë (R&D) 100% + = x", "Ærø", "z@example.com", "42", "p&ss word", "line 1\nline 2\r\n" },
            "ok" },
        { "Person.xml", { "a" }, "modify" },
        { "OrganisationalUnit.xml", { "Sales, East + West", "tabs\tand\rbreaks" }, "cancel" },
        { "OrganisationalUnit.xml", {}, "ok" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.templateFile) + " " + c.submit);
        XmlError error;
        auto form = ReadTemplateFile(data + c.templateFile, error);
        ASSERT_TRUE(form) << error.reason;
        std::string labelText;
        TemplateFormDialog dialog(context, c.templateFile, *form, labelText);
        for (std::size_t i = 0; i < c.typed.size(); ++i)
            dialog.setValue(static_cast<int>(i), c.typed[i]);
        Browser browser { c.typed, c.submit, {} };
        EXPECT_EQ(dialog.posted(c.submit), browser.post(stylesheetForm(data + c.templateFile)));
    }
}
