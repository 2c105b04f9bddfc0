// The results by requirement as the analysis's document and its "Analiza" sheet show them.
#pragma once

#include "analysis/analysisreport.h"
#include "analysis/requirements.h"
#include "documents/reporttable.h"

#include <QList>
#include <QString>
#include <QStringList>

QString requirementsHeading();
// What the table shows, in one paragraph.
QString requirementsNote(bool school, bool withCountry);
// Whether any requirement has the country's figure: the table and its note then speak of it.
bool anyCountry(const QList<RequirementFigures> &figures);
// Every requirement with its tasks, points, facility and band, weakest first; with the country's
// facility and the difference when the figures are known.
ReportTable requirementsTable(const QList<RequirementFigures> &figures, const TestDefinition &test,
                              const AnalysisSettings &settings);
// "Do powtórzenia w klasie" (or "w szkole"): the requirements below one half and their tasks.
QString revisionHeading(bool school);
ReportTable revisionTable(const QList<RequirementFigures> &figures, const TestDefinition &test);
// The line in the list's place when no requirement is below one half.
QString nothingToRevise();
// The school's classes side by side: each requirement's facility in each class, in the order of the
// school's table; a table per few classes, so that it fits the page's width.
QString classRequirementsHeading();
QList<ReportTable> classRequirementsTables(const AnalysisReport &report,
                                           const QList<RequirementFigures> &school,
                                           const TestDefinition &test, const AnalysisSettings &settings);
