#pragma once

#include <QFont>

// The print font: "Arial CE", 8 pt, regular. Where no such family is installed it is
// drawn in Liberation Sans, which has Arial's metrics, so the columns fall where Arial's would.
QFont listingFont();
