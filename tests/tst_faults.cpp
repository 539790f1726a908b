#include "catalogue.h"
#include "mainwindow.h"
#include "numberedlist.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

const QString separator = QStringLiteral(" - ");

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each file holds its own name, so a file that was swapped or overwritten shows.
void createNamedFiles(const QString& folder, const QStringList& names) {
    const QDateTime first(QDate(2024, 8, 1), QTime(12, 0));
    for (int i = 0; i < names.size(); ++i)
        writeFile(folder + u'/' + names[i], names[i].toUtf8(), first.addSecs(i));
}

} // namespace

// Faults from the outside world met through the window: awkward names on disk and a second
// copy of the program writing the same catalogue.
class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void awkwardNamesAreRenamedExactlyOrKept_data();
    void awkwardNamesAreRenamedExactlyOrKept();
    void readsNeverSeeAnotherCopysUnfinishedScan();
    void deletedCatalogueIsRecreatedByTheNextScan();

private:
    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_photos;
};

void TestFaults::init() {
    m_app = std::make_unique<QTemporaryDir>();
    m_photos = std::make_unique<QTemporaryDir>();
}

void TestFaults::awkwardNamesAreRenamedExactlyOrKept_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("kept"); // names that cannot get their numbered name

    const QString composed = QStringLiteral("Kůň \u017Elu\u0165ou\u010Dk\u00FD.jpg");
    const QString decomposed = composed.normalized(QString::NormalizationForm_D);
    QTest::newRow("unicode/composed and decomposed side by side")
        << QStringList{composed, decomposed} << QStringList{};
    QTest::newRow("control/line breaks inside names")
        << QStringList{QStringLiteral("a\rb.jpg"), QStringLiteral("c\nd.jpg")} << QStringList{};
    QTest::newRow("space/spaces and separator")
        << QStringList{QStringLiteral(" lead.jpg"), QStringLiteral("001 - x.jpg")} << QStringList{};
    const QString longest = QString(251, u'x') + QStringLiteral(".jpg");
    QTest::newRow("length/255 bytes leave no room for a number")
        << QStringList{longest, QStringLiteral("short.jpg")} << QStringList{longest};
}

void TestFaults::awkwardNamesAreRenamedExactlyOrKept() {
    QFETCH(QStringList, names);
    QFETCH(QStringList, kept);
    createNamedFiles(m_photos->path(), names);
    MainWindow window(m_app->path());
    window.setDirectoryChooser(StandInChooser::confirming(m_photos->path()));
    click(window, "Command1");
    {
        // Accepts the question; the report of files left alone has no such button.
        ModalAnswerer answerer([](QWidget* modal) {
            for (auto* button : modal->findChildren<QAbstractButton*>())
                if (button->text().remove(u'&') == QStringLiteral("Přejmenovat"))
                    return button->click();
            ModalAnswerer::reject(modal);
        });
        click(window, "Command2");
        QCOMPARE(answerer.count(), kept.isEmpty() ? 1 : 2);
    }

    QStringList expectedOnDisk;
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        const QString onDisk = kept.contains(name) ? name : numberedName(i + 1, name, separator);
        expectedOnDisk << onDisk;
        QCOMPARE(contentOf(m_photos->filePath(onDisk)), name.toUtf8());
    }
    QStringList actual = QDir(m_photos->path()).entryList(QDir::Files);
    actual.sort();
    expectedOnDisk.sort();
    QCOMPARE(actual, expectedOnDisk);
    QCOMPARE(status(window), kept.isEmpty()
                                 ? QStringLiteral("HOTOVO - přejmenováno")
                                 : QStringLiteral("HOTOVO - nepřejmenováno: %1").arg(kept.size()));
}

void TestFaults::readsNeverSeeAnotherCopysUnfinishedScan() {
    createNamedFiles(m_photos->path(), {"a.jpg", "b.jpg", "c.jpg"});
    MainWindow first(m_app->path());
    first.setDirectoryChooser(StandInChooser::confirming(m_photos->path()));
    click(first, "Command1");

    // The other copy has emptied the catalogue and written one row of its scan so far.
    sqlite3* other = nullptr;
    const QString path = first.catalogue().path();
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other,
                          "BEGIN IMMEDIATE; DELETE FROM filenametab;"
                          "INSERT INTO filenametab VALUES ('z.jpg', '2024-01-01T00:00:00.000Z');",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    MainWindow second(m_app->path());
    click(second, "Command2");
    QCOMPARE(second.state().listtext, QStringLiteral("001 - a.jpg\r002 - b.jpg\r003 - c.jpg\r"));

    QCOMPARE(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    click(second, "Command2");
    QCOMPARE(second.state().listtext, QStringLiteral("001 - z.jpg\r"));
}

void TestFaults::deletedCatalogueIsRecreatedByTheNextScan() {
    createNamedFiles(m_photos->path(), {"a.jpg"});
    MainWindow window(m_app->path());
    window.setDirectoryChooser(StandInChooser::confirming(m_photos->path()));
    QVERIFY(QFile::remove(window.catalogue().path()));
    {
        ModalAnswerer answerer;
        click(window, "Command1");
        QCOMPARE(answerer.count(), 0);
    }
    QVERIFY(QFile::exists(window.catalogue().path()));
    QCOMPARE(Catalogue(window.catalogue().path()).orderedRows().size(), size_t(1));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
