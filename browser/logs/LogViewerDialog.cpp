#include "browser/logs/LogViewerDialog.h"

#include "browser/logs/Clock.h"

namespace {

constexpr const char* kNoSeparator = "Invalid Log File Format";
constexpr const char* kOneSeparator = "Invalid Log file";

} // namespace

LogViewerDialog::LogViewerDialog(Desktop& desktop, const Clock& clock, LogMode log)
    : desktop_(desktop), clock_(clock), log_(log)
{
}

std::string LogViewerDialog::windowTitle() const
{
    return log_ == LogMode::General ? "General Log File" : "LDIF Log File";
}

void LogViewerDialog::open()
{
    prune();
    load();
}

void LogViewerDialog::showError(const char* text)
{
    desktop_.inform(text, "Error");
}

// Keeps the records that have not expired. A line without "$" abandons the
// pruning and leaves the log as it was; so does a line with one "$" in the
// LDIF log, while in the general log it ends the pruning there.
void LogViewerDialog::prune()
{
    const std::string path = logFileName(log_);
    std::optional<std::string> text = readLog(path);
    if (!text)
        return;
    const std::tm today = clock_.now();
    std::string kept;
    bool changed = false;
    bool cutShort = false;
    for (std::string_view line : logLines(*text)) {
        LogRow row;
        RecordShape shape = splitRecord(line, &row);
        if (shape == RecordShape::NoSeparator) {
            showError(kNoSeparator);
            return;
        }
        if (shape == RecordShape::OneSeparator) {
            if (log_ == LogMode::Ldif) {
                showError(kOneSeparator);
                return;
            }
            // The damaged line and the records after it are kept unpruned:
            // a bad line must not cost the log its later records.
            kept.append(line.data(), static_cast<std::size_t>(text->data() + text->size() - line.data()));
            cutShort = true;
            break;
        }
        if (recordExpired(row.date, today))
            changed = true;
        else
            kept.append(line);
    }
    if (cutShort)
        showError(kOneSeparator);
    if (changed)
        rewriteLog(path, kept);
}

void LogViewerDialog::load()
{
    rows_.clear();
    std::optional<std::string> text = readLog(logFileName(log_));
    if (text) {
        for (std::string_view line : logLines(*text)) {
            LogRow row;
            RecordShape shape = splitRecord(line, &row);
            if (shape != RecordShape::Complete) {
                changed();
                showError(shape == RecordShape::NoSeparator ? kNoSeparator : kOneSeparator);
                break;
            }
            rows_.push_back(std::move(row));
        }
    }
    changed();
}
