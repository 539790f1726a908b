#include "messages.h"

#include <QMessageBox>

void showError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QStringLiteral("TEMLO_RUNDEL"), text);
}
