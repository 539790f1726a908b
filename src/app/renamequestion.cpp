#include "renamequestion.h"

#include "messages.h"
#include "wording.h"

#include <QMessageBox>
#include <QPushButton>

RenameChoice askRename(QWidget* window, const RenameOffer& offer) {
    QMessageBox box(QMessageBox::Question, QString(), renameQuestion(offer));
    QPushButton* rename =
        offer.toRename > 0 ? box.addButton(QStringLiteral("Přejmenovat"), QMessageBox::AcceptRole)
                           : nullptr;
    QPushButton* undo = offer.toRestore > 0 ? box.addButton(QStringLiteral("Vrátit původní názvy"),
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
