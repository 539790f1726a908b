#include "catalogue.h"
#include "listbox.h"
#include "mainwindow.h"
#include "statuslabel.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    void seed(const std::vector<CatalogueRow>& rows) {
        Catalogue(m_dir->filePath("temlo_files.mdb")).replaceAll(rows);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void catalogueLivesWhereThisUserMayWrite_data() {
        using P = QFile::Permissions;
        const P readOnly = QFile::ReadOwner | QFile::ExeOwner;
        const P writable = readOnly | QFile::WriteOwner;
        QTest::addColumn<P>("folderMode");
        QTest::addColumn<bool>("readOnlyCatalogue"); // one already beside the executable
        QTest::addColumn<bool>("beside");
        QTest::addColumn<QString>("message");
        QTest::newRow("writable folder") << writable << false << true << "";
        QTest::newRow("read-only folder") << readOnly << false << false << "";
        QTest::newRow("read-only folder/another user's catalogue")
            << readOnly << true << false << "";
        QTest::newRow("writable folder/read-only catalogue")
            << writable << true << true << "do databáze nelze zapisovat";
    }
    void catalogueLivesWhereThisUserMayWrite() {
        QFETCH(QFile::Permissions, folderMode);
        QFETCH(bool, readOnlyCatalogue);
        QFETCH(bool, beside);
        QFETCH(QString, message);
        if (::geteuid() == 0 && (!(folderMode & QFile::WriteOwner) || readOnlyCatalogue))
            QSKIP("root may write anywhere");
        const QString userFolder =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir(userFolder).removeRecursively();
        const QString besidePath = m_dir->filePath("temlo_files.mdb");
        if (readOnlyCatalogue) {
            seed({{"other.jpg", ""}});
            QFile::setPermissions(besidePath, QFile::ReadOwner);
        }
        QFile::setPermissions(m_dir->path(), folderMode);
        QTemporaryDir photos;
        writeFile(photos.filePath("a.jpg"), "");
        ModalAnswerer answerer;

        MainWindow window(m_dir->path());
        window.setDirectoryChooser(StandInChooser::confirming(photos.path()));
        click(window, "Command1");
        const QString path = beside ? besidePath : userFolder + "/temlo_files.mdb";
        QCOMPARE(window.catalogue().path(), path);
        if (!message.isEmpty())
            QVERIFY(answerer.texts().value(0).contains(path + "“: " + message));
        else
            QCOMPARE(filenames(window.catalogue().orderedRows()), QStringList{"a.jpg"});
        if (readOnlyCatalogue)
            QCOMPARE(filenames(Catalogue(besidePath).orderedRows()), QStringList{"other.jpg"});
    }

    void windowIconHasEachSize() {
        const QList<QSize> sizes = MainWindow(m_dir->path()).windowIcon().availableSizes();
        QCOMPARE(sizes, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    }

    void controlsKeepTheirPlaceAndText_data() {
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::newRow("Command1") << QRect(56, 24, 113, 33) << "procházej adresář";
        QTest::newRow("Command2") << QRect(184, 24, 89, 33) << "seřaď";
        QTest::newRow("Command3") << QRect(288, 24, 81, 33) << "TISK";
        QTest::newRow("Label1") << QRect(56, 328, 41, 17) << "Status: ";
        QTest::newRow("Label2") << QRect(96, 328, 457, 17) << "OK";
        QTest::newRow("TextBox1") << QRect(56, 72, 801, 245) << "";
    }
    void controlsKeepTheirPlaceAndText() {
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        MainWindow window(m_dir->path());
        window.show();
        auto* widget = control<QWidget>(window, QTest::currentDataTag());
        QVERIFY(widget->isVisible() && widget->isEnabled());
        QCOMPARE(widget->property(qobject_cast<ListBox*>(widget) ? "plainText" : "text"), text);
        QCOMPARE(widget->geometry(), geometry);
        window.resize(1400, 900);
        QCoreApplication::processEvents();
        QCOMPARE(widget->geometry(), geometry);
    }

    void keyboardFocus() {
        MainWindow window(m_dir->path());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget()->objectName(), "Command1");
        for (const char* next : {"Command2", "TextBox1", "Command3", "Command1"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
        auto* list = control<ListBox>(window, "TextBox1");
        QTest::keyClicks(list, "ab");
        for (auto key : {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Enter}) {
            list->setFocus();
            QTest::keyClick(list, key);
            QCOMPARE(QApplication::focusWidget()->objectName(), "Command3");
        }
        QCOMPARE(list->toPlainText(), "ab"); // Tab and Enter typed nothing
    }

    void keysPressTheFocusedButton_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("clicks");
        for (const char* button : {"Command1", "Command2", "Command3"}) {
            QTest::addRow("%s/Enter", button) << int(Qt::Key_Return) << 1;
            QTest::addRow("%s/keypad Enter", button) << int(Qt::Key_Enter) << 1;
            QTest::addRow("%s/Space", button) << int(Qt::Key_Space) << 1;
        }
    }
    void keysPressTheFocusedButton() {
        QFETCH(int, key);
        QFETCH(int, clicks);
        MainWindow window(m_dir->path());
        window.setDirectoryChooser(std::make_unique<StandInChooser>(std::nullopt));
        window.setPrinterFactory([] { return nullptr; });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QByteArray name = QByteArray(QTest::currentDataTag()).split('/').first();
        auto* button = control<QPushButton>(window, name.constData());
        button->setFocus();
        QSignalSpy clicked(button, &QPushButton::clicked);
        ModalAnswerer answerer;
        QTest::keyClick(button, Qt::Key(key));
        QTRY_COMPARE(clicked.count(), clicks);
    }

    // Each action shows the wait cursor until it ends, whichever way; dialogs and message
    // boxes it opens show the arrow. A status too wide for its label is elided.
    void cursorAndStatusDuringActions_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("folder"); // confirmed in the chooser; empty: cancelled
        QTest::addColumn<bool>("printer");
        QTest::addColumn<QStringList>("seen");
        QTest::addColumn<bool>("elided");
        const QString arrow = QStringLiteral("chooser arrow");
        QTest::newRow("browse/scanned")
            << QByteArray("Command1") << "." << false << QStringList{arrow} << false;
        QTest::newRow("browse/cancelled")
            << QByteArray("Command1") << "" << false << QStringList{arrow} << false;
        QTest::newRow("browse/long missing folder")
            << QByteArray("Command1") << QString("a folder name of many words ").repeated(6)
            << false << QStringList{arrow, "TEMLO_RUNDEL – adresář / arrow"} << true;
        QTest::newRow("print/printed")
            << QByteArray("Command3") << "" << true << QStringList{"printer wait"} << false;
        QTest::newRow("print/no printer")
            << QByteArray("Command3") << "" << false
            << QStringList{"printer wait", "TEMLO_RUNDEL – tisk / arrow"} << false;
    }
    void cursorAndStatusDuringActions() {
        QFETCH(QByteArray, button);
        QFETCH(QString, folder);
        QFETCH(bool, printer);
        QFETCH(QStringList, seen);
        QFETCH(bool, elided);
        seed({{"a.jpg", ""}});
        MainWindow window(m_dir->path());
        window.show();
        auto chooser = folder.isEmpty() ? std::make_unique<StandInChooser>(std::nullopt)
                                        : StandInChooser::confirming(m_dir->filePath(folder));
        StandInChooser* asked = chooser.get();
        window.setDirectoryChooser(std::move(chooser));
        QStringList actual;
        window.setPrinterFactory([&]() -> std::unique_ptr<QPrinter> {
            actual << "printer " + cursorName();
            if (!printer)
                return nullptr;
            auto pdf = std::make_unique<QPrinter>();
            pdf->setOutputFileName(m_dir->filePath("listing.pdf"));
            return pdf;
        });
        ModalAnswerer answerer;
        click(window, button.constData());
        for (const QString& cursor : asked->cursorsSeen)
            actual << "chooser " + cursor;
        QCOMPARE(actual + answerer.seen(), seen);
        QCOMPARE(cursorName(), "none");
        auto* label = control<StatusLabel>(window, "Label2");
        QCOMPARE(label->geometry(), QRect(96, 328, 457, 17));
        QCOMPARE(label->toolTip(), elided ? label->text() : QString());
        QCOMPARE(label->shownText().contains(u'…'), elided);
    }

    void loneCarriageReturnsShowAsLines() {
        ListBox list;
        QTest::keyClicks(&list, "typed");
        list.setListText("/photos/\ra.jpg\rb c.jpg\r");
        QCOMPARE(list.toPlainText(), "/photos/\na.jpg\nb c.jpg");
        QCOMPARE(list.textCursor().position(), 0); // shown from the top
        list.undo(); // the typing went with the text it was typed into
        QCOMPARE(list.toPlainText(), "/photos/\na.jpg\nb c.jpg");
        list.show();
        list.setListText(QString("line\r").repeated(500));
        QVERIFY(list.verticalScrollBar()->isVisible()); // a long list scrolls
        list.setListText("a\r");
        QTRY_VERIFY(!list.verticalScrollBar()->isVisible()); // a short one needs no bar
    }

    void sortListsCatalogueInDateOrder() {
        seed({{"c.jpg", "2024-03-01T10:00:00.000Z"},
              {"a.jpg", ""},
              {"b - kopie.jpg", "2024-02-01T10:00:00.000Z"}});
        MainWindow window(m_dir->path());
        click(window, "Command2");
        QCOMPARE(window.state().listtext.toUtf8(),
                 "001 - a.jpg\r002 - b - kopie.jpg\r003 - c.jpg\r");
        QCOMPARE(shownText(window), "001 - a.jpg\n002 - b - kopie.jpg\n003 - c.jpg");
        QCOMPARE(status(window), "HOTOVO - seřazeno");
    }

    void sortOfEmptyCatalogueKeepsList() {
        MainWindow window(m_dir->path());
        control<ListBox>(window, "TextBox1")->setPlainText("typed by the user");
        click(window, "Command2");
        QCOMPARE(shownText(window), "typed by the user");
        QCOMPARE(status(window), "HOTOVO - seřazeno");
    }

    void catalogueErrorsAreShownAndProgramGoesOn() {
        const QString path = m_dir->filePath("temlo_files.mdb");
        writeFile(path, "not a database");
        QList<QPoint> centres;
        ModalAnswerer answerer([&centres](QWidget* modal) {
            centres << modal->geometry().center();
            ModalAnswerer::reject(modal);
        });
        MainWindow window(m_dir->path());
        QTest::qWait(50);
        QCOMPARE(answerer.count(), 0); // not before the window is on screen
        window.move(400, 300);
        window.show();
        QTRY_COMPARE(answerer.count(), 1);
        QVERIFY(window.frameGeometry().contains(centres[0]));
        QVERIFY(answerer.texts()[0].contains("soubor není databáze"));
        click(window, "Command2");
        QCOMPARE(answerer.count(), 2);
        QVERIFY(answerer.texts()[1].contains(path));
        QCOMPARE(status(window), "OK");
        QVERIFY(QFile::remove(path));
        seed({{"b.jpg", ""}});
        click(window, "Command2");
        QCOMPARE(window.state().listtext, "001 - b.jpg\r");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
