#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPoint>

// The multi-line list box: editable, but Tab and Enter move the focus on instead of typing.
//
// Its document keeps the list lines in groups, each group one paragraph whose lines end in a
// line separator (U+2028): Qt's text document spends most of its time and memory per
// paragraph, while a line separator still starts a line of its own on screen. Copying, the
// plain text and the accessible text give the separators as newlines.
class ListBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // Shows a text whose lines each end in a lone carriage return.
    void setListText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void fill(const QString& text);
    void countLines();
    void announceReplacedText(qsizetype replacedLength, const QString& text);
    void selectLines(int anchor, int position);

    // A third click soon after a double click selects the list line, not the whole group.
    QElapsedTimer m_sinceDoubleClick;
    QPoint m_doubleClickPoint;
    int m_lineAnchor = -1; // while a triple click is held: where the line selection began
};
