#pragma once

#include <QString>

// Why a file operation failed, for the user (Czech), from the errno value it left.
QString fileErrorText(int error);
