// The tables of the analysis, made once for the document and for the "Analiza" sheet.
#pragma once

#include "analysis/analysisreport.h"
#include "analysis/staffmeeting.h"
#include "documents/reporttable.h"

// The totals under "Suma punktów"; the school's also give the "Szkoła" page's mean of the classes.
ReportTable totalsTable(const AnalysisReport &report);
// The school's classes side by side, and each class's facility of every standard.
ReportTable classesTable(const AnalysisReport &report, const AnalysisSettings &settings);
ReportTable classStandardsTable(const AnalysisReport &report, const AnalysisSettings &settings);
ReportTable standardsTable(const GroupAnalysis &group, const TestDefinition &test,
                           const AnalysisSettings &settings);
// discrimination: per task, for the sheet's columns beside the facility; none leaves them empty.
ReportTable tasksTable(const GroupAnalysis &group, const TestDefinition &test,
                       const AnalysisSettings &settings, const QList<std::optional<double>> &discrimination);
// The bands of facility: from, to and the name, in the band's colour.
ReportTable legendTable(const AnalysisSettings &settings);
// The pupils below one half in each standard: a list per standard in the document, a pupil per line
// in the sheet.
ReportTable weakPupilsTable(const AnalysisReport &report);
// The sheet's bars of the histogram, as the document draws them.
ReportTable histogramTable(const AnalysisReport &report);

// The lines of the comparison with the areas; the sheet adds whether a line lies far below.
ReportTable comparisonTable(const QString &first, bool school, const QList<ComparisonLine> &lines);

// The norms: the pupils of 80% and more and below 50%, the stanines' spread and groups, and the pupils
// with their ranks (the sheet adds their class).
ReportTable scoreBandsTable(const ScoreBands &bands);
ReportTable stanineSpreadTable(const StanineSpread &spread);
ReportTable stanineGroupsTable(const StanineSpread &spread);
ReportTable pupilNormsTable(const NormsFigures &norms, bool school);

ReportTable alphaTable(const QualityFigures &quality);
ReportTable discriminationTable(const GroupAnalysis &group, const QualityFigures &quality);

// The share of every answer chosen in each keyed task, one line per part, the key's share bold.
ReportTable choicesTable(const ChoiceTable &table, const QString &heading);
// The school's classes side by side: per part of a keyed task the share of each class that chose the
// key, marked where a wrong answer drew more of the class. A table per few classes, so that it fits
// the page's width.
QList<ReportTable> classChoicesTables(const QList<ChoiceTable> &classes, const QStringList &labels);
