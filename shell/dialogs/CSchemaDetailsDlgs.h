// "Class Details" and "Attribute Details": one schema record, read-only,
// sized so that long OIDs and descriptions read without resizing.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class AttributeDetailsDialog;
class ClassDetailsDialog;

class CClassDetailsDlg final : public BoundDialog {
public:
    CClassDetailsDlg(ClassDetailsDialog& model, QWidget* parent);

private:
    void refresh() override { }
};

class CAttributeDetailsDlg final : public BoundDialog {
public:
    CAttributeDetailsDlg(AttributeDetailsDialog& model, QWidget* parent);

private:
    void refresh() override { }
};
