#include "listingfont.h"

#include <QStringList>

namespace {

const QString printFamily = QStringLiteral("Arial CE");

void substituteMetricCompatibleArial() {
    static const bool registered = [] {
        QFont::insertSubstitutions(printFamily,
                                   {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

QFont listingFont() {
    substituteMetricCompatibleArial();
    QFont font(printFamily);
    font.setPointSizeF(8);
    font.setBold(false);
    font.setItalic(false);
    return font;
}
