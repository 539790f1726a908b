#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// Times the window's actions on one folder size in this process and returns the figures:
// the platform, whether the accessibility bridge was active, each action beside its floor,
// and this process's peak memory. `actions` limits which actions run (all when empty),
// for profiling one of them.
QJsonObject measureSize(const QString& root, int files, int runs, const QStringList& actions);
