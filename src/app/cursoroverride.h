#pragma once

#include <QCursor>
#include <QGuiApplication>

// Shows `shape` over the whole program until it goes out of scope, whatever way the scope is
// left. Nested overrides stack: the wait cursor of an action, the arrow of a box it opens.
class CursorOverride {
public:
    explicit CursorOverride(Qt::CursorShape shape) {
        QGuiApplication::setOverrideCursor(QCursor(shape));
    }
    ~CursorOverride() { QGuiApplication::restoreOverrideCursor(); }
    CursorOverride(const CursorOverride&) = delete;
    CursorOverride& operator=(const CursorOverride&) = delete;
};
