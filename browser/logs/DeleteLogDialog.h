// "Delete Log File": deletes a whole log, or every line of it that holds a
// chosen MM/DD/YY date (in its date or anywhere in its message). The log is
// the one in the current directory.
#pragma once

#include "browser/DialogModel.h"
#include "browser/logs/ErrorLog.h"

#include <string>
#include <vector>

class DeleteLogDialog final : public DialogModel {
public:
    DeleteLogDialog(Desktop& desktop, LogMode log);

    static constexpr const char* kResource = "Delete Log File";
    std::string resourceName() const override { return kResource; }
    std::string windowTitle() const override;

    // "01".."12", "01".."31", and "00".."05" followed by an empty item.
    static const std::vector<std::string>& months();
    static const std::vector<std::string>& days();
    static const std::vector<std::string>& years();

    // "Delete Entire &Log": while ticked the three lists are disabled.
    void setDeleteEntireLog(bool ticked);
    bool deleteEntireLog() const { return deleteEntire_; }
    bool listsEnabled() const { return !deleteEntire_; }

    // An index into the list; any other index clears the choice. Ignored
    // while the lists are disabled.
    void chooseMonth(int index) { choose(months(), index, month_); }
    void chooseDay(int index) { choose(days(), index, day_); }
    void chooseYear(int index) { choose(years(), index, year_); }
    const std::string& month() const { return month_; }
    const std::string& day() const { return day_; }
    const std::string& year() const { return year_; }

    // Deletes and closes; a missing date part keeps the dialog open with a message.
    void ok();

private:
    void choose(const std::vector<std::string>& items, int index, std::string& choice);
    void deleteDate(const std::string& path) const;

    Desktop& desktop_;
    LogMode log_;
    bool deleteEntire_ = false;
    std::string month_;
    std::string day_;
    std::string year_;
};
