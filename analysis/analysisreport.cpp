#include "analysis/analysisreport.h"

#include "analysis/analysissentences.h"

AnalysisReport analyseClass(const ClassResults &results, const TestDefinition &test,
                            const AnalysisSettings &settings)
{
    AnalysisReport report;
    report.school = false;
    report.overall = analyseGroup(results.label, {results}, test, settings);
    report.sentences = summarySentences(report.overall, false, test, settings);
    return report;
}

AnalysisReport analyseSchool(const QList<ClassResults> &classes, const QStringList &notes,
                             const TestDefinition &test, const AnalysisSettings &settings)
{
    AnalysisReport report;
    report.school = true;
    report.overall = analyseGroup(QStringLiteral("Szkoła"), classes, test, settings);
    for (const ClassResults &results : classes)
        report.classes.append(analyseGroup(results.label, {results}, test, settings));
    report.notes = notes;
    report.sentences = summarySentences(report.overall, true, test, settings);
    report.page = schoolPageFigures(classes, test);
    return report;
}
