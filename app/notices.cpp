#include "notices.h"

#include <QMessageBox>

void tellUser(QWidget *parent, const QString &text)
{
    auto *box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("Lumivard"), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}
