#include "translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installCzechQtTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_cs"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}
