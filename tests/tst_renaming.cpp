#include "mainwindow.h"
#include "renamer.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList folderState(const QString& folder) {
    QStringList state;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        QFile file(folder + name);
        state << name + u'=' + (file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>");
    }
    return state;
}

// Accepts the rename question and closes any other message.
void acceptRenaming(QWidget* modal) {
    for (auto* button : modal->findChildren<QAbstractButton*>())
        if (button->text().remove(u'&') == QStringLiteral("Přejmenovat"))
            return button->click();
    ModalAnswerer::reject(modal);
}

const QDateTime scanned(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC);

// Clicks the named button where the dialog has one, else closes it; notes the buttons offered.
ModalAnswerer::Answer answering(const QString& choice, QStringList& offered) {
    return [choice, &offered](QWidget* modal) {
        QStringList buttons;
        QAbstractButton* chosen = nullptr;
        for (auto* button : modal->findChildren<QAbstractButton*>()) {
            buttons << button->text().remove(u'&');
            if (buttons.last() == choice)
                chosen = button;
        }
        offered << buttons.join(u'|');
        chosen ? chosen->click() : ModalAnswerer::reject(modal);
    };
}

// Stops as a crash would: the journal written, then only the first `done` renames made.
void crashWhileRenaming(const Catalogue& catalogue, const QString& folder, int done) {
    const RenamePlan plan = planRenames(folder, catalogue.orderedRows(), QStringLiteral(" - "),
                                        catalogue.renamedIn(folder));
    catalogue.recordRenames(folder, namesGiven(plan.steps), plan.gone);
    renameFiles(folder, std::span(plan.steps).first(done));
}

} // namespace

class TestRenaming : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sort_data();
    void sort();
    void againAndAgain_data();
    void againAndAgain();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder;
};

// Newest first by name, so date order and name order differ.
void TestRenaming::init() {
    m_root = std::make_unique<QTemporaryDir>();
    m_folder = m_root->filePath(QStringLiteral("photos/"));
    QVERIFY(QDir().mkpath(m_folder));
    writeFile(m_folder + "c.jpg", "C", scanned);
    writeFile(m_folder + "b.jpg", "B", scanned.addSecs(60));
    writeFile(m_folder + "a.jpg", "A", scanned.addSecs(120));
}

void TestRenaming::sort_data() {
    QTest::addColumn<bool>("scan");  // in this run, before sorting
    QTest::addColumn<bool>("spoil"); // c.jpg changed, b.jpg removed, a.jpg's new name taken
    QTest::addColumn<ModalAnswerer::Answer>("answer");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("after"); // empty: as before
    const auto key = [](Qt::Key key) {
        return ModalAnswerer::Answer([key](QWidget* modal) { QTest::keyClick(modal, key); });
    };
    const QStringList same;
    QTest::newRow("accept") << true << false << ModalAnswerer::Answer(acceptRenaming)
                            << "HOTOVO - přejmenováno"
                            << QStringList{"001 - c.jpg=C", "002 - b.jpg=B", "003 - a.jpg=A"};
    QTest::newRow("decline/Ne") << true << false << ModalAnswerer::clickButton("Ne")
                                << "HOTOVO - seřazeno" << same;
    QTest::newRow("decline/Enter takes the default")
        << true << false << key(Qt::Key_Return) << "HOTOVO - seřazeno" << same;
    QTest::newRow("decline/Escape")
        << true << false << key(Qt::Key_Escape) << "HOTOVO - seřazeno" << same;
    // The catalogue of an earlier run names these very files, but no scan of this run backs it.
    QTest::newRow("no scan in this run")
        << false << false << ModalAnswerer::Answer(acceptRenaming) << "HOTOVO - seřazeno" << same;
    QTest::newRow("failures counted in one message")
        << true << true << ModalAnswerer::Answer(acceptRenaming) << "HOTOVO - nepřejmenováno: 3"
        << QStringList{"003 - a.jpg=taken", "a.jpg=A", "c.jpg=C edited"};
}

void TestRenaming::sort() {
    QFETCH(bool, scan);
    QFETCH(bool, spoil);
    QFETCH(ModalAnswerer::Answer, answer);
    QFETCH(QString, shown);
    QFETCH(QStringList, after);
    auto window = std::make_unique<MainWindow>(m_root->path());
    window->show();
    window->setDirectoryChooser(StandInChooser::confirming(m_root->filePath("photos")));
    click(*window, "Command1");
    if (!scan) {
        window.reset();
        window = std::make_unique<MainWindow>(m_root->path());
    }
    if (spoil) {
        writeFile(m_folder + "c.jpg", "C edited");
        QVERIFY(QFile::remove(m_folder + "b.jpg"));
        writeFile(m_folder + "003 - a.jpg", "taken");
    }
    const QStringList before = folderState(m_folder);
    ModalAnswerer answerer(answer);
    click(*window, "Command2");

    const QString question =
        QStringLiteral("Přejmenovat %1 ve složce „%2“ na jejich číslované názvy?");
    QStringList messages;
    if (scan)
        messages << question.arg(spoil ? "1 soubor" : "3 soubory", m_folder);
    if (spoil)
        messages << QStringLiteral("Tyto soubory nebyly přejmenovány:\n\n"
                                   "soubor se od procházení složky změnil: 1 soubor\n    c.jpg\n\n"
                                   "soubor ve složce chybí: 1 soubor\n    b.jpg\n\n"
                                   "soubor s novým názvem už existuje: 1 soubor\n    a.jpg");
    QCOMPARE(answerer.texts(), messages);
    QCOMPARE(answerer.seen(), QStringList(messages.size(), "TEMLO_RUNDEL – přejmenování / arrow"));
    QCOMPARE(status(*window), shown);
    QCOMPARE(folderState(m_folder), after.isEmpty() ? before : after);
    QCOMPARE(window->state().listtext, QStringLiteral("001 - c.jpg\r002 - b.jpg\r003 - a.jpg\r"));
}

// Each action: "scan", "sort:<button>", "add:<name>:<seconds>" (the file holds its name),
// "touch:<name>:<seconds>", "crash:<renames done>", "restart", "other" (another copy scans
// another folder). The seconds count from c.jpg's time.
void TestRenaming::againAndAgain_data() {
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QStringList>("offered"); // the buttons of each dialog, in order
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("after");
    const QString rename = "sort:Přejmenovat", undo = "sort:Vrátit původní názvy";
    const QString askRename = "Přejmenovat|Ne", askBoth = "Přejmenovat|Vrátit původní názvy|Ne";
    const QStringList clean{"001 - c.jpg=C", "002 - b.jpg=B", "003 - a.jpg=A"};
    QTest::newRow("renumber/older and newer files added")
        << QStringList{"scan", rename, "add:0.jpg:-60", "add:d.jpg:600", "scan", rename}
        << QStringList{askRename, askBoth} << "HOTOVO - přejmenováno"
        << QStringList{"001 - 0.jpg=0.jpg", "002 - c.jpg=C", "003 - b.jpg=B", "004 - a.jpg=A",
                       "005 - d.jpg=d.jpg"};
    QTest::newRow("renumber/an edited photo keeps its original name")
        << QStringList{"scan", rename, "touch:002 - b.jpg:600", "scan", rename}
        << QStringList{askRename, askBoth} << "HOTOVO - přejmenováno"
        << QStringList{"001 - c.jpg=C", "002 - a.jpg=A", "003 - b.jpg=B"};
    QTest::newRow("renumber/two files of one name swap numbers")
        << QStringList{"scan", rename, "add:c.jpg:30", "scan", rename, "touch:002 - c.jpg:-60",
                       "scan", rename}
        << QStringList{askRename, askBoth, askBoth} << "HOTOVO - přejmenováno"
        << QStringList{"001 - c.jpg=c.jpg", "002 - c.jpg=C", "003 - b.jpg=B", "004 - a.jpg=A"};
    QTest::newRow("undo/unchanged folder offers only undo, which restores every name")
        << QStringList{"scan", rename, "scan", "sort:Ne", undo}
        << QStringList{askRename, "Vrátit původní názvy|Ne", "Vrátit původní názvy|Ne"}
        << "HOTOVO - vráceny původní názvy" << QStringList{"a.jpg=A", "b.jpg=B", "c.jpg=C"};
    QTest::newRow("unchanged/files of equal time keep their numbers")
        << QStringList{"touch:a.jpg:0", "touch:b.jpg:0", "scan", rename, "scan", "sort:Ne"}
        << QStringList{askRename, "Vrátit původní názvy|Ne"} << "HOTOVO - seřazeno"
        << QStringList{"001 - a.jpg=A", "002 - b.jpg=B", "003 - c.jpg=C"};
    QTest::newRow("undo/a name taken meanwhile is kept")
        << QStringList{"scan", rename, "add:a.jpg:0", "scan", undo}
        << QStringList{askRename, askBoth, "OK"} << "HOTOVO - nevráceno: 1"
        << QStringList{"003 - a.jpg=A", "a.jpg=a.jpg", "b.jpg=B", "c.jpg=C"};
    QTest::newRow("crash/journal written, nothing renamed")
        << QStringList{"scan", "crash:0", "restart", "scan", rename} << QStringList{askRename}
        << "HOTOVO - přejmenováno" << clean;
    QTest::newRow("crash/some renamed") << QStringList{"scan", "crash:2", "restart", "scan", rename}
                                        << QStringList{askBoth} << "HOTOVO - přejmenováno" << clean;
    QTest::newRow("crash/midway through a renumbering")
        << QStringList{"scan",    rename,    "add:0.jpg:-60", "scan",
                       "crash:1", "restart", "scan",          rename}
        << QStringList{askRename, askBoth} << "HOTOVO - přejmenováno"
        << QStringList{"001 - 0.jpg=0.jpg", "002 - c.jpg=C", "003 - b.jpg=B", "004 - a.jpg=A"};
    QTest::newRow("other copy/its scan in between renames nothing")
        << QStringList{"scan", "other", rename} << QStringList{"OK"} << "HOTOVO - seřazeno"
        << QStringList{"a.jpg=A", "b.jpg=B", "c.jpg=C"};
}

void TestRenaming::againAndAgain() {
    QFETCH(QStringList, actions);
    QFETCH(QStringList, offered);
    QFETCH(QString, shown);
    QFETCH(QStringList, after);
    const auto open = [this] {
        auto window = std::make_unique<MainWindow>(m_root->path());
        window->setDirectoryChooser(StandInChooser::confirming(m_root->filePath("photos")));
        return window;
    };
    auto window = open();
    QStringList buttons;
    for (const QString& action : actions) {
        const QString verb = action.section(u':', 0, 0), name = action.section(u':', 1, 1);
        const QDateTime time = scanned.addSecs(action.section(u':', 2).toInt());
        if (verb == u"scan") {
            click(*window, "Command1");
        } else if (verb == u"sort") {
            ModalAnswerer answerer(answering(name, buttons));
            click(*window, "Command2");
        } else if (verb == u"add") {
            writeFile(m_folder + name, name.toUtf8(), time);
        } else if (verb == u"touch") {
            QFile file(m_folder + name);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
        } else if (verb == u"crash") {
            crashWhileRenaming(window->catalogue(), m_folder, name.toInt());
        } else if (verb == u"restart") {
            window = open();
        } else {
            QVERIFY(QDir().mkpath(m_root->filePath("other")));
            MainWindow other(m_root->path());
            other.setDirectoryChooser(StandInChooser::confirming(m_root->filePath("other")));
            click(other, "Command1");
        }
    }
    QCOMPARE(buttons, offered);
    QCOMPARE(status(*window), shown);
    QCOMPARE(folderState(m_folder), after);
}

QTEST_MAIN(TestRenaming)
#include "tst_renaming.moc"
