#pragma once

#include <QStringView>

// Compares texts character by character, but runs of the digits 0-9 by their numeric
// value, so "img_2" comes before "img_10". Runs equal in value but not in leading zeros
// compare equal. Returns <0, 0 or >0. Case is left to the caller (compare folded texts).
int naturalCompare(QStringView a, QStringView b);
