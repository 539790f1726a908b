#include "mainwindow.h"
#include "quitonsignal.h"
#include "translations.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installCzechQtTranslations(app);
    quitOnTerminationSignals(app);
    MainWindow window;
    window.show();
    return QApplication::exec();
}
