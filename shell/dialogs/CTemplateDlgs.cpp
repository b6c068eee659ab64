#include "shell/dialogs/CTemplateDlgs.h"

#include "shell/dialogs/ChoiceListWidget.h"
#include "shell/dialogs/DialogLayout.h"
#include "templates/TemplateDialogs.h"
#include "templates/TemplateFormDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QPushButton* button(QDialogButtonBox* box, const char* name, const QString& text, QDialogButtonBox::ButtonRole role)
{
    QPushButton* made = box->addButton(text, role);
    made->setObjectName(name);
    made->setAutoDefault(false);
    return made;
}

// The text a plain text widget holds, as the model keeps it.
void showText(QPlainTextEdit& edit, const std::string& text)
{
    const QString wanted = QString::fromStdString(text);
    if (edit.toPlainText() != wanted) {
        QSignalBlocker quiet(&edit);
        edit.setPlainText(wanted);
    }
}

} // namespace

CSaveTemplateDlg::CSaveTemplateDlg(SaveTemplateDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , name_(NamedEdit(this, "name"))
{
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("File Name :"), this));
    row->addWidget(name_, 1);
    layout->addLayout(row);
    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);
    layout->addWidget(buttons);
    name_->setMinimumWidth(260);

    bindText(*name_, [this](std::string text) { model_.setName(std::move(text)); });
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CSaveTemplateDlg::refresh()
{
    display(*name_, model_.name());
}

CTemplatePickerDlg::CTemplatePickerDlg(TemplatePickerDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , templates_(NamedList(this, "templates"))
{
    auto* layout = new QVBoxLayout(this);
    if (model.purpose() == TemplatePickerDialog::Purpose::Create)
        layout->addWidget(new QLabel(tr("Available Templates:"), this));
    layout->addWidget(templates_);
    QPushButton* ok = nullptr;
    const bool modify = model.purpose() == TemplatePickerDialog::Purpose::Modify;
    auto* buttons = AcceptAndCancel(this, "ok", modify ? tr("&Modify") : tr("OK"), &ok);
    layout->addWidget(buttons);
    resize(300, 320);

    OnChoose(
        *templates_, [this](int row) { model_.choose(row); }, [] {});
    connect(templates_, &QListWidget::itemDoubleClicked, ok, &QPushButton::click);
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CTemplatePickerDlg::refresh()
{
    DisplayChoices(*templates_, model_.templates());
}

CTemplateEditorDlg::CTemplateEditorDlg(TemplateEditorDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , text_(new QPlainTextEdit(this))
{
    text_->setObjectName("text");
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* preview = button(buttons, "preview", tr("&Preview"), QDialogButtonBox::ActionRole);
    QPushButton* saveAs = button(buttons, "saveAs", tr("Save &As..."), QDialogButtonBox::ActionRole);
    QPushButton* save = button(buttons, "save", tr("&Save"), QDialogButtonBox::ActionRole);
    QPushButton* close = button(buttons, "close", tr("&Close"), QDialogButtonBox::RejectRole);
    preview->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(720, 560);

    connect(text_, &QPlainTextEdit::textChanged, this, [this] { model_.setText(text_->toPlainText().toStdString()); });
    bindButton(*preview, [this] { model_.preview(); });
    bindButton(*saveAs, [this] { model_.saveAs(); });
    bindButton(*save, [this] { model_.save(); });
    connect(close, &QPushButton::clicked, this, &BoundDialog::reject);
    bind();
}

void CTemplateEditorDlg::refresh()
{
    setWindowTitle(QString::fromStdString(model_.windowTitle()));
    showText(*text_, model_.text().text);
}

CTemplateFormDlg::CTemplateFormDlg(TemplateFormDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
{
    auto* form = new QFormLayout;
    const QFontMetrics metrics(font());
    for (const FormControl& control : model.controls()) {
        const int index = static_cast<int>(fields_.size());
        const QString name = QString::fromStdString(control.name);
        const QString color = control.color.empty()
            ? QString()
            : QStringLiteral("color: %1").arg(QString::fromStdString(control.color));
        QWidget* field = nullptr;
        if (control.kind == InputKind::TextArea) {
            auto* area = new QPlainTextEdit(this);
            area->setTabChangesFocus(true);
            area->setFixedHeight(metrics.lineSpacing() * 4 + 12);
            connect(area, &QPlainTextEdit::textChanged, this,
                [this, area, index] { model_.setValue(index, area->toPlainText().toStdString()); });
            field = area;
        } else {
            auto* line = new QLineEdit(this);
            if (control.kind == InputKind::Password)
                line->setEchoMode(QLineEdit::Password);
            if (control.maxLength > 0)
                line->setMaxLength(control.maxLength);
            bindText(*line, [this, index](std::string text) { model_.setValue(index, std::move(text)); });
            field = line;
        }
        field->setObjectName(name);
        field->setStyleSheet(color);
        if (control.size > 0)
            field->setMinimumWidth(metrics.averageCharWidth() * control.size + 12);
        form->addRow(QString::fromStdString(control.label), field);
        fields_.push_back(field);
    }
    auto* inner = new QWidget(this);
    inner->setLayout(form);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* create = button(buttons, "create", tr("Create"), QDialogButtonBox::AcceptRole);
    QPushButton* modify = button(buttons, "modify", tr("Modify Template"), QDialogButtonBox::ActionRole);
    QPushButton* cancel = button(buttons, "cancel", tr("Cancel"), QDialogButtonBox::RejectRole);
    create->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    resize(std::max(420, inner->sizeHint().width() + 40), std::min(640, inner->sizeHint().height() + 90));

    bindButton(*create, [this] { model_.create(); });
    bindButton(*modify, [this] { model_.modify(); });
    bindButton(*cancel, [this] { model_.cancelForm(); });
    bind();
}

void CTemplateFormDlg::refresh()
{
    const std::vector<FormControl>& controls = model_.controls();
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const QString value = QString::fromStdString(controls[i].value);
        if (auto* line = qobject_cast<QLineEdit*>(fields_[i])) {
            if (line->text() != value) {
                QSignalBlocker quiet(line);
                line->setText(value);
            }
        } else if (auto* area = qobject_cast<QPlainTextEdit*>(fields_[i])) {
            showText(*area, controls[i].value);
        }
    }
}
