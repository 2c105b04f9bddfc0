#include "documents/analysissheet.h"
#include "analysis/analysisreport.h"

#include "documents/analysisdocument.h"
#include "documents/analysistables.h"
#include "documents/analysiswords.h"
#include "documents/requirementtables.h"

namespace {

// Every figure a number the spreadsheet counts with; a share as its fraction, a stanine beside its
// name.
SheetOptions sheetOptions()
{
    SheetOptions options;
    options.captionsBeside = true;
    options.sharesAsFractions = true;
    return options;
}

void line(Sheet *sheet, const QString &text, bool bold = false)
{
    sheet->rows.append({sheetText(text, bold)});
}

void heading(Sheet *sheet, const QString &text)
{
    sheet->rows.append(QList<SheetCell>());
    line(sheet, text, true);
}

// The title, the test, the notes and the summary sentences.
void opening(Sheet *sheet, const AnalysisReport &report, const TestDefinition &test)
{
    line(sheet, analysisTitle(report), true);
    line(sheet, test.testName + QStringLiteral(": ") + test.testDate);
    for (const QString &note : report.notes)
        line(sheet, note);
    heading(sheet, QStringLiteral("Podsumowanie"));
    for (const QString &sentence : report.sentences)
        line(sheet, sentence);
}

void comparisonPart(Sheet *sheet, const AnalysisReport &report, const ComparisonTable &comparison)
{
    heading(sheet, QStringLiteral("Porównanie z krajem, województwem, powiatem i gminą"));
    if (!comparison.hasFigures) {
        line(sheet, noComparisonText());
        return;
    }
    appendToSheet(sheet,
                  comparisonTable(QStringLiteral("Zadanie / standard"), report.school,
                                  comparison.standards + QList<ComparisonLine>{comparison.wholeTest} +
                                      comparison.tasks),
                  sheetOptions());
    line(sheet, comparisonBelowText(comparison));
}

void normsPart(Sheet *sheet, const AnalysisReport &report, const NormsFigures &norms)
{
    heading(sheet, QStringLiteral("Wyniki uczniów na tle norm"));
    if (norms.unstable)
        line(sheet, unstableNote());
    appendToSheet(sheet, scoreBandsTable(norms.bands), sheetOptions());
    if (norms.hasStanines) {
        appendToSheet(sheet, stanineSpreadTable(norms.spread), sheetOptions());
        appendToSheet(sheet, stanineGroupsTable(norms.spread), sheetOptions());
    }
    appendToSheet(sheet, pupilNormsTable(norms, report.school), sheetOptions());
}

void choicesPart(Sheet *sheet, const AnalysisReport &report, const StaffMeetingFigures &figures)
{
    heading(sheet, choicesHeading());
    if (!figures.choices.anyKnown) {
        line(sheet, noChoicesText());
        return;
    }
    line(sheet, choicesNote());
    const auto part = [&](const ChoiceTable &table, const QString &title) {
        appendToSheet(sheet, choicesTable(table, title), sheetOptions());
        for (const QString &text : choicesBelowTexts(table))
            line(sheet, text);
    };
    part(figures.choices, report.school ? QStringLiteral("Szkoła") : QString());
    if (!report.school || figures.classChoices.isEmpty())
        return;
    const QStringList labels = classLabels(report);
    sheet->rows.append(QList<SheetCell>());
    sheet->rows.append({sheetText(classChoicesHeading(), true)});
    line(sheet, classChoicesNote());
    for (const ReportTable &table : classChoicesTables(figures.classChoices, labels))
        appendToSheet(sheet, table, sheetOptions());
    for (const QString &text : classChoicesBelowTexts(figures.classChoices, labels))
        line(sheet, text);
}

void requirementsPart(Sheet *sheet, const AnalysisReport &report, const StaffMeetingFigures &figures,
                      const TestDefinition &test, const AnalysisSettings &settings)
{
    const bool country = anyCountry(figures.requirements);
    heading(sheet, requirementsHeading());
    line(sheet, requirementsNote(report.school, country));
    appendToSheet(sheet, requirementsTable(figures.requirements, test, settings), sheetOptions());
    heading(sheet, revisionHeading(report.school));
    const ReportTable revision = revisionTable(figures.requirements, test);
    if (revision.rows.isEmpty())
        line(sheet, nothingToRevise());
    else
        appendToSheet(sheet, revision, sheetOptions());
    if (!report.school || report.classes.isEmpty())
        return;
    heading(sheet, classRequirementsHeading());
    for (const ReportTable &table : classRequirementsTables(report, figures.requirements, test, settings))
        appendToSheet(sheet, table, sheetOptions());
}

} // namespace

Sheet analysisSheet(const AnalysisReport &report, const StaffMeetingFigures &figures,
                    const TestDefinition &test, const AnalysisSettings &settings)
{
    Sheet sheet;
    sheet.name = QStringLiteral("Analiza");
    sheet.frozenRows = 1;
    sheet.columnWidths = {30, 12, 12, 12, 12, 22, 14, 22};
    const GroupAnalysis &group = report.overall;
    // Room for the rows at once, so that they are not moved again and again as the sheet grows.
    sheet.rows.reserve((qMax(test.taskCount, 0) + group.totals.pupils + report.classes.size()) * 2 + 160);
    const SheetOptions options = sheetOptions();
    opening(&sheet, report, test);

    // Without results the totals' figures are left out rather than written empty.
    SheetOptions totals = options;
    totals.skipNoDataLines = true;
    appendToSheet(&sheet, totalsTable(report), totals);
    appendToSheet(&sheet, histogramTable(report), options);
    if (report.school) {
        appendToSheet(&sheet, classesTable(report, settings), options);
        appendToSheet(&sheet, classStandardsTable(report, settings), options);
    }
    appendToSheet(&sheet, standardsTable(group, test, settings), options);
    appendToSheet(&sheet, tasksTable(group, test, settings, figures.quality.discrimination), options);
    appendToSheet(&sheet, legendTable(settings), options);
    appendToSheet(&sheet, weakPupilsTable(report), options);
    if (test.hasKeys())
        choicesPart(&sheet, report, figures);
    if (!figures.requirements.isEmpty())
        requirementsPart(&sheet, report, figures, test, settings);
    comparisonPart(&sheet, report, figures.comparison);
    normsPart(&sheet, report, figures.norms);

    heading(&sheet, QStringLiteral("Jakość testu"));
    if (group.totals.hasData && group.totals.present < minStablePupils)
        line(&sheet, unstableNote());
    appendToSheet(&sheet, alphaTable(figures.quality), options);
    return sheet;
}

Sheet analysisSheetNote(const QString &note)
{
    Sheet sheet;
    sheet.name = QStringLiteral("Analiza");
    sheet.rows = {{sheetText(note)}};
    return sheet;
}
