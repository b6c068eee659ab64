#include "browser/session/SetEntriesDialog.h"

#include "browser/ViewState.h"
#include "browser/session/Registry.h"

#include <charconv>

SetEntriesDialog::SetEntriesDialog(ViewState& state, const Registry& registry)
    : state_(state), registry_(registry), text_(std::to_string(state.pageSize))
{
}

void SetEntriesDialog::setEntries(std::string text)
{
    text_ = std::move(text);
    std::size_t first = text_.find_first_not_of(" \t");
    std::size_t last = text_.find_last_not_of(" \t");
    if (first != std::string::npos) {
        const char* begin = text_.data() + first;
        const char* end = text_.data() + last + 1;
        int value = 0;
        if (*begin == '+' && end - begin > 1 && begin[1] != '-')
            ++begin;
        auto [stop, error] = std::from_chars(begin, end, value);
        if (error == std::errc() && stop == end)
            state_.pageSize = value;
    }
    changed();
}

void SetEntriesDialog::ok()
{
    registry_.writeEntries(state_.pageSize);
    end(DialogResult::Ok);
}
