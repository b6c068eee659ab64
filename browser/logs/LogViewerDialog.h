// The log viewer ("View General Log File"): prunes the log when it opens,
// then lists every record as date, time and information until the first
// malformed line, which stops it with a message; the rows before stay.
#pragma once

#include "browser/DialogModel.h"
#include "browser/logs/ErrorLog.h"
#include "browser/logs/ErrorLogFile.h"

#include <array>
#include <string>
#include <vector>

class Clock;

class LogViewerDialog final : public DialogModel {
public:
    struct Column {
        const char* title;
        int width;
    };
    static constexpr std::array<Column, 3> kColumns{{{"Date", 120}, {"Time", 120}, {"Information", 300}}};
    // The list has grid lines and the Close button has the focus at first.
    static constexpr bool kGridLines = true;

    struct Size {
        int width;
        int height;
    };
    // The list takes the dialog's full width and its height less 100.
    static Size listSize(Size dialog) { return {dialog.width, dialog.height - 100}; }

    LogViewerDialog(Desktop& desktop, const Clock& clock, LogMode log);

    static constexpr const char* kResource = "View General Log File";
    std::string resourceName() const override { return kResource; }
    std::string windowTitle() const override;

    // Run once, before the dialog is shown: prunes the log in the current
    // directory by today's date and fills the rows.
    void open();
    const std::vector<LogRow>& rows() const { return rows_; }
    void close() { end(DialogResult::Ok); }

private:
    void prune();
    void load();
    void showError(const char* text);

    Desktop& desktop_;
    const Clock& clock_;
    LogMode log_;
    std::vector<LogRow> rows_;
};
