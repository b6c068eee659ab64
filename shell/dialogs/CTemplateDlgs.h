// The template dialogs: "Save XML Template", the two template pickers, the
// template editor and the form drawn from a template.
#pragma once

#include "shell/dialogs/BoundDialog.h"

#include <vector>

class QListWidget;
class QPlainTextEdit;
class QWidget;
class SaveTemplateDialog;
class TemplateEditorDialog;
class TemplateFormDialog;
class TemplatePickerDialog;

class CSaveTemplateDlg final : public BoundDialog {
public:
    CSaveTemplateDlg(SaveTemplateDialog& model, QWidget* parent);

private:
    void refresh() override;

    SaveTemplateDialog& model_;
    QLineEdit* name_;
};

class CTemplatePickerDlg final : public BoundDialog {
public:
    CTemplatePickerDlg(TemplatePickerDialog& model, QWidget* parent);

private:
    void refresh() override;

    TemplatePickerDialog& model_;
    QListWidget* templates_;
};

class CTemplateEditorDlg final : public BoundDialog {
public:
    CTemplateEditorDlg(TemplateEditorDialog& model, QWidget* parent);

private:
    void refresh() override;

    TemplateEditorDialog& model_;
    QPlainTextEdit* text_;
};

class CTemplateFormDlg final : public BoundDialog {
public:
    CTemplateFormDlg(TemplateFormDialog& model, QWidget* parent);

private:
    void refresh() override;

    TemplateFormDialog& model_;
    std::vector<QWidget*> fields_;
};
