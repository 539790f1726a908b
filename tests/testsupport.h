#pragma once

#include "directorychooser.h"
#include "mainwindow.h"

#include <QTemporaryDir>
#include <QTimer>

// Answers every modal dialog that opens while it lives, as a user would: clicks the button of
// the given text, or presses "Return" or "Escape"; a dialog without that button is closed.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget*)>;
    explicit ModalAnswerer(Answer answer = clickButton({}));
    static Answer clickButton(const QString& text);
    void answer(const QString& choice);
    QStringList texts; // of the message boxes answered so far
    QStringList seen;  // their titles and cursors, and whether they stood off the window's centre

private:
    Answer m_answer;
    QTimer m_timer;
};

// The program's override cursor: "wait", "arrow" or "none".
QString cursorName();

// Stands in for the folder dialog: confirms the name it gives, or cancels when it gives none.
class StandInChooser : public DirectoryChooser {
public:
    explicit StandInChooser(std::function<std::optional<QString>()> answer)
        : m_answer(std::move(answer)) {}
    std::optional<QString> confirmedName(QWidget*, const QString&) override { return m_answer(); }
    static std::unique_ptr<StandInChooser> confirming(const QString& folder); // its placeholder

private:
    std::function<std::optional<QString>()> m_answer;
};

// A temporary root with the folder "photos/" and the program's folder "app/" holding the
// catalogue, and the window over them, driven by scripts of steps parted by "|":
//   folder:    "+name" a file holding its name, stamped a second after the one made before;
//              "+name=text" one written now; "+name@seconds" or "+name=text@seconds" one
//              stamped that long after the first (an existing file only stamped); "-name"
//              removes; "+dir:name", "+fifo:name", "+link:name>target", "+raw:name" (with the
//              byte 0xFF for each U+FFFD)
//   catalogue: "rows:count" writes that many photographs a minute apart; "sql:…" runs SQL as
//   another program would, "hold:…" keeping the connection
//              open; "garbage" overwrites the file, "delete" removes it; "chmod:path below the
//              root" takes write permission; "free" ends holds and permissions
//   actions:   "scan:below the folder[:locale]" shows the list text and any error;
//              "plan:row,…" plans and renames catalogue rows as scanned ("~row": changed
//              since, "row@given": the journal records the file as given that name), showing
//              problems; "crash:n" writes the journal of the window's renames, then makes
//              only n of them; "other" has another copy of the program scan another folder;
//              "browse[:name below the root]", "cancel", "sort[:answer]", "print[:printer]"
//              (none, failing, cups for the default destination, or a PDF below the root),
//              "type", "key:name" act through the window (made, waited on, then shown);
//              "reopen" starts a new run
//   listings:  "datum:locale:local ISO time or a text" shows the stored form and its text;
//              "layout:folder:name@datum,…" shows the printed lines ("name~date"), and
//              "pages:height:count*name@datum" the lines on each page, in units of a tenth of
//              a Latin character, a line holding 96 from column 5, other scripts 20 each;
//              "printable:folder:name" whether the real font (Arial or a metric-compatible
//              regular one) keeps the row within margins of at least 15 mm
//   observing: "read" (the catalogue's rows as name@datum, or its fault), "?where" (the
//              window's catalogue), "?status" (marked when elided), "?seen" (the cursor the
//              chooser, the printer and each box met, the boxes' titles and buttons, the
//              cursor after), "?list" (and what the list box shows, if other, or when not
//              shown from its top, or its typing can be undone), "?bar" (whether it has a scroll
//              bar),
//              "?focus", "?disk" (every
//              file but the program's, as name=content), "?pdf" (pages printed)
// Messages show as they come. Paths show as %F (the folder), %R (the root), %C (the catalogue
// in app/, whose messages show as "%C: cause") and %U (the catalogue in the user's data
// folder).
class Sandbox {
public:
    Sandbox();
    ~Sandbox();

    QString path(const QString& relative = {}) const { return m_root.filePath(relative); }
    QString folder() const { return path(QStringLiteral("photos/")); }
    Catalogue catalogue() const { return Catalogue(path(QStringLiteral("app/temlo_files.mdb"))); }
    MainWindow& window(); // shown once made; its chooser confirms the placeholder in the folder
    QString run(const QString& script); // what the steps showed, parted by "|"

private:
    QStringList step(const QString& each);
    void make(const QString& entry);
    void spoil(const QString& verb, const QString& argument);
    QStringList act(const QString& verb, const QString& argument);
    QStringList plan(const QStringList& names);
    void crash(int done);
    QString observe(const QString& what);
    void free();

    QTemporaryDir m_root;
    std::unique_ptr<MainWindow> m_window;
    std::optional<QString> m_confirmed;
    ModalAnswerer m_answerer;
    int m_made = 0;
    struct sqlite3* m_held = nullptr;
    QStringList m_blocked;
};

// Table rows of a script and what it shows: a row per line, "tag :: script => shown", where
// \r and \n stand for those characters and "x{80}" for eighty of them; rows() adds
// the table's rows (and the columns, first), their tags and scripts led by the given ones.
void rows(const char* tag, const char* table, const QString& prefix = {});

void click(QWidget& window, const char* button);
QString commandOutput(const QString& program, const QStringList& arguments); // "" on failure
QString pdfLayoutText(const QString& path); // as `pdftotext -layout` lays it out
int pdfPageCount(const QString& path);      // as `pdfinfo` reports it; 0 when unreadable
void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified);
