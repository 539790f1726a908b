#pragma once

#include <QLabel>

// The status label: keeps its size, shows a text too wide for it elided in the middle and
// offers the whole text as its tool tip. text() stays the whole text.
class StatusLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void setStatus(const QString& text);
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
