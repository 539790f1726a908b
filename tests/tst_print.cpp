#include "catalogue.h"
#include "datum.h"
#include "mainwindow.h"
#include "pdftools.h"
#include "testsupport.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using Rows = std::vector<CatalogueRow>;

// Every page turn is refused, as by a printer that fails midway.
class FailingPrinter : public QPrinter {
public:
    using QPrinter::QPrinter;
    bool newPage() override { return false; }
};

template <typename Printer = QPrinter>
static std::unique_ptr<QPrinter> pdfPrinter(const QString& path) {
    auto printer = std::make_unique<Printer>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

static Rows manyRows(int count) {
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0')),
                        storedDatum(QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(i * 61))});
    return rows;
}

static QStringList nonEmptyLines(const QString& text) {
    QStringList lines = text.split(u'\n');
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    return lines;
}

class TestPrint : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;

    MainWindow& window(const Rows& rows = {}) { // seeds the catalogue when it opens
        if (!m_window) {
            Catalogue(m_dir->filePath("temlo_files.mdb")).replaceAll(rows);
            m_window = std::make_unique<MainWindow>(m_dir->path());
        }
        return *m_window;
    }
    // Prints through the window's button into a PDF file of that name; returns its path.
    QString print(const QString& name) {
        const QString path = m_dir->filePath(name);
        window().setPrinterFactory([path] { return pdfPrinter(path); });
        click(window(), "Command3");
        return path;
    }

private slots:
    void init() {
        m_window.reset();
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void headingNamesAndDatesInOneColumnWindowUnchanged() {
        const QString jan = "2024-01-01T10:00:00.000Z", mar = "2024-03-07T08:05:09.123Z";
        click(window({{"b - kopie.jpg", jan}, {"Žluťoučký kůň.jpg", mar}, {"a.jpg", ""}}),
              "Command2");
        const QString statusBefore = status(window()), shownBefore = shownText(window());
        QVERIFY(!window().state().listtext.isEmpty());
        const QStringList lines = nonEmptyLines(pdfLayoutText(print("listing.pdf")));
        QVERIFY(window().state().listtext.isEmpty());
        QCOMPARE(shownText(window()), shownBefore);
        QCOMPARE(status(window()), statusBefore);

        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].trimmed(), QStringLiteral("--------------"));
        QCOMPARE(lines[1].trimmed(), "001 - a.jpg");
        const QString dates[]{datumText(jan), datumText(mar)};
        QCOMPARE(lines[2].simplified(), "002 - b - kopie.jpg " + dates[0]);
        QCOMPARE(lines[3].simplified(), "003 - Žluťoučký kůň.jpg " + dates[1]);
        QCOMPARE(lines[3].size() - dates[1].size(), lines[2].size() - dates[0].size());
    }

    void longNamesComeBackWhole() {
        const QString spaced = QStringLiteral("Dovolená u moře, Štěrbohol 2023 ").repeated(5);
        const QString solid = QString(150, u'W') + ".jpg";
        window({{spaced + "x.jpeg", "2024-01-01T10:00:00.000Z"}, {solid, ""}});
        static const QRegularExpression space(QStringLiteral("\\s"));
        const QString text = pdfLayoutText(print("long.pdf")).remove(space);
        for (QString name : {"001 - " + solid, "002 - " + spaced + "x.jpeg"})
            QVERIFY2(text.contains(name.remove(space)), qPrintable(text));
    }

    void longListingHasEveryRowOnceAndPrintsAlike() {
        window(manyRows(300));
        const QString path = print("long.pdf"), text = pdfLayoutText(path);
        QCOMPARE(pdfLayoutText(print("again.pdf")), text);
        QVERIFY(pdfPageCount(path) > 1);
        const QStringList lines = nonEmptyLines(text);
        QCOMPARE(lines.size(), 1 + 300);
        for (int i = 0; i < 300; ++i)
            QVERIFY2(lines[i + 1].trimmed().startsWith(QStringLiteral("%1 - IMG_%2.jpg")
                                                           .arg(i + 1, 3, 10, QLatin1Char('0'))
                                                           .arg(i, 4, 10, QLatin1Char('0'))),
                     qPrintable(lines[i + 1]));
    }

    void printerProblemIsReported_data() {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("message");
        const QString none = QStringLiteral("Není k dispozici žádná tiskárna. Nic se nevytisklo.");
        QTest::newRow("no printer/none configured") << "none" << none;
        QTest::newRow("no printer/cannot begin a document") << "missing/folder/x.pdf" << none;
        QTest::newRow("failing midway")
            << "failing"
            << "Tisk se nezdařil, tiskárna ohlásila chybu. Tisková úloha byla zrušena.";
    }
    void printerProblemIsReported() {
        QFETCH(QString, printer);
        QFETCH(QString, message);
        const QString path = m_dir->filePath(printer);
        window(manyRows(300)).setPrinterFactory([&]() -> std::unique_ptr<QPrinter> {
            if (printer == "none")
                return nullptr;
            return printer == "failing" ? pdfPrinter<FailingPrinter>(path) : pdfPrinter(path);
        });
        ModalAnswerer answerer;
        click(window(), "Command3");
        QCOMPARE(answerer.texts(), QStringList(message));
        QVERIFY(QFile::exists(print("afterwards.pdf")));
    }

    void catalogueErrorIsReported() {
        QVERIFY(QFile::remove(window().catalogue().path()));
        ModalAnswerer answerer;
        const QString path = print("listing.pdf");
        QCOMPARE(answerer.count(), 1);
        QVERIFY2(answerer.texts().first().contains(window().catalogue().path()),
                 qPrintable(answerer.texts().first()));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
