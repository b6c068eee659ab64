// "Mandatory Attributes": one row per attribute the chosen class needs; the
// value is edited in place (F2 or a click on the selected row).
#pragma once

#include "shell/dialogs/BoundDialog.h"

class MandatoryAttributesDialog;
class QTableWidget;

class CMandatoryAttributesDlg final : public BoundDialog {
public:
    CMandatoryAttributesDlg(MandatoryAttributesDialog& model, QWidget* parent);

private:
    void refresh() override;

    MandatoryAttributesDialog& model_;
    QTableWidget* list_;
};
