#include "renamequestion.h"

#include "messages.h"

#include <QMessageBox>
#include <QPushButton>

bool confirmRename(QWidget* window, const QString& question) {
    QMessageBox box(QMessageBox::Question, QString(), question);
    QPushButton* rename = box.addButton(QStringLiteral("Přejmenovat"), QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(QStringLiteral("Ne"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    execOverWindow(box, window, QStringLiteral("přejmenování"));
    return box.clickedButton() == rename;
}
