#include "fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QMessageBox>
#include <QProcess>
#include <QTest>

Photo::Photo(const char* name, int seconds, QByteArray content)
    : Photo(QString::fromUtf8(name), seconds, std::move(content)) {}

Photo::Photo(QString name, int seconds, QByteArray content)
    : name(std::move(name)), seconds(seconds), content(std::move(content)) {}

PhotoFolder::PhotoFolder() {
    QVERIFY(QDir(root()).mkpath(QStringLiteral("photos")) && QDir(root()).mkpath("app"));
}

Catalogue PhotoFolder::catalogue() const {
    return Catalogue(appDir() + QStringLiteral("/temlo_files.mdb"));
}

void PhotoFolder::add(const QString& name, int seconds, const QByteArray& content) const {
    writeFile(folder() + name, content.isNull() ? name.toUtf8() : content,
              firstShot.addSecs(seconds));
}

void PhotoFolder::add(const Photos& photos) const {
    for (const Photo& photo : photos)
        add(photo.name, photo.seconds, photo.content);
}

QStringList PhotoFolder::disk() const {
    QStringList files;
    for (QDirIterator it(folder(), QDir::Files | QDir::System); it.hasNext();) {
        QFile file(it.next());
        files << it.fileName() + u'=' + (file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    files.sort();
    return files;
}

void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(content) == content.size(),
             qPrintable(path));
    QVERIFY(file.flush()); // a later flush would stamp the file with the present time
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

QStringList column(std::span<const CatalogueRow> rows, QString CatalogueRow::*field) {
    QStringList texts;
    for (const CatalogueRow& row : rows)
        texts << row.*field;
    return texts;
}

QStringList catalogued(const Catalogue& catalogue) {
    const Result<CatalogueRead> read = catalogue.orderedRead();
    if (!read.ok())
        return {QStringLiteral("unread, fault %1: %2")
                    .arg(int(read.failure().fault))
                    .arg(read.failure().detail)};
    return column(read.value().rows);
}

SQLite::Database connection(const Catalogue& catalogue) {
    return {catalogue.path().toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE};
}

std::optional<QString> StandInChooser::confirmedName(const QString&) {
    if (m_folder.isEmpty())
        return std::nullopt;
    return m_folder + QStringLiteral("Select a Directory.~#~");
}

std::unique_ptr<StandInChooser> StandInChooser::confirming(const QString& folder) {
    return std::make_unique<StandInChooser>(folder.endsWith(u'/') ? folder : folder + u'/');
}

ModalAnswerer::ModalAnswerer(QString answer) : m_answer(std::move(answer)) {
    connect(&m_timer, &QTimer::timeout, this, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << box->text();
        titles << box->windowTitle() + u' ' + cursorName();
        if (m_answer == u"Return" || m_answer == u"Escape")
            return QTest::keyClick(box, m_answer == u"Return" ? Qt::Key_Return : Qt::Key_Escape);
        for (auto* button : box->findChildren<QAbstractButton*>())
            if (button->text().remove(u'&') == m_answer)
                return button->click();
        box->reject();
    });
    m_timer.start(5);
}

QString faultName(Fault fault) {
    static const QStringList names =
        QStringLiteral(
            "Missing NotAFolder Denied Exists ReadOnly DiskFull NameTooLong InUse IoError "
            "SystemError NotADatabase Corrupt CannotOpen TableMissing FieldMissing DatabaseError "
            "ChangedSinceScan ListedTwice NotOrdinary BrokenLink LeadsOutside InvalidName "
            "TargetLeadsOutside TargetInvalid FolderGone NoPrinter SchedulerDown NotAccepting "
            "PrinterGone NotAuthorized Refused TemporaryFile PrinterFailed PrintAborted")
            .split(u' ');
    return names.value(qsizetype(fault), QString::number(int(fault)));
}

QStringList failureTexts(std::span<const Failure> failures) {
    QStringList texts;
    for (const Failure& failure : failures)
        texts << failure.subject + QStringLiteral(": ") + faultName(failure.fault);
    return texts;
}

QString cursorName() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return !cursor                              ? QStringLiteral("none")
           : cursor->shape() == Qt::WaitCursor  ? QStringLiteral("wait")
           : cursor->shape() == Qt::ArrowCursor ? QStringLiteral("arrow")
                                                : QString::number(cursor->shape());
}

QString commandOutput(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) ? QString::fromUtf8(process.readAllStandardOutput())
                                          : QString();
}
