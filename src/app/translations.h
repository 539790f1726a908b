#pragma once

class QApplication;

// Qt's own dialogs (file dialog, message buttons) speak Czech like the window.
void installCzechQtTranslations(QApplication& app);
