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

} // namespace

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
