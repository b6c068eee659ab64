// The search filter compiler: filter text in the parenthesized string form
// to one BER Filter, written into an open request.
//
// Filter ::= CHOICE {
//      and             [0] SET OF filter Filter,
//      or              [1] SET OF filter Filter,
//      not             [2] Filter,
//      equalityMatch   [3] AttributeValueAssertion,
//      substrings      [4] SubstringFilter,
//      greaterOrEqual  [5] AttributeValueAssertion,
//      lessOrEqual     [6] AttributeValueAssertion,
//      present         [7] AttributeDescription,
//      approxMatch     [8] AttributeValueAssertion,
//      ... }
// SubstringFilter ::= SEQUENCE {
//      type            AttributeDescription,
//      substrings      SEQUENCE OF substring CHOICE {
//           initial [0] AssertionValue,
//           any     [1] AssertionValue,
//           final   [2] AssertionValue } }
//
// The text is read through views and never written to; only an item with
// a backslash is copied, to drop its escapes.
#include "ldap/OrnQuery.h"

#include "ldap/OrnAlloc.h"
#include "ldap/OrnTrace.h"

#include <cstring>
#include <string_view>

namespace {

using std::string_view;
constexpr std::size_t kNone = string_view::npos;

constexpr uint32_t kAnd = 0xA0;
constexpr uint32_t kOr = 0xA1;
constexpr uint32_t kNot = 0xA2;
constexpr uint32_t kEqualityMatch = 0xA3;
constexpr uint32_t kSubstrings = 0xA4;
constexpr uint32_t kGreaterOrEqual = 0xA5;
constexpr uint32_t kLessOrEqual = 0xA6;
constexpr uint32_t kPresent = 0x87;
constexpr uint32_t kApproxMatch = 0xA8;
constexpr uint32_t kInitial = 0x80;
constexpr uint32_t kAny = 0x81;
constexpr uint32_t kFinal = 0x82;

// and, or and not recurse; a deeper filter is refused like a malformed one
// instead of running the stack out.
constexpr int kMaxNesting = 256;

bool isCSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

uint32_t sizeOf(string_view text)
{
    return static_cast<uint32_t>(text.size()); // put_filter refuses texts of 2 GB and more
}

// Position of the ")" closing a "(" that stands just before from; an
// escaped parenthesis does not count. kNone when the text ends first.
std::size_t findRightParen(string_view text, std::size_t from)
{
    std::size_t balance = 1;
    bool escaped = false;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (!escaped) {
            if (c == '(')
                ++balance;
            else if (c == ')' && --balance == 0)
                return i;
        }
        escaped = c == '\\' && !escaped;
    }
    return kNone;
}

// An item with its escapes removed: a backslash is dropped and the
// character after it stands for itself. Items without a backslash are used
// in place; short copies stay on the stack.
class UnescapedItem {
public:
    explicit UnescapedItem(string_view item)
    {
        if (item.find('\\') == kNone) {
            view_ = item;
            return;
        }
        char* copy = local_;
        if (item.size() > sizeof(local_)) {
            heap_ = static_cast<char*>(ornMalloc(item.size()));
            if (!heap_) {
                failed_ = true;
                return;
            }
            copy = heap_;
        }
        std::size_t length = 0;
        bool escaped = false;
        for (char c : item) {
            if (escaped || c != '\\') {
                copy[length++] = c;
                escaped = false;
            } else {
                escaped = true;
            }
        }
        view_ = string_view(copy, length);
    }
    ~UnescapedItem() { ornFree(heap_); }
    UnescapedItem(const UnescapedItem&) = delete;
    UnescapedItem& operator=(const UnescapedItem&) = delete;

    bool failed() const { return failed_; }
    string_view view() const { return view_; }

private:
    char local_[256];
    char* heap_ = nullptr;
    bool failed_ = false;
    string_view view_;
};

class FilterWriter {
public:
    FilterWriter(BerCodec& codec, BerBuffer* ber)
        : codec_(codec)
        , ber_(ber)
    {
    }

    // One filter text: parenthesized filters one after another, blanks
    // between them, or a bare item that runs to the end. depth counts the
    // and, or and not elements around it. A member of a list is known to
    // end at the ")" that balances its first character.
    int32_t filter(string_view text, int depth, bool listMember = false)
    {
        long open = 0;
        std::size_t at = 0;
        while (at < text.size()) {
            switch (text[at]) {
            case ' ':
                ++at;
                break;
            case '(': {
                ++at;
                ++open;
                const char op = at < text.size() ? text[at] : '\0';
                if (op == '&' || op == '|' || op == '!') {
                    uint32_t tag = kAnd;
                    if (op == '&') {
                        ornTrace("OrnQuery:put_filter: AND:\n");
                    } else if (op == '|') {
                        ornTrace("OrnQuery:put_filter: OR:\n");
                        tag = kOr;
                    } else {
                        ornTrace("OrnQuery:put_filter: NOT:\n");
                        tag = kNot;
                    }
                    // A member "(&...)" of a list closes at its end: the scan
                    // that cut it out already found that ")".
                    const std::size_t knownClose = listMember && at == 1 ? text.size() - 1 : kNone;
                    at = complex(text, at, tag, depth, knownClose);
                    if (at == kNone)
                        return -1;
                } else {
                    ornTrace("OrnQuery:put_filter: simple:\n");
                    const std::size_t close = findRightParen(text, at);
                    if (close == kNone || item(text.substr(at, close - at)) == -1)
                        return -1;
                    at = close + 1;
                }
                --open;
                break;
            }
            case ')':
                // Closes whatever element is innermost; a stray ")" leaves
                // the count negative, so the filter still fails.
                ornTrace("OrnQuery:put_filter: Filter end:\n");
                if (codec_.ber_printf(ber_, "]") == -1)
                    return -1;
                ++at;
                --open;
                break;
            default:
                ornTrace("OrnQuery:put_filter: Default:\n");
                if (item(text.substr(at)) == -1)
                    return -1;
                at = text.size();
                break;
            }
        }
        return open == 0 ? 0 : -1;
    }

private:
    // and, or, not: op is the position of the operator. Returns the
    // position after the closing ")", or kNone.
    std::size_t complex(string_view text, std::size_t op, uint32_t tag, int depth, std::size_t knownClose)
    {
        // Refused before the scan below, so that a deep filter costs at most
        // kMaxNesting passes over the text.
        if (depth >= kMaxNesting)
            return kNone;
        if (codec_.ber_printf(ber_, "t{", tag) == -1)
            return kNone;
        const std::size_t close = knownClose != kNone ? knownClose : findRightParen(text, op + 1);
        if (close == kNone)
            return kNone;
        if (list(text.substr(op + 1, close - op - 1), depth + 1) == -1)
            return kNone;
        if (codec_.ber_printf(ber_, "}") == -1)
            return kNone;
        return close + 1;
    }

    // The members of an and, or or not, each taken to run from its first
    // character to the ")" that balances it.
    int32_t list(string_view text, int depth)
    {
        std::size_t at = 0;
        for (;;) {
            while (at < text.size() && isCSpace(text[at]))
                ++at;
            if (at == text.size())
                return 0;
            const std::size_t close = findRightParen(text, at + 1);
            if (close == kNone)
                return -1;
            if (filter(text.substr(at, close + 1 - at), depth, true) == -1)
                return -1;
            at = close + 1;
        }
    }

    int32_t item(string_view text)
    {
        UnescapedItem unescaped(text);
        if (unescaped.failed())
            return -1;
        return simple(unescaped.view());
    }

    // type=value, type<=value, type>=value, type~=value, type=* and
    // substrings; types and values are taken exactly as written.
    int32_t simple(string_view text)
    {
        const std::size_t equals = text.find('=');
        if (equals == kNone)
            return -1;
        const string_view value = text.substr(equals + 1);
        string_view type = text.substr(0, equals);
        uint32_t tag = kEqualityMatch;
        if (!type.empty()) {
            switch (type.back()) {
            case '<':
                tag = kLessOrEqual;
                break;
            case '>':
                tag = kGreaterOrEqual;
                break;
            case '~':
                tag = kApproxMatch;
                break;
            default:
                break;
            }
            if (tag != kEqualityMatch)
                type.remove_suffix(1);
        }
        if (tag == kEqualityMatch && value.find('*') != kNone) {
            if (value == "*")
                return codec_.ber_printf(ber_, "to", kPresent, type.data(), sizeOf(type)) == -1 ? -1 : 0;
            return substrings(type, value);
        }
        return codec_.ber_printf(ber_, "t{oo}", tag, type.data(), sizeOf(type), value.data(), sizeOf(value)) == -1 ? -1
                                                                                                                   : 0;
    }

    // Pieces between asterisks: the first is initial, the last final, the
    // rest any; empty pieces are left out.
    int32_t substrings(string_view type, string_view value)
    {
        if (codec_.ber_printf(ber_, "t{o{", kSubstrings, type.data(), sizeOf(type)) == -1)
            return -1;
        std::size_t start = 0;
        for (bool first = true;; first = false) {
            const std::size_t star = value.find('*', start);
            const string_view piece = value.substr(start, star == kNone ? kNone : star - start);
            const uint32_t tag = first ? kInitial : (star == kNone ? kFinal : kAny);
            if (!piece.empty() && codec_.ber_printf(ber_, "to", tag, piece.data(), sizeOf(piece)) == -1)
                return -1;
            if (star == kNone)
                break;
            start = star + 1;
        }
        return codec_.ber_printf(ber_, "}}") == -1 ? -1 : 0;
    }

    BerCodec& codec_;
    BerBuffer* ber_;
};

} // namespace

int32_t put_filter(BerCodec& codec, BerBuffer* ber, const char* filter)
{
    if (!filter)
        return -1;
    const string_view text(filter);
    if (text.size() > INT32_MAX)
        return -1;
    return FilterWriter(codec, ber).filter(text, 0);
}
