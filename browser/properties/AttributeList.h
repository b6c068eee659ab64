// The attribute list of the main view as a core model: one row per value of
// the entry shown, with the value text, the attribute name and the syntax
// display text, and the selected row. Observers hear of every change in
// begin/end pairs so that a view can follow it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the list shows for an empty value. It is only shown: requests carry
// the value itself.
inline constexpr const char* kNoValue = "( No Value )";

struct AttributeRow {
    std::string value; // the bytes the server sent
    std::string name;
    std::string syntax;
    // Bytes rather than text: shown as a placeholder, never edited as text.
    bool binary = false;
    bool operator==(const AttributeRow&) const = default;

    // "( No Value )", "(binary value, 2,912 bytes)", or the text; of a
    // value of several lines the first, marked as continued.
    std::string shownValue() const;
};

// Whether bytes can be shown and edited as text: UTF-8 without a zero byte.
bool IsText(std::string_view bytes);

class AttributeListObserver {
public:
    virtual ~AttributeListObserver() = default;
    virtual void beginInsertRows(int first, int last) = 0;
    virtual void endInsertRows() = 0;
    virtual void beginRemoveRows(int first, int last) = 0;
    virtual void endRemoveRows() = 0;
    virtual void rowChanged(int row) = 0;
    virtual void selectionChanged(int row) = 0;
};

class AttributeList {
public:
    AttributeList() = default;
    AttributeList(const AttributeList&) = delete;
    AttributeList& operator=(const AttributeList&) = delete;

    const std::vector<AttributeRow>& rows() const { return rows_; }
    int size() const { return static_cast<int>(rows_.size()); }
    const AttributeRow& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }

    void append(AttributeRow row);
    void remove(int index);
    void clear();
    void setValue(int index, std::string value);

    // -1 when no row is selected.
    int selected() const { return selected_; }
    void select(int index);

    void addObserver(AttributeListObserver* observer);
    void removeObserver(AttributeListObserver* observer);

private:
    template <class Call> void notify(Call call);

    std::vector<AttributeRow> rows_;
    int selected_ = -1;
    std::vector<AttributeListObserver*> observers_;
};
