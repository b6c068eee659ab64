// Reads LDIF one record at a time from a stream, never the whole file:
// what our export writes, what ldapsearch writes, and the older plain form.
//
// Read: folded lines (a line that begins with one blank continues the one
// before), comments ("#" lines with their continuations), a first
// "version:" line, "name:: base64" and "dn:: base64", "changetype: add",
// and a last record with no empty line after it. The DN line's name is not
// looked at; a plain DN is trimmed. A plain value loses one blank after the
// colon, no more, and is kept byte for byte otherwise ("(No Value)" and the
// character 20 of old files included). Lines that repeat a type add their
// values to the first, in file order, because a server refuses an add that
// names a type twice.
//
// Refused, with the line that says why: another change type, a "name:<"
// URL value, bad base64, a line without a colon. The record is read to its
// end and handed out with its fault, so the caller can count and log it.
// There are no limits on line length or lines per record.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// The blanks around an LDIF value or DN; a line has lost its line end by the
// time it is trimmed.
inline constexpr std::string_view kLdifBlanks = " \t";

struct LdifAttribute {
    std::string type;
    std::vector<std::string> values;
    bool operator==(const LdifAttribute&) const = default;
};

struct LdifRecord {
    int line = 0; // where the record begins
    std::string firstLine; // its first line, unfolded, as written
    std::string dn;
    std::vector<LdifAttribute> attributes;
    int faultLine = 0; // 0: none
    std::string fault;
};

class LdifReader {
public:
    explicit LdifReader(std::istream& in)
        : in_(in)
    {
    }

    // The next record; false at the end of the stream.
    bool next(LdifRecord& record);
    // The bytes read so far, for progress.
    uint64_t position() const { return consumed_; }

private:
    bool physicalLine(std::string& line);
    bool logicalLine(std::string& line, int& number);
    void parseDn(LdifRecord& record, const std::string& line);
    void parseAttribute(LdifRecord& record, const std::string& line, int number);

    std::istream& in_;
    uint64_t consumed_ = 0;
    int lineNumber_ = 0;
    bool pending_ = false; // pendingLine_ holds the physical line read ahead
    std::string pendingLine_;
    int pendingNumber_ = 0;
    bool firstLine_ = true; // nothing but a version line may come before the first record
};
