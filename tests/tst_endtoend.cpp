#include "fixture.h"

#include <QProcess>
#include <QTest>

// Real X input, as a desktop delivers it to the window that has the focus; 124 when it did not
// end within five seconds (windowfocus --sync waits for the focus forever).
static int xdotool(const QStringList& arguments) {
    return QProcess::execute("timeout", QStringList{"5", "xdotool"} + arguments);
}

// The built program on a virtual X display of its own, a folder chosen in its dialog with real
// key presses.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void choosesATypedFolder() {
        // Xvfb picks a free display and prints its number; -noreset, or each polling client
        // that leaves makes it start over, which on a loaded machine keeps the program out.
        QProcess xvfb;
        xvfb.start("Xvfb", {"-displayfd", "1", "-noreset"});
        QVERIFY(xvfb.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(xvfb.canReadLine(), 20000);
        qputenv("DISPLAY", ':' + xvfb.readLine().trimmed());
        qputenv("QT_QPA_PLATFORM", "xcb");
        QTemporaryDir installed, photos;
        const QString program = installed.filePath("temlo_rundel");
        QVERIFY(QFile::copy(TEMLO_EXECUTABLE, program));
        for (const char* name : {"a.jpg", "b.jpg"})
            QVERIFY(QFile(photos.filePath(name)).open(QIODevice::WriteOnly));
        QProcess app;
        app.start(program);

        // Without a window manager nothing has the focus until given it, once the window maps.
        const auto focus = [](auto title) {
            return xdotool({"search", "--onlyvisible", "--name", title, "windowfocus", "--sync"});
        };
        QTRY_COMPARE_WITH_TIMEOUT(focus("^TEMLO_RUNDEL$"), 0, 20000);
        // Return on the focused first button, "procházej adresář".
        QCOMPARE(xdotool({"key", "Return"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(focus("^Select a directory$"), 0, 20000);
        QCOMPARE(xdotool({"type", "--delay", "20", photos.path()}), 0);
        // As a person looks up before Enter, the completer's list open.
        QTest::qWait(500);
        QCOMPARE(xdotool({"key", "Return", "Return"}), 0);
        const Catalogue catalogue(installed.filePath("temlo_files.mdb"));
        QTRY_COMPARE_WITH_TIMEOUT(catalogued(catalogue), (QStringList{"a.jpg", "b.jpg"}), 20000);

        // SIGTERM closes it as closing its window does.
        app.terminate();
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(app.exitCode(), 0);
        xvfb.terminate();
        xvfb.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
