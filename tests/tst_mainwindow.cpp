#include "fixture.h"
#include "mainwindow.h"
#include "statuslabel.h"

#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <unistd.h>

// The window over a photo folder, which a stand-in for the dialog chooses.
class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<PhotoFolder> m_photos;
    std::unique_ptr<MainWindow> m_window;

    StatusLabel* status() { return m_window->findChild<StatusLabel*>("Label2"); }

private slots:
    void init() {
        m_photos = std::make_unique<PhotoFolder>();
        m_window = std::make_unique<MainWindow>(m_photos->appDir());
        m_window->setFolderChooser(StandInChooser::confirming(m_photos->folder()));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void focusGoesRound_data() {
        QTest::addColumn<int>("keyInList");
        QTest::newRow("Tab") << int(Qt::Key_Tab);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    // Tab goes from button to button through the list; Enter in the list moves on too.
    void focusGoesRound() {
        QFETCH(int, keyInList);
        QStringList seen{m_window->focusWidget()->objectName()};
        for (const int key : {int(Qt::Key_Tab), int(Qt::Key_Tab), keyInList, int(Qt::Key_Tab)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            seen << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(seen, (QStringList{"Command1", "Command2", "TextBox1", "Command3", "Command1"}));
    }

    void keysPressTheFocusedButton_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<bool>("pressed");
        QTest::newRow("Return") << int(Qt::Key_Return) << false << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << false << true;
        QTest::newRow("held Return") << int(Qt::Key_Return) << true << false;
    }
    void keysPressTheFocusedButton() {
        QFETCH(int, key);
        QFETCH(bool, autoRepeat);
        QFETCH(bool, pressed);
        for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier, {}, autoRepeat);
            QApplication::sendEvent(m_window->focusWidget(), &event);
        }
        QCOMPARE(status()->text(), pressed ? "Zvolen adresář: " + m_photos->folder() : "OK");
    }

    void cancelledChoiceLeavesNoWaitCursor() {
        m_window->setFolderChooser(std::make_unique<StandInChooser>());
        QTest::mouseClick(m_window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(cursorName(), "none");
        QCOMPARE(status()->text(), "OK");
    }

    // The message shows the arrow over the action's wait cursor; the status, too long for its
    // line, is elided in the middle and whole in its tip.
    void missingFolderWithALongName() {
        const QString folder = m_photos->folder() + QString(120, u'g') + u'/';
        const ModalAnswerer answerer;
        m_window->setFolderChooser(StandInChooser::confirming(folder));
        QTest::mouseClick(m_window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(answerer.titles, QStringList{"TEMLO_RUNDEL – adresář arrow"});
        QCOMPARE(status()->toolTip(), "Zvolen adresář: " + folder);
        const QString shown = status()->shownText();
        QVERIFY2(shown.startsWith("Zvolen") && shown.contains(u'…') && shown.endsWith("gg/"),
                 qPrintable(shown));
    }

    void catalogueGoesToTheDataFolderWhereTheProgramFolderIsNotWritable() {
        if (::geteuid() == 0)
            QSKIP("root may write anywhere; CI runs the suite unprivileged");
        QStandardPaths::setTestModeEnabled(true);
        const QTemporaryDir program;
        QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(MainWindow(program.path()).catalogue().path(),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                     "/temlo_files.mdb");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
