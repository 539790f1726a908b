#pragma once

#include <QString>
#include <optional>

// Asks the user for a folder. The answer is the full name the user confirmed, or nothing
// when the user cancelled.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    virtual std::optional<QString> confirmedName(const QString& initialDir) = 0;
};
