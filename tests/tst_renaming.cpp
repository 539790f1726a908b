#include "datum.h"
#include "directorychooser.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

const QDateTime scanned(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC);

// Confirms the placeholder name inside a fixed folder, as a user who moved there would.
class FixedChooser : public DirectoryChooser {
public:
    explicit FixedChooser(QString folder) : m_folder(std::move(folder)) {}
    std::optional<QString> confirmedName(QWidget*, const QString&) override {
        return m_folder + QLatin1String(FileDialogChooser::placeholder);
    }

private:
    QString m_folder;
};

bool isRenameQuestion(QWidget* modal) {
    const auto buttons = modal->findChildren<QAbstractButton*>();
    return std::any_of(buttons.begin(), buttons.end(),
                       [](auto* button) { return button->text() == u"Přejmenovat"; });
}

// Answers the rename question as given and closes any other message.
ModalAnswerer::Answer answerQuestion(const ModalAnswerer::Answer& answer) {
    return [answer](QWidget* modal) {
        if (isRenameQuestion(modal))
            answer(modal);
        else
            ModalAnswerer::reject(modal);
    };
}

void pressKey(QWidget* modal, Qt::Key key) {
    QTest::keyClick(modal, key);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList folderState(const QString& folder) {
    QStringList state;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::System, QDir::Name))
        state << name + u'=' + QString::fromUtf8(contentOf(folder + name));
    return state;
}

} // namespace

class TestRenaming : public QObject {
    Q_OBJECT
private slots:
    void init();
    void acceptedRenamesAndSecondPressAsksNothing();
    void declinedRenamesNothing_data();
    void declinedRenamesNothing();
    void sortWithoutScanOfThisRunAsksNothing();
    void filesNotRenamedAreCountedAndListed();
    void forbiddenFolderLosesNothing();

private:
    std::unique_ptr<MainWindow> scannedWindow();

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_app;
    QString m_folder;
};

void TestRenaming::init() {
    m_root = std::make_unique<QTemporaryDir>();
    m_app = m_root->filePath(QStringLiteral("app"));
    m_folder = m_root->filePath(QStringLiteral("photos/"));
    QVERIFY(QDir().mkpath(m_app) && QDir().mkpath(m_folder));
    // Newest first by name, so date order and name order differ.
    writeFile(m_folder + "c.jpg", "C", scanned);
    writeFile(m_folder + "b.jpg", "B", scanned.addSecs(60));
    writeFile(m_folder + "a.jpg", "A", scanned.addSecs(120));
}

std::unique_ptr<MainWindow> TestRenaming::scannedWindow() {
    auto window = std::make_unique<MainWindow>(m_app);
    window->setDirectoryChooser(std::make_unique<FixedChooser>(m_folder));
    window->show();
    click(*window, "Command1");
    return window;
}

void TestRenaming::acceptedRenamesAndSecondPressAsksNothing() {
    auto window = scannedWindow();
    {
        ModalAnswerer answerer(answerQuestion(ModalAnswerer::clickButton("Přejmenovat")));
        click(*window, "Command2");
        QCOMPARE(answerer.texts(), QStringList{"Přejmenovat 3 soubory ve složce „" + m_folder +
                                               "“ na jejich číslované názvy?"});
    }
    const QStringList renamed{"001 - c.jpg=C", "002 - b.jpg=B", "003 - a.jpg=A"};
    QCOMPARE(folderState(m_folder), renamed);
    QCOMPARE(status(*window), QStringLiteral("HOTOVO - přejmenováno"));
    const QString list = QStringLiteral("001 - c.jpg\r002 - b.jpg\r003 - a.jpg\r");
    QCOMPARE(window->state().listtext, list);

    ModalAnswerer answerer;
    click(*window, "Command2");
    QCOMPARE(answerer.count(), 0);
    QCOMPARE(folderState(m_folder), renamed);
    QCOMPARE(window->state().listtext, list);
    QCOMPARE(status(*window), QStringLiteral("HOTOVO - přejmenováno"));
}

void TestRenaming::declinedRenamesNothing_data() {
    QTest::addColumn<ModalAnswerer::Answer>("answer");
    QTest::newRow("decline/Ne") << ModalAnswerer::clickButton("Ne");
    QTest::newRow("decline/Enter takes the default")
        << ModalAnswerer::Answer([](QWidget* modal) { pressKey(modal, Qt::Key_Return); });
    QTest::newRow("decline/Escape")
        << ModalAnswerer::Answer([](QWidget* modal) { pressKey(modal, Qt::Key_Escape); });
}

void TestRenaming::declinedRenamesNothing() {
    QFETCH(ModalAnswerer::Answer, answer);
    auto window = scannedWindow();
    const QStringList before = folderState(m_folder);
    ModalAnswerer answerer(answerQuestion(answer));
    click(*window, "Command2");
    QCOMPARE(answerer.count(), 1);
    QCOMPARE(folderState(m_folder), before);
    QCOMPARE(status(*window), QStringLiteral("HOTOVO - seřazeno"));
    QCOMPARE(window->state().listtext, QStringLiteral("001 - c.jpg\r002 - b.jpg\r003 - a.jpg\r"));
}

// The catalogue of an earlier run names these very files, but no scan of this run backs it.
void TestRenaming::sortWithoutScanOfThisRunAsksNothing() {
    scannedWindow().reset();
    const QStringList before = folderState(m_folder);
    MainWindow window(m_app);
    ModalAnswerer answerer;
    click(window, "Command2");
    QCOMPARE(answerer.count(), 0);
    QCOMPARE(folderState(m_folder), before);
    QCOMPARE(status(window), QStringLiteral("HOTOVO - seřazeno"));
    QCOMPARE(window.state().listtext, QStringLiteral("001 - c.jpg\r002 - b.jpg\r003 - a.jpg\r"));
}

void TestRenaming::filesNotRenamedAreCountedAndListed() {
    auto window = scannedWindow();
    writeFile(m_folder + "c.jpg", "C edited");
    QVERIFY(QFile::remove(m_folder + "b.jpg"));
    writeFile(m_folder + "003 - a.jpg", "someone else's");
    writeFile(m_folder + "d.jpg", "D", scanned);

    ModalAnswerer answerer(answerQuestion(ModalAnswerer::clickButton("Přejmenovat")));
    click(*window, "Command2");
    QCOMPARE(answerer.count(), 2);
    QVERIFY(answerer.texts()[0].startsWith("Přejmenovat 1 soubor "));
    QCOMPARE(answerer.texts()[1], QStringLiteral("Tyto soubory nebyly přejmenovány:\n"
                                                 "c.jpg: soubor se od procházení složky změnil\n"
                                                 "b.jpg: soubor ve složce chybí\n"
                                                 "a.jpg: soubor s novým názvem už existuje"));
    QCOMPARE(status(*window), QStringLiteral("HOTOVO - nepřejmenováno: 3"));
    QCOMPARE(folderState(m_folder),
             (QStringList{"003 - a.jpg=someone else's", "a.jpg=A", "c.jpg=C edited", "d.jpg=D"}));
}

void TestRenaming::forbiddenFolderLosesNothing() {
    if (::geteuid() == 0)
        QSKIP("root ignores permission bits; run as an ordinary user to test this");
    auto window = scannedWindow();
    const QStringList before = folderState(m_folder);
    QVERIFY(QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner));
    ModalAnswerer answerer(answerQuestion(ModalAnswerer::clickButton("Přejmenovat")));
    click(*window, "Command2");
    QVERIFY(
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(status(*window), QStringLiteral("HOTOVO - nepřejmenováno: 3"));
    QCOMPARE(answerer.texts().size(), 2);
    QCOMPARE(answerer.texts()[1].count(QStringLiteral("přístup odepřen")), 3);
    QCOMPARE(folderState(m_folder), before);
}

QTEST_MAIN(TestRenaming)
#include "tst_renaming.moc"
