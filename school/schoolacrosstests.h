// A school folder read for the comparison across tests: its classes, its own test and its own
// comparison figures, whatever test the workbook has open.
#pragma once

#include "core/progress.h"

#include "analysis/testcomparison.h"

#include <QString>

#include <optional>

// Nullopt with a Polish reason in *why when the folder holds no school, its Szkola.ini or its own
// Setup.ini cannot be read, or no class has results saved under that test.
std::optional<SchoolAtTest> readSchoolAtTest(const QString &folder, QString *why,
                                             const ProgressReport &progress = {});
