// The log viewer: the records of one log as date, time and information.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class LogViewerDialog;
class QPushButton;
class QTableWidget;

class CLogViewerDlg final : public BoundDialog {
public:
    CLogViewerDlg(LogViewerDialog& model, QWidget* parent);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh() override;

    LogViewerDialog& model_;
    QTableWidget* list_;
    QPushButton* close_;
};
