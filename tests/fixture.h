#pragma once

#include "catalogue.h"
#include "folderchooser.h"

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <SQLiteCpp/Database.h>
#include <functional>

// When the first photograph was taken; others are stamped seconds after it.
const QDateTime firstShot(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC);

// A photograph to make: its name, its time in seconds after firstShot and its content (its name
// when none).
struct Photo {
    Photo(const char* name, int seconds = 0, QByteArray content = {});
    Photo(QString name, int seconds = 0, QByteArray content = {});
    QString name;
    int seconds;
    QByteArray content;
};
using Photos = QList<Photo>;

// A temporary folder of photographs, "photos/", beside the program's folder, "app/", which
// holds the catalogue.
class PhotoFolder {
public:
    PhotoFolder();

    QString folder() const { return m_root.filePath(QStringLiteral("photos")) + u'/'; }
    QString appDir() const { return m_root.filePath(QStringLiteral("app")); }
    QString root() const { return m_root.path(); }
    Catalogue catalogue() const;
    // A file holding `content` (its name when none), modified `seconds` after firstShot.
    void add(const QString& name, int seconds, const QByteArray& content = {}) const;
    void add(const Photos& photos) const;
    // Every file of the folder as "name=content", in code point order.
    QStringList disk() const;

private:
    QTemporaryDir m_root;
};

void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified);

// One field of each row, so that lists of rows compare whole.
QStringList column(std::span<const CatalogueRow> rows,
                   QString CatalogueRow::*field = &CatalogueRow::filename);
// The catalogue's names in date order, or why they could not be read.
QStringList catalogued(const Catalogue& catalogue);

// A connection of its own to the catalogue's file, as another program would open it.
SQLite::Database connection(const Catalogue& catalogue);

// A failure's fault (as a number) and subject, to compare whole.
inline QStringList failure(Fault fault, const QString& subject) {
    return {QStringLiteral("fault %1").arg(int(fault)), subject};
}
// The same for a result's failure; nothing for a success.
template <typename T> QStringList failureOf(const Result<T>& result) {
    return result.ok() ? QStringList() : failure(result.failure().fault, result.failure().subject);
}

// Stands in for the folder dialog: confirms the placeholder in a folder, or cancels.
class StandInChooser : public FolderChooser {
public:
    explicit StandInChooser(QString folder = {}) : m_folder(std::move(folder)) {}
    std::optional<QString> confirmedName(const QString&) override;
    static std::unique_ptr<StandInChooser> confirming(const QString& folder);

private:
    QString m_folder; // none: cancels
};

// Answers each message box that opens while it lives by clicking the button of the given text
// ("Return" and "Escape" press those keys; an unknown text closes the box), and keeps what the
// boxes said.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    explicit ModalAnswerer(QString answer = {});
    QStringList texts;  // of the boxes answered so far
    QStringList titles; // with each the override cursor it met ("arrow", "wait" or "none")

private:
    QString m_answer;
    QTimer m_timer;
};

// The fault's name as written in its enum, and "subject: Fault" for each failure.
QString faultName(Fault fault);
QStringList failureTexts(std::span<const Failure> failures);

QString cursorName();
QString commandOutput(const QString& program, const QStringList& arguments); // "" on failure
