#include "fixture.h"
#include "folderdialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

class TestFolderDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_root; // app/, where the dialog opens; photos/summer/; notes.txt

private slots:
    void initTestCase() {
        const QDir root(m_root.path());
        QVERIFY(root.mkpath("app") && root.mkpath("photos/summer"));
        QVERIFY(QFile(m_root.filePath("notes.txt")).open(QIODevice::WriteOnly));
        qputenv("HOME", m_root.path().toUtf8());
    }

    void typedPath_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("completes"); // its list opens
        QTest::addColumn<QString>("folder"); // "" when refused
        const QString photos = m_root.filePath("photos");
        QTest::newRow("absolute") << photos << true << "photos";
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
        const bool refused = folder.isEmpty();
        const QString cwd = QDir::currentPath();
        QStringList entered; // after the first Enter
        const ModalAnswerer answerer("Return");
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
            // The completer's list has the keys while open.
            QWidget* list = field->completer()->popup();
            // Paths are relative to the dialog's folder, not to the working one.
            QDir::setCurrent(m_root.filePath("photos/summer"));
            // Typed with the focus: into the field without it the dialog writes the name of a
            // file the path names.
            if (QTest::qWaitForWindowActive(dialog))
                QTest::keyClicks(field, typed);
            if (QTest::qWaitFor([&] { return list->isVisible() || !completes; }))
                QTest::keyClick(list->isVisible() ? list : field, Qt::Key_Return);
            entered = {QDir(m_root.path()).relativeFilePath(dialog->directory().path()),
                       field->text(), field->selectedText(), list->isVisible() ? "list" : ""};
            QTest::keyClick(field, refused ? Qt::Key_Escape : Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject();
        });
        const auto chosen = FileDialogChooser(nullptr).confirmedName(m_root.filePath("app"));

        const QString name = FileDialogChooser::placeholder;
        QCOMPARE(entered, (QStringList{refused ? "app" : folder, refused ? typed : name,
                                       refused ? "" : name, ""}));
        const QString warning =
            "\nDirectory not found.\nPlease verify the correct directory name was given.";
        QCOMPARE(answerer.texts, refused ? QStringList{typed + warning} : QStringList());
        QCOMPARE(chosen.value_or(""), refused ? "" : m_root.filePath(folder + '/' + name + ".~#~"));
        QCOMPARE(QDir::currentPath(), cwd);
    }
};

QTEST_MAIN(TestFolderDialog)
#include "tst_folderdialog.moc"
