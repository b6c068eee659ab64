#include "templates/XmlTemplate.h"

#include "browser/Trimmed.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <strings.h>

#include <filesystem>
#include <memory>

namespace {

// No network and no entity expansion from outside: a template is text the
// user may have been handed.
constexpr int kParseOptions = XML_PARSE_NONET;

// The parser goes on after an error; the first one is the one to show.
void keepFirstError(void* first, xmlError* error)
{
    auto* kept = static_cast<XmlError*>(first);
    if (kept->reason.empty() && error && error->level >= XML_ERR_ERROR)
        *kept = { error->line, error->int2, Trimmed(error->message ? error->message : "unknown error") };
}

struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
using Document = std::unique_ptr<xmlDoc, DocumentFree>;

// path empty: parse text.
Document parse(const std::string& path, std::string_view text, XmlError& error)
{
    if (!path.empty() && !std::filesystem::is_regular_file(path)) {
        error = { 0, 0, "the file " + path + " does not exist" };
        return nullptr;
    }
    std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (!context) {
        error = { 0, 0, "out of memory" };
        return nullptr;
    }
    XmlError first;
    xmlSetStructuredErrorFunc(&first, keepFirstError);
    Document document(path.empty() ? xmlCtxtReadMemory(
                          context.get(), text.data(), static_cast<int>(text.size()), nullptr, nullptr, kParseOptions)
                                   : xmlCtxtReadFile(context.get(), path.c_str(), nullptr, kParseOptions));
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (!document || !context->wellFormed) {
        error = first.reason.empty() ? XmlError { 0, 0, "the document is not well-formed" } : first;
        return nullptr;
    }
    return document;
}

std::string textOf(xmlNode* node)
{
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

bool named(xmlNode* node, const char* name)
{
    return strcasecmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

void walk(xmlNode* node, XmlTemplate& result)
{
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (named(node, "Field")) {
            result.fields.emplace_back();
        } else if (result.fields.empty()) {
            if (named(node, "ObjectClass"))
                result.objectClasses.push_back(Trimmed(textOf(node)));
        } else {
            TemplateField& field = result.fields.back();
            struct Slot {
                const char* element;
                std::string TemplateField::*member;
                bool trim;
            };
            static const Slot kSlots[] = {
                { "Name", &TemplateField::name, true },
                { "DisplayName", &TemplateField::displayName, false },
                { "Input", &TemplateField::input, true },
                { "DefaultValue", &TemplateField::defaultValue, false },
                { "Validation", &TemplateField::validation, true },
                { "Size", &TemplateField::size, true },
                { "MaxLength", &TemplateField::maxLength, true },
                { "Color", &TemplateField::color, true },
            };
            for (const Slot& slot : kSlots)
                if (named(node, slot.element))
                    field.*slot.member = slot.trim ? Trimmed(textOf(node)) : textOf(node);
        }
        walk(node->children, result);
    }
}

std::optional<XmlTemplate> read(const std::string& path, std::string_view text, XmlError& error)
{
    Document document = parse(path, text, error);
    if (!document)
        return std::nullopt;
    XmlTemplate result;
    walk(xmlDocGetRootElement(document.get()), result);
    return result;
}

} // namespace

std::optional<XmlTemplate> ParseTemplate(std::string_view text, XmlError& error)
{
    return read({}, text, error);
}

std::optional<XmlTemplate> ReadTemplateFile(const std::string& path, XmlError& error)
{
    return read(path, {}, error);
}

bool IsWellFormedFile(const std::string& path, XmlError& error)
{
    return parse(path, {}, error) != nullptr;
}

std::string XmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string TemplateText(const std::vector<std::string>& objectClasses, const std::vector<std::string>& fieldNames)
{
    std::string text = "<?xml version=\"1.0\"?>\n"
                       "<?xml-stylesheet type=\"text/xsl\" href=\"stylesheet.xsl\"?>\n"
                       "<XmlTemplate Description=\" \">\n";
    for (const std::string& objectClass : objectClasses)
        text += "<ObjectClass>" + XmlEscaped(objectClass) + "</ObjectClass>\n";
    for (const std::string& name : fieldNames) {
        const std::string escaped = XmlEscaped(name);
        text += "<Field>\n<Name>" + escaped + "</Name>\n<DisplayName>" + escaped
            + "</DisplayName>\n<Input>TextBox</Input>\n<DefaultValue></DefaultValue>\n<Validation></Validation>\n"
              "<Size></Size>\n<MaxLength></MaxLength>\n<Color></Color>\n</Field>\n";
    }
    return text + "</XmlTemplate>";
}
