#pragma once

class QApplication;

// SIGTERM and SIGINT (logout, kill, Ctrl+C) close the program as closing its window does,
// instead of killing it in the middle of an action.
void quitOnTerminationSignals(QApplication& app);
