#pragma once

#include <QString>

class QWidget;

// A modal error message over the window; the program goes on afterwards.
void showError(QWidget* parent, const QString& text);
