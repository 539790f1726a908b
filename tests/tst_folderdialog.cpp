#include "folderdialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString placeholder = QString::fromLatin1(FileDialogChooser::placeholder);

// How the path gets into the name field and what keys follow it.
enum class Entry {
    Typed,           // typed, then Enter once the completer's list is open
    TypedListClosed, // typed, the list closed with Escape, then Enter
    FromList,        // typed in part, then Down to the list's first row and Enter
    Pasted,          // Ctrl+V from the clipboard, then Enter once the list is open
    TypedNoList,     // typed, then Enter: nothing completes it, so no list opens
};

// What the dialog shows; the folder relative to the test's root.
struct Shown {
    QString folder, field, selected;
    bool acceptEnabled = false;
    bool listOpen = false;
    QString message; // of a warning that came over the dialog
    bool operator==(const Shown&) const = default;
};

char* toString(const Shown& shown) {
    return QTest::toString(QStringList{shown.folder, shown.field, "selected: " + shown.selected,
                                       shown.acceptEnabled ? "accept enabled" : "accept disabled",
                                       shown.listOpen ? "list open" : "list closed", shown.message}
                               .join(" | "));
}

QString notFound(const QString& path) {
    return path + "\nDirectory not found.\nPlease verify the correct directory name was given.";
}

// Where a key goes: to the completer's list while it is open, as the desktop sends it there.
QWidget* keyTarget(QLineEdit* field) {
    QWidget* list = field->completer()->popup();
    return list->isVisible() ? list : field;
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class TestFolderDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_root; // app/ where the dialog opens, photos/summer/, notes.txt

    QString path(const QString& name) const { return m_root.filePath(name); }

    Shown shown(QFileDialog* dialog, const QString& message = {}) const {
        auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
        auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
        return {QDir(m_root.path()).relativeFilePath(dialog->directory().absolutePath()),
                field->text(),
                field->selectedText(),
                buttons->button(QDialogButtonBox::Save)->isEnabled(),
                field->completer()->popup()->isVisible(),
                message};
    }

private slots:
    void initTestCase() {
        QVERIFY(QDir(m_root.path()).mkpath("app"));
        QVERIFY(QDir(m_root.path()).mkpath("photos/summer"));
        QFile notes(path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        qputenv("HOME", m_root.path().toUtf8());
    }

    void enterPath_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("folder");  // shown after Enter, "" when the dialog closed
        QTest::addColumn<QString>("message"); // a warning over the dialog
        QTest::addColumn<QString>("chosen");  // after one more Enter, "" when cancelled

        const QString photos = path("photos"), none;
        const QString inPhotos = "photos/Select a Directory.~#~";
        const QString inSummer = "photos/summer/Select a Directory.~#~";
        const QString nothing = path("nothing/"), inPhotosNothing = photos + "/nothing";
        const QString notes = path("notes.txt");
        const Entry typed = Entry::Typed, noList = Entry::TypedNoList;
        QTest::newRow("absolute") << photos << typed << "photos" << none << inPhotos;
        QTest::newRow("absolute, ending in /")
            << photos + '/' << typed << "photos" << none << inPhotos;
        QTest::newRow("list closed")
            << photos << Entry::TypedListClosed << "photos" << none << inPhotos;
        QTest::newRow("relative") << "../photos" << typed << "photos" << none << inPhotos;
        QTest::newRow("relative, in home") << "~/photos/" << noList << "photos" << none << inPhotos;
        QTest::newRow("from the list")
            << path("pho") << Entry::FromList << "photos" << none << inPhotos;
        QTest::newRow("pasted") << photos + '/' << Entry::Pasted << "photos" << none << inPhotos;
        QTest::newRow("subfolder")
            << "../photos/summer" << noList << "photos/summer" << none << inSummer;
        QTest::newRow("name of one's own") << "x" << noList << none << none << "app/x.~#~";
        QTest::newRow("no such folder") << nothing << noList << "app" << notFound(nothing) << none;
        QTest::newRow("no such folder, no /")
            << inPhotosNothing << noList << "app" << notFound(inPhotosNothing) << none;
        QTest::newRow("a file") << notes << noList << "app" << notFound(notes) << none;
    }

    // The path goes in as a person enters it; a folder is entered with the placeholder ready
    // for the next Enter, anything else is refused with a warning and then cancelled.
    void enterPath() {
        QFETCH(QString, typed);
        QFETCH(Entry, entry);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(QString, chosen);

        const QString workingDir = QDir::currentPath();
        QStringList setup; // the dialog as it opens
        Shown opened, entered;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            const auto closed = qScopeGuard([dialog] {
                if (dialog->isVisible())
                    dialog->reject();
            });
            if (!QTest::qWaitForWindowActive(dialog))
                return;
            auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
            setup << dialog->windowTitle() << dialog->nameFilters() << dialog->defaultSuffix();
            opened = shown(dialog);
            // The working folder moved meanwhile, so a relative path works from the dialog's.
            QDir::setCurrent(path("photos/summer"));

            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            if (entry == Entry::Pasted) {
                QGuiApplication::clipboard()->setText(typed);
                QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            } else {
                QTest::keyClicks(field, typed);
            }
            QAbstractItemView* list = field->completer()->popup();
            if (entry != Entry::TypedNoList &&
                !QTest::qWaitFor([list] { return list->isVisible(); }))
                return;
            if (entry == Entry::TypedListClosed)
                QTest::keyClick(list, Qt::Key_Escape);
            if (entry == Entry::FromList)
                QTest::keyClick(list, Qt::Key_Down);
            QString warning; // answered with Enter, as a person would
            QTimer answering;
            connect(&answering, &QTimer::timeout, [&warning] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    warning = box->text();
                    QTest::keyClick(box, Qt::Key_Return);
                }
            });
            answering.start(10);
            QTest::keyClick(keyTarget(field), Qt::Key_Return);
            if (!dialog->isVisible())
                return;
            entered = shown(dialog, warning);
            if (warning.isEmpty())
                QTest::keyClick(keyTarget(field), Qt::Key_Return);
            else
                QTest::keyClick(keyTarget(field), Qt::Key_Escape);
        });
        const std::optional<QString> answer = FileDialogChooser(nullptr).confirmedName(path("app"));

        QCOMPARE(setup, (QStringList{"Select a directory", "Directories (*.~#~)", "~#~"}));
        QCOMPARE(opened, (Shown{"app", placeholder, placeholder, true, false, {}}));
        const Shown expected = folder.isEmpty() ? Shown{}
                               : message.isEmpty()
                                   ? Shown{folder, placeholder, placeholder, true, false, {}}
                                   : Shown{folder, typed, {}, true, false, message};
        QCOMPARE(entered, expected);
        QCOMPARE(answer ? QDir(m_root.path()).relativeFilePath(*answer) : "", chosen);
        QCOMPARE(QDir::currentPath(), workingDir);
    }
};

QTEST_MAIN(TestFolderDialog)
#include "tst_folderdialog.moc"
