#include "messages.h"

#include "cursoroverride.h"

#include <QMessageBox>

QString messageTitle(const QString& topic) {
    return QStringLiteral("TEMLO_RUNDEL – ") + topic;
}

int execOverWindow(QMessageBox& box, QWidget* window, const QString& topic) {
    // A box with the window as its parent is centred over it when shown.
    box.setParent(window->window(), box.windowFlags());
    box.setWindowTitle(messageTitle(topic));
    const CursorOverride arrow(Qt::ArrowCursor);
    return box.exec();
}

void showError(QWidget* window, const QString& topic, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok);
    execOverWindow(box, window, topic);
}
