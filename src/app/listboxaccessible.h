#pragma once

#include <QAccessibleWidget>
#include <QTextCursor>
#include <utility>

class QPlainTextEdit;
class QTextDocument;

// The list line that holds position: where it starts and where its line end stands (a line
// separator, a paragraph's end or the document's end).
std::pair<int, int> listLineAt(const QTextDocument* document, int position);

// What a screen reader reads of the list box. The box keeps many list lines in one paragraph
// of its document, separated by line separators (U+2028); here every list line is a paragraph
// of its own and every line separator a newline, as if each line had its own paragraph.
class ListBoxAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit ListBoxAccessible(QPlainTextEdit* box);

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QPlainTextEdit* box() const;
    QTextCursor cursorAt(int offset) const;
    QTextCursor range(int startOffset, int endOffset) const;
    std::pair<int, int> boundaries(int offset, QAccessible::TextBoundaryType type) const;
    QString textOf(std::pair<int, int> range, int* startOffset, int* endOffset) const;
};
