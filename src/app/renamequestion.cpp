#include "renamequestion.h"

#include <QMessageBox>
#include <QPushButton>

RenameChoice askRename(QWidget* parent, const QString& question, bool canRename, bool canUndo) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("TEMLO_RUNDEL"), question,
                    QMessageBox::NoButton, parent);
    QPushButton* rename =
        canRename ? box.addButton(QStringLiteral("Přejmenovat"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* undo = canUndo ? box.addButton(QStringLiteral("Vrátit původní názvy"),
                                                QMessageBox::DestructiveRole)
                                : nullptr;
    QPushButton* keep = box.addButton(QStringLiteral("Ne"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (rename && box.clickedButton() == rename)
        return RenameChoice::Rename;
    if (undo && box.clickedButton() == undo)
        return RenameChoice::Undo;
    return RenameChoice::Keep;
}
