#include "browser/logs/DeleteLogDialog.h"

#include "browser/logs/ErrorLogFile.h"

#include <cstdio>

namespace {

std::vector<std::string> numbered(int first, int last)
{
    std::vector<std::string> items;
    for (int n = first; n <= last; ++n)
        items.push_back((n < 10 ? "0" : "") + std::to_string(n));
    return items;
}

} // namespace

DeleteLogDialog::DeleteLogDialog(Desktop& desktop, LogMode log) : desktop_(desktop), log_(log) {}

std::string DeleteLogDialog::windowTitle() const
{
    return log_ == LogMode::General ? "Delete General Log" : "Delete LDIF Log";
}

const std::vector<std::string>& DeleteLogDialog::months()
{
    static const std::vector<std::string> items = numbered(1, 12);
    return items;
}

const std::vector<std::string>& DeleteLogDialog::days()
{
    static const std::vector<std::string> items = numbered(1, 31);
    return items;
}

const std::vector<std::string>& DeleteLogDialog::years()
{
    static const std::vector<std::string> items = [] {
        // Every two-digit year: a list that stopped at "05" could not name a current record's date.
        std::vector<std::string> list = numbered(0, 99);
        list.emplace_back();
        return list;
    }();
    return items;
}

void DeleteLogDialog::setDeleteEntireLog(bool ticked)
{
    deleteEntire_ = ticked;
    changed();
}

void DeleteLogDialog::choose(const std::vector<std::string>& items, int index, std::string& choice)
{
    if (!listsEnabled())
        return;
    choice = index >= 0 && static_cast<std::size_t>(index) < items.size() ? items[index] : std::string();
    changed();
}

void DeleteLogDialog::ok()
{
    const std::string path = logFileName(log_);
    if (deleteEntire_) {
        end(DialogResult::Ok);
        std::remove(path.c_str());
        return;
    }
    const char* missing = month_.empty() ? "Please Select a proper month"
        : day_.empty()                   ? "Please Select a proper day"
        : year_.empty()                  ? "Please Select a proper year"
                                         : nullptr;
    if (missing) {
        desktop_.inform(missing);
        return;
    }
    end(DialogResult::Ok);
    deleteDate(path);
}

// A plain text match, so a message that happens to hold the date goes too.
void DeleteLogDialog::deleteDate(const std::string& path) const
{
    std::optional<std::string> text = readLog(path);
    if (!text)
        return;
    const std::string date = month_ + "/" + day_ + "/" + year_;
    std::string kept;
    bool changed = false;
    for (std::string_view line : logLines(*text)) {
        if (line.find(date) == std::string_view::npos)
            kept.append(line);
        else
            changed = true;
    }
    if (changed)
        rewriteLog(path, kept);
}
