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
    void initTestCase();
    void cleanupTestCase();
    void startsCreatesCatalogueShowsWindowAndEndsCleanly();

private:
    QString windowTree() const;

    QProcess m_xvfb;
    QString m_display;
};

void TestEndToEnd::initTestCase() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    QVERIFY2(!xvfb.isEmpty(), "Xvfb is missing (package xvfb)");
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty(),
             "xwininfo is missing (package x11-utils)");
    // -displayfd 1 makes Xvfb pick a free display and print its number.
    m_xvfb.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QVERIFY(m_xvfb.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine(), 20000);
    m_display = u':' + QString::fromLatin1(m_xvfb.readLine()).trimmed();
}

void TestEndToEnd::cleanupTestCase() {
    m_xvfb.terminate();
    m_xvfb.waitForFinished();
}

QString TestEndToEnd::windowTree() const {
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree"),
                                                QStringLiteral("-display"), m_display});
    xwininfo.waitForFinished();
    return QString::fromUtf8(xwininfo.readAllStandardOutput());
}

void TestEndToEnd::startsCreatesCatalogueShowsWindowAndEndsCleanly() {
    QTemporaryDir installed;
    const QString program = installed.filePath(QStringLiteral("temlo_rundel"));
    QVERIFY(QFile::copy(QStringLiteral(TEMLO_EXECUTABLE), program));
    QTemporaryDir elsewhere; // the working directory must not decide where the catalogue goes

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), m_display);
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(elsewhere.path());
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(program, {});
    QVERIFY(app.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(windowTree().contains(QStringLiteral("\"TEMLO_RUNDEL\"")), 20000);
    QVERIFY(QFile::exists(installed.filePath(QStringLiteral("temlo_files.mdb"))));
    QVERIFY(QDir(elsewhere.path()).isEmpty());
    QCOMPARE(app.state(), QProcess::Running);
    QProcess xprop; // the icon made it into the program and reaches the window
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-display"), m_display, QStringLiteral("-name"),
                 QStringLiteral("TEMLO_RUNDEL"), QStringLiteral("_NET_WM_ICON")});
    QVERIFY(xprop.waitForFinished());
    QVERIFY(xprop.readAllStandardOutput().contains("Icon (48 x 48)"));

    ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
    QVERIFY(app.waitForFinished(10000));
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
