#include "shell/dialogs/CLogViewerDlg.h"

#include "browser/logs/LogViewerDialog.h"
#include "shell/dialogs/DialogLayout.h"

#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>

CLogViewerDlg::CLogViewerDlg(LogViewerDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , close_(new QPushButton(tr("&Close"), this))
{
    QStringList titles;
    QList<int> widths;
    for (const LogViewerDialog::Column& column : LogViewerDialog::kColumns) {
        titles << QString::fromUtf8(column.title);
        widths << column.width;
    }
    list_ = ReportList(this, titles, widths);
    list_->setShowGrid(LogViewerDialog::kGridLines);
    close_->setObjectName("close");
    close_->setDefault(true);
    bindButton(*close_, [this] { model_.close(); });
    resize(580, 400);
    bind();
    close_->setFocus();
}

void CLogViewerDlg::resizeEvent(QResizeEvent* event)
{
    // The model places the list; the button sits centred below it.
    const QSize size = event->size();
    LogViewerDialog::Size list = LogViewerDialog::listSize({ size.width(), size.height() });
    list_->setGeometry(0, 0, list.width, list.height);
    const QSize button = close_->sizeHint();
    close_->setGeometry((size.width() - button.width()) / 2, list.height + (100 - button.height()) / 2, button.width(),
        button.height());
    BoundDialog::resizeEvent(event);
}

void CLogViewerDlg::refresh()
{
    const auto& rows = model_.rows();
    list_->setRowCount(static_cast<int>(rows.size()));
    int row = 0;
    for (const LogRow& record : rows) {
        int column = 0;
        for (const std::string* text : { &record.date, &record.time, &record.information })
            list_->setItem(row, column++, new QTableWidgetItem(QString::fromStdString(*text)));
        ++row;
    }
}
