#include "catalogue.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

class TestBrowse : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    QString photos() const { return m_dir->filePath("Fotky léto") + u'/'; }
    QString listed() const { return photos() + "\rčáp.jpg\rIMG_2.jpg\rIMG_10.jpg\r"; }
    void choose(std::optional<QString> name) {
        m_window->setDirectoryChooser(std::make_unique<StandInChooser>(std::move(name)));
        click(*m_window, "Command1");
    }
    QStringList catalogued() const { return filenames(m_window->catalogue().orderedRows()); }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkdir("Fotky léto"));
        const QDateTime base(QDate(2024, 5, 1), QTime(12, 0));
        writeFile(photos() + "IMG_10.jpg", "x", base.addDays(1));
        writeFile(photos() + "IMG_2.jpg", "x", base.addDays(2));
        writeFile(photos() + "čáp.jpg", "x", base);
        m_window = std::make_unique<MainWindow>(m_dir->path());
        m_window->show();
    }
    void cleanup() { m_window.reset(); }

    void chooseCancelRescanAndSort() {
        choose(photos() + "Select a Directory.~#~");
        QCOMPARE(m_window->state().dirpath, photos());
        QCOMPARE(m_window->state().listtext, listed());
        QCOMPARE(shownText(*m_window), photos() + "\nčáp.jpg\nIMG_2.jpg\nIMG_10.jpg");
        QCOMPARE(status(*m_window), "Zvolen adresář: " + photos());
        QCOMPARE(catalogued(), (QStringList{"čáp.jpg", "IMG_10.jpg", "IMG_2.jpg"}));

        writeFile(photos() + "new.jpg", "x");
        choose(std::nullopt);
        QCOMPARE(m_window->state().listtext, listed());
        QCOMPARE(catalogued().size(), 3);

        choose(photos() + "typed.~#~");
        QCOMPARE(catalogued(), (QStringList{"čáp.jpg", "IMG_10.jpg", "IMG_2.jpg", "new.jpg"}));

        ModalAnswerer declineRenaming(ModalAnswerer::clickButton("Ne"));
        click(*m_window, "Command2");
        QCOMPARE(declineRenaming.count(), 1);
        QCOMPARE(m_window->state().listtext,
                 "001 - čáp.jpg\r002 - IMG_10.jpg\r003 - IMG_2.jpg\r004 - new.jpg\r");
    }

    void catalogueWriteFailureKeepsOldRows_data() {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("cause");
        QTest::newRow("catalogue/locked by another program") << true << "jiný program";
        QTest::newRow("catalogue/not a database") << false << "není databáze";
    }
    void catalogueWriteFailureKeepsOldRows() {
        QFETCH(bool, locked);
        QFETCH(QString, cause);
        const QString path = m_window->catalogue().path();
        m_window->catalogue().replaceAll(std::vector<CatalogueRow>{{"old.jpg", ""}});
        sqlite3* lock = nullptr; // holds the write lock, as another program writing would
        if (locked) {
            sqlite3_open(QFile::encodeName(path).constData(), &lock);
            QCOMPARE(sqlite3_exec(lock, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else {
            writeFile(path, "not a database");
        }
        ModalAnswerer answerer;
        choose(photos() + "Select a Directory.~#~");
        sqlite3_close(lock);
        QCOMPARE(answerer.texts().size(), 1);
        QVERIFY2(answerer.texts()[0].contains(path) && answerer.texts()[0].contains(cause),
                 qPrintable(answerer.texts()[0]));
        QCOMPARE(m_window->state().listtext, listed());
        if (locked)
            QCOMPARE(catalogued(), QStringList{"old.jpg"});
        else
            QCOMPARE(QFile(path).size(), qint64(14));
    }

    void unreadableFolderIsReportedAndEmptiesCatalogue() {
        const QString gone = m_dir->filePath("gone/");
        m_window->catalogue().replaceAll(std::vector<CatalogueRow>{{"old.jpg", ""}});
        ModalAnswerer answerer;
        choose(gone + "Select a Directory.~#~");
        QCOMPARE(answerer.texts().size(), 1);
        QVERIFY2(answerer.texts()[0].contains(gone), qPrintable(answerer.texts()[0]));
        QCOMPARE(m_window->state().listtext, gone + u'\r');
        QVERIFY(catalogued().isEmpty());
    }

    // The second time, a folder path is typed and confirmed with Enter: the dialog moves there
    // and offers the placeholder again, so a second Enter chooses that folder.
    void realDialogOpensInAppPathAndRestoresWorkingDirectory() {
        const QString workingDir = QDir::currentPath();
        QStringList openedIn;
        QStringList names; // in the name field at each step
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            auto* nameField = dialog->findChild<QLineEdit*>("fileNameEdit");
            names << nameField->text();
            if (names.size() == 3) // moved into the typed folder
                return QTest::keyClick(nameField, Qt::Key_Return);
            if (names.size() > 3) // still open after that Enter
                return dialog->reject();
            openedIn << dialog->directory().absolutePath();
            QVERIFY(QDir::setCurrent(photos()));
            if (names.size() == 1)
                return dialog->reject();
            nameField->setText(photos());
            QTest::keyClick(nameField, Qt::Key_Return);
        });
        click(*m_window, "Command1");
        QCOMPARE(QDir::currentPath(), workingDir);
        QVERIFY(m_window->state().dirpath.isEmpty());
        click(*m_window, "Command1");
        QCOMPARE(QDir::currentPath(), workingDir);
        QCOMPARE(openedIn, QStringList(2, m_dir->path()));
        QCOMPARE(names, QStringList(3, "Select a Directory"));
        QCOMPARE(m_window->state().dirpath, photos());
    }
};

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
