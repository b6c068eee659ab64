// The DNs a search found, in result order: one buffer of text and where each
// DN starts, so that a search of 100,000 entries holds them in a few
// megabytes beside the labels of the results list. No length limit applies.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class DnList {
public:
    void reserve(std::size_t count) { starts_.reserve(count + 1); }
    void append(std::string_view dn)
    {
        if (starts_.empty())
            starts_.push_back(0);
        text_.append(dn);
        starts_.push_back(text_.size());
    }
    void clear()
    {
        text_.clear();
        starts_.clear();
    }

    std::size_t size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
    std::string_view operator[](std::size_t index) const
    {
        return std::string_view(text_).substr(starts_[index], starts_[index + 1] - starts_[index]);
    }

private:
    std::string text_;
    std::vector<std::size_t> starts_; // size() + 1 offsets into text_
};
