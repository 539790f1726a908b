#pragma once

#include <QString>

class QMessageBox;
class QWidget;

// The title of a box about `topic`: the program's name, a dash and the topic.
QString messageTitle(const QString& topic);

// Shows a modal box centred over `window`'s top-level window, titled by `topic`, with the
// normal arrow even while an action shows the wait cursor. Returns the box's result.
int execOverWindow(QMessageBox& box, QWidget* window, const QString& topic);

// A modal error message about `topic` ("katalog", "tisk", …); the program goes on afterwards.
void showError(QWidget* window, const QString& topic, const QString& text);
