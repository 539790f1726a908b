#pragma once

#include <QPlainTextEdit>

// The multi-line list box: editable, but Tab and Enter move the focus on instead of typing.
class ListBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // Shows a text whose lines each end in a lone carriage return.
    void setListText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void announceReplacedText(qsizetype replacedLength, const QString& shown);
};
