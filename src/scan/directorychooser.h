#pragma once

#include <QString>
#include <optional>

class QWidget;

// Asks the user for a folder. The answer is the full name the user confirmed, or nothing
// when the dialog was cancelled.
class DirectoryChooser {
public:
    virtual ~DirectoryChooser() = default;
    virtual std::optional<QString> confirmedName(QWidget* parent, const QString& initialDir) = 0;
};

// A save-file dialog that shows folders only: the user moves into a folder and confirms the
// pre-filled placeholder name. The working directory is the same afterwards, whatever the
// outcome.
class FileDialogChooser : public DirectoryChooser {
public:
    static constexpr auto title = "Select a directory";
    static constexpr auto placeholder = "Select a Directory";
    static constexpr auto filter = "Directories (*.~#~)";
    static constexpr auto suffix = "~#~";

    std::optional<QString> confirmedName(QWidget* parent, const QString& initialDir) override;
};
