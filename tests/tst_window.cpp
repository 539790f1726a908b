#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <sqlite3.h>

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void actions_data();
    void actions();
    void keyboardFocus();
    void realDialogOpensInAppFolderAndRestoresWorkingDirectory();
};

// "%F" stands for the folder, "%C" for the catalogue, "%R" for the root of the sandbox.
void TestWindow::actions_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("answer"); // to every question
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("catalogued");
    QTest::addColumn<QStringList>("after"); // the folder; empty: as before

    const QString scanned = "%F\rIMG_2.jpg\rIMG_10.jpg\rčáp.jpg\r";
    const QString sorted = "001 - čáp.jpg\r002 - IMG_10.jpg\r003 - IMG_2.jpg\r";
    const QStringList all{"čáp.jpg", "IMG_10.jpg", "IMG_2.jpg"}, none;
    const QString three = "Přejmenovat 3 soubory ve složce „%F“ na jejich číslované názvy?";
    const QString locked = "Katalog „%C“: databázi právě používá jiný program";
    const QString garbage = "Katalog „%C“: soubor není databáze";
    QTest::newRow("browse/names in natural order, catalogue in date order")
        << "browse"
        << "" << none << "Zvolen adresář: %F" << scanned << all << none;
    QTest::newRow("browse/cancelled changes nothing") << "cancel"
                                                      << "" << none << "OK"
                                                      << "" << none << none;
    QTest::newRow("browse/missing folder reported, catalogue emptied")
        << "browse gone"
        << "" << QStringList{"Adresář „%R/gone/“ neexistuje"} << "Zvolen adresář: %R/gone/"
        << "%R/gone/\r" << none << none;
    QTest::newRow("sort/declined with Ne")
        << "browse sort"
        << "Ne" << QStringList{three} << "HOTOVO - seřazeno" << sorted << all << none;
    QTest::newRow("sort/declined with Return, the default")
        << "browse sort"
        << "Return" << QStringList{three} << "HOTOVO - seřazeno" << sorted << all << none;
    QTest::newRow("sort/declined with Escape")
        << "browse sort"
        << "Escape" << QStringList{three} << "HOTOVO - seřazeno" << sorted << all << none;
    QTest::newRow("sort/accepted, a second press asks nothing")
        << "browse sort sort"
        << "Přejmenovat" << QStringList{three} << "HOTOVO - přejmenováno" << sorted << all
        << QStringList{"001 - čáp.jpg=čáp.jpg", "002 - IMG_10.jpg=IMG_10.jpg",
                       "003 - IMG_2.jpg=IMG_2.jpg"};
    QTest::newRow("sort/no scan in this run offers nothing")
        << "browse reopen sort"
        << "Přejmenovat" << none << "HOTOVO - seřazeno" << sorted << all << none;
    QTest::newRow("sort/failures counted, listed in one message")
        << "browse spoil sort"
        << "Přejmenovat"
        << QStringList{"Přejmenovat 1 soubor ve složce „%F“",
                       "Tyto soubory nebyly přejmenovány:\n"
                       "čáp.jpg: soubor se od procházení složky změnil\n"
                       "IMG_10.jpg: soubor ve složce chybí\n"
                       "IMG_2.jpg: soubor s novým názvem už existuje"}
        << "HOTOVO - nepřejmenováno: 3" << sorted << all
        << QStringList{"003 - IMG_2.jpg=taken", "IMG_2.jpg=IMG_2.jpg", "čáp.jpg=edited"};
    QTest::newRow("sort/empty catalogue keeps the list") << "type sort"
                                                         << "" << none << "HOTOVO - seřazeno"
                                                         << "" << none << none;
    QTest::newRow("catalogue/locked: old rows kept, renaming not offered")
        << "browse spoil lock browse sort"
        << "Přejmenovat" << QStringList{locked} << "HOTOVO - seřazeno" << sorted << all
        << QStringList{"003 - IMG_2.jpg=taken", "IMG_2.jpg=IMG_2.jpg", "čáp.jpg=edited"};
    QTest::newRow("catalogue/not a database: reported, recreated once deleted")
        << "garbage sort delete browse sort"
        << "Ne" << QStringList{garbage, garbage, three} << "HOTOVO - seřazeno" << sorted << all
        << none;
}

void TestWindow::actions() {
    QFETCH(QString, steps);
    QFETCH(QString, answer);
    QFETCH(QStringList, messages);
    QFETCH(QString, status);
    QFETCH(QString, list);
    QFETCH(QStringList, catalogued);
    QFETCH(QStringList, after);
    Sandbox box;
    box.make({"čáp.jpg", "IMG_10.jpg", "IMG_2.jpg"});
    const QStringList before = box.state();
    const QString catalogue = box.catalogue().path();
    ModalAnswerer answerer(answer);
    sqlite3* lock = nullptr;
    for (const QString& step : steps.split(u' ')) {
        if (step == u"browse" || step == u"cancel" || step == u"gone") {
            if (step != u"browse")
                box.confirmed = step == u"gone" ? std::optional(box.path("gone/x")) : std::nullopt;
            click(box.window(), "Command1");
        } else if (step == u"sort") {
            click(box.window(), "Command2");
        } else if (step == u"type") {
            control<QPlainTextEdit>(box.window(), "TextBox1")->setPlainText("typed");
        } else if (step == u"reopen") {
            box.closeWindow();
        } else if (step == u"spoil") {
            box.make({"čáp.jpg=edited", "-IMG_10.jpg", "003 - IMG_2.jpg=taken"});
        } else if (step == u"lock") {
            lock = otherConnection(catalogue, "BEGIN IMMEDIATE");
        } else if (step == u"garbage") {
            writeFile(catalogue, "not a database");
        } else if (step == u"delete") {
            QVERIFY(QFile::remove(catalogue));
        }
    }
    sqlite3_close(lock);
    const auto fill = [&](QString text) {
        return text.replace("%F", box.folder()).replace("%C", catalogue).replace("%R", box.path());
    };
    QCOMPARE(answerer.texts().size(), messages.size());
    for (int i = 0; i < messages.size(); ++i)
        QVERIFY2(answerer.texts()[i].contains(fill(messages[i])), qPrintable(answerer.texts()[i]));
    QCOMPARE(::status(box.window()), fill(status));
    QCOMPARE(box.window().state().listtext, fill(list));
    QCOMPARE(shownText(box.window()).replace(u'\n', u'\r') + (list.isEmpty() ? "" : "\r"),
             steps.contains("type") ? "typed" : fill(list));
    QCOMPARE(filenames(box.catalogue().orderedRows()), catalogued);
    QCOMPARE(box.state(), after.isEmpty() ? before : after);
}

void TestWindow::keyboardFocus() {
    Sandbox box;
    box.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&box.window()));
    QCOMPARE(QApplication::focusWidget()->objectName(), "Command1");
    for (const char* next : {"Command2", "TextBox1", "Command3", "Command1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    auto* list = control<QPlainTextEdit>(box.window(), "TextBox1");
    QTest::keyClicks(list, "ab");
    for (auto key : {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Enter}) {
        list->setFocus();
        QTest::keyClick(list, key);
        QCOMPARE(QApplication::focusWidget()->objectName(), "Command3");
    }
    QCOMPARE(list->toPlainText(), "ab"); // Tab and Enter typed nothing
}

void TestWindow::realDialogOpensInAppFolderAndRestoresWorkingDirectory() {
    Sandbox box;
    MainWindow& window = box.window();
    window.setDirectoryChooser(std::make_unique<FileDialogChooser>());
    const QString workingDir = QDir::currentPath();
    QStringList openedIn;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), "Select a Directory");
        openedIn << dialog->directory().absolutePath();
        QVERIFY(QDir::setCurrent(box.folder()));
        if (openedIn.size() == 1)
            return dialog->reject();
        dialog->setDirectory(box.folder());
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does
    });
    click(window, "Command1");
    QCOMPARE(QDir::currentPath(), workingDir);
    QVERIFY(window.state().dirpath.isEmpty());
    click(window, "Command1");
    QCOMPARE(QDir::currentPath(), workingDir);
    QCOMPARE(openedIn, QStringList(2, box.path("app")));
    QCOMPARE(window.state().dirpath, box.folder());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
