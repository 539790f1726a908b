#include "mainwindow.h"

#include "actionbutton.h"
#include "cataloguelocation.h"
#include "cursoroverride.h"
#include "defaultprinter.h"
#include "folderdialog.h"
#include "listbox.h"
#include "listingprinter.h"
#include "listtexts.h"
#include "messages.h"
#include "numberedlist.h"
#include "renamequestion.h"
#include "statuslabel.h"
#include "wording.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPrinter>
#include <QTimer>
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

const QString catalogueTopic = QStringLiteral("katalog");

} // namespace

MainWindow::MainWindow(const QString& appPath, QWidget* parent)
    : QWidget(parent), m_catalogue(cataloguePath(appPath)),
      m_chooser(std::make_unique<FileDialogChooser>(this)) {
    m_state.apppath = appPath;
    m_state.separator = QStringLiteral(" - ");
    buildControls();
    if (const Result<void> prepared = m_catalogue.prepare(); !prepared.ok())
        m_startupFailure = prepared.failure();
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

// The first paint comes once the desktop has placed the window, so a message from start-up
// is centred over the window rather than over where it was before it was placed.
void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!m_startupFailure)
        return;
    const QString message = catalogueMessage(*std::exchange(m_startupFailure, std::nullopt));
    QTimer::singleShot(0, this, [this, message] { showError(this, catalogueTopic, message); });
}

void MainWindow::setFolderChooser(std::unique_ptr<FolderChooser> chooser) {
    m_chooser = std::move(chooser);
}

void MainWindow::setStatus(const QString& text) {
    m_label2->setStatus(text);
    m_label2->repaint();
}

void MainWindow::showList(const QString& text) {
    m_state.listtext = text;
    m_textBox1->setListText(m_state.listtext);
}

void MainWindow::browse() {
    const CursorOverride busy(Qt::WaitCursor);
    const std::optional<BrowseOutcome> outcome =
        browseFolder(*m_chooser, m_state.apppath, m_catalogue, *this);
    if (!outcome)
        return;
    m_scanMark = outcome->written.ok() ? outcome->written.value() : ScanMark{};
    setStatus(scannedStatus(m_state.dirpath));
    QStringList errors;
    if (!outcome->listed.ok())
        errors << folderMessage(outcome->listed.failure());
    if (!outcome->written.ok())
        errors << catalogueMessage(outcome->written.failure());
    if (!errors.isEmpty())
        showError(this, outcome->listed.ok() ? catalogueTopic : QStringLiteral("adresář"),
                  errors.join(u'\n'));
}

void MainWindow::showScan(const QString& dirpath, std::span<const CatalogueRow> files) {
    m_state.dirpath = dirpath;
    showList(scanListText(dirpath, files));
}

void MainWindow::sort() {
    const CursorOverride busy(Qt::WaitCursor);
    const Result<SortOutcome> sorted =
        sortCatalogue(m_catalogue, m_scanMark, m_state.separator, *this);
    if (!sorted.ok())
        return showError(this, catalogueTopic, catalogueMessage(sorted.failure()));
    const SortOutcome& outcome = sorted.value();
    setStatus(sortedStatus(outcome));
    if (outcome.refused)
        showError(this, QStringLiteral("přejmenování"), refusalMessage(*outcome.refused));
    if (!outcome.otherScan.isEmpty())
        showError(this, catalogueTopic, otherScanMessage(outcome.otherScan));
    if (!outcome.journal.ok())
        showError(this, catalogueTopic,
                  catalogueMessage(outcome.journal.failure()) +
                      QStringLiteral("\nNic nebylo přejmenováno."));
    if (!outcome.problems.empty())
        showError(this, QStringLiteral("přejmenování"), renameReport(outcome.problems));
}

void MainWindow::showNumbered(const QStringList& names) {
    setStatus(sortingStatus());
    if (!names.isEmpty())
        showList(numberedListText(names));
}

RenameChoice MainWindow::ask(const RenameOffer& offer) {
    return askRename(this, offer);
}

void MainWindow::print() {
    const CursorOverride busy(Qt::WaitCursor);
    const Result<CatalogueRead> read = m_catalogue.orderedRead();
    if (!read.ok())
        return showError(this, catalogueTopic, catalogueMessage(read.failure()));
    const std::vector<CatalogueRow>& rows = read.value().rows;
    if (!rows.empty())
        m_state.listtext.clear();
    const Listing listing =
        printedListing(m_state.dirpath, rows, numberedNames(rows, m_state.separator));
    if (m_printerFactory) {
        if (const Result<void> printed = printListing(m_printerFactory().get(), listing);
            !printed.ok())
            showError(this, QStringLiteral("tisk"), printMessage(printed.failure()));
        return;
    }
    const Result<PrintedJob> job = printOnDefaultPrinter(listing);
    if (!job.ok())
        showError(this, QStringLiteral("tisk"), printMessage(job.failure()));
    else if (job.value().waiting)
        showError(this, QStringLiteral("tisk"), waitingJobMessage(job.value().printer));
}
