#include "renamequestion.h"

#include "messages.h"

#include <QMessageBox>
#include <QPushButton>

RenameChoice askRename(QWidget* window, const QString& question, bool canRename, bool canUndo) {
    QMessageBox box(QMessageBox::Question, QString(), question);
    QPushButton* rename =
        canRename ? box.addButton(QStringLiteral("Přejmenovat"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* undo = canUndo ? box.addButton(QStringLiteral("Vrátit původní názvy"),
                                                QMessageBox::DestructiveRole)
                                : nullptr;
    QPushButton* keep = box.addButton(QStringLiteral("Ne"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    execOverWindow(box, window, QStringLiteral("přejmenování"));
    if (rename && box.clickedButton() == rename)
        return RenameChoice::Rename;
    if (undo && box.clickedButton() == undo)
        return RenameChoice::Undo;
    return RenameChoice::Keep;
}
