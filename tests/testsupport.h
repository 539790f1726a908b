#pragma once

#include "catalogue.h"
#include "directorychooser.h"
#include "mainwindow.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

// Answers every modal dialog that opens while it lives, as a user would, so that an
// action blocked in a dialog can be driven from a test.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget*)>;

    // Clicks the button of that text, or presses the key "Return" or "Escape"; a dialog
    // without such a button is closed.
    explicit ModalAnswerer(const QString& choice = {});
    explicit ModalAnswerer(Answer answer);

    // The texts of the message boxes answered so far (their text and informative text).
    const QStringList& texts() const { return m_texts; }
    int count() const { return m_count; }

    static Answer clickButton(const QString& text);

private:
    void poll();

    Answer m_answer;
    QTimer m_timer;
    QStringList m_texts;
    int m_count = 0;
};

// Stands in for the folder dialog: confirms a preset name, or cancels when there is none.
class StandInChooser : public DirectoryChooser {
public:
    explicit StandInChooser(std::function<std::optional<QString>()> answer)
        : m_answer(std::move(answer)) {}
    std::optional<QString> confirmedName(QWidget*, const QString&) override { return m_answer(); }

    // Confirms the placeholder name in `folder`, as a user does.
    static std::unique_ptr<StandInChooser> confirming(const QString& folder);

private:
    std::function<std::optional<QString>()> m_answer;
};

// A temporary root holding the folder "photos/" and the program's folder "app/" with the
// catalogue, and the window over them.
class Sandbox {
public:
    static const QDateTime scanned;

    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;
    QString path(const QString& relative = {}) const { return m_root.filePath(relative); }
    QString folder() const { return path(QStringLiteral("photos/")); }
    Catalogue catalogue() const { return Catalogue(path(QStringLiteral("app/temlo_files.mdb"))); }

    // In the folder: "name" a file holding its name, stamped a second after the entry before;
    // "name=content" a file written now; "-name" removes; "dir:name" a folder;
    // "link:name>target" a symbolic link; "fifo:name" a pipe; "raw:name" a file whose name
    // has the byte 0xFF where the name has U+FFFD.
    void make(const QStringList& entries) const;
    // Every file below the root but the program's, as "path from the folder=content", sorted.
    QStringList state() const;
    // Catalogue rows naming these files as scanned; "~name" has a datum from before.
    std::vector<CatalogueRow> scannedRows(const QStringList& names) const;

    // The window, made on first use: its chooser answers `confirmed` (the placeholder in the
    // folder; none cancels) and it prints into app/listing.pdf.
    MainWindow& window();
    void closeWindow() { m_window.reset(); }
    std::optional<QString> confirmed;

private:
    QTemporaryDir m_root;
    std::unique_ptr<MainWindow> m_window;
};

// The window's controls by object name, as a user meets them.
template <typename T> T* control(QWidget& window, const char* name) {
    auto* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}
QString status(QWidget& window);    // the status label
QString shownText(QWidget& window); // what the list box shows
void click(QWidget& window, const char* button);

// The file names of catalogue rows, in their order.
QStringList filenames(std::span<const CatalogueRow> rows);

// Writes a file with the given content and modification time.
void writeFile(const QString& path, const QByteArray& content,
               const QDateTime& modified = QDateTime::currentDateTime());

// Runs SQL on the database file through a connection of its own, as another program would;
// the connection stays open (holding any transaction begun) until it is closed.
struct sqlite3* otherConnection(const QString& path, const char* sql);
