#include "tools/create/MandatoryAttributesDialog.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/Trimmed.h"
#include "tools/create/NewEntry.h"

#include <strings.h>

#include <algorithm>

namespace {

bool sameName(const std::string& a, const char* b)
{
    return strcasecmp(a.c_str(), b) == 0;
}

} // namespace

MandatoryAttributesDialog::MandatoryAttributesDialog(AppContext& context, std::string className,
    const std::vector<std::string>& names, std::string parentDn, std::string& labelText)
    : context_(context)
    , className_(std::move(className))
    , parentDn_(std::move(parentDn))
    , labelText_(labelText)
{
    for (const std::string& name : names)
        rows_.push_back({ name, kNoValue });
}

void MandatoryAttributesDialog::setValue(int row, const std::string& text)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    std::string value = Trimmed(text);
    rows_[static_cast<std::size_t>(row)].value = value.empty() ? kNoValue : value;
    changed();
}

void MandatoryAttributesDialog::ok()
{
    if (rows_.empty())
        return;
    if (std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return sameName(r.value, kNoValue); })) {
        context_.desktop.error("Invalid Data Filled...Please Fill all the Details", "ERROR");
        return;
    }
    auto naming = std::find_if(rows_.begin(), rows_.end(), [](const Row& r) { return sameName(r.name, "uid"); });
    if (naming == rows_.end())
        naming = std::find_if(rows_.begin(), rows_.end(), [](const Row& r) { return sameName(r.name, "cn"); });
    if (naming == rows_.end())
        naming = rows_.begin();

    NewEntry entry(naming->name, naming->value, parentDn_);
    for (const Row& row : rows_)
        entry.attribute(row.name, { row.value });
    entry.attribute("objectclass", { className_ });
    DialogResult result = AddNewEntry(context_, entry, labelText_);
    if (result != DialogResult::None)
        end(result);
}
