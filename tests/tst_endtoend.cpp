#include "fixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <csignal>

namespace {

// Real X input, as a desktop delivers it to the window that has the focus. The exit code, or
// -1 when it did not end within five seconds (windowfocus --sync waits for the focus forever).
int xdotool(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.start("xdotool", arguments);
    if (xdotool.waitForFinished(5000))
        return xdotool.exitCode();
    xdotool.kill();
    xdotool.waitForFinished();
    return -1;
}

} // namespace

// The built program on a virtual X display of its own, a folder chosen in its dialog with real
// key presses.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void choosesATypedFolder() {
        // Xvfb picks a free display and prints its number; -noreset, or each polling client
        // that leaves makes it start over, which on a loaded machine keeps the program out.
        QProcess xvfb;
        xvfb.start(QStandardPaths::findExecutable("Xvfb"), {"-displayfd", "1", "-noreset"});
        QVERIFY2(xvfb.waitForStarted(), "Xvfb is missing (package xvfb)");
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
        const auto focus = [](const char* title) {
            return xdotool({"search", "--onlyvisible", "--name", title, "windowfocus", "--sync"});
        };
        QTRY_COMPARE_WITH_TIMEOUT(focus("^TEMLO_RUNDEL$"), 0, 20000);
        QCOMPARE(xdotool({"key", "Return"}), 0); // "procházej adresář" has the focus
        QTRY_COMPARE_WITH_TIMEOUT(focus("^Select a directory$"), 0, 20000);
        QCOMPARE(xdotool({"type", "--delay", "20", photos.path()}), 0);
        QTest::qWait(500); // as a person looks up before Enter, the completer's list open
        QCOMPARE(xdotool({"key", "Return", "Return"}), 0);
        const Catalogue catalogue(installed.filePath("temlo_files.mdb"));
        QTRY_COMPARE_WITH_TIMEOUT(catalogued(catalogue), (QStringList{"a.jpg", "b.jpg"}), 20000);

        ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(app.exitCode(), 0);
        xvfb.terminate();
        xvfb.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
