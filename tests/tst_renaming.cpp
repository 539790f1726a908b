#include "mainwindow.h"
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

} // namespace

class TestRenaming : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sort_data();
    void sort();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder;
};

// Newest first by name, so date order and name order differ.
void TestRenaming::init() {
    m_root = std::make_unique<QTemporaryDir>();
    m_folder = m_root->filePath(QStringLiteral("photos/"));
    QVERIFY(QDir().mkpath(m_folder));
    const QDateTime scanned(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC);
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
    if (shown == u"HOTOVO - přejmenováno") { // a second press finds nothing left to ask about
        click(*window, "Command2");
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(folderState(m_folder), after);
    }
}

QTEST_MAIN(TestRenaming)
#include "tst_renaming.moc"
