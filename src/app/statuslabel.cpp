#include "statuslabel.h"

#include <QPainter>
#include <QStyle>

void StatusLabel::setStatus(const QString& text) {
    setText(text);
    setToolTip(shownText() == text ? QString() : text);
}

QString StatusLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

void StatusLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(),
                          shownText(), foregroundRole());
}
