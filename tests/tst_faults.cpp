#include "catalogue.h"
#include "mainwindow.h"
#include "numberedlist.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

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
    void scan(MainWindow& window, const QStringList& names);

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_photos;
};

void TestFaults::init() {
    m_app = std::make_unique<QTemporaryDir>();
    m_photos = std::make_unique<QTemporaryDir>();
}

// Each file holds its own name, so a file that was swapped or overwritten shows.
void TestFaults::scan(MainWindow& window, const QStringList& names) {
    const QDateTime first(QDate(2024, 8, 1), QTime(12, 0));
    for (int i = 0; i < names.size(); ++i)
        writeFile(m_photos->filePath(names[i]), names[i].toUtf8(), first.addSecs(i));
    window.setDirectoryChooser(StandInChooser::confirming(m_photos->path()));
    click(window, "Command1");
}

void TestFaults::awkwardNamesAreRenamedExactlyOrKept_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("kept"); // names that cannot get their numbered name

    const QString composed = QStringLiteral("Kůň \u017Elu\u0165ou\u010Dk\u00FD.jpg");
    QTest::newRow("unicode/composed and decomposed side by side")
        << QStringList{composed, composed.normalized(QString::NormalizationForm_D)}
        << QStringList{};
    QTest::newRow("control/line breaks inside names")
        << QStringList{QStringLiteral("a\rb.jpg"), QStringLiteral("c\nd.jpg")} << QStringList{};
    const QString longest = QString(251, u'x') + QStringLiteral(".jpg");
    QTest::newRow("length/255 bytes leave no room for a number")
        << QStringList{longest, QStringLiteral("short.jpg")} << QStringList{longest};
    QTest::newRow("length/nothing renamable: reported without asking")
        << QStringList{longest} << QStringList{longest};
}

void TestFaults::awkwardNamesAreRenamedExactlyOrKept() {
    QFETCH(QStringList, names);
    QFETCH(QStringList, kept);
    MainWindow window(m_app->path());
    scan(window, names);
    // Accepts the question; the report of files left alone has no such button.
    ModalAnswerer answerer([](QWidget* modal) {
        for (auto* button : modal->findChildren<QAbstractButton*>())
            if (button->text().remove(u'&') == QStringLiteral("Přejmenovat"))
                return button->click();
        ModalAnswerer::reject(modal);
    });
    click(window, "Command2");

    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        QFile file(m_photos->filePath(
            kept.contains(name) ? name : numberedName(i + 1, name, QStringLiteral(" - "))));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QCOMPARE(file.readAll(), name.toUtf8());
    }
    QCOMPARE(QDir(m_photos->path()).entryList(QDir::Files).size(), names.size());
    QCOMPARE(answerer.count(), int(names.size() > kept.size()) + int(!kept.isEmpty()));
    QCOMPARE(status(window), kept.isEmpty()
                                 ? QStringLiteral("HOTOVO - přejmenováno")
                                 : QStringLiteral("HOTOVO - nepřejmenováno: %1").arg(kept.size()));
}

void TestFaults::readsNeverSeeAnotherCopysUnfinishedScan() {
    MainWindow first(m_app->path());
    scan(first, {"a.jpg", "b.jpg", "c.jpg"});
    // The other copy has emptied the catalogue and written one row of its scan so far.
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(first.catalogue().path().toUtf8().constData(), &other), SQLITE_OK);
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
    MainWindow window(m_app->path());
    QVERIFY(QFile::remove(window.catalogue().path()));
    ModalAnswerer answerer;
    scan(window, {"a.jpg"});
    QCOMPARE(answerer.count(), 0);
    QCOMPARE(Catalogue(window.catalogue().path()).orderedRows().size(), size_t(1));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
