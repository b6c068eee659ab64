#include "tools/ldif/LdifReader.h"

#include "browser/Trimmed.h"
#include "tools/ldif/Base64.h"

#include <strings.h>

namespace {

bool namedAs(const std::string& name, const char* wanted)
{
    return strcasecmp(name.c_str(), wanted) == 0;
}

void fail(LdifRecord& record, int line, std::string why)
{
    if (record.faultLine != 0)
        return;
    record.faultLine = line;
    record.fault = std::move(why);
}

// The value after "name:": base64 after a second colon, a URL after "<".
enum class ValueForm { Plain, Base64, Url };

ValueForm valueForm(const std::string& line, std::size_t colon)
{
    if (colon + 1 < line.size() && line[colon + 1] == ':')
        return ValueForm::Base64;
    if (colon + 1 < line.size() && line[colon + 1] == '<')
        return ValueForm::Url;
    return ValueForm::Plain;
}

} // namespace

// One line without its LF, and without a CR right before it.
bool LdifReader::physicalLine(std::string& line)
{
    if (!std::getline(in_, line)) {
        line.clear();
        return false;
    }
    ++lineNumber_;
    const bool ended = !in_.eof();
    consumed_ += line.size() + (ended ? 1 : 0);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// A line with its continuations joined. A continuation with no line before
// it in the record is dropped.
bool LdifReader::logicalLine(std::string& line, int& number)
{
    for (;;) {
        if (!pending_) {
            if (!physicalLine(pendingLine_))
                return false;
            pendingNumber_ = lineNumber_;
        }
        pending_ = false;
        if (pendingLine_.empty() || pendingLine_.front() != ' ')
            break;
    }
    line.swap(pendingLine_);
    number = pendingNumber_;
    if (line.empty())
        return true;
    while (physicalLine(pendingLine_)) {
        if (pendingLine_.empty() || pendingLine_.front() != ' ') {
            pending_ = true;
            pendingNumber_ = lineNumber_;
            break;
        }
        line.append(pendingLine_, 1);
    }
    return true;
}

bool LdifReader::next(LdifRecord& record)
{
    record = LdifRecord {};
    bool started = false;
    std::string line;
    int number = 0;
    while (logicalLine(line, number)) {
        if (line.empty()) {
            if (started)
                return true;
            continue;
        }
        if (line.front() == '#')
            continue;
        const bool first = firstLine_;
        firstLine_ = false;
        if (!started && first && line.size() > 8 && strncasecmp(line.c_str(), "version:", 8) == 0)
            continue;
        if (!started) {
            started = true;
            record.line = number;
            record.firstLine = line;
            parseDn(record, line);
            continue;
        }
        parseAttribute(record, line, number);
    }
    return started;
}

void LdifReader::parseDn(LdifRecord& record, const std::string& line)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
        fail(record, record.line, "the line holds no colon");
        return;
    }
    switch (valueForm(line, colon)) {
    case ValueForm::Plain:
        record.dn = Trimmed(line.substr(colon + 1), kLdifBlanks);
        return;
    case ValueForm::Base64:
        if (std::optional<std::string> dn = DecodeBase64(line.substr(colon + 2)))
            record.dn = std::move(*dn);
        else
            fail(record, record.line, "the DN is not valid base64");
        // The add request takes the DN as text: a zero byte would cut it short.
        if (record.dn.find('\0') != std::string::npos)
            fail(record, record.line, "the DN holds a zero byte");
        return;
    case ValueForm::Url:
        fail(record, record.line, "a DN read from a URL is not supported");
        return;
    }
}

void LdifReader::parseAttribute(LdifRecord& record, const std::string& line, int number)
{
    if (record.faultLine != 0)
        return;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
        fail(record, number, "the line holds no colon");
        return;
    }
    std::string type = line.substr(0, colon);
    if (type.find('\0') != std::string::npos) {
        fail(record, number, "the attribute name holds a zero byte");
        return;
    }
    std::string value;
    switch (valueForm(line, colon)) {
    case ValueForm::Plain:
        value = line.substr(colon + 1);
        if (!value.empty() && value.front() == ' ')
            value.erase(0, 1);
        break;
    case ValueForm::Base64:
        if (std::optional<std::string> decoded = DecodeBase64(line.substr(colon + 2))) {
            value = std::move(*decoded);
            break;
        }
        fail(record, number, "the value of " + type + " is not valid base64");
        return;
    case ValueForm::Url:
        fail(record, number, "the value of " + type + " is read from a URL, which is not supported");
        return;
    }
    if (namedAs(type, "changetype")) {
        if (!namedAs(Trimmed(value, kLdifBlanks), "add"))
            fail(record, number, "the change type " + Trimmed(value, kLdifBlanks) + " is not supported");
        return;
    }
    for (LdifAttribute& attribute : record.attributes) {
        if (namedAs(attribute.type, type.c_str())) {
            attribute.values.push_back(std::move(value));
            return;
        }
    }
    record.attributes.push_back({ std::move(type), { std::move(value) } });
}
