#include "documents/analysisdocument.h"
#include "analysis/analysisreport.h"
#include "documents/analysistables.h"
#include "documents/analysiswords.h"
#include "documents/requirementtables.h"

#include <QStringList>

namespace {

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString heading(const QString &text)
{
    return QStringLiteral("<h2>%1</h2>\n").arg(esc(text));
}

QString paragraph(const QString &text)
{
    return QStringLiteral("<p>%1</p>\n").arg(esc(text));
}

QString highlighted(const QString &text)
{
    return QStringLiteral("<p style=\"background-color: #fff3c4;\">&nbsp;%1&nbsp;</p>\n").arg(esc(text));
}

QString image(const char *name)
{
    return QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>\n")
        .arg(QLatin1StringView(name))
        .arg(histogramWidth)
        .arg(histogramHeight);
}

// The sections below are written straight into the document's text.
void comparisonSection(QString *html, const AnalysisReport &report, const ComparisonTable &table)
{
    *html += heading(QStringLiteral("Porównanie z krajem, województwem, powiatem i gminą"));
    if (!table.hasFigures) {
        *html += paragraph(noComparisonText());
        return;
    }
    *html +=
        QStringLiteral("<p>Łatwość %1 obok łatwości w kraju, województwie, powiecie i gminie oraz różnica "
                       "w punktach procentowych (dodatnia: lepiej niż w danym obszarze). Na czerwono: "
                       "zadania i standardy co najmniej %2 punktów procentowych poniżej kraju.</p>\n")
            .arg(report.school ? QStringLiteral("szkoły") : QStringLiteral("klasy"))
            .arg(table.threshold);
    appendDocumentTableOnly(html, comparisonTable(QStringLiteral("Standard"), report.school,
                                                  table.standards + QList<ComparisonLine>{table.wholeTest}));
    *html += image(comparisonStandardsImageName);
    appendDocumentTableOnly(html, comparisonTable(QStringLiteral("Zadanie"), report.school, table.tasks));
    *html += image(comparisonTasksImageName);
    *html += paragraph(comparisonBelowText(table));
}

void normsSection(QString *html, const AnalysisReport &report, const NormsFigures &norms)
{
    *html += heading(QStringLiteral("Wyniki uczniów na tle norm"));
    if (norms.unstable)
        *html += highlighted(unstableNote());
    appendDocumentTableOnly(html, scoreBandsTable(norms.bands));
    if (norms.hasStanines) {
        *html += QStringLiteral("<p>Staniny uczniów (według tabeli staninów wyników uczniów z definicji "
                                "testu):</p>\n");
        appendDocumentTableOnly(html, stanineSpreadTable(norms.spread));
        appendDocumentTableOnly(html, stanineGroupsTable(norms.spread));
        *html += image(stanineImageName);
    } else {
        *html += QStringLiteral("<p>Staniny uczniów nie są pokazywane: definicja testu nie ma tabeli "
                                "staninów wyników uczniów (dolnych granic staninów 1–9 w punktach, "
                                "na karcie „Analiza” okna „Definicja testu”).</p>\n");
    }
    if (report.school) {
        // A thousand pupils would bury the report; each class's analysis lists its own.
        *html +=
            QStringLiteral("<p>Rangę centylową i stanin każdego ucznia (w klasie i w szkole) podaje analiza "
                           "klasy, a wszystkich uczniów szkoły razem – arkusz „Analiza” pliku "
                           "„Podsumowanie wyników.xlsx”.</p>\n");
        return;
    }
    *html += QStringLiteral(
                 "<p>Ranga centylowa: jaki odsetek uczniów klasy%1 uzyskał taki sam albo niższy wynik.</p>\n")
                 .arg(norms.rankedInSchool ? QStringLiteral(" (i szkoły)") : QString());
    appendDocumentTableOnly(html, pupilNormsTable(norms, report.school));
}

void qualitySection(QString *html, const GroupAnalysis &group, const QualityFigures &quality)
{
    *html += heading(QStringLiteral("Jakość testu"));
    *html += QStringLiteral("<p>Moc różnicująca zadania: jak dobrze zadanie odróżnia uczniów mocniejszych od "
                            "słabszych (korelacja punktów za zadanie z sumą punktów za pozostałe zadania). "
                            "Alfa Cronbacha: jak zgodnie zadania mierzą to samo, czyli rzetelność całego "
                            "testu.</p>\n");
    // Correlations over a handful of pupils swing with every one of them.
    if (group.totals.hasData && group.totals.present < minStablePupils)
        *html += highlighted(unstableNote());
    appendDocumentTableOnly(html, alphaTable(quality));
    *html += QStringLiteral("<p></p>\n");
    appendDocumentTableOnly(html, discriminationTable(group, quality));
}

// The answers chosen in the keyed tasks; for a school the school's, then each class's.
void choicesSection(QString *html, const AnalysisReport &report, const StaffMeetingFigures &figures)
{
    *html += heading(choicesHeading());
    if (!figures.choices.anyKnown) {
        *html += paragraph(noChoicesText());
        return;
    }
    *html += paragraph(choicesNote());
    appendDocumentTable(html,
                        choicesTable(figures.choices, report.school ? QStringLiteral("Szkoła") : QString()));
    for (const QString &line : choicesBelowTexts(figures.choices))
        *html += paragraph(line);
    if (!report.school || figures.classChoices.isEmpty())
        return;
    const QStringList labels = classLabels(report);
    *html += heading(classChoicesHeading());
    *html += paragraph(classChoicesNote());
    for (const ReportTable &table : classChoicesTables(figures.classChoices, labels)) {
        appendDocumentTableOnly(html, table);
        *html += QStringLiteral("<p></p>\n");
    }
    for (const QString &line : classChoicesBelowTexts(figures.classChoices, labels))
        *html += paragraph(line);
}

// The results by requirement: the group's table, what to revise, and a school's classes side by side.
void requirementsSection(QString *html, const AnalysisReport &report, const StaffMeetingFigures &figures,
                         const TestDefinition &test, const AnalysisSettings &settings)
{
    const bool country = anyCountry(figures.requirements);
    *html += heading(requirementsHeading());
    *html += paragraph(requirementsNote(report.school, country));
    appendDocumentTableOnly(html, requirementsTable(figures.requirements, test, settings));
    *html += heading(revisionHeading(report.school));
    const ReportTable revision = revisionTable(figures.requirements, test);
    if (revision.rows.isEmpty())
        *html += paragraph(nothingToRevise());
    else
        appendDocumentTableOnly(html, revision);
    if (!report.school || report.classes.isEmpty())
        return;
    *html += heading(classRequirementsHeading());
    for (const ReportTable &table : classRequirementsTables(report, figures.requirements, test, settings)) {
        appendDocumentTableOnly(html, table);
        *html += QStringLiteral("<p></p>\n");
    }
}

// The title, the test, the notes and the summary sentences.
void opening(QString *html, const AnalysisReport &report, const TestDefinition &test)
{
    *html += QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>\n")
                 .arg(esc(analysisTitle(report)));
    *html += QStringLiteral("<h1>%1</h1>\n").arg(esc(analysisTitle(report)));
    *html += QStringLiteral("<p><i>%1: %2</i></p>\n").arg(esc(test.testName), esc(test.testDate));
    for (const QString &note : report.notes)
        *html += highlighted(note);
    *html += heading(QStringLiteral("Podsumowanie"));
    for (const QString &sentence : report.sentences)
        *html += paragraph(sentence);
}

} // namespace

QString analysisHtml(const AnalysisReport &report, const TestDefinition &test,
                     const AnalysisSettings &settings, const StaffMeetingFigures *figures)
{
    const GroupAnalysis &group = report.overall;
    // Room for the tables' rows at once, so that the document is not copied again and again as it
    // grows.
    QString html;
    html.reserve((qMax(test.taskCount, 0) + group.totals.pupils + report.classes.size()) * 300 + 32768);
    opening(&html, report, test);
    appendDocumentTable(&html, totalsTable(report));
    html += image(histogramImageName);
    if (report.school) {
        appendDocumentTable(&html, classesTable(report, settings));
        appendDocumentTable(&html, classStandardsTable(report, settings));
    }
    appendDocumentTable(&html, standardsTable(group, test, settings));
    appendDocumentTable(&html, tasksTable(group, test, settings, {}));
    DocumentOptions legend;
    legend.rangesAcross = true;
    appendDocumentTable(&html, legendTable(settings), legend);
    appendDocumentTable(&html, weakPupilsTable(report));
    if (figures) {
        if (test.hasKeys())
            choicesSection(&html, report, *figures);
        if (!figures->requirements.isEmpty())
            requirementsSection(&html, report, *figures, test, settings);
        comparisonSection(&html, report, figures->comparison);
        normsSection(&html, report, figures->norms);
        qualitySection(&html, group, figures->quality);
    }
    html += QStringLiteral("</body></html>\n");
    return html;
}
