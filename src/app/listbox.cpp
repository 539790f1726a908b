#include "listbox.h"

#include <QKeyEvent>

ListBox::ListBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont listFont = font();
    listFont.setPointSizeF(8.25);
    setFont(listFont);
}

void ListBox::setListText(const QString& text) {
    QString shown = text;
    if (shown.endsWith(u'\r'))
        shown.chop(1); // the last line's end opens no empty line
    shown.replace(u'\r', u'\n');
    setPlainText(shown);
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
