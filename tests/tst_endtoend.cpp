#include "fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sqlite3.h>

namespace {

// The file names the catalogue holds, in name order; none while it cannot be read.
QStringList catalogued(const QString& path) {
    QStringList names;
    sqlite3* db = nullptr;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT filename FROM filenametab ORDER BY filename", -1, &query,
                           nullptr) == SQLITE_OK)
        while (sqlite3_step(query) == SQLITE_ROW)
            names << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(query, 0)));
    sqlite3_finalize(query);
    sqlite3_close(db);
    return names;
}

// Real X input, as a desktop delivers it to the window that has the focus. The exit code, or
// -1 when it did not end within five seconds (windowfocus --sync waits for the focus forever).
int xdotool(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.setProcessChannelMode(QProcess::ForwardedChannels);
    xdotool.start(QStringLiteral("xdotool"), arguments);
    if (xdotool.waitForFinished(5000) && xdotool.exitStatus() == QProcess::NormalExit)
        return xdotool.exitCode();
    xdotool.kill();
    xdotool.waitForFinished();
    return -1;
}

} // namespace

// Starts the built program as a user would, on a virtual X display of its own, and chooses a
// folder in its dialog with real key presses.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void startsChoosesTypedFolderAndEndsCleanly() {
        // -displayfd 1 makes Xvfb pick a free display and print its number. -noreset: otherwise
        // each polling client that leaves makes it start over (keymap, GL), which on a loaded
        // machine keeps the program from connecting.
        QProcess xvfb;
        xvfb.start(QStandardPaths::findExecutable("Xvfb"),
                   {"-displayfd", "1", "-nolisten", "tcp", "-noreset"});
        QVERIFY2(xvfb.waitForStarted(), "Xvfb is missing (package xvfb)");
        QTRY_VERIFY_WITH_TIMEOUT(xvfb.canReadLine(), 20000);
        const QString display = u':' + QString::fromLatin1(xvfb.readLine()).trimmed();
        QTemporaryDir installed, elsewhere; // the working directory must not place the catalogue
        const QString program = installed.filePath("temlo_rundel");
        QVERIFY(QFile::copy(QStringLiteral(TEMLO_EXECUTABLE), program));

        QProcess app;
        qputenv("QT_QPA_PLATFORM", "xcb"); // for the program; this test has no display of its own
        qputenv("DISPLAY", display.toUtf8());
        app.setWorkingDirectory(elsewhere.path());
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(program, {});
        QTRY_VERIFY_WITH_TIMEOUT(commandOutput("xwininfo", {"-root", "-tree", "-display", display})
                                     .contains("\"TEMLO_RUNDEL\""),
                                 20000);
        QVERIFY(QFile::exists(installed.filePath("temlo_files.mdb")));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        // The icon made it into the program and reaches the window.
        QVERIFY(
            commandOutput("xprop", {"-display", display, "-name", "TEMLO_RUNDEL", "_NET_WM_ICON"})
                .contains("Icon (48 x 48)"));

        // "procházej adresář" has the focus. The folder's path typed into the dialog and Enter
        // open that folder; Enter once more chooses it.
        QTemporaryDir photos;
        for (const char* name : {"a.jpg", "b.jpg"})
            QVERIFY(QFile(photos.filePath(name)).open(QIODevice::WriteOnly));
        // Without a window manager nothing has the focus until given it, once the window maps.
        const auto focus = [](const char* title) {
            return xdotool({"search", "--onlyvisible", "--name", title, "windowfocus", "--sync"});
        };
        QTRY_COMPARE_WITH_TIMEOUT(focus("^TEMLO_RUNDEL$"), 0, 20000);
        QCOMPARE(xdotool({"key", "Return"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(focus("^Select a directory$"), 0, 20000);
        QCOMPARE(xdotool({"key", "ctrl+a"}), 0);
        QCOMPARE(xdotool({"type", "--delay", "20", photos.path()}), 0);
        QTest::qWait(500); // as a person looks up before pressing Enter, the list now open
        QCOMPARE(xdotool({"key", "Return"}), 0);
        QCOMPARE(xdotool({"key", "Return"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(catalogued(installed.filePath("temlo_files.mdb")),
                                  (QStringList{"a.jpg", "b.jpg"}), 20000);

        ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        xvfb.terminate();
        xvfb.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
