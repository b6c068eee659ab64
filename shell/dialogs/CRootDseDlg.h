// "Root DSE Information": every value of the server's root DSE.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class RootDseDialog;
class QTableWidget;

class CRootDseDlg final : public BoundDialog {
public:
    CRootDseDlg(RootDseDialog& model, QWidget* parent);

private:
    void refresh() override;

    RootDseDialog& model_;
    QTableWidget* list_;
};
