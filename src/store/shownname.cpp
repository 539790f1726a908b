#include "shownname.h"

#include <algorithm>

namespace {

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

} // namespace

QString shownName(const QString& name) {
    if (std::none_of(name.begin(), name.end(), isControl))
        return name;
    QString shown = name;
    std::replace_if(shown.begin(), shown.end(), isControl, u'?');
    return shown;
}
