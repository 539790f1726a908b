#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

ModalAnswerer::ModalAnswerer(Answer answer) : m_answer(std::move(answer)) {
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(5);
}

void ModalAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        m_texts << (box->informativeText().isEmpty()
                        ? box->text()
                        : box->text() + u'\n' + box->informativeText());
        const QWidget* window = box->parentWidget() ? box->parentWidget()->window() : box;
        const bool centred =
            (box->frameGeometry().center() - window->frameGeometry().center()).manhattanLength() <=
            2;
        m_seen << box->windowTitle() + QStringLiteral(" / ") + cursorName() +
                      (centred ? QString() : QStringLiteral(" / off centre"));
    }
    ++m_count;
    m_answer(modal);
}

void ModalAnswerer::reject(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

ModalAnswerer::Answer ModalAnswerer::clickButton(const QString& text) {
    return [text](QWidget* modal) {
        for (auto* button : modal->findChildren<QAbstractButton*>()) {
            if (button->text().remove(u'&') == text) {
                button->click();
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no button %1 in the dialog").arg(text)));
    };
}

void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(content), content.size());
    QVERIFY(file.flush()); // a later flush would stamp the file with the present time
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

QString cursorName() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    if (!cursor)
        return QStringLiteral("none");
    return cursor->shape() == Qt::WaitCursor    ? QStringLiteral("wait")
           : cursor->shape() == Qt::ArrowCursor ? QStringLiteral("arrow")
                                                : QString::number(cursor->shape());
}

QString status(QWidget& window) {
    return control<QLabel>(window, "Label2")->text();
}

QString shownText(QWidget& window) {
    return control<QPlainTextEdit>(window, "TextBox1")->toPlainText();
}

void click(QWidget& window, const char* button) {
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

QStringList filenames(std::span<const CatalogueRow> rows) {
    QStringList names;
    for (const CatalogueRow& row : rows)
        names << row.filename;
    return names;
}
