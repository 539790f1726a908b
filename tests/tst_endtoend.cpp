#include "fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

// Starts the built program as a user would, on a virtual X display of its own.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void startsCreatesCatalogueShowsWindowAndEndsCleanly() {
        QProcess xvfb; // -displayfd 1 makes Xvfb pick a free display and print its number
        xvfb.start(QStandardPaths::findExecutable("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp"});
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
