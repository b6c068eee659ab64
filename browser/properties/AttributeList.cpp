#include "browser/properties/AttributeList.h"

namespace {

// 2912 as "2,912".
std::string groupedDigits(std::size_t number)
{
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

// The length of the UTF-8 sequence that starts with lead, 0 when none can.
int sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

bool IsText(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const int length = sequenceLength(lead);
        if (lead == 0 || length == 0 || bytes.size() - at < static_cast<std::size_t>(length))
            return false;
        for (int i = 1; i < length; ++i)
            if ((static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]) & 0xC0) != 0x80)
                return false;
        const auto second = static_cast<unsigned char>(length > 1 ? bytes[at + 1] : 0);
        // Overlong forms, surrogates and code points above U+10FFFF.
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90)
            || (lead == 0xF4 && second > 0x8F))
            return false;
        at += static_cast<std::size_t>(length);
    }
    return true;
}

std::string AttributeRow::shownValue() const
{
    if (binary)
        return "(binary value, " + groupedDigits(value.size()) + (value.size() == 1 ? " byte)" : " bytes)");
    if (value.empty())
        return kNoValue;
    const std::size_t lineEnd = value.find_first_of("\r\n");
    if (lineEnd == std::string::npos)
        return value;
    return value.substr(0, lineEnd) + " \u2026";
}

template <class Call> void AttributeList::notify(Call call)
{
    for (AttributeListObserver* observer : observers_)
        call(*observer);
}

void AttributeList::append(AttributeRow row)
{
    int at = size();
    notify([at](AttributeListObserver& o) { o.beginInsertRows(at, at); });
    rows_.push_back(std::move(row));
    notify([](AttributeListObserver& o) { o.endInsertRows(); });
}

void AttributeList::remove(int index)
{
    if (index < 0 || index >= size())
        return;
    if (selected_ == index)
        select(-1);
    else if (selected_ > index)
        --selected_;
    notify([index](AttributeListObserver& o) { o.beginRemoveRows(index, index); });
    rows_.erase(rows_.begin() + index);
    notify([](AttributeListObserver& o) { o.endRemoveRows(); });
}

void AttributeList::clear()
{
    select(-1);
    if (rows_.empty())
        return;
    int last = size() - 1;
    notify([last](AttributeListObserver& o) { o.beginRemoveRows(0, last); });
    rows_.clear();
    notify([](AttributeListObserver& o) { o.endRemoveRows(); });
}

void AttributeList::setValue(int index, std::string value)
{
    rows_.at(static_cast<std::size_t>(index)).value = std::move(value);
    notify([index](AttributeListObserver& o) { o.rowChanged(index); });
}

void AttributeList::select(int index)
{
    if (index < -1 || index >= size())
        index = -1;
    if (selected_ == index)
        return;
    selected_ = index;
    notify([index](AttributeListObserver& o) { o.selectionChanged(index); });
}

void AttributeList::addObserver(AttributeListObserver* observer)
{
    observers_.push_back(observer);
}

void AttributeList::removeObserver(AttributeListObserver* observer)
{
    std::erase(observers_, observer);
}
