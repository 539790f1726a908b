#include "naturalorder.h"

QCollator nameCollator(const QLocale& locale) {
    // The C locale names no language, and its collator compares code points alone, numbers
    // and case included; the language-neutral collation stands in for it.
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setNumericMode(true);
    return collator;
}
