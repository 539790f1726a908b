#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// A failure of the catalogue, worded for the user (Czech, naming the file and the cause).
class CatalogueError : public std::exception {
public:
    explicit CatalogueError(QString message);

    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
