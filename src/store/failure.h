#pragma once

#include <QString>
#include <optional>
#include <utility>

// What went wrong, as a fact. The libraries report it; the window words it for the user.
enum class Fault {
    // The system's answers about a file, a folder or the catalogue file.
    Missing,
    NotAFolder,
    Denied,
    Exists,
    ReadOnly,
    DiskFull,
    NameTooLong,
    InUse,
    IoError,
    SystemError, // any other; the detail holds the system's words
    // The catalogue's own.
    NotADatabase,
    Corrupt,
    CannotOpen,
    TableMissing,
    FieldMissing, // the detail names the field
    DatabaseError,
    // Why a catalogued file is not renamed.
    ChangedSinceScan,
    ListedTwice,
    NotOrdinary,
    BrokenLink,
    LeadsOutside,
    InvalidName,
    TargetLeadsOutside,
    TargetInvalid,
    FolderGone,
    // Printing.
    NoPrinter,
    SchedulerDown,
    NotAccepting,
    PrinterGone,
    NotAuthorized,
    Refused,
    TemporaryFile,
    PrinterFailed,
    PrintAborted,
};

struct Failure {
    Fault fault;
    QString subject; // the path, file, field or printer it concerns
    QString detail;  // the system's own words (SQLite, CUPS, strerror); may be empty

    bool operator==(const Failure&) const = default;
};

// The fault an errno value stands for; unknown ones keep the system's words as the detail.
Failure failureOfErrno(int error, const QString& subject = {});

// A value or the failure that prevented it: the one way the libraries report an error.
template <typename T> class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return m_value.has_value(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const Failure& failure() const { return *m_failure; }

private:
    std::optional<T> m_value;
    std::optional<Failure> m_failure;
};

template <> class Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure.has_value(); }
    const Failure& failure() const { return *m_failure; }

private:
    std::optional<Failure> m_failure;
};
