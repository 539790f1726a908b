#include "listboxaccessible.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>

std::pair<int, int> listLineAt(const QTextDocument* document, int position) {
    const QTextBlock block = document->findBlock(position);
    const QString text = block.text();
    const int at = position - block.position();
    const qsizetype start = at == 0 ? 0 : text.lastIndexOf(QChar::LineSeparator, at - 1) + 1;
    qsizetype end = text.indexOf(QChar::LineSeparator, at);
    if (end < 0)
        end = text.size();
    return {block.position() + int(start), block.position() + int(end)};
}

ListBoxAccessible::ListBoxAccessible(QPlainTextEdit* box)
    : QAccessibleWidget(box, QAccessible::EditableText) {}

QPlainTextEdit* ListBoxAccessible::box() const {
    return static_cast<QPlainTextEdit*>(widget());
}

QAccessible::State ListBoxAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.selectableText = true;
    state.multiLine = true;
    if (box()->isReadOnly())
        state.readOnly = true;
    else
        state.editable = true;
    return state;
}

QString ListBoxAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return box()->toPlainText(); // gives line separators as newlines
    return QAccessibleWidget::text(t);
}

void ListBoxAccessible::setText(QAccessible::Text t, const QString& text) {
    if (t != QAccessible::Value)
        QAccessibleWidget::setText(t, text);
    else if (!box()->isReadOnly())
        box()->setPlainText(text);
}

void* ListBoxAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QTextCursor ListBoxAccessible::cursorAt(int offset) const {
    QTextCursor cursor(box()->document());
    cursor.setPosition(std::clamp(offset, 0, characterCount()));
    return cursor;
}

QTextCursor ListBoxAccessible::range(int startOffset, int endOffset) const {
    QTextCursor cursor = cursorAt(startOffset);
    cursor.setPosition(std::clamp(endOffset, 0, characterCount()), QTextCursor::KeepAnchor);
    return cursor;
}

void ListBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = box()->textCursor();
    if (selectionIndex == 0 && cursor.hasSelection()) {
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
}

int ListBoxAccessible::selectionCount() const {
    return box()->textCursor().hasSelection() ? 1 : 0;
}

void ListBoxAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void ListBoxAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = box()->textCursor();
    cursor.clearSelection();
    box()->setTextCursor(cursor);
}

void ListBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0)
        box()->setTextCursor(range(startOffset, endOffset));
}

int ListBoxAccessible::cursorPosition() const {
    return box()->textCursor().position();
}

void ListBoxAccessible::setCursorPosition(int position) {
    box()->setTextCursor(cursorAt(position));
}

QString ListBoxAccessible::text(int startOffset, int endOffset) const {
    QString text = range(startOffset, endOffset).selectedText();
    for (QChar& c : text)
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u'\n';
    return text;
}

// Lines and words as the layout shows them; a paragraph is one line of the list.
std::pair<int, int> ListBoxAccessible::boundaries(int offset,
                                                  QAccessible::TextBoundaryType type) const {
    const QTextCursor cursor = cursorAt(offset);
    if (type != QAccessible::ParagraphBoundary) {
        const auto [start, end] = QAccessible::qAccessibleTextBoundaryHelper(cursor, type);
        return {start, end};
    }
    return listLineAt(box()->document(), cursor.position());
}

QString ListBoxAccessible::textOf(std::pair<int, int> range, int* startOffset,
                                  int* endOffset) const {
    *startOffset = range.first;
    *endOffset = range.second;
    return text(range.first, range.second);
}

QString ListBoxAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    const std::pair<int, int> at = boundaries(offset, boundaryType);
    if (at.first <= 0)
        return textOf({0, 0}, startOffset, endOffset);
    return textOf(boundaries(at.first - 1, boundaryType), startOffset, endOffset);
}

QString ListBoxAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const {
    const std::pair<int, int> at = boundaries(offset, boundaryType);
    std::pair<int, int> next = boundaries(at.second, boundaryType);
    if (next == at && at.second < characterCount()) // at.second is the separator of `at`
        next = boundaries(at.second + 1, boundaryType);
    if (next == at)
        return textOf({characterCount(), characterCount()}, startOffset, endOffset);
    return textOf(next, startOffset, endOffset);
}

QString ListBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int* startOffset, int* endOffset) const {
    return textOf(boundaries(offset, boundaryType), startOffset, endOffset);
}

int ListBoxAccessible::characterCount() const {
    return box()->document()->characterCount() - 1;
}

QRect ListBoxAccessible::characterRect(int offset) const {
    QRect rect = box()->cursorRect(cursorAt(offset));
    const QString character = text(offset, offset + 1);
    rect.setWidth(character.isEmpty() ? 0 : box()->fontMetrics().horizontalAdvance(character));
    rect.moveTopLeft(box()->viewport()->mapToGlobal(rect.topLeft()));
    return rect;
}

int ListBoxAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint inView = box()->viewport()->mapFromGlobal(point);
    if (!box()->viewport()->rect().contains(inView))
        return -1;
    return box()->cursorForPosition(inView).position();
}

// Scrolls the line that holds startIndex into view, leaving the cursor where it is.
void ListBoxAccessible::scrollToSubstring(int startIndex, int /*endIndex*/) {
    const QTextCursor cursor = cursorAt(startIndex);
    const QTextBlock block = cursor.block();
    box()->document()->documentLayout()->blockBoundingRect(block); // lays the paragraph out
    const QTextLine line = block.layout()->lineForTextPosition(cursor.positionInBlock());
    const int lineNumber = block.firstLineNumber() + (line.isValid() ? line.lineNumber() : 0);
    QScrollBar* bar = box()->verticalScrollBar();
    if (lineNumber < bar->value() || lineNumber >= bar->value() + bar->pageStep())
        bar->setValue(lineNumber);
}

// The box has one font and no other formatting, so one run covers the whole text.
QString ListBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    if (offset == -2)
        offset = cursorPosition();
    else if (offset == -1)
        offset = characterCount();
    if (offset < 0 || offset > characterCount()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    *startOffset = 0;
    *endOffset = characterCount();
    const QFont font = box()->font();
    QString family = font.family();
    for (const QChar special : {u'\\', u':', u',', u'=', u';', u'"'})
        family.replace(special, QStringLiteral("\\") + special);
    return QStringLiteral("font-family:\"%1\";font-size:%2pt;font-weight:%3;font-style:%4;")
        .arg(family, QString::number(font.pointSizeF()),
             font.weight() > QFont::Normal ? QStringLiteral("bold") : QStringLiteral("normal"),
             font.style() == QFont::StyleNormal ? QStringLiteral("normal")
                                                : QStringLiteral("italic"));
}

void ListBoxAccessible::deleteText(int startOffset, int endOffset) {
    range(startOffset, endOffset).removeSelectedText();
}

void ListBoxAccessible::insertText(int offset, const QString& text) {
    cursorAt(offset).insertText(text);
}

void ListBoxAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    range(startOffset, endOffset).insertText(text);
}
