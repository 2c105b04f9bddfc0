// The analysis's tables that the document and the "Analiza" sheet share, each built once.
#pragma once

#include "analysis/analysisreport.h"
#include "analysis/analysissettings.h"
#include "analysis/testdefinition.h"
#include "documents/reporttable.h"

#include <optional>

// "Łatwość standardów": each standard and the whole test, their maxima, mean points, facility and band.
ReportTable standardsFacilityTable(const GroupAnalysis &group, const TestDefinition &test,
                                   const AnalysisSettings &settings);
// "Łatwość zadań": each task likewise; the document names its standard, the sheet adds its
// discrimination (which the document gives under the test's quality).
ReportTable tasksFacilityTable(const GroupAnalysis &group, const TestDefinition &test,
                               const AnalysisSettings &settings,
                               const QList<std::optional<double>> &discrimination);
// For the school, "Klasy obok siebie": each class's totals and facility of the test, and the
// school's from all its pupils; then each one's standards' facilities.
ReportTable classesTable(const AnalysisReport &report, const AnalysisSettings &settings);
ReportTable classStandardsTable(const AnalysisReport &report, const AnalysisSettings &settings);
