#include "listbox.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTextDocument>

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

// The document is refilled with its signals held back: through the widget, Qt would pass
// over every line twice more, once to reformat it and, with the accessibility bridge on,
// once to copy the inserted text out again. The layout still follows every change; the
// cursor and the bridge are told once, here.
void ListBox::setListText(const QString& text) {
    QString shown = text;
    if (shown.endsWith(u'\r'))
        shown.chop(1); // the last line's end opens no empty line
    shown.replace(u'\r', u'\n');
    QTextDocument* list = document();
    const qsizetype replaced = list->characterCount() - 1;
    {
        // The scroll bar stands while the document fills: one that appears afterwards
        // narrows the view, and Qt then lays out every line once more for the new width.
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        const QSignalBlocker quiet(list);
        list->setPlainText(shown);
    }
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setModified(false);
    setTextCursor(QTextCursor(list));
    announceReplacedText(replaced, shown);
}

void ListBox::announceReplacedText(qsizetype replacedLength, const QString& shown) {
    if (!QAccessible::isActive())
        return;
    QAccessibleTextUpdateEvent event(this, 0, QString(replacedLength, u' '), shown);
    QAccessible::updateAccessibility(&event);
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
