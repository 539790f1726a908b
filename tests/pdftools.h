#pragma once

#include <QString>

// The text of a PDF file as `pdftotext -layout` lays it out; empty when it cannot be read.
QString pdfLayoutText(const QString& path);

// The page count that `pdfinfo` reports; 0 when the file cannot be read.
int pdfPageCount(const QString& path);
