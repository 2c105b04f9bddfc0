// A school folder read for the comparison across tests: its classes, its own test and its own
// comparison figures, whatever test the workbook has open.
#pragma once

#include "core/progress.h"

#include "analysis/testcomparison.h"

#include <QString>
#include <QStringList>

#include <optional>

// Nullopt with a Polish reason in *why when the folder holds no school, its Szkola.ini or its own
// Setup.ini cannot be read, or no class has results saved under that test.
std::optional<SchoolAtTest> readSchoolAtTest(const QString &folder, QString *why,
                                             const ProgressReport &progress = {});

// The comparison's two files in folder, "Porównanie testów.xlsx" and "Porównanie testów.pdf", each
// replaced whole; the names of those that could not be written (an empty one is not written).
QStringList writeTestComparison(const QString &folder, const QByteArray &xlsx, const QByteArray &pdf);
// Where writeTestComparison puts them.
QString testComparisonSpreadsheetPath(const QString &folder);
QString testComparisonPdfPath(const QString &folder);
