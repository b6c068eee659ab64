// "Server Certificate": a certificate in doubt, and Trust once, Trust always or Cancel.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class CertificateDialog;

class CCertificateDlg final : public BoundDialog {
public:
    CCertificateDlg(CertificateDialog& model, QWidget* parent);

private:
    // Everything it shows is fixed when the model is made.
    void refresh() override { }
};
