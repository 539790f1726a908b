#pragma once

#include <QString>

// The state the three actions share; it lives as long as the window and is never saved.
struct Module1 {
    QString dirpath;   // the chosen folder, ending in "/"
    QString listtext;  // what the list box shows, each line ended by a lone carriage return
    QString separator; // between the number and the name of a numbered name
    QString apppath;   // the folder of the executable
};
