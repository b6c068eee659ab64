// A template file: the object classes a new entry receives and one field
// per attribute the user fills in. Read with libxml2, element names in any
// case; written by the program line by line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TemplateField {
    std::string name, displayName, input, defaultValue, validation, size, maxLength, color;
};

struct XmlTemplate {
    std::vector<std::string> objectClasses;
    std::vector<TemplateField> fields;
};

// Where and why a document did not parse. line is 0 when the parser could
// not tell (a file that cannot be read).
struct XmlError {
    int line = 0;
    int position = 0;
    std::string reason;
};

// Parses a document and walks it: every element before its children, then
// its following siblings. "Field" starts the next field; "ObjectClass"
// before the first field gives a class; the other field elements fill the
// current field. Names, classes and rules lose the blanks around them;
// default values are kept as written.
std::optional<XmlTemplate> ParseTemplate(std::string_view text, XmlError& error);
std::optional<XmlTemplate> ReadTemplateFile(const std::string& path, XmlError& error);

// Whether a file is a well-formed XML document (the stylesheet check).
bool IsWellFormedFile(const std::string& path, XmlError& error);

// A template's text as the program writes it: the classes, then a field per
// attribute named, each a text box labelled with the name. Names and classes
// are XML-escaped. No line-feed after the last line.
std::string TemplateText(const std::vector<std::string>& objectClasses, const std::vector<std::string>& fieldNames);

// Text with &, <, > and " as XML writes them in element content and attributes.
std::string XmlEscaped(std::string_view text);
