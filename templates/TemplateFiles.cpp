#include "templates/TemplateFiles.h"

#include "browser/Desktop.h"
#include "browser/ReplaceFile.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

std::vector<std::string> ListTemplates(Desktop& desktop)
{
    std::vector<std::string> names;
    std::error_code failed;
    for (fs::directory_iterator entry(".", failed), end; !failed && entry != end; entry.increment(failed)) {
        const std::string file = entry->path().filename().string();
        if (file.size() > 4 && file.ends_with(".xml") && entry->is_regular_file(failed))
            names.push_back(file.substr(0, file.size() - 4));
    }
    std::sort(names.begin(), names.end());
    if (names.empty())
        desktop.error("XML Template not found", "Error");
    return names;
}

std::optional<XmlTemplate> LoadTemplate(Desktop& desktop, const std::string& fileName, const std::string* text)
{
    XmlError error;
    std::optional<XmlTemplate> read = text ? ParseTemplate(*text, error) : ReadTemplateFile(fileName, error);
    if (!read) {
        desktop.error(error.line == 0 ? "Error in " + fileName + " \nReason: " + error.reason
                                      : "Error in " + fileName + " on  line " + std::to_string(error.line)
                    + ", position " + std::to_string(error.position) + "\nReason: " + error.reason,
            "Error");
        return std::nullopt;
    }
    if (!IsWellFormedFile(kStylesheetFile, error)) {
        desktop.error("Error in StyleSheet.xsl on line " + std::to_string(error.line) + ", position "
                + std::to_string(error.position) + "\nReason: " + error.reason,
            "Error");
        return std::nullopt;
    }
    return read;
}

bool WriteTemplateFile(const std::string& fileName, const std::string& text)
{
    return replaceFile(fileName, fileName + ".new", text);
}
