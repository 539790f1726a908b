#include "mainwindow.h"
#include "quitonsignal.h"
#include "translations.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("temlo_rundel")); // names the data folder
    installCzechQtTranslations(app);
    quitOnTerminationSignals(app);
    MainWindow window;
    window.show();
    return QApplication::exec();
}
