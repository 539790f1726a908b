#include "fixture.h"
#include "mainwindow.h"
#include "statuslabel.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <unistd.h>

namespace {

// Confirms the folder as the dialog would, noting the cursor it was shown with.
class CursorNotingChooser : public StandInChooser {
public:
    using StandInChooser::StandInChooser;
    std::optional<QString> confirmedName(const QString& initialDir) override {
        cursors << cursorName();
        return StandInChooser::confirmedName(initialDir);
    }
    QStringList cursors;
};

} // namespace

// The window over a folder of "č", "b10" and "b2", taken in this order a minute apart.
class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<PhotoFolder> m_photos;
    std::unique_ptr<MainWindow> m_window;
    CursorNotingChooser* m_chooser = nullptr;

    MainWindow& window() {
        if (m_window)
            return *m_window;
        m_window = std::make_unique<MainWindow>(m_photos->appDir());
        auto chooser = std::make_unique<CursorNotingChooser>(m_photos->folder());
        m_chooser = chooser.get();
        m_window->setFolderChooser(std::move(chooser));
        m_window->show();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("the window did not become active");
        return *m_window;
    }
    void click(const char* button) {
        QTest::mouseClick(window().findChild<QPushButton*>(button), Qt::LeftButton);
    }
    QString statusText() { return window().findChild<StatusLabel*>()->text(); }
    QPlainTextEdit* listBox() { return window().findChild<QPlainTextEdit*>("TextBox1"); }
    QString shownList() { return listBox()->toPlainText().replace(u'\n', u'\r') + u'\r'; }
    QString focused() {
        window();
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "none";
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QStringLiteral("cs_CZ")));
    }
    void init() {
        m_photos = std::make_unique<PhotoFolder>();
        m_photos->add("č", 0);
        m_photos->add("b10", 60);
        m_photos->add("b2", 120);
    }
    void cleanup() {
        m_window.reset();
        m_photos.reset();
    }

    // Tab goes round the buttons through the list; Tab and Enter in the list type nothing.
    void focusGoesRound() {
        QStringList seen{focused()};
        for (const auto key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Tab}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            seen << focused();
        }
        QCOMPARE(seen, (QStringList{"Command1", "Command2", "TextBox1", "Command3", "Command1"}));
        QCOMPARE(listBox()->toPlainText(), "");
    }

    void keysPressTheFocusedButton_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<QString>("status");
        const QString chosen = "Zvolen adresář: ";
        QTest::newRow("Return") << int(Qt::Key_Return) << false << chosen;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false << chosen;
        QTest::newRow("Space") << int(Qt::Key_Space) << false << chosen;
        QTest::newRow("held Return") << int(Qt::Key_Return) << true << "OK";
    }
    void keysPressTheFocusedButton() {
        QFETCH(int, key);
        QFETCH(bool, autoRepeat);
        QFETCH(QString, status);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, {}, autoRepeat);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, {}, autoRepeat);
        QApplication::sendEvent(window().findChild<QPushButton*>("Command1"), &press);
        QApplication::sendEvent(window().findChild<QPushButton*>("Command1"), &release);
        QCOMPARE(statusText(), status == "OK" ? status : status + m_photos->folder());
    }

    // The list replaces typing for good and is shown from its top; the wait cursor is shown
    // while the action runs and is gone afterwards.
    void browseShowsTheFolderAndItsNames() {
        QTest::keyClicks(listBox(), "typed");
        click("Command1");
        const QString folder = m_photos->folder();
        QCOMPARE(shownList(), folder + "\rb2\rb10\rč\r");
        QCOMPARE(window().state().listtext, shownList());
        QCOMPARE(statusText(), "Zvolen adresář: " + folder);
        QCOMPARE(listBox()->textCursor().position(), 0);
        QVERIFY(!listBox()->document()->isUndoAvailable());
        QCOMPARE(m_chooser->cursors, QStringList{"wait"});
        QCOMPARE(cursorName(), "none");
    }

    void cancelChangesNothing() {
        click("Command1");
        m_photos->add("new", 180);
        window().setFolderChooser(std::make_unique<StandInChooser>());
        click("Command1");
        QCOMPARE(shownList(), m_photos->folder() + "\rb2\rb10\rč\r");
        QCOMPARE(window().catalogue().orderedRead().value().rows.size(), size_t(3));
    }

    void sortAsksBeforeRenaming_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("disk");
        const QStringList kept{"b10=b10", "b2=b2", "č=č"};
        QTest::newRow("Ne") << "Ne"
                            << "HOTOVO - seřazeno" << kept;
        QTest::newRow("Return: Ne is the default") << "Return"
                                                   << "HOTOVO - seřazeno" << kept;
        QTest::newRow("Escape") << "Escape"
                                << "HOTOVO - seřazeno" << kept;
        QTest::newRow("Přejmenovat")
            << "Přejmenovat"
            << "HOTOVO - přejmenováno" << QStringList{"001 - č=č", "002 - b10=b10", "003 - b2=b2"};
    }
    void sortAsksBeforeRenaming() {
        QFETCH(QString, answer);
        QFETCH(QString, status);
        QFETCH(QStringList, disk);
        ModalAnswerer answerer(answer);
        click("Command1");
        click("Command2");
        QCOMPARE(shownList(), "001 - č\r002 - b10\r003 - b2\r");
        QCOMPARE(statusText(), status);
        QCOMPARE(m_photos->disk(), disk);
        const QString asked = "Přejmenovat 3 soubory ve složce „%1“ na jejich číslované názvy?";
        QCOMPARE(answerer.texts, QStringList{asked.arg(m_photos->folder())});
        QCOMPARE(answerer.titles, QStringList{"TEMLO_RUNDEL – přejmenování arrow"});
    }

    // Failures end in one grouped message; an empty catalogue keeps what the list showed.
    void sortReportsWhatItCouldNotDo() {
        ModalAnswerer answerer("Přejmenovat");
        click("Command1");
        m_photos->add("č", 600, "edited");
        click("Command2");
        QCOMPARE(statusText(), "HOTOVO - nepřejmenováno: 1");
        QCOMPARE(answerer.texts.last(), "Tyto soubory nebyly přejmenovány:\n\nsoubor se od "
                                        "procházení složky změnil: 1 soubor\n    č");
        window().catalogue().replaceAll({});
        QTest::keyClicks(listBox(), "typed");
        click("Command2");
        QCOMPARE(statusText(), "HOTOVO - seřazeno");
        QCOMPARE(listBox()->toPlainText(), "typed001 - č\n002 - b10\n003 - b2");
    }

    void missingFolderIsReported() {
        ModalAnswerer answerer;
        window().setFolderChooser(StandInChooser::confirming(m_photos->folder() + "gone"));
        click("Command1");
        const QString folder = m_photos->folder() + "gone/";
        QCOMPARE(answerer.texts,
                 QStringList{"Adresář „" + folder + "“ neexistuje nebo byl odstraněn."});
        QCOMPARE(answerer.titles, QStringList{"TEMLO_RUNDEL – adresář arrow"});
        QCOMPARE(shownList(), folder + u'\r');
    }

    void longStatusIsElidedWithItsWholeTextAsTip() {
        const QString folder = m_photos->folder() + QString(120, u'g') + u'/';
        ModalAnswerer answerer;
        window().setFolderChooser(StandInChooser::confirming(folder));
        click("Command1");
        const auto* label = window().findChild<StatusLabel*>();
        QCOMPARE(label->toolTip(), "Zvolen adresář: " + folder);
        QVERIFY(label->shownText().contains(u'…'));
        QCOMPARE(label->size(), QSize(6855, 255) / 15);
    }

    void startupProblemIsShownOnceTheWindowIsOnScreen() {
        QFile garbage(m_photos->appDir() + "/temlo_files.mdb");
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')));
        garbage.close();
        ModalAnswerer answerer;
        window();
        QTRY_COMPARE(answerer.texts.size(), 1);
        QVERIFY2(answerer.texts[0].contains("soubor není databáze"), qPrintable(answerer.texts[0]));
        QCOMPARE(statusText(), "OK");
    }

    void catalogueGoesToTheUsersDataFolderWhereTheProgramsIsNotWritable() {
        if (::geteuid() == 0)
            QSKIP("root may write anywhere; the suite runs unprivileged in CI");
        QFile::setPermissions(m_photos->appDir(), QFile::ReadOwner | QFile::ExeOwner);
        const QString dataFolder =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCOMPARE(window().catalogue().path(), dataFolder + "/temlo_files.mdb");
        QFile::setPermissions(m_photos->appDir(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
