// The analysis of a class or of the school as one report: the figures of every group and the
// sentences that sum them up.
#pragma once

#include "analysis/analysis.h"
#include "analysis/schoolstatistics.h"

#include <QList>
#include <QStringList>

struct AnalysisReport {
    bool school = false;
    GroupAnalysis overall;        // the class, or the school over all its pupils
    QList<GroupAnalysis> classes; // school only: each class that could be read, side by side
    QStringList notes;            // classes left out and why
    QStringList sentences;        // the summary in Polish, decimal commas
    SchoolPageFigures page;       // school only: the means of the classes the "Szkoła" page shows
};

AnalysisReport analyseClass(const ClassResults &results, const TestDefinition &test,
                            const AnalysisSettings &settings);
// notes: what reading the classes found (classes left out), carried into the report.
AnalysisReport analyseSchool(const QList<ClassResults> &classes, const QStringList &notes,
                             const TestDefinition &test, const AnalysisSettings &settings);
