#include "renamequestion.h"

#include <QMessageBox>
#include <QPushButton>

bool confirmRename(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("TEMLO_RUNDEL"), question,
                    QMessageBox::NoButton, parent);
    QPushButton* rename = box.addButton(QStringLiteral("Přejmenovat"), QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(QStringLiteral("Ne"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == rename;
}
