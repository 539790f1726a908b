#include "testsupport.h"

#include "datum.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

const QDateTime Sandbox::scanned(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC);

ModalAnswerer::ModalAnswerer(const QString& choice)
    : ModalAnswerer(choice == u"Return" || choice == u"Escape" ? Answer([choice](QWidget* modal) {
          QTest::keyClick(modal, choice == u"Return" ? Qt::Key_Return : Qt::Key_Escape);
      })
                                                               : clickButton(choice)) {}

ModalAnswerer::ModalAnswerer(Answer answer) : m_answer(std::move(answer)) {
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(5);
}

void ModalAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        m_texts << (box->informativeText().isEmpty()
                        ? box->text()
                        : box->text() + u'\n' + box->informativeText());
    ++m_count;
    m_answer(modal);
}

ModalAnswerer::Answer ModalAnswerer::clickButton(const QString& text) {
    return [text](QWidget* modal) {
        for (auto* button : modal->findChildren<QAbstractButton*>())
            if (!text.isEmpty() && button->text().remove(u'&') == text)
                return button->click();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            return dialog->reject();
        modal->close();
    };
}

std::unique_ptr<StandInChooser> StandInChooser::confirming(const QString& folder) {
    const QString name =
        folder + u'/' + QLatin1String(FileDialogChooser::placeholder) + QStringLiteral(".~#~");
    return std::make_unique<StandInChooser>([name] { return name; });
}

Sandbox::Sandbox() {
    confirmed = folder() + QStringLiteral("Select a Directory.~#~");
    QVERIFY(QDir(path()).mkpath(QStringLiteral("photos")) && QDir(path()).mkpath("app"));
}

// Also names that are not UTF-8, which QTemporaryDir cannot remove.
Sandbox::~Sandbox() {
    m_window.reset();
    std::filesystem::remove_all(QFile::encodeName(path()).toStdString());
}

void Sandbox::make(const QStringList& entries) const {
    for (int i = 0; i < entries.size(); ++i) {
        const QString& entry = entries[i];
        if (entry.startsWith(u"dir:"))
            QDir(folder()).mkpath(entry.mid(4));
        else if (entry.startsWith(u"link:"))
            QFile::link(entry.section(u'>', 1), folder() + entry.mid(5).section(u'>', 0, 0));
        else if (entry.startsWith(u"fifo:"))
            ::mkfifo(QFile::encodeName(folder() + entry.mid(5)).constData(), 0644);
        else if (entry.startsWith(u"raw:"))
            ::close(::creat(QFile::encodeName(folder() + entry.mid(4))
                                .replace("\xEF\xBF\xBD", "\xFF")
                                .constData(),
                            0644));
        else if (entry.startsWith(u'-'))
            QFile::remove(folder() + entry.mid(1));
        else if (entry.contains(u'='))
            writeFile(folder() + entry.section(u'=', 0, 0), entry.section(u'=', 1).toUtf8());
        else
            writeFile(folder() + entry, entry.toUtf8(), scanned.addSecs(i));
    }
}

QStringList Sandbox::state() const {
    QStringList files;
    QDirIterator it(path(), QDir::Files | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.fileName().startsWith(path(QStringLiteral("app/"))))
            files << QDir(folder()).relativeFilePath(file.fileName()) + u'=' +
                         (file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>");
    }
    files.sort();
    return files;
}

std::vector<CatalogueRow> Sandbox::scannedRows(const QStringList& names) const {
    std::vector<CatalogueRow> rows;
    for (const QString& entry : names) {
        const QString name = entry.startsWith(u'~') ? entry.mid(1) : entry;
        const QFileInfo file(folder() + name);
        const bool fresh = file.exists() && name == entry;
        rows.push_back({name, storedDatum(fresh ? file.lastModified() : scanned.addDays(-1))});
    }
    return rows;
}

MainWindow& Sandbox::window() {
    if (m_window)
        return *m_window;
    m_window = std::make_unique<MainWindow>(path(QStringLiteral("app")));
    m_window->setDirectoryChooser(std::make_unique<StandInChooser>([this] { return confirmed; }));
    m_window->setPrinterFactory([pdf = path(QStringLiteral("app/listing.pdf"))] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return printer;
    });
    return *m_window;
}

void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(content), content.size());
    QVERIFY(file.flush()); // a later flush would stamp the file with the present time
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

sqlite3* otherConnection(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        QTest::qFail(sqlite3_errmsg(db), __FILE__, __LINE__);
    return db;
}

QString status(QWidget& window) {
    return control<QLabel>(window, "Label2")->text();
}

QString shownText(QWidget& window) {
    return control<QPlainTextEdit>(window, "TextBox1")->toPlainText();
}

void click(QWidget& window, const char* button) {
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

QStringList filenames(std::span<const CatalogueRow> rows) {
    QStringList names;
    for (const CatalogueRow& row : rows)
        names << row.filename;
    return names;
}
