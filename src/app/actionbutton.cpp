#include "actionbutton.h"

#include <QKeyEvent>

void ActionButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return QPushButton::keyPressEvent(event);
    // A held key would start the action again as soon as the last run ends.
    if (!event->isAutoRepeat())
        click();
}
