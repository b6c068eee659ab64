#include "shell/ExitingNotice.h"

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

void ShowExitingNotice()
{
    QDialog notice;
    notice.setWindowTitle(QStringLiteral("Exiting the Application"));
    auto* layout = new QVBoxLayout(&notice);
    layout->addWidget(new QLabel(QStringLiteral("Exiting Velmora LDAP Browser !!!"), &notice));
    QTimer::singleShot(1000, &notice, &QDialog::accept);
    notice.exec();
}
