#include "catalogue.h"
#include "datum.h"
#include "mainwindow.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        qCritical("usage: temlo_screenshot OUTPUT.png");
        return 2;
    }
    QTemporaryDir appDir;
    std::vector<CatalogueRow> rows;
    const QDateTime first(QDate(2024, 7, 14), QTime(9, 12, 5));
    for (int i = 0; i < 24; ++i)
        rows.push_back({QStringLiteral("IMG_%1.jpg").arg(4211 + (i * 7) % 24),
                        storedDatum(first.addSecs(i * 97))});
    Catalogue(appDir.filePath(QStringLiteral("temlo_files.mdb"))).replaceAll(rows);

    MainWindow window(appDir.path());
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    // Let the list lay itself out and size its scroll bar before the picture is taken.
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
