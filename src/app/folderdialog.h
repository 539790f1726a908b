#pragma once

#include "folderchooser.h"

class QWidget;

// A save-file dialog that shows folders only: the user moves into a folder and confirms the
// pre-filled placeholder name. It shows the normal arrow, also over an action's wait cursor.
// The working directory is the same afterwards, whatever the outcome.
class FileDialogChooser : public FolderChooser {
public:
    static constexpr auto title = "Select a directory";
    static constexpr auto placeholder = "Select a Directory";
    static constexpr auto filter = "Directories (*.~#~)";
    static constexpr auto suffix = "~#~";

    explicit FileDialogChooser(QWidget* parent) : m_parent(parent) {}
    std::optional<QString> confirmedName(const QString& initialDir) override;

private:
    QWidget* m_parent;
};
