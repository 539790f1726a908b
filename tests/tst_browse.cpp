#include "catalogue.h"
#include "directorychooser.h"
#include "listbox.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

const QString placeholder = QStringLiteral("Select a Directory.~#~");

QStringList catalogued(const MainWindow& window) {
    QStringList names;
    for (const CatalogueRow& row : window.catalogue().orderedRows())
        names << row.filename;
    return names;
}

// Holds the database's write lock, as another program writing to it would.
class WriteLock {
public:
    explicit WriteLock(const QString& path) {
        sqlite3_open(QFile::encodeName(path).constData(), &m_db);
        m_locked = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~WriteLock() { sqlite3_close(m_db); }
    bool locked() const { return m_locked; }

private:
    sqlite3* m_db = nullptr;
    bool m_locked = false;
};

} // namespace

class TestBrowse : public QObject {
    Q_OBJECT
private slots:
    void init();
    void showsFolderAndCataloguesItsFiles();
    void cancelChangesNothing();
    void rescanLeavesEachFileOnce();
    void catalogueWriteFailureIsReported_data();
    void catalogueWriteFailureIsReported();
    void unreadableFolderIsReportedAndEmptiesCatalogue();
    void chosenFolderSortsInDateOrder();
    void realDialogChoosesFolderAndRestoresWorkingDirectory_data();
    void realDialogChoosesFolderAndRestoresWorkingDirectory();

private:
    QString photos() const { return m_dir->filePath(QStringLiteral("Fotky léto")) + u'/'; }
    std::unique_ptr<MainWindow> windowChoosing(std::optional<QString> answer);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBrowse::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Fotky léto")));
    const QDateTime base(QDate(2024, 5, 1), QTime(12, 0));
    writeFile(photos() + QStringLiteral("IMG_10.jpg"), "x", base.addDays(1));
    writeFile(photos() + QStringLiteral("IMG_2.jpg"), "x", base.addDays(2));
    writeFile(photos() + QStringLiteral("čáp.jpg"), "x", base);
}

std::unique_ptr<MainWindow> TestBrowse::windowChoosing(std::optional<QString> answer) {
    auto window = std::make_unique<MainWindow>(m_dir->path());
    window->setDirectoryChooser(std::make_unique<StandInChooser>(std::move(answer)));
    window->show();
    return window;
}

void TestBrowse::showsFolderAndCataloguesItsFiles() {
    auto window = windowChoosing(photos() + placeholder);
    ModalAnswerer answerer;
    click(*window, "Command1");
    QCOMPARE(answerer.count(), 0);
    QCOMPARE(window->state().dirpath, photos());
    QCOMPARE(window->state().listtext, photos() + "\rIMG_2.jpg\rIMG_10.jpg\rčáp.jpg\r");
    QCOMPARE(shownText(*window), photos() + "\nIMG_2.jpg\nIMG_10.jpg\nčáp.jpg");
    QCOMPARE(status(*window), "Zvolen adresář: " + photos());
    QCOMPARE(catalogued(*window), (QStringList{"čáp.jpg", "IMG_10.jpg", "IMG_2.jpg"}));
    QCOMPARE(window->catalogue().orderedRows().front().datum,
             QStringLiteral("2024-05-01T10:00:00.000Z"));
}

void TestBrowse::cancelChangesNothing() {
    auto window = windowChoosing(photos() + placeholder);
    click(*window, "Command1");
    window->setDirectoryChooser(std::make_unique<StandInChooser>(std::nullopt));
    QVERIFY(QFile::remove(photos() + QStringLiteral("čáp.jpg")));
    const Module1 before = window->state();

    click(*window, "Command1");
    QCOMPARE(window->state().dirpath, before.dirpath);
    QCOMPARE(window->state().listtext, before.listtext);
    QCOMPARE(shownText(*window), photos() + "\nIMG_2.jpg\nIMG_10.jpg\nčáp.jpg");
    QCOMPARE(status(*window), "Zvolen adresář: " + photos());
    QCOMPARE(catalogued(*window).size(), 3);
}

void TestBrowse::rescanLeavesEachFileOnce() {
    auto window = windowChoosing(photos() + placeholder);
    click(*window, "Command1");
    writeFile(photos() + QStringLiteral("new.jpg"), "x");
    click(*window, "Command1");
    QCOMPARE(catalogued(*window).size(), 4);
    QCOMPARE(catalogued(*window).count(QStringLiteral("IMG_2.jpg")), 1);
}

void TestBrowse::catalogueWriteFailureIsReported_data() {
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("cause");

    QTest::newRow("catalogue/locked by another program") << true << "jiný program";
    QTest::newRow("catalogue/not a database") << false << "není databáze";
}

void TestBrowse::catalogueWriteFailureIsReported() {
    QFETCH(bool, locked);
    QFETCH(QString, cause);
    auto window = windowChoosing(photos() + placeholder);
    const QString path = window->catalogue().path();
    window->catalogue().replaceAll(std::vector<CatalogueRow>{{"old.jpg", ""}});
    QByteArray before;
    std::unique_ptr<WriteLock> lock;
    if (locked) {
        lock = std::make_unique<WriteLock>(path);
        QVERIFY(lock->locked());
    } else {
        QVERIFY(QFile::remove(path));
        writeFile(path, "not a database");
    }

    ModalAnswerer answerer;
    click(*window, "Command1");
    QCOMPARE(answerer.texts().size(), 1);
    QVERIFY2(answerer.texts().first().contains(path) && answerer.texts().first().contains(cause),
             qPrintable(answerer.texts().first()));
    QCOMPARE(window->state().listtext, photos() + "\rIMG_2.jpg\rIMG_10.jpg\rčáp.jpg\r");
    QCOMPARE(status(*window), "Zvolen adresář: " + photos());
    lock.reset();
    if (locked)
        QCOMPARE(catalogued(*window), QStringList{"old.jpg"});
    else
        QCOMPARE(QFile(path).size(), qint64(14));
}

void TestBrowse::unreadableFolderIsReportedAndEmptiesCatalogue() {
    const QString gone = m_dir->filePath(QStringLiteral("gone")) + u'/';
    auto window = windowChoosing(gone + placeholder);
    window->catalogue().replaceAll(std::vector<CatalogueRow>{{"old.jpg", ""}});

    ModalAnswerer answerer;
    click(*window, "Command1");
    QCOMPARE(answerer.texts().size(), 1);
    QVERIFY2(answerer.texts().first().contains(gone), qPrintable(answerer.texts().first()));
    QCOMPARE(window->state().listtext, gone + u'\r');
    QCOMPARE(status(*window), "Zvolen adresář: " + gone);
    // Rows of the previous folder would be listed under the name of this one.
    QVERIFY(catalogued(*window).isEmpty());
}

void TestBrowse::chosenFolderSortsInDateOrder() {
    auto window = windowChoosing(photos() + QStringLiteral("my own name.~#~"));
    click(*window, "Command1");
    ModalAnswerer declineRenaming(ModalAnswerer::clickButton("Ne"));
    click(*window, "Command2");
    QCOMPARE(declineRenaming.count(), 1);
    QCOMPARE(window->state().listtext,
             QStringLiteral("001 - čáp.jpg\r002 - IMG_10.jpg\r003 - IMG_2.jpg\r"));
    QCOMPARE(shownText(*window),
             QStringLiteral("001 - čáp.jpg\n002 - IMG_10.jpg\n003 - IMG_2.jpg"));
    QCOMPARE(status(*window), QStringLiteral("HOTOVO - seřazeno"));
}

void TestBrowse::realDialogChoosesFolderAndRestoresWorkingDirectory_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("dialog/confirm placeholder in a folder") << true;
    QTest::newRow("dialog/cancel") << false;
}

void TestBrowse::realDialogChoosesFolderAndRestoresWorkingDirectory() {
    QFETCH(bool, accept);
    MainWindow window(m_dir->path());
    window.show();
    const QString workingDir = QDir::currentPath();
    QStringList openedIn;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Select a directory"));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(dialog->nameFilters(), QStringList{"Directories (*.~#~)"});
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("~#~"));
        QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
                 QStringLiteral("Select a Directory"));
        openedIn << dialog->directory().absolutePath();
        QVERIFY(QDir::setCurrent(photos()));
        if (!accept)
            return dialog->reject();
        dialog->setDirectory(photos());
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does
    });

    click(window, "Command1");
    click(window, "Command1");
    QCOMPARE(answerer.count(), 2);
    QCOMPARE(openedIn, QStringList(2, m_dir->path()));
    QCOMPARE(QDir::currentPath(), workingDir);
    QCOMPARE(window.state().dirpath, accept ? photos() : QString());
    QCOMPARE(catalogued(window).size(), accept ? 3 : 0);
}

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
