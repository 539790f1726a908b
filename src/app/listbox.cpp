#include "listbox.h"

#include "listboxaccessible.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace {

// Lines to a paragraph. Filling costs about the same for any group from a few dozen lines up,
// while the view lays out a whole paragraph to show any line of it, and again on each key
// typed into it.
constexpr int linesPerParagraph = 64;

QAccessibleInterface* accessibleListBox(const QString& key, QObject* object) {
    if (key == QLatin1String(ListBox::staticMetaObject.className()))
        if (auto* box = qobject_cast<ListBox*>(object))
            return new ListBoxAccessible(box);
    return nullptr;
}

} // namespace

ListBox::ListBox(QWidget* parent) : QPlainTextEdit(parent) {
    static const bool accessible = (QAccessible::installFactory(accessibleListBox), true);
    Q_UNUSED(accessible)
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont listFont = font();
    listFont.setPointSizeF(8.25);
    setFont(listFont);
}

// The document is refilled with its signals and its layout's held back: through the widget,
// Qt would pass over every line twice more, once to reformat it and, with the accessibility
// bridge on, once to copy the inserted text out again. The cursor, the scroll bar and the
// bridge are told once, here.
void ListBox::setListText(const QString& text) {
    QTextDocument* list = document();
    const qsizetype replaced = list->characterCount() - 1;
    {
        // The scroll bar stands while the document fills: one that appears afterwards
        // narrows the view, and Qt then lays out the shown lines once more for the new width.
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        const QSignalBlocker quiet(list);
        const QSignalBlocker quietLayout(list->documentLayout());
        const bool undoable = list->isUndoRedoEnabled();
        list->setUndoRedoEnabled(false); // also forgets what could be undone
        list->clear();
        fill(text);
        list->setUndoRedoEnabled(undoable);
    }
    QAbstractTextDocumentLayout* layout = list->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setModified(false);
    setTextCursor(QTextCursor(list));
    viewport()->update();
    announceReplacedText(replaced, text);
}

// Paragraph by paragraph, each given its number of lines: Qt counts a paragraph as one line
// until the view lays it out, so the scroll bar would cover a fraction of the list and grow,
// its thumb jumping, as paragraphs are shown. So it covers the whole list at once, as with a
// paragraph per line (a line that wraps counts as one there too, until it is laid out).
void ListBox::fill(const QString& text) {
    QTextCursor end(document());
    end.beginEditBlock();
    QString paragraph;
    int lines = 0;
    const auto endParagraph = [&] {
        end.insertText(paragraph);
        end.block().setLineCount(std::max(lines, 1));
        paragraph.resize(0);
        lines = 0;
    };
    for (qsizetype start = 0; start < text.size();) {
        qsizetype stop = text.indexOf(u'\r', start);
        if (stop < 0)
            stop = text.size();
        if (lines == linesPerParagraph) {
            endParagraph();
            end.insertBlock();
        } else if (lines > 0) {
            paragraph += QChar::LineSeparator;
        }
        paragraph += QStringView(text).sliced(start, stop - start);
        ++lines;
        start = stop + 1;
    }
    endParagraph();
    end.endEditBlock();
}

// Gives each paragraph its number of lines again, as fill() did; one that is laid out already
// counts at least that many, wrapped lines included.
void ListBox::countLines() {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        block.setLineCount(
            std::max(block.lineCount(), int(block.text().count(QChar::LineSeparator)) + 1));
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
}

// A new width clears every paragraph's layout and Qt counts each as one line again, which
// also moves the view to another line of the list; both are put back.
void ListBox::resizeEvent(QResizeEvent* event) {
    const int topLine = verticalScrollBar()->value();
    QPlainTextEdit::resizeEvent(event);
    if (event->oldSize().width() != event->size().width()) {
        countLines();
        verticalScrollBar()->setValue(topLine);
    }
}

void ListBox::announceReplacedText(qsizetype replacedLength, const QString& text) {
    if (!QAccessible::isActive())
        return;
    QString inserted = text;
    if (inserted.endsWith(u'\r'))
        inserted.chop(1);
    inserted.replace(u'\r', u'\n');
    QAccessibleTextUpdateEvent event(this, 0, QString(replacedLength, u' '), inserted);
    QAccessible::updateAccessibility(&event);
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    m_sinceDoubleClick.start();
    m_doubleClickPoint = event->position().toPoint();
}

// Qt selects the whole paragraph on a triple click; here that is the list line under it.
void ListBox::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const bool tripleClick =
        event->button() == Qt::LeftButton && m_sinceDoubleClick.isValid() &&
        !m_sinceDoubleClick.hasExpired(QApplication::doubleClickInterval()) &&
        (point - m_doubleClickPoint).manhattanLength() < QApplication::startDragDistance();
    m_sinceDoubleClick.invalidate();
    // Qt scrolls to the end of the paragraph it selects; the view stays where it was.
    const int topLine = verticalScrollBar()->value();
    const int clicked = cursorForPosition(point).position();
    QPlainTextEdit::mousePressEvent(event);
    if (tripleClick) {
        m_lineAnchor = clicked;
        verticalScrollBar()->setValue(topLine);
        selectLines(m_lineAnchor, m_lineAnchor);
    }
}

void ListBox::mouseMoveEvent(QMouseEvent* event) {
    const int topLine = verticalScrollBar()->value();
    const int position = cursorForPosition(event->position().toPoint()).position();
    QPlainTextEdit::mouseMoveEvent(event);
    if (m_lineAnchor >= 0 && (event->buttons() & Qt::LeftButton)) {
        verticalScrollBar()->setValue(topLine);
        selectLines(m_lineAnchor, position);
    }
}

void ListBox::mouseReleaseEvent(QMouseEvent* event) {
    m_lineAnchor = -1;
    QPlainTextEdit::mouseReleaseEvent(event);
}

// Whole list lines from the one at anchor to the one at position, each with its line end.
void ListBox::selectLines(int anchor, int position) {
    const int last = document()->characterCount() - 1;
    const auto [anchorStart, anchorEnd] = listLineAt(document(), anchor);
    const auto [start, end] = listLineAt(document(), position);
    QTextCursor cursor(document());
    if (position < anchor) {
        cursor.setPosition(std::min(anchorEnd + 1, last));
        cursor.setPosition(start, QTextCursor::KeepAnchor);
    } else {
        cursor.setPosition(anchorStart);
        cursor.setPosition(std::min(end + 1, last), QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}
