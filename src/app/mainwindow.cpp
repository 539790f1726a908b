#include "mainwindow.h"

#include "actionbutton.h"
#include "catalogueerror.h"
#include "cataloguelocation.h"
#include "confirmedname.h"
#include "cursoroverride.h"
#include "defaultprinter.h"
#include "directoryscan.h"
#include "doublenames.h"
#include "listbox.h"
#include "listingprinter.h"
#include "messages.h"
#include "numberedlist.h"
#include "renamequestion.h"
#include "renamer.h"
#include "renamereport.h"
#include "scanlisttext.h"
#include "statuslabel.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPrinter>
#include <QTimer>
#include <algorithm>
#include <future>
#include <iterator>
#include <utility>

// The icons live in this static library, which nothing else references; without this the
// linker would leave them out of the program. (Q_INIT_RESOURCE cannot be used in a namespace.)
void initIconResource() {
    Q_INIT_RESOURCE(temlo_rundel);
}

namespace {

// The layout is given in twips; 15 twips make one pixel at 96 dots per inch.
QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* button = new ActionButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

QIcon appIcon() {
    initIconResource();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/temlo_rundel-%1.png").arg(size), QSize(size, size));
    return icon;
}

struct CatalogueWrite {
    ScanMark mark; // empty when the write failed
    QString error;
};

CatalogueWrite writeCatalogue(const Catalogue& catalogue, std::span<const CatalogueRow> rows,
                              const QString& folder) {
    try {
        return {catalogue.replaceAll(rows, folder), {}};
    } catch (const CatalogueError& e) {
        return {{}, e.message()};
    }
}

struct Planned {
    RenamePlan plan;
    QString error;
};

// Without the journal the plan would take the names the program gave for originals.
Planned planFromCatalogue(const Catalogue& catalogue, const QString& folder,
                          std::span<const CatalogueRow> rows, const QString& separator) {
    try {
        return {planRenames(folder, rows, separator, catalogue.renamedIn(folder)), {}};
    } catch (const CatalogueError& e) {
        return {{}, e.message()};
    }
}

QString planQuestion(const RenamePlan& plan) {
    QStringList parts;
    if (!plan.steps.empty())
        parts << renameQuestion(filesMoved(plan.steps), plan.folder);
    if (!plan.undoSteps.empty())
        parts << undoOffer(filesMoved(plan.undoSteps), plan.folder, plan.steps.empty());
    return parts.join(QStringLiteral("\n\n"));
}

QString catalogueTopic() {
    return QStringLiteral("katalog");
}

} // namespace

MainWindow::MainWindow(const QString& appPath, QWidget* parent)
    : QWidget(parent), m_catalogue(cataloguePath(appPath)) {
    m_state.apppath = appPath;
    m_state.separator = QStringLiteral(" - ");
    buildControls();
    openCatalogue();
}

void MainWindow::buildControls() {
    setObjectName(QStringLiteral("TEMLO_RUNDEL"));
    setWindowTitle(QStringLiteral("TEMLO_RUNDEL"));
    setWindowIcon(appIcon());
    resize(twips(0, 0, 13470, 5760).size());
    // The toolkit's default face, at the size the layout was drawn for, so captions fit.
    QFont windowFont = font();
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);

    // Created in tab order, so Tab goes Command1, Command2, TextBox1, Command3.
    m_command1 = makeButton(this, "Command1", QStringLiteral("procházej adresář"),
                            twips(840, 360, 1695, 495));
    m_command2 = makeButton(this, "Command2", QStringLiteral("seřaď"), twips(2760, 360, 1335, 495));
    m_textBox1 = new ListBox(this);
    m_textBox1->setObjectName(QStringLiteral("TextBox1"));
    m_textBox1->setGeometry(twips(840, 1080, 12015, 3675));
    m_label1 = new QLabel(QStringLiteral("Status: "), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twips(840, 4920, 615, 255));
    m_label2 = new StatusLabel(QStringLiteral("OK"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(twips(1440, 4920, 6855, 255));
    m_command3 = makeButton(this, "Command3", QStringLiteral("TISK"), twips(4320, 360, 1215, 495));

    connect(m_command1, &QPushButton::clicked, this, &MainWindow::browse);
    connect(m_command2, &QPushButton::clicked, this, &MainWindow::sort);
    connect(m_command3, &QPushButton::clicked, this, &MainWindow::print);
    m_command1->setFocus();
}

void MainWindow::openCatalogue() {
    m_startupError = m_catalogue.prepare();
}

// The first paint comes once the desktop has placed the window, so a message from start-up
// is centred over the window rather than over where it was before it was placed.
void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (m_startupError.isEmpty())
        return;
    QTimer::singleShot(0, this, [this, error = std::exchange(m_startupError, {})] {
        showError(this, catalogueTopic(), error);
    });
}

std::optional<QString> MainWindow::chooseFolder() {
    const CursorOverride arrow(Qt::ArrowCursor);
    return m_chooser->confirmedName(this, m_state.apppath);
}

void MainWindow::setDirectoryChooser(std::unique_ptr<DirectoryChooser> chooser) {
    m_chooser = std::move(chooser);
}

void MainWindow::setStatus(const QString& text) {
    m_label2->setStatus(text);
    m_label2->repaint();
}

// The ordered read; a failure is shown and gives no rows.
std::optional<CatalogueRead> MainWindow::readCatalogue() {
    try {
        return m_catalogue.orderedRead();
    } catch (const CatalogueError& e) {
        showError(this, catalogueTopic(), e.message());
        return std::nullopt;
    }
}

void MainWindow::sort() {
    const CursorOverride busy(Qt::WaitCursor);
    const std::optional<CatalogueRead> read = readCatalogue();
    if (!read)
        return;
    const std::vector<CatalogueRow>& rows = read->rows;
    setStatus(QStringLiteral("řadím a přejmenovávám"));
    // Planning the renames (a file look-up per row) only reads the rows, so it runs beside
    // the list box update.
    std::future<Planned> planning;
    const bool scanned = !m_scanMark.token.isEmpty();
    const bool ownScan = scanned && read->mark.token == m_scanMark.token;
    if (ownScan)
        planning = std::async(std::launch::async, [this, &rows] {
            return planFromCatalogue(m_catalogue, m_scanMark.folder, rows, m_state.separator);
        });
    if (!rows.empty()) {
        m_state.listtext = numberedList(rows, m_state.separator);
        m_textBox1->setListText(m_state.listtext);
    }
    if (!ownScan) {
        setStatus(QStringLiteral("HOTOVO - seřazeno"));
        if (scanned)
            showError(this, catalogueTopic(),
                      QStringLiteral("Katalog mezitím přepsala jiná kopie programu "
                                     "procházením složky „%1“; nic nebylo přejmenováno.")
                          .arg(read->mark.folder));
        return;
    }
    const Planned planned = planning.get();
    if (!planned.error.isEmpty()) {
        setStatus(QStringLiteral("HOTOVO - seřazeno"));
        return showError(this, catalogueTopic(), planned.error);
    }
    renameToNumberedNames(planned.plan);
}

// Only files of the folder whose scan in this run wrote the catalogue are renamed, and only
// with the user's consent. The catalogue keeps the original names, so the list stays the same.
// Sets the final status.
void MainWindow::renameToNumberedNames(const RenamePlan& plan) {
    if (!plan.refusal.isEmpty()) {
        setStatus(QStringLiteral("HOTOVO - seřazeno"));
        return showError(this, QStringLiteral("přejmenování"), plan.refusal);
    }
    std::vector<RenameProblem> problems;
    RenameChoice choice = RenameChoice::Keep;
    if (!plan.steps.empty() || !plan.undoSteps.empty()) {
        choice = askRename(this, planQuestion(plan), !plan.steps.empty(), !plan.undoSteps.empty());
        if (choice == RenameChoice::Keep)
            return setStatus(QStringLiteral("HOTOVO - seřazeno"));
    }
    const bool undo = choice == RenameChoice::Undo;
    if (!undo)
        problems = plan.problems;
    if (choice != RenameChoice::Keep) {
        std::optional<RenameOutcome> outcome = runSteps(plan, undo ? plan.undoSteps : plan.steps);
        if (!outcome)
            return;
        std::ranges::move(outcome->problems, std::back_inserter(problems));
    }
    if (problems.empty())
        return setStatus(undo ? QStringLiteral("HOTOVO - vráceny původní názvy")
                         : choice == RenameChoice::Keep ? QStringLiteral("HOTOVO - seřazeno")
                                                        : QStringLiteral("HOTOVO - přejmenováno"));
    setStatus((undo ? QStringLiteral("HOTOVO - nevráceno: %1")
                    : QStringLiteral("HOTOVO - nepřejmenováno: %1"))
                  .arg(problems.size()));
    showError(this, QStringLiteral("přejmenování"), renameReport(problems));
}

// The journal names every name the steps may give before the first of them runs, so that
// after a crash the next scan still knows each file's original name.
std::optional<RenameOutcome> MainWindow::runSteps(const RenamePlan& plan,
                                                  std::span<const RenameStep> steps) {
    try {
        m_catalogue.recordRenames(plan.folder, namesGiven(steps), plan.gone);
    } catch (const CatalogueError& e) {
        setStatus(QStringLiteral("HOTOVO - seřazeno"));
        showError(this, catalogueTopic(),
                  e.message() + QStringLiteral("\nNic nebylo přejmenováno."));
        return std::nullopt;
    }
    RenameOutcome outcome = renameFiles(plan.folder, steps);
    // Names that no file got are forgotten too, so that no other file of such a name is ever
    // taken for one the program named.
    std::vector<QString> forgotten = std::move(outcome.vacated);
    std::ranges::move(outcome.ungiven, std::back_inserter(forgotten));
    try {
        m_catalogue.recordRenames(plan.folder, {}, forgotten);
    } catch (const CatalogueError&) {
        // The entries left name files that no longer exist; the next rename prunes them.
    }
    return outcome;
}

// A file that a crash left under two names is listed once.
void MainWindow::removeExtraNames(const QString& folder) {
    try {
        removeDoubledNames(folder, [&] { return m_catalogue.renamedIn(folder); });
    } catch (const CatalogueError&) {
        // Without the journal no name can be known for an extra one; the scan's catalogue
        // write reports the catalogue's fault.
    }
}

void MainWindow::print() {
    const CursorOverride busy(Qt::WaitCursor);
    const std::optional<CatalogueRead> read = readCatalogue();
    if (!read)
        return;
    if (!read->rows.empty())
        m_state.listtext.clear();
    const Listing listing{read->rows, m_state.dirpath, m_state.separator};
    const QString message = m_printerFactory ? printListing(m_printerFactory().get(), listing)
                                             : printOnDefaultPrinter(listing);
    if (!message.isEmpty())
        showError(this, QStringLiteral("tisk"), message);
}

void MainWindow::browse() {
    const CursorOverride busy(Qt::WaitCursor);
    const std::optional<QString> confirmed = chooseFolder();
    if (!confirmed)
        return;
    m_state.dirpath = folderFromConfirmedName(*confirmed);
    removeExtraNames(m_state.dirpath);
    const DirectoryScan scan = scanDirectory(m_state.dirpath);
    // The catalogue write only reads the scan, so it runs beside the list box update; the
    // action still ends only when both are done.
    auto writing = std::async(std::launch::async, [this, &scan] {
        return writeCatalogue(m_catalogue, scan.files, m_state.dirpath);
    });
    m_state.listtext = scanListText(m_state.dirpath, scan.files);
    m_textBox1->setListText(m_state.listtext);
    const auto [mark, writeError] = writing.get();
    m_scanMark = mark;
    setStatus(QStringLiteral("Zvolen adresář: ") + m_state.dirpath);

    QStringList errors{scan.error, writeError};
    errors.removeAll(QString());
    if (!errors.isEmpty())
        showError(this, scan.error.isEmpty() ? catalogueTopic() : QStringLiteral("adresář"),
                  errors.join(u'\n'));
}
