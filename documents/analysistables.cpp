#include "documents/analysistables.h"

#include "documents/analysiswords.h"

namespace {

// Maximum, mean points, facility and band of a task, a standard or the whole test; the facility
// and its band coloured by the band.
QList<ReportCell> facilityCells(const ItemFacility &item, bool hasData, bool masculine,
                                const AnalysisSettings &settings)
{
    QList<ReportCell> cells{ReportCell::integer(item.maxPoints),
                            hasData ? ReportCell::decimal(item.meanPoints) : ReportCell::missing()};
    if (!item.facility)
        return cells + QList<ReportCell>{ReportCell::missing(), ReportCell::textOf(noData())};
    const int band = bandOf(*item.facility, settings);
    const QString colour = bandColour(band);
    return cells + QList<ReportCell>{
                       ReportCell::decimal(*item.facility, 2, colour),
                       ReportCell::textOf(masculine ? bandNameMasculine(band) : bandName(band), colour)};
}

// A facility coloured by its band.
ReportCell facilityCell(const std::optional<double> &facility, const AnalysisSettings &settings)
{
    return facility ? ReportCell::decimal(*facility, 2, bandColour(bandOf(*facility, settings)))
                    : ReportCell::missing();
}

const QString wholeSchool = QStringLiteral("Szkoła (wszyscy uczniowie)");

QList<ReportCell> classLine(const GroupAnalysis &group, const QString &label,
                            const AnalysisSettings &settings)
{
    const TotalsSummary &t = group.totals;
    QList<ReportCell> cells{ReportCell::textOf(label), ReportCell::integer(t.pupils),
                            ReportCell::integer(t.present)};
    if (t.hasData)
        cells += QList<ReportCell>{ReportCell::decimal(t.mean), ReportCell::decimal(t.median),
                                   ReportCell::integer(t.lowest), ReportCell::integer(t.highest),
                                   ReportCell::decimal(t.standardDeviation)};
    else
        cells += QList<ReportCell>(5, ReportCell::missing());
    cells.append(facilityCell(group.wholeTest.facility, settings));
    cells.append(group.stanine ? ReportCell::integer(*group.stanine)
                               : ReportCell::missing(QStringLiteral("–")));
    return cells;
}

QList<ReportCell> classStandardsLine(const GroupAnalysis &group, const QString &label,
                                     const AnalysisSettings &settings)
{
    QList<ReportCell> cells{ReportCell::textOf(label)};
    for (const ItemFacility &standard : group.standards)
        cells.append(facilityCell(standard.facility, settings));
    cells.append(facilityCell(group.wholeTest.facility, settings));
    return cells;
}

} // namespace

ReportTable classesTable(const AnalysisReport &report, const AnalysisSettings &settings)
{
    ReportTable table;
    table.heading = QStringLiteral("Klasy obok siebie");
    table.header = QStringList{QStringLiteral("Klasa"),         QStringLiteral("Uczniowie"),
                               QStringLiteral("Obecni"),        QStringLiteral("Średnia klasy"),
                               QStringLiteral("Mediana"),       QStringLiteral("Najniższy"),
                               QStringLiteral("Najwyższy"),     QStringLiteral("Odch. std."),
                               QStringLiteral("Łatwość testu"), QStringLiteral("Stanin")};
    for (const GroupAnalysis &group : report.classes)
        table.rows.append(classLine(group, group.label, settings));
    table.rows.append(classLine(report.overall, wholeSchool, settings));
    return table;
}

ReportTable classStandardsTable(const AnalysisReport &report, const AnalysisSettings &settings)
{
    ReportTable table;
    table.lead = QStringLiteral("Łatwość standardów w klasach:");
    table.header = QStringList{QStringLiteral("Klasa")};
    for (const ItemFacility &standard : report.overall.standards)
        table.header.append(standard.label);
    table.header.append(QStringLiteral("Cały test"));
    for (const GroupAnalysis &group : report.classes)
        table.rows.append(classStandardsLine(group, group.label, settings));
    table.rows.append(classStandardsLine(report.overall, wholeSchool, settings));
    return table;
}

ReportTable standardsFacilityTable(const GroupAnalysis &group, const TestDefinition &test,
                                   const AnalysisSettings &settings)
{
    ReportTable table;
    table.heading = QStringLiteral("Łatwość standardów");
    table.header =
        QStringList{QStringLiteral("Standard"), QStringLiteral("Maks. pkt"), QStringLiteral("Średnia pkt"),
                    QStringLiteral("Łatwość"), QStringLiteral("Interpretacja")};
    const bool hasData = group.totals.hasData;
    for (qsizetype k = 0; k < group.standards.size(); ++k)
        table.rows.append(
            QList<ReportCell>{ReportCell::textOf(standardCaption(group.standards[k], test, k))} +
            facilityCells(group.standards[k], hasData, true, settings));
    table.rows.append(QList<ReportCell>{ReportCell::textOf(QStringLiteral("Cały test"))} +
                      facilityCells(group.wholeTest, hasData, true, settings));
    return table;
}

ReportTable tasksFacilityTable(const GroupAnalysis &group, const TestDefinition &test,
                               const AnalysisSettings &settings,
                               const QList<std::optional<double>> &discrimination)
{
    ReportTable table;
    table.heading = QStringLiteral("Łatwość zadań");
    table.header = QStringList{QStringLiteral("Zadanie"),         QStringLiteral("Standard"),
                               QStringLiteral("Maks. pkt"),       QStringLiteral("Średnia pkt"),
                               QStringLiteral("Łatwość"),         QStringLiteral("Interpretacja"),
                               QStringLiteral("Moc różnicująca"), QStringLiteral("Ocena")};
    table.documentOnly = {1};
    table.sheetOnly = {6, 7};
    for (qsizetype t = 0; t < group.tasks.size(); ++t) {
        const ItemFacility &task = group.tasks[t];
        const qint32 k = test.countedStandardOf(t);
        const QString standard = k >= 1 && k <= test.countedStandardCount()
                                     ? test.standardAbbreviations.value(k - 1)
                                     : QStringLiteral("–");
        const std::optional<double> power = discrimination.value(t);
        table.rows.append(QList<ReportCell>{ReportCell::textOf(task.label), ReportCell::textOf(standard)} +
                          facilityCells(task, group.totals.hasData, false, settings) +
                          QList<ReportCell>{power ? ReportCell::decimal(*power) : ReportCell::missing(),
                                            ReportCell::textOf(discriminationText(power))});
    }
    return table;
}
