#include "fixture.h"
#include "folderdialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestFolderDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_root; // app/, where the dialog opens; photos/summer/; notes.txt

private slots:
    void initTestCase() {
        QVERIFY(QDir(m_root.path()).mkpath("app"));
        QVERIFY(QDir(m_root.path()).mkpath("photos/summer"));
        QVERIFY(QFile(m_root.filePath("notes.txt")).open(QIODevice::WriteOnly));
        qputenv("HOME", m_root.path().toUtf8());
    }

    void typedPath_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("completes"); // the completer's list opens on typing
        QTest::addColumn<QString>("folder"); // entered; "" when the path is refused
        const QString photos = m_root.filePath("photos");
        QTest::newRow("absolute") << photos << true << "photos";
        QTest::newRow("absolute, ending in /") << photos + '/' << true << "photos";
        QTest::newRow("relative") << "../photos/summer" << false << "photos/summer";
        QTest::newRow("in home") << "~/photos" << false << "photos";
        QTest::newRow("no such folder") << photos + "/nothing" << false << "";
        QTest::newRow("a file") << m_root.filePath("notes.txt") << false << "";
    }
    // Enter on a folder's path moves there, ready for one more Enter to choose the folder.
    // Any other path is refused, and the dialog, cancelled then, chooses nothing.
    void typedPath() {
        QFETCH(QString, typed);
        QFETCH(bool, completes);
        QFETCH(QString, folder);
        const QString workingDir = QDir::currentPath();
        QStringList entered; // the dialog after the first Enter
        const ModalAnswerer answerer("Return");
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
            QWidget* list = field->completer()->popup(); // has the keys while open
            // Paths are relative to the dialog's folder, not to the working one.
            QDir::setCurrent(m_root.filePath("photos/summer"));
            // With the focus, as a person types: into the field without it the dialog writes the
            // name of a file the path names.
            if (!QTest::qWaitForWindowActive(dialog))
                return dialog->reject();
            QTest::keyClicks(field, typed);
            if (completes && !QTest::qWaitFor([list] { return list->isVisible(); }))
                return dialog->reject();
            QTest::keyClick(list->isVisible() ? list : field, Qt::Key_Return);
            const QDialogButtonBox* buttons = dialog->findChild<QDialogButtonBox*>();
            entered = {dialog->windowTitle(),
                       dialog->nameFilters().join(u';'),
                       QDir(m_root.path()).relativeFilePath(dialog->directory().absolutePath()),
                       field->text(),
                       field->selectedText(),
                       buttons->button(QDialogButtonBox::Save)->isEnabled() ? "save" : "no save",
                       list->isVisible() ? "list" : "no list"};
            QTest::keyClick(field, folder.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
            if (dialog->isVisible()) // the second key closed nothing
                dialog->reject();
        });
        const std::optional<QString> chosen =
            FileDialogChooser(nullptr).confirmedName(m_root.filePath("app"));

        const QString placeholder = FileDialogChooser::placeholder;
        const bool refused = folder.isEmpty();
        QCOMPARE(entered, (QStringList{"Select a directory", "Directories (*.~#~)",
                                       refused ? "app" : folder, refused ? typed : placeholder,
                                       refused ? "" : placeholder, "save", "no list"}));
        const QString warning = "\nDirectory not found.\nPlease verify the correct directory name "
                                "was given.";
        QCOMPARE(answerer.texts, refused ? QStringList{typed + warning} : QStringList());
        QCOMPARE(chosen.value_or(""),
                 refused ? "" : m_root.filePath(folder + "/Select a Directory.~#~"));
        QCOMPARE(QDir::currentPath(), workingDir);
    }
};

QTEST_MAIN(TestFolderDialog)
#include "tst_folderdialog.moc"
