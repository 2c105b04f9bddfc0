// The analysis as a spreadsheet sheet "Analiza": the report's tables, under the report's headings,
// with every figure a number.
#pragma once

#include "analysis/analysisreport.h"
#include "analysis/staffmeeting.h"
#include "files/spreadsheet.h"

Sheet analysisSheet(const AnalysisReport &report, const StaffMeetingFigures &figures,
                    const TestDefinition &test, const AnalysisSettings &settings);

// The sheet when the analysis could not be made: the reason, so that the file still says why.
Sheet analysisSheetNote(const QString &note);
