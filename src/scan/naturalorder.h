#pragma once

#include <QCollator>
#include <QLocale>

// The collator that orders file names for the user: `locale`'s collation, with runs of
// digits compared by their value, so "IMG_2" comes before "IMG_10" and, in Czech, "Čtvrtek"
// before "Dub" and "chata" after "hrad".
QCollator nameCollator(const QLocale& locale = QLocale());
