#include "documents/analysissheet.h"
#include "analysis/analysisreport.h"

#include "analysis/histogram.h"
#include "documents/analysisdocument.h"
#include "documents/analysistables.h"

#include "core/numbers.h"

namespace {

SheetCell text(const QString &value, bool bold = false)
{
    SheetCell cell;
    cell.text = value;
    cell.bold = bold;
    return cell;
}

SheetCell number(double value, int decimals)
{
    SheetCell cell;
    // Two decimals hold the figure the report prints: a spreadsheet would round 0.625 up to 0,63
    // where the grids and the report show 0,62.
    cell.number = decimals == 2 ? roundedToHundredths(value) : value;
    cell.decimals = decimals;
    return cell;
}

SheetCell optionalNumber(const std::optional<double> &value, int decimals)
{
    return value ? number(*value, decimals) : SheetCell{};
}

QList<SheetCell> heads(const QStringList &names)
{
    QList<SheetCell> cells;
    for (const QString &name : names)
        cells.append(text(name, true));
    return cells;
}

struct Builder {
    Sheet sheet;
    void line(const QList<SheetCell> &cells) { sheet.rows.append(cells); }
    void gap() { sheet.rows.append(QList<SheetCell>()); }
    void heading(const QString &name)
    {
        gap();
        line({text(name, true)});
    }
};

} // namespace

namespace {

// The pupils' totals: their counts, mean, median, modes, range and spread.
void addTotals(Builder &b, const AnalysisReport &report)
{
    const GroupAnalysis &group = report.overall;
    const TotalsSummary &t = group.totals;
    b.heading(QStringLiteral("Suma punktów"));
    if (report.school)
        b.line({text(schoolMeanNote())});
    b.line({text(report.school ? QStringLiteral("Uczniowie szkoły (w klasach z wynikami)")
                               : QStringLiteral("Uczniowie klasy")),
            number(t.pupils, 0)});
    b.line({text(QStringLiteral("Obecni na teście")), number(t.present, 0)});
    b.line({text(QStringLiteral("Nieobecni")), number(t.absent, 0)});
    if (t.hasData) {
        b.line({text(meanCaption(report.school)), number(t.mean, 2)});
        b.line({text(QStringLiteral("Mediana")), number(t.median, 2)});
        QList<SheetCell> modes{text(modesCaption(t.modes.size()))};
        for (const int mode : t.modes)
            modes.append(number(mode, 0));
        b.line(modes);
        b.line({text(QStringLiteral("Wynik najniższy")), number(t.lowest, 0)});
        b.line({text(QStringLiteral("Wynik najwyższy")), number(t.highest, 0)});
        b.line({text(QStringLiteral("Rozstęp")), number(t.range, 0)});
        b.line({text(QStringLiteral("Odchylenie standardowe (populacji)")), number(t.standardDeviation, 2)});
    }
    if (group.stanine)
        b.line({text(QStringLiteral("Stanin średniej")), number(*group.stanine, 0),
                text(stanineName(*group.stanine))});
}

// The histogram's bars as the report draws them: one per total, or one per band of totals.
void addHistogram(Builder &b, const AnalysisReport &report)
{
    const GroupAnalysis &group = report.overall;
    // The histogram's bars as the report draws them: one per total, or one per band of totals.
    b.heading(histogramTitle(report));
    const HistogramBars bars = histogramBars(group.histogram);
    if (bars.width == 1)
        b.line(heads({QStringLiteral("Suma punktów"), QStringLiteral("Liczba uczniów")}));
    else
        b.line(heads(
            {QStringLiteral("Suma punktów od"), QStringLiteral("do"), QStringLiteral("Liczba uczniów")}));
    const qsizetype totals = group.histogram.size();
    for (qsizetype bar = 0; bar < bars.counts.size(); ++bar) {
        const qsizetype first = bar * bars.width;
        if (bars.width == 1)
            b.line({number(double(first), 0), number(bars.counts[bar], 0)});
        else
            b.line({number(double(first), 0), number(double(std::min(first + bars.width, totals) - 1), 0),
                    number(bars.counts[bar], 0)});
    }
}

// The facility bands' bounds and names.
void addBandLegend(Builder &b, const AnalysisSettings &settings)
{
    b.gap();
    b.line({text(QStringLiteral("Interpretacja łatwości:"))});
    b.line(heads({QStringLiteral("Łatwość od"), QStringLiteral("do"), QStringLiteral("Interpretacja")}));
    for (int band = 0; band < bandCount; ++band) {
        const BandBounds bounds = bandBounds(band, settings);
        b.line({number(bounds.lower, 2), number(bounds.upper, 2), text(bandName(band))});
    }
}

// The pupils below one half in each standard: a line per pupil under the standard's line with its count, so
// that the groups can be sorted.
void addWeakPupils(Builder &b, const AnalysisReport &report)
{
    const GroupAnalysis &group = report.overall;
    b.heading(weakPupilsTitle());
    b.line({text(weakPupilsIntro())});
    // A line per pupil, under the standard's line with its count, so that the groups can be sorted.
    QStringList weakNames{QStringLiteral("Standard"), QStringLiteral("Liczba uczniów")};
    if (report.school)
        weakNames.append(QStringLiteral("Klasa"));
    weakNames += QStringList{QStringLiteral("Nr"), QStringLiteral("Kod ucznia"), QStringLiteral("Łatwość")};
    b.line(heads(weakNames));
    for (qsizetype k = 0; k < group.weakPupils.size(); ++k) {
        const QList<WeakPupil> &pupils = group.weakPupils[k];
        const QString label = group.standards.value(k).label;
        QList<SheetCell> first{text(label), number(double(pupils.size()), 0)};
        if (pupils.isEmpty())
            first.append(text(QStringLiteral("nikt")));
        b.line(first);
        for (const WeakPupil &pupil : pupils) {
            QList<SheetCell> cells{text(label), SheetCell{}};
            if (report.school)
                cells.append(text(pupil.classLabel));
            cells += QList<SheetCell>{number(pupil.row, 0),
                                      text(pupil.code.isEmpty() ? QStringLiteral("bez kodu") : pupil.code),
                                      number(pupil.facility, 2)};
            b.line(cells);
        }
    }
}

// The class or school against the country, the province, the district and the municipality.
void addComparison(Builder &b, const AnalysisReport &report, const ComparisonTable &comparison)
{
    b.heading(QStringLiteral("Porównanie z krajem, województwem, powiatem i gminą"));
    if (!comparison.hasFigures) {
        b.line({text(noComparisonText())});
    } else {
        QStringList names{QStringLiteral("Zadanie / standard"),
                          report.school ? QStringLiteral("Szkoła") : QStringLiteral("Klasa")};
        for (const Area area : allAreas)
            names += QStringList{areaName(area), QStringLiteral("różnica")};
        names.append(QStringLiteral("poniżej kraju"));
        b.line(heads(names));
        for (const ComparisonLine &line :
             comparison.standards + QList<ComparisonLine>{comparison.wholeTest} + comparison.tasks) {
            QList<SheetCell> cells{text(line.label), optionalNumber(line.own, 2)};
            for (int a = 0; a < areaCount; ++a) {
                // The area's figure as entered, with up to four decimals.
                const std::optional<double> &area = line.areas[std::size_t(a)];
                if (area) {
                    const QString shown = facilityText(*area);
                    const qsizetype comma = shown.indexOf(u',');
                    cells.append(number(*area, comma < 0 ? 0 : int(shown.size() - comma - 1)));
                } else {
                    cells.append(SheetCell{});
                }
                const std::optional<int> &difference = line.differences[std::size_t(a)];
                cells.append(difference ? number(*difference, 0) : SheetCell{});
            }
            cells.append(text(line.marked ? QStringLiteral("tak") : QString()));
            b.line(cells);
        }
        b.line({text(comparisonBelowText(comparison))});
    }
}

// Where the pupils stand: the shares at both ends, the stanines and each pupil's ranks.
void addNorms(Builder &b, const AnalysisReport &report, const NormsFigures &norms)
{
    b.heading(QStringLiteral("Wyniki uczniów na tle norm"));
    if (norms.unstable)
        b.line({text(unstableNote())});
    b.line({text(QStringLiteral("Uczniowie z co najmniej 80% punktów")), number(norms.bands.atLeast80, 0),
            number(norms.bands.shareAtLeast80, 2)});
    b.line({text(QStringLiteral("Uczniowie z mniej niż 50% punktów")), number(norms.bands.below50, 0),
            number(norms.bands.shareBelow50, 2)});
    if (norms.hasStanines) {
        QList<SheetCell> head{text(QStringLiteral("Stanin"), true)};
        QList<SheetCell> counts{text(QStringLiteral("Liczba uczniów"))};
        for (int k = 0; k < 9; ++k) {
            head.append(number(k + 1, 0));
            counts.append(number(norms.spread.counts[std::size_t(k)], 0));
        }
        b.line(head);
        b.line(counts);
        const int groups[] = {norms.spread.low, norms.spread.middle, norms.spread.high};
        for (int g = 0; g < 3; ++g)
            b.line({text(QStringLiteral("Staniny ") + stanineGroupName(g)), number(groups[g], 0)});
    }
    QStringList names{QStringLiteral("Klasa"),      QStringLiteral("Nr"),
                      QStringLiteral("Kod ucznia"), QStringLiteral("Suma pkt"),
                      QStringLiteral("% maks."),    QStringLiteral("Ranga w klasie")};
    if (report.school || norms.rankedInSchool)
        names.append(QStringLiteral("Ranga w szkole"));
    if (norms.hasStanines)
        names.append(QStringLiteral("Stanin"));
    b.line(heads(names));
    for (const PupilNorm &pupil : norms.pupils) {
        QList<SheetCell> cells{text(pupil.classLabel),
                               number(pupil.row, 0),
                               text(pupil.code),
                               number(pupil.total, 0),
                               optionalNumber(pupil.percentOfMax, 0),
                               number(pupil.percentileInClass, 0)};
        if (report.school || norms.rankedInSchool)
            cells.append(number(pupil.percentileInSchool, 0));
        if (norms.hasStanines)
            cells.append(number(pupil.stanine, 0));
        b.line(cells);
    }
}

} // namespace

Sheet analysisSheet(const AnalysisReport &report, const StaffMeetingFigures &figures,
                    const TestDefinition &test, const AnalysisSettings &settings)
{
    Builder b;
    b.sheet.name = QStringLiteral("Analiza");
    b.sheet.frozenRows = 1;
    b.sheet.columnWidths = {30, 12, 12, 12, 12, 22, 14, 22};
    const GroupAnalysis &group = report.overall;
    b.line({text(analysisTitle(report), true)});
    b.line({text(test.testName + QStringLiteral(": ") + test.testDate)});
    for (const QString &note : report.notes)
        b.line({text(note)});

    b.heading(QStringLiteral("Podsumowanie"));
    for (const QString &sentence : report.sentences)
        b.line({text(sentence)});

    addTotals(b, report);
    addHistogram(b, report);
    if (report.school) {
        appendReportTable(&b.sheet, classesTable(report, settings));
        appendReportTable(&b.sheet, classStandardsTable(report, settings));
    }
    appendReportTable(&b.sheet, standardsFacilityTable(group, test, settings));
    appendReportTable(&b.sheet, tasksFacilityTable(group, test, settings, figures.quality.discrimination));
    addBandLegend(b, settings);
    addWeakPupils(b, report);
    addComparison(b, report, figures.comparison);
    addNorms(b, report, figures.norms);
    b.heading(QStringLiteral("Jakość testu"));
    b.line({text(QStringLiteral("Alfa Cronbacha")), optionalNumber(figures.quality.alpha, 2),
            text(alphaText(figures.quality.alpha))});
    return b.sheet;
}

Sheet analysisSheetNote(const QString &note)
{
    Sheet sheet;
    sheet.name = QStringLiteral("Analiza");
    sheet.rows = {{text(note)}};
    return sheet;
}
