#include "folderdialog.h"

#include "cursoroverride.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {

class WorkingDirectoryGuard {
public:
    WorkingDirectoryGuard() : m_saved(QDir::currentPath()) {}
    ~WorkingDirectoryGuard() { QDir::setCurrent(m_saved); }
    WorkingDirectoryGuard(const WorkingDirectoryGuard&) = delete;
    WorkingDirectoryGuard& operator=(const WorkingDirectoryGuard&) = delete;

private:
    QString m_saved;
};

// A folder path typed or pasted into the name field moves the dialog into that folder, with
// the placeholder back in the field, so confirming once more chooses it. Any other path is
// refused; a plain name confirms the folder shown.
class FolderDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!field)
            return QFileDialog::accept();
        const QString typed = field->text();
        const QString target = directory().absoluteFilePath(withHomeExpanded(typed));
        // Enter reaches the field past the completer, which then leaves its list open.
        if (QCompleter* completer = field->completer())
            completer->popup()->hide();
        if (QFileInfo(target).isDir()) {
            setDirectory(QDir::cleanPath(target));
            // selectFile() leaves a field that has the focus alone.
            field->setText(QLatin1String(FileDialogChooser::placeholder));
            field->selectAll();
        } else if (typed.contains(u'/')) {
            // The dialog's own words for a folder that is not there, so they come translated.
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1\nDirectory not found.\nPlease verify the "
                                                 "correct directory name was given.")
                                     .arg(typed));
        } else {
            QFileDialog::accept();
        }
    }

private:
    static QString withHomeExpanded(const QString& path) {
        if (path == u'~' || path.startsWith(QLatin1String("~/")))
            return QDir::homePath() + path.mid(1);
        return path;
    }
};

} // namespace

std::optional<QString> FileDialogChooser::confirmedName(const QString& initialDir) {
    const CursorOverride arrow(Qt::ArrowCursor);
    const WorkingDirectoryGuard guard;
    // A fresh dialog per showing, so every setting starts over: it always opens in the
    // initial folder with the placeholder, never where the previous choice was made.
    FolderDialog dialog(m_parent, QLatin1String(title), initialDir);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // No ordinary file matches the filter, so the list shows folders only.
    dialog.setNameFilter(QLatin1String(filter));
    dialog.setDefaultSuffix(QLatin1String(suffix));
    dialog.selectFile(QLatin1String(placeholder));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList names = dialog.selectedFiles();
    if (names.isEmpty())
        return std::nullopt;
    return names.first();
}
