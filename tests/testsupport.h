#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

// Answers every modal dialog that opens while it lives, as a user would, so that an
// action blocked in a dialog can be driven from a test.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget*)>;

    explicit ModalAnswerer(Answer answer = reject);

    // The texts of the message boxes answered so far (their text and informative text).
    const QStringList& texts() const { return m_texts; }
    int count() const { return m_count; }

    static void reject(QWidget* modal);
    static Answer clickButton(const QString& text);

private:
    void poll();

    Answer m_answer;
    QTimer m_timer;
    QStringList m_texts;
    int m_count = 0;
};

// Writes a file with the given content and modification time.
void writeFile(const QString& path, const QByteArray& content,
               const QDateTime& modified = QDateTime::currentDateTime());
