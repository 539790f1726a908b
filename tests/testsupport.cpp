#include "testsupport.h"

#include "catalogueerror.h"
#include "datum.h"
#include "directoryscan.h"
#include "listingfont.h"
#include "listingprinter.h"
#include "renamer.h"
#include "scanlisttext.h"
#include "statuslabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <numeric>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

using Rows = std::vector<CatalogueRow>;
const QDateTime scanned(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC); // the first file's time

// Every page turn is refused, as by a printer that fails midway.
class FailingPrinter : public QPrinter {
public:
    using QPrinter::QPrinter;
    bool newPage() override { return false; }
};

// The stored form of a local time, and the locale's text for it (or for a text that is no time).
QStringList datum(const QString& locale, const QString& text) {
    const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return {storedDatum(time),
            datumText(time.isValid() ? storedDatum(time) : text, QLocale(locale))};
}

// Ten units a Latin character; other scripts (drawn by fallback fonts) two hundred.
ListingMetrics metrics(qreal pageHeight) {
    return {10, 20, 10, pageHeight, 1000, [](const QString& text) {
                return std::accumulate(text.begin(), text.end(), 0.0, [](qreal sum, QChar c) {
                    return sum + (c.unicode() < 0x180 ? 10 : 200);
                });
            }};
}

// Rows "name@datum", or "count*name" of no date; the lines of each page, or the pages' sizes.
QStringList layout(const QString& dirpath, const QString& rowList, qreal pageHeight = 1e9) {
    Rows rows;
    for (const QString& row : rowList.split(u',', Qt::SkipEmptyParts))
        rows.insert(rows.end(), qMax(1, row.section(u'*', 0, 0).toInt()),
                    {row.section(u'*', -1).section(u'@', 0, 0), row.section(u'@', 1)});
    QStringList shown, sizes;
    for (const ListingPage& page : listingPages({rows, dirpath, " - "}, metrics(pageHeight))) {
        sizes << QString::number(page.size());
        for (const ListingLine& line : page)
            shown << line.atColumn5 + (line.atColumn70.isEmpty() ? "" : "~" + line.atColumn70);
    }
    if (pageHeight < 1e8 && layout(dirpath, rowList) != QStringList(shown.join(u',')))
        sizes << "lines differ from one long page";
    return {pageHeight > 1e8 ? shown.join(u',') : sizes.join(u' ')};
}

// Whether every character of the row's lines lies within the printable area, in the real font.
QString printable(const QString& dirpath, const QString& name) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    reservePrintMargins(printer);
    const QMarginsF margin = printer.pageLayout().margins(QPageLayout::Millimeter);
    if (qMin(qMin(margin.left(), margin.right()), qMin(margin.top(), margin.bottom())) < 15)
        return "margins under 15 mm";
    const QFontMetricsF font(listingFont(), &printer);
    const ListingMetrics m = listingMetrics(font, QSizeF(printer.width(), printer.height()));
    const Rows rows{{name, "2024-03-07T08:05:09.123Z"}};
    QString printed;
    for (const ListingPage& lines : listingPages({rows, dirpath, " - "}, m))
        for (const ListingLine& line : lines) {
            const auto end = [&](int column, const QString& text) {
                return columnOffset(column, m.charWidth) + font.horizontalAdvance(text);
            };
            if (qMax(end(5, line.atColumn5), end(70, line.atColumn70)) > printer.width())
                return "beyond: " + line.atColumn5 + line.atColumn70;
            printed += line.atColumn5;
        }
    const QFontInfo face(listingFont()); // metric-compatible with Arial, regular
    if (!QStringList{"Arial", "Liberation Sans"}.contains(face.family()) || face.bold() ||
        face.italic())
        return "in " + face.family();
    return printed.contains("-------" + dirpath + "-------001 - " + name) ? "inside" : printed;
}

} // namespace

// Adds the table's rows, their tags and scripts led by the given ones.
void rows(const char* tag, const char* table, const QString& prefix) {
    static QByteArray adding; // the columns, once for each table-driven test
    if (std::exchange(adding, QTest::currentTestFunction()) != QTest::currentTestFunction())
        QTest::addColumn<QString>("script"), QTest::addColumn<QString>("shown");
    static const QRegularExpression escape(QStringLiteral(R"(\\([rn])|(.)\{(\d+)\})"));
    for (QString row : QString::fromUtf8(table).split(u'\n', Qt::SkipEmptyParts)) {
        for (auto at = escape.match(row); at.hasMatch(); at = escape.match(row, at.capturedStart()))
            row.replace(at.capturedStart(), at.capturedLength(),
                        at.captured(1).isEmpty() ? at.captured(2).repeated(at.captured(3).toInt())
                        : at.captured(1) == u"r" ? "\r"
                                                 : "\n");
        QTest::newRow(qPrintable(tag + (u'/' + row.section(" :: ", 0, 0).trimmed())))
            << prefix + row.section(" :: ", 1).section(" => ", 0, 0) << row.section(" => ", 1);
    }
}

ModalAnswerer::ModalAnswerer(Answer answer) : m_answer(std::move(answer)) {
    connect(&m_timer, &QTimer::timeout, this, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        const QWidget* over = modal->parentWidget() ? modal->parentWidget()->window() : modal;
        const QPoint off = modal->frameGeometry().center() - over->frameGeometry().center();
        QStringList buttons;
        for (const QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            buttons << button->text().remove(u'&');
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            texts << box->text(),
                seen << box->windowTitle() + " / " + cursorName() + " / " + buttons.join(u'|') +
                            (over->isVisible() && off.manhattanLength() <= 2 ? ""
                                                                             : " / off centre");
        m_answer(modal);
    });
    m_timer.start(5);
}

// Message boxes only, so that a test may answer other dialogs itself.
void ModalAnswerer::answer(const QString& choice) {
    m_answer = [choice, click = clickButton(choice)](QWidget* modal) {
        if (!qobject_cast<QMessageBox*>(modal))
            return;
        if (choice == u"Return" || choice == u"Escape")
            return QTest::keyClick(modal, choice == u"Return" ? Qt::Key_Return : Qt::Key_Escape);
        click(modal);
    };
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

QString cursorName() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return !cursor                              ? QStringLiteral("none")
           : cursor->shape() == Qt::WaitCursor  ? QStringLiteral("wait")
           : cursor->shape() == Qt::ArrowCursor ? QStringLiteral("arrow")
                                                : QString::number(cursor->shape());
}

std::unique_ptr<StandInChooser> StandInChooser::confirming(const QString& folder) {
    return std::make_unique<StandInChooser>(
        [folder] { return folder + "/Select a Directory.~#~"; });
}

Sandbox::Sandbox() {
    m_answerer.answer({});
    QVERIFY(QDir(path()).mkpath(QStringLiteral("app")) && QDir(path()).mkpath("photos"));
    if (QStandardPaths::isTestModeEnabled()) // the user's data folder of tests alone
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
}

// Also removes names that are not UTF-8, which QTemporaryDir cannot.
Sandbox::~Sandbox() {
    free();
    m_window.reset();
    std::filesystem::remove_all(QFile::encodeName(path()).toStdString());
}

MainWindow& Sandbox::window() {
    if (!m_window) {
        m_window = std::make_unique<MainWindow>(path(QStringLiteral("app")));
        m_window->setDirectoryChooser(std::make_unique<StandInChooser>([this] {
            m_answerer.seen << "chooser " + cursorName();
            return m_confirmed;
        }));
        QTest::qWait(50);
    }
    if (!m_window->isVisible()) { // then waits for what the start found wrong
        m_window->show();
        QTest::qWait(QTest::qWaitForWindowActive(m_window.get()) ? 20 : 0);
    }
    return *m_window;
}

QString Sandbox::run(const QString& script) {
    QStringList shown;
    for (const QString& each : script.split(u'|')) {
        m_answerer.texts.clear();
        const QStringList result = step(each);
        shown << m_answerer.texts << result;
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    static const QRegularExpression fault(QStringLiteral("Katalog „%C“: (.*?)( \\([^)]*\\))?\\."));
    return shown.join(u'|')
        .replace(catalogue().path(), QStringLiteral("%C"))
        .replace(data + "/temlo_files.mdb", QStringLiteral("%U"))
        .replace(folder(), QStringLiteral("%F"))
        .replace(path(), QStringLiteral("%R"))
        .replace(fault, QStringLiteral("%C: \\1"));
}

QStringList Sandbox::step(const QString& each) {
    const QString verb = each.section(u':', 0, 0), argument = each.section(u':', 1);
    const QString first = argument.section(u':', 0, 0), rest = argument.section(u':', 1);
    if (each.startsWith(u'+') || each.startsWith(u'-'))
        make(each.mid(each.startsWith(u'+')));
    else if (verb == u"read" || verb.startsWith(u'?'))
        return {observe(verb.mid(verb.startsWith(u'?')))};
    else if (verb == u"plan" || verb == u"datum" || verb == u"layout")
        return verb == u"plan"    ? plan(argument.split(u','))
               : verb == u"datum" ? datum(first, rest)
                                  : layout(first, rest);
    else if (verb == u"pages" || verb == u"printable")
        return verb == u"pages" ? layout("/d/", rest, first.toDouble())
                                : QStringList(printable(first, rest));
    else if (verb == u"crash")
        crash(argument.toInt());
    else if (verb == u"rows") { // photographs a minute apart
        Rows rows;
        for (int i = 0; i < argument.toInt(); ++i)
            rows.push_back({QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QChar(u'0')),
                            storedDatum(scanned.addSecs(61 * i))});
        catalogue().replaceAll(rows);
    } else if (verb == u"other") { // another copy of the program scans another folder
        MainWindow other(path(QStringLiteral("app")));
        other.setDirectoryChooser(
            StandInChooser::confirming(QDir(path()).mkpath("other") ? path("other") : ""));
        click(other, "Command1");
    } else if (QStringList{"sql", "hold", "garbage", "delete", "chmod", "free"}.contains(verb))
        spoil(verb, argument);
    else
        return act(verb, argument);
    return {};
}

void Sandbox::make(const QString& entry) {
    const QString name = entry.section(u':', 1), file = folder() + name;
    if (entry.startsWith(u"dir:"))
        QDir(folder()).mkpath(name);
    else if (entry.startsWith(u"link:"))
        QFile::link(name.section(u'>', 1), folder() + name.section(u'>', 0, 0));
    else if (entry.startsWith(u"fifo:"))
        ::mkfifo(QFile::encodeName(file).constData(), 0644);
    else if (entry.startsWith(u"raw:"))
        ::close(::creat(QFile::encodeName(file).replace("\xEF\xBF\xBD", "\xFF").constData(), 0644));
    else if (entry.startsWith(u'-'))
        QFile::remove(folder() + entry.mid(1));
    else { // "name[=text][@seconds]": a file stamped only keeps its content
        const QString named = entry.section(u'=', 0, 0).section(u'@', 0, 0),
                      at = entry.section(u'@', 1);
        const QString text =
            entry.contains(u'=') ? entry.section(u'=', 1).section(u'@', 0, 0) : named;
        QFile file(folder() + named);
        if (!file.exists() || entry.contains(u'='))
            writeFile(file.fileName(), text.toUtf8(), QDateTime::currentDateTime());
        const QDateTime time = entry.contains(u'=') && at.isEmpty()
                                   ? QDateTime::currentDateTime()
                                   : scanned.addSecs(at.isEmpty() ? m_made++ : at.toInt());
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(time, QFileDevice::FileModificationTime));
    }
}

void Sandbox::spoil(const QString& verb, const QString& argument) {
    QFile file(catalogue().path());
    if (verb != u"chmod")
        free();
    if ((verb == u"sql" || verb == u"hold") &&
        (sqlite3_open(QFile::encodeName(file.fileName()), &m_held) ||
         sqlite3_exec(m_held, argument.toUtf8(), nullptr, nullptr, nullptr)))
        QTest::qFail(sqlite3_errmsg(m_held), __FILE__, __LINE__);
    if (verb == u"sql")
        free();
    if (verb == u"garbage" && file.open(QIODevice::WriteOnly))
        file.write("not a database");
    if (verb == u"delete")
        file.remove();
    if (verb == u"chmod")
        QFile::setPermissions(m_blocked.emplace_back(path(argument)),
                              QFile::ReadOwner | QFile::ExeOwner);
}

void Sandbox::free() {
    sqlite3_close(m_held);
    m_held = nullptr;
    for (const QString& blocked : std::exchange(m_blocked, {}))
        QFile::setPermissions(blocked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList Sandbox::act(const QString& verb, const QString& argument) {
    if (verb == u"scan") { // in the user's locale, or the one named after the folder
        const QString dir = folder() + argument.section(u':', 0, 0);
        const DirectoryScan scan = scanDirectory(
            dir, argument.contains(u':') ? QLocale(argument.section(u':', 1)) : QLocale());
        return QStringList{scanListText(dir, scan.files), scan.error}.mid(
            0, 1 + !scan.error.isEmpty());
    }
    if (verb == u"reopen")
        m_window.reset();
    m_answerer.answer(verb == u"sort" ? argument : QString());
    MainWindow& shown = window();
    const QString named = argument.isEmpty() || verb == u"key" ? QString() : argument;
    m_confirmed = path(named.isEmpty() ? QStringLiteral("photos/Select a Directory.~#~") : named);
    if (verb == u"cancel")
        m_confirmed.reset();
    const QString pdf = path(named.isEmpty() ? QStringLiteral("app/listing.pdf") : named);
    shown.setPrinterFactory([this, pdf, named]() -> std::unique_ptr<QPrinter> {
        m_answerer.seen << "printer " + cursorName();
        std::unique_ptr<QPrinter> printer(named == u"failing"
                                              ? new FailingPrinter(QPrinter::HighResolution)
                                              : new QPrinter(QPrinter::HighResolution));
        printer->setOutputFileName(pdf);
        return named == u"none" ? nullptr : std::move(printer);
    });
    if (named == u"cups")
        shown.setPrinterFactory({});
    if (verb == u"type" || verb == u"key")
        verb == u"type" ? QTest::keyClicks(shown.findChild<QPlainTextEdit*>(), "typed")
                        : QTest::keyClick(shown.focusWidget(), QKeySequence(argument)[0].key());
    const char* button = verb == u"sort" ? "Command2" : verb == u"print" ? "Command3" : "Command1";
    if (QStringList{"browse", "cancel", "sort", "print"}.contains(verb))
        click(shown, button);
    return {};
}

// The rows as the scan would have written them: with the file's time, "~name" with one before;
// "name@given" a file that carries the name the journal records as given to it.
QStringList Sandbox::plan(const QStringList& names) {
    Rows rows;
    std::vector<RenamedName> journal;
    for (const QString& entry : names) {
        const QString name = entry.mid(entry.startsWith(u'~')).section(u'@', 0, 0);
        if (entry.contains(u'@'))
            journal.push_back({name, entry.section(u'@', 1)});
        const QFileInfo file(folder() + (entry.contains(u'@') ? entry.section(u'@', 1) : name));
        const bool fresh = file.exists() && !entry.startsWith(u'~');
        rows.push_back({name, storedDatum(fresh ? file.lastModified() : scanned.addDays(-1))});
    }
    const RenamePlan plan = planRenames(folder(), rows, QStringLiteral(" - "), journal);
    QStringList problems;
    for (const auto& list : {plan.problems, renameFiles(folder(), plan.steps).problems})
        for (const RenameProblem& problem : list)
            problems << problem.name + QStringLiteral(": ") + problem.reason;
    return problems;
}

// Stops as a crash would: the journal written, then only the first `done` renames made.
void Sandbox::crash(int done) {
    const Catalogue& used = window().catalogue();
    const RenamePlan plan =
        planRenames(folder(), used.orderedRows(), QStringLiteral(" - "), used.renamedIn(folder()));
    used.recordRenames(folder(), namesGiven(plan.steps), plan.gone);
    renameFiles(folder(), std::span(plan.steps).first(done));
}

QString Sandbox::observe(const QString& what) {
    QStringList rows; // the window's catalogue, or the one in app/ while there is no window
    try {
        for (const auto& row : (m_window ? m_window->catalogue() : catalogue()).orderedRows())
            rows << row.filename + u'@' + row.datum;
    } catch (const CatalogueError& e) {
        rows = QStringList(e.message());
    }
    if (what == u"read")
        return rows.join(u',');
    MainWindow& shown = window();
    const auto* label = shown.findChild<StatusLabel*>();
    const auto* edit = shown.findChild<QPlainTextEdit*>();
    const QString list = shown.state().listtext, box = edit->toPlainText().replace(u'\n', u'\r');
    const QString marks = QString(edit->textCursor().position() ? " (not from the top)" : "") +
                          (edit->document()->isUndoAvailable() ? " (undoable)" : "");
    const bool elided = label->shownText() != label->text();
    const QMap<QString, QString> simple{
        {"where", shown.catalogue().path()},
        {"focus", shown.focusWidget() ? shown.focusWidget()->objectName() : "nothing"},
        {"pdf", QString::number(pdfPageCount(path(QStringLiteral("app/listing.pdf"))))},
        {"list", box + (list.isEmpty() ? "" : "\r") == list ? list + marks : list + "box: " + box},
        {"status", label->text() + (elided ? " (elided)" : "") +
                       (label->toolTip() == (elided ? label->text() : "")
                            ? ""
                            : " (tip: " + label->toolTip() + ")")}};
    if (simple.contains(what))
        return simple[what];
    if (what == u"bar") // after the layout has settled
        return QTest::qWait(50), edit->verticalScrollBar()->isVisible() ? "bar" : "no bar";
    if (what == u"seen")
        return std::exchange(m_answerer.seen, {}).join(", ") + ", then " + cursorName();
    QStringList files;
    QDirIterator it(path(), QDir::Files | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.fileName().startsWith(path(QStringLiteral("app/"))) &&
            file.open(QIODevice::ReadOnly))
            files << QDir(folder()).relativeFilePath(file.fileName()) + u'=' + file.readAll();
    }
    files.sort();
    return files.join(u',');
}

void click(QWidget& window, const char* button) {
    QTest::mouseClick(window.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
}

void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(content) == content.size(),
             qPrintable(path));
    QVERIFY(file.flush()); // a later flush would stamp the file with the present time
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

QString commandOutput(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) ? QString::fromUtf8(process.readAllStandardOutput()) : "";
}

QString pdfLayoutText(const QString& path) {
    return commandOutput(QStringLiteral("pdftotext"),
                         {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

int pdfPageCount(const QString& path) {
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    return pages.match(commandOutput(QStringLiteral("pdfinfo"), {path})).captured(1).toInt();
}
