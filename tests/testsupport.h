#pragma once

#include "catalogue.h"
#include "directorychooser.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QWidget;

// The program's override cursor: "wait", "arrow" or "none".
QString cursorName();

// Answers every modal dialog that opens while it lives, as a user would, so that an
// action blocked in a dialog can be driven from a test.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget*)>;

    explicit ModalAnswerer(Answer answer = reject);

    // The texts of the message boxes answered so far (their text and informative text).
    const QStringList& texts() const { return m_texts; }
    // Per box: its title and the cursor it showed, and whether it stood off the window's centre.
    const QStringList& seen() const { return m_seen; }
    int count() const { return m_count; }

    static void reject(QWidget* modal);
    static Answer clickButton(const QString& text);

private:
    void poll();

    Answer m_answer;
    QTimer m_timer;
    QStringList m_texts;
    QStringList m_seen;
    int m_count = 0;
};

// Stands in for the folder dialog: confirms a preset name, or cancels when there is none.
class StandInChooser : public DirectoryChooser {
public:
    explicit StandInChooser(std::optional<QString> answer) : m_answer(std::move(answer)) {}
    std::optional<QString> confirmedName(QWidget*, const QString&) override {
        cursorsSeen << cursorName();
        return m_answer;
    }

    // Confirms the placeholder name in `folder`, as a user does.
    static std::unique_ptr<StandInChooser> confirming(const QString& folder) {
        return std::make_unique<StandInChooser>(
            folder + u'/' + QLatin1String(FileDialogChooser::placeholder) + QStringLiteral(".~#~"));
    }

    QStringList cursorsSeen; // at each showing

private:
    std::optional<QString> m_answer;
};

// The window's controls by object name, as a user meets them.
template <typename T> T* control(QWidget& window, const char* name) {
    auto* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}
QString status(QWidget& window);    // the status label
QString shownText(QWidget& window); // what the list box shows
void click(QWidget& window, const char* button);

// The file names of catalogue rows, in their order.
QStringList filenames(std::span<const CatalogueRow> rows);

// Writes a file with the given content and modification time.
void writeFile(const QString& path, const QByteArray& content,
               const QDateTime& modified = QDateTime::currentDateTime());
