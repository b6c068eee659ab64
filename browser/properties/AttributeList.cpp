#include "browser/properties/AttributeList.h"

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
