#include "browser/session/SetEntriesDialog.h"

#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/Registry.h"

#include <charconv>
#include <optional>

namespace {

// A whole number from 1 up, blanks around it and a plus sign allowed.
std::optional<int> pageSizeOf(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    const char* begin = text.data() + first;
    const char* end = text.data() + text.find_last_not_of(" \t") + 1;
    if (*begin == '+' && end - begin > 1 && begin[1] != '-')
        ++begin;
    int value = 0;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || value < 1)
        return std::nullopt;
    return value;
}

} // namespace

SetEntriesDialog::SetEntriesDialog(Desktop& desktop, ViewState& state, const Registry& registry)
    : desktop_(desktop), state_(state), registry_(registry), text_(std::to_string(state.pageSize))
{
}

void SetEntriesDialog::setEntries(std::string text)
{
    text_ = std::move(text);
    if (std::optional<int> size = pageSizeOf(text_))
        state_.pageSize = *size;
    changed();
}

void SetEntriesDialog::ok()
{
    if (!pageSizeOf(text_)) {
        desktop_.error("Please enter a whole number of entries from 1 up.", "Error");
        return;
    }
    registry_.writeEntries(state_.pageSize);
    end(DialogResult::Ok);
}
