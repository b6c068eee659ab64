// Template files in the working folder: listing them, loading one with its
// checks, and writing one whole or not at all.
#pragma once

#include "templates/XmlTemplate.h"

#include <optional>
#include <string>
#include <vector>

class Desktop;

// The stylesheet the program checks, beside the templates.
inline constexpr const char* kStylesheetFile = "Stylesheet.xsl";

// The names of the "*.xml" files in the working folder without ".xml" (a
// name with dots of its own keeps them, so that it opens), sorted. Empty,
// after "XML Template not found", when there is none.
std::vector<std::string> ListTemplates(Desktop& desktop);

// Parses the template (from its file, or from text when text is given) and
// then checks Stylesheet.xsl. A failure of either is shown with its line,
// position and reason, and gives nothing.
std::optional<XmlTemplate> LoadTemplate(
    Desktop& desktop, const std::string& fileName, const std::string* text = nullptr);

// Writes the file whole through a temporary file renamed over it, or
// leaves it as it was.
bool WriteTemplateFile(const std::string& fileName, const std::string& text);
