#include "catalogue.h"
#include "listbox.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

namespace {

const QString separator = QStringLiteral(" - ");

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void controlGeometry_data();
    void controlGeometry();
    void startsEmptyWithFocusOnFirstButton();
    void createsCatalogueBesideExecutable();
    void resizingMovesNothing();
    void tabOrderSkipsLabels_data();
    void tabOrderSkipsLabels();
    void tabAndEnterInListBoxMoveFocus();
    void loneCarriageReturnsShowAsLines();
    void sortListsCatalogueInDateOrder();
    void sortTwiceGivesSameList();
    void sortOfEmptyCatalogueKeepsList();
    void sortErrorIsShownAndProgramGoesOn();
    void startUpErrorIsShownAndWindowStaysUsable();

private:
    void seed(const std::vector<CatalogueRow>& rows);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainWindow::init() {
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestMainWindow::seed(const std::vector<CatalogueRow>& rows) {
    Catalogue(m_dir->filePath(QStringLiteral("temlo_files.mdb"))).replaceAll(rows);
}

void TestMainWindow::controlGeometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("button/Command1") << "Command1"
                                     << "procházej adresář" << QRect(56, 24, 113, 33);
    QTest::newRow("button/Command2") << "Command2"
                                     << "seřaď" << QRect(184, 24, 89, 33);
    QTest::newRow("button/Command3") << "Command3"
                                     << "TISK" << QRect(288, 24, 81, 33);
    QTest::newRow("label/Label1") << "Label1"
                                  << "Status: " << QRect(56, 328, 41, 17);
    QTest::newRow("label/Label2") << "Label2"
                                  << "OK" << QRect(96, 328, 457, 17);
    QTest::newRow("list/TextBox1") << "TextBox1"
                                   << "" << QRect(56, 72, 801, 245);
}

void TestMainWindow::controlGeometry() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    MainWindow window(m_dir->path());
    window.show();
    auto* widget = window.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible() && widget->isEnabled());
    if (auto* button = qobject_cast<QPushButton*>(widget))
        QCOMPARE(button->text(), text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<ListBox*>(widget)->toPlainText(), text);
}

void TestMainWindow::startsEmptyWithFocusOnFirstButton() {
    MainWindow window(m_dir->path());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.objectName(), QStringLiteral("TEMLO_RUNDEL"));
    QCOMPARE(window.windowTitle(), QStringLiteral("TEMLO_RUNDEL"));
    QCOMPARE(window.size(), QSize(898, 384));
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(window, "Command1"));
    QCOMPARE(status(window), QStringLiteral("OK"));
    const Module1& state = window.state();
    QVERIFY(state.dirpath.isEmpty() && state.listtext.isEmpty());
    QCOMPARE(state.separator, separator);
    QCOMPARE(state.apppath, m_dir->path());

    auto* list = control<ListBox>(window, "TextBox1");
    QVERIFY(!list->isReadOnly());
    QCOMPARE(list->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(list->font().pointSizeF(), 8.25);
}

void TestMainWindow::createsCatalogueBesideExecutable() {
    MainWindow window(m_dir->path());
    QCOMPARE(window.catalogue().path(), m_dir->path() + QStringLiteral("/temlo_files.mdb"));
    QVERIFY(QFile::exists(window.catalogue().path()));
}

void TestMainWindow::resizingMovesNothing() {
    MainWindow window(m_dir->path());
    window.show();
    const QRect list = control<QWidget>(window, "TextBox1")->geometry();
    window.resize(1400, 900);
    QCoreApplication::processEvents();
    QCOMPARE(control<QWidget>(window, "TextBox1")->geometry(), list);
    window.resize(300, 100);
    QCoreApplication::processEvents();
    QCOMPARE(control<QWidget>(window, "TextBox1")->geometry(), list);
}

void TestMainWindow::tabOrderSkipsLabels_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("Command1 to Command2") << "Command1"
                                          << "Command2";
    QTest::newRow("Command2 to TextBox1") << "Command2"
                                          << "TextBox1";
    QTest::newRow("TextBox1 to Command3") << "TextBox1"
                                          << "Command3";
    QTest::newRow("Command3 back to Command1") << "Command3"
                                               << "Command1";
}

void TestMainWindow::tabOrderSkipsLabels() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    MainWindow window(m_dir->path());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* start = window.findChild<QWidget*>(from);
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
}

void TestMainWindow::tabAndEnterInListBoxMoveFocus() {
    MainWindow window(m_dir->path());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* list = control<ListBox>(window, "TextBox1");
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        list->setFocus();
        QTest::keyClicks(list, QStringLiteral("ab"));
        QTest::keyClick(list, key);
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(window, "Command3"));
    }
    QCOMPARE(list->toPlainText(), QStringLiteral("abab"));
}

void TestMainWindow::loneCarriageReturnsShowAsLines() {
    ListBox list;
    list.setListText(QStringLiteral("/photos/\ra.jpg\rb c.jpg\r"));
    QCOMPARE(list.blockCount(), 3);
    QCOMPARE(list.document()->findBlockByNumber(1).text(), QStringLiteral("a.jpg"));
    QCOMPARE(list.document()->findBlockByNumber(2).text(), QStringLiteral("b c.jpg"));
}

void TestMainWindow::sortListsCatalogueInDateOrder() {
    seed({{"c.jpg", "2024-03-01T10:00:00.000Z"},
          {"a.jpg", "2024-01-01T10:00:00.000Z"},
          {"b - kopie.jpg", "2024-02-01T10:00:00.000Z"}});
    MainWindow window(m_dir->path());
    window.show();
    click(window, "Command2");
    QCOMPARE(window.state().listtext,
             QStringLiteral("001 - a.jpg\r002 - b - kopie.jpg\r003 - c.jpg\r"));
    QCOMPARE(shownText(window), QStringLiteral("001 - a.jpg\n002 - b - kopie.jpg\n003 - c.jpg"));
    QCOMPARE(status(window), QStringLiteral("HOTOVO - seřazeno"));
}

void TestMainWindow::sortTwiceGivesSameList() {
    seed({{"x.jpg", "2024-03-01T10:00:00.000Z"}, {"y.jpg", ""}});
    MainWindow window(m_dir->path());
    click(window, "Command2");
    const QString first = window.state().listtext;
    click(window, "Command2");
    QCOMPARE(window.state().listtext, first);
    QCOMPARE(first, QStringLiteral("001 - y.jpg\r002 - x.jpg\r"));
}

void TestMainWindow::sortOfEmptyCatalogueKeepsList() {
    MainWindow window(m_dir->path());
    auto* list = control<ListBox>(window, "TextBox1");
    list->setPlainText(QStringLiteral("typed by the user"));
    click(window, "Command2");
    QCOMPARE(list->toPlainText(), QStringLiteral("typed by the user"));
    QVERIFY(window.state().listtext.isEmpty());
    QCOMPARE(status(window), QStringLiteral("HOTOVO - seřazeno"));
}

void TestMainWindow::sortErrorIsShownAndProgramGoesOn() {
    seed({{"a.jpg", ""}});
    MainWindow window(m_dir->path());
    window.show();
    const QString path = window.catalogue().path();
    QVERIFY(QFile::remove(path));
    {
        ModalAnswerer answerer;
        click(window, "Command2");
        QCOMPARE(answerer.texts().size(), 1);
        QVERIFY2(answerer.texts().first().contains(path), qPrintable(answerer.texts().first()));
    }
    QCOMPARE(status(window), QStringLiteral("OK"));
    QVERIFY(window.isVisible());

    seed({{"b.jpg", ""}});
    click(window, "Command2");
    QCOMPARE(window.state().listtext, QStringLiteral("001 - b.jpg\r"));
}

void TestMainWindow::startUpErrorIsShownAndWindowStaysUsable() {
    const QString path = m_dir->filePath(QStringLiteral("temlo_files.mdb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a database");
    file.close();

    ModalAnswerer answerer;
    MainWindow window(m_dir->path());
    window.show();
    QTRY_COMPARE(answerer.count(), 1);
    QVERIFY(answerer.texts().first().contains(QStringLiteral("soubor není databáze")));
    QVERIFY(window.isVisible());
    click(window, "Command2");
    QCOMPARE(answerer.count(), 2);
    QCOMPARE(status(window), QStringLiteral("OK"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
