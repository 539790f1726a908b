#include "mainwindow.h"
#include "translations.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installCzechQtTranslations(app);
    MainWindow window;
    window.show();
    return QApplication::exec();
}
