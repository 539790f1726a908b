#include "defaultprinter.h"
#include "fixture.h"

#include <QTest>
#include <cups/cups.h>
#include <dlfcn.h>

static bool cutOff = false;

// Stands in for libcups's own: cut off, a document's data never reaches the scheduler.
http_status_t cupsWriteRequestData(http_t* http, const char* buffer, size_t length) {
    static const auto write =
        reinterpret_cast<decltype(&cupsWriteRequestData)>(dlsym(RTLD_NEXT, __func__));
    return cutOff ? HTTP_STATUS_ERROR : write(http, buffer, length);
}

// The ids of this user's jobs waiting in the queue.
static QStringList jobs(const QString& queue) {
    QStringList ids = commandOutput("lpstat", {"-o", queue}).split(u'\n').filter(cupsUser());
    for (QString& id : ids)
        id = id.section(u' ', 0, 0);
    return ids;
}

// The queues are from scripts/setup-cups; LPDEST picks the default.
class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!commandOutput("lpstat", {"-p", "TemloStopped"}).isEmpty())
            return;
        if (qgetenv("TEMLO_REQUIRE_CUPS") == "1")
            QFAIL("no CUPS queues");
        QSKIP("no CUPS queues");
    }

    // Only a stopped queue takes the job, and keeps it waiting; a job cut off is cancelled.
    void print_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QStringList>("failure");
        QTest::newRow("rejecting")
            << "TemloRejecting" << false << failure(Fault::NotAccepting, "TemloRejecting");
        QTest::newRow("missing") << "TemloMissing" << false << failure(Fault::NoPrinter, {});
        QTest::newRow("stopped") << "TemloStopped" << false << QStringList();
        QTest::newRow("cut off") << "TemloStopped" << true
                                 << failure(Fault::Refused, "TemloStopped");
    }
    void print() {
        QFETCH(QString, queue);
        QFETCH(bool, cut);
        QFETCH(QStringList, failure);
        const qsizetype before = jobs(queue).size();
        qputenv("LPDEST", queue.toUtf8());
        cutOff = cut;
        const Result<PrintedJob> job = printOnDefaultPrinter({{}, {{"a", ""}}});
        const QStringList left = jobs(queue);
        if (!left.isEmpty())
            commandOutput("cancel", left);
        QCOMPARE(failureOf(job), failure);
        QCOMPARE(left.size() - before, qsizetype(failure.isEmpty()));
        QCOMPARE(job.ok() && job.value().waiting, failure.isEmpty());
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
