#include "fixture.h"
#include "mainwindow.h"
#include "statuslabel.h"

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
        QTest::addColumn<Qt::Key>("keyInList");
        QTest::newRow("Tab") << Qt::Key_Tab;
        QTest::newRow("Return") << Qt::Key_Return;
        QTest::newRow("keypad Enter") << Qt::Key_Enter;
    }
    // Tab goes from button to button through the list; Enter in the list moves on too.
    void focusGoesRound() {
        QFETCH(Qt::Key, keyInList);
        QStringList seen;
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, keyInList}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            seen << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(seen, (QStringList{"Command2", "TextBox1", "Command3"}));
    }

    void buttonKeys_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("held");
        QTest::newRow("Return") << Qt::Key_Return << false;
        QTest::newRow("keypad Enter") << Qt::Key_Enter << false;
        QTest::newRow("held Return") << Qt::Key_Return << true;
    }
    // Return and Enter press the focused button (Space as ever), a held key's repeats nothing.
    void buttonKeys() {
        QFETCH(Qt::Key, key);
        QFETCH(bool, held);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, {}, held);
        QApplication::sendEvent(m_window->focusWidget(), &press);
        QCOMPARE(status()->text(), held ? "OK" : "Zvolen adresář: " + m_photos->folder());
    }

    void sortAsks_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("disk");
        QTest::newRow("Přejmenovat") << "Přejmenovat" << QStringList{"001 - b=b", "002 - a=a"};
        QTest::newRow("Ne") << "Ne" << QStringList{"a=a", "b=b"};
        QTest::newRow("Return: Ne") << "Return" << QStringList{"a=a", "b=b"};
        QTest::newRow("Escape: Ne") << "Escape" << QStringList{"a=a", "b=b"};
    }
    // "seřaď" asks before renaming, in its own box.
    void sortAsks() {
        QFETCH(QString, answer);
        m_photos->add({{"a", 2}, {"b", 1}});
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Space);
        const ModalAnswerer answerer(answer);
        QTest::mouseClick(m_window->findChild<QWidget*>("Command2"), Qt::LeftButton);
        QCOMPARE(answerer.titles, QStringList{"TEMLO_RUNDEL – přejmenování arrow"});
        QTEST(m_photos->disk(), "disk");
    }

    void cancelledChoice() {
        m_window->setFolderChooser(std::make_unique<StandInChooser>());
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Space);
        QCOMPARE(cursorName(), "none");
    }

    // The message shows the arrow over the action's wait cursor; the status, too long for its
    // line, is elided in the middle and whole in its tip.
    void longMissingFolder() {
        const QString folder = m_photos->folder() + QString(120, u'g') + u'/';
        const ModalAnswerer answerer;
        m_window->setFolderChooser(StandInChooser::confirming(folder));
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Space);
        QCOMPARE(answerer.titles, QStringList{"TEMLO_RUNDEL – adresář arrow"});
        QCOMPARE(status()->toolTip(), "Zvolen adresář: " + folder);
        QCOMPARE(status()->shownText().right(3), "gg/");
    }

    // The catalogue goes to the data folder.
    void readOnlyProgramFolder() {
        if (::geteuid() == 0)
            QSKIP("root writes anywhere");
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
