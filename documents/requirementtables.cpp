#include "documents/requirementtables.h"

#include "analysis/comparison.h"
#include "documents/analysiswords.h"

#include <QHash>

#include <algorithm>

QString requirementsHeading()
{
    return QStringLiteral("Wyniki według wymagań");
}

QString requirementsNote(bool school, bool withCountry)
{
    QString text =
        QStringLiteral("Łatwość wymagania: punkty %1 za zadania, które je sprawdzają, podzielone przez "
                       "maksymalną liczbę punktów za te zadania (wymaganie ogólne obejmuje też "
                       "zadania swoich wymagań szczegółowych). Najtrudniejsze wymagania na górze.")
            .arg(school ? QStringLiteral("uczniów szkoły") : QStringLiteral("uczniów klasy"));
    if (withCountry)
        text += QStringLiteral(" Kraj: łatwość wymagania w kraju, z łatwości jego zadań w kraju ważonych ich "
                               "punktami; różnica w punktach procentowych (dodatnia: lepiej niż w kraju).");
    return text;
}

bool anyCountry(const QList<RequirementFigures> &figures)
{
    return std::any_of(figures.cbegin(), figures.cend(),
                       [](const RequirementFigures &f) { return f.country.has_value(); });
}

namespace {

QList<ReportCell> facilityAndBand(const std::optional<double> &facility, const AnalysisSettings &settings)
{
    if (!facility)
        return {noDataCell(), textCell(noData())};
    const int band = bandOf(*facility, settings);
    return {coloured(decimalCell(*facility), bandColour(band)),
            coloured(textCell(bandName(band)), bandColour(band))};
}
} // namespace

ReportTable requirementsTable(const QList<RequirementFigures> &figures, const TestDefinition &test,
                              const AnalysisSettings &settings)
{
    const bool country = anyCountry(figures);
    ReportTable table;
    table.header = {textCell(QStringLiteral("Wymaganie")),    textCell(QStringLiteral("Opis")),
                    textCell(QStringLiteral("Zadania")),      textCell(QStringLiteral("Maks. pkt")),
                    textCell(QStringLiteral("Średnia pkt")),  textCell(QStringLiteral("Łatwość")),
                    textCell(QStringLiteral("Interpretacja"))};
    if (country)
        table.header += {textCell(QStringLiteral("Kraj")), textCell(QStringLiteral("Różnica"))};
    for (const RequirementFigures &f : figures) {
        QList<ReportCell> cells{textCell(f.requirement.code), textCell(f.requirement.description),
                                textCell(taskLabelsText(f.tasks, test)), integerCell(f.maxPoints),
                                f.facility ? decimalCell(f.meanPoints) : noDataCell()};
        cells += facilityAndBand(f.facility, settings);
        if (country) {
            cells.append(f.country ? decimalCell(*f.country) : missingCell());
            cells.append(f.country && f.facility ? differenceCell(differenceInPoints(*f.facility, *f.country))
                                                 : missingCell());
        }
        table.add(cells);
    }
    return table;
}

QString revisionHeading(bool school)
{
    return school ? QStringLiteral("Do powtórzenia w szkole") : QStringLiteral("Do powtórzenia w klasie");
}

ReportTable revisionTable(const QList<RequirementFigures> &figures, const TestDefinition &test)
{
    ReportTable table;
    table.header = {textCell(QStringLiteral("Wymaganie")), textCell(QStringLiteral("Opis")),
                    textCell(QStringLiteral("Łatwość")), textCell(QStringLiteral("Zadania"))};
    for (const RequirementFigures &f : figures) {
        if (f.facility && *f.facility < 0.5)
            table.add({textCell(f.requirement.code), textCell(f.requirement.description),
                       decimalCell(*f.facility), textCell(taskLabelsText(f.tasks, test))});
    }
    return table;
}

QString nothingToRevise()
{
    return QStringLiteral("Żadne wymaganie nie ma łatwości poniżej 0,50.");
}

QString classRequirementsHeading()
{
    return QStringLiteral("Wyniki według wymagań w klasach");
}

QList<ReportTable> classRequirementsTables(const AnalysisReport &report,
                                           const QList<RequirementFigures> &school,
                                           const TestDefinition &test, const AnalysisSettings &settings)
{
    // Each class's facility per requirement, found by code.
    const ComparisonFigures none;
    QList<QHash<QString, std::optional<double>>> classes;
    for (const GroupAnalysis &group : report.classes) {
        QHash<QString, std::optional<double>> facilities;
        for (const RequirementFigures &f : requirementFigures(group, test, none))
            facilities.insert(f.requirement.code, f.facility);
        classes.append(facilities);
    }
    const QStringList labels = classLabels(report);
    // Eight classes beside the requirement still fit an A4 page upright.
    constexpr qsizetype perTable = 8;
    QList<ReportTable> tables;
    for (qsizetype from = 0; from < classes.size(); from += perTable) {
        const qsizetype to = std::min(classes.size(), from + perTable);
        ReportTable table;
        table.header = {textCell(QStringLiteral("Wymaganie")), textCell(QStringLiteral("Szkoła"))};
        for (qsizetype c = from; c < to; ++c)
            table.header.append(textCell(labels.value(c)));
        for (const RequirementFigures &f : school) {
            QList<ReportCell> cells{textCell(f.requirement.code),
                                    facilityAndBand(f.facility, settings).first()};
            for (qsizetype c = from; c < to; ++c)
                cells.append(facilityAndBand(classes[c].value(f.requirement.code), settings).first());
            table.add(cells);
        }
        tables.append(table);
    }
    return tables;
}
