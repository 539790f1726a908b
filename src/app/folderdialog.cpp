#include "folderdialog.h"

#include "cursoroverride.h"

#include <QDir>
#include <QFileDialog>

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

// A typed folder path confirmed with Enter or "Uložit" moves the dialog into that folder;
// the placeholder then stands in the name field again, so confirming once more chooses it.
class FolderDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QString before = directory().absolutePath();
        QFileDialog::accept();
        if (isVisible() && directory().absolutePath() != before)
            selectFile(QLatin1String(FileDialogChooser::placeholder));
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
