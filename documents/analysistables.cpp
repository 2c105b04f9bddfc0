#include "documents/analysistables.h"

#include "analysis/histogram.h"
#include "documents/analysiswords.h"

#include "core/numbers.h"

#include <algorithm>

namespace {

const QString schoolLine = QStringLiteral("Szkoła (wszyscy uczniowie)");

// A figure of the "Szkoła" page, with the digits the page shows.
ReportCell pageCell(bool known, float value)
{
    return known ? decimalCell(schoolPageValue(value)) : missingCell();
}

// A row's cells, moved into the row where a brace-enclosed list would copy each.
template <typename... Cells> QList<ReportCell> cellsOf(Cells &&...cells)
{
    QList<ReportCell> row;
    row.reserve(sizeof...(Cells));
    (row.append(std::forward<Cells>(cells)), ...);
    return row;
}

QList<ReportCell> texts(const QStringList &names)
{
    QList<ReportCell> cells;
    cells.reserve(names.size());
    for (const QString &name : names)
        cells.append(textCell(name));
    return cells;
}

// A figure, or "brak danych" when the group has no results.
ReportCell ifData(bool hasData, const ReportCell &cell)
{
    return hasData ? cell : noDataCell();
}

ReportCell facilityCell(const std::optional<double> &facility, const AnalysisSettings &settings)
{
    return facility ? coloured(decimalCell(*facility), bandColour(bandOf(*facility, settings)))
                    : noDataCell();
}

// The facility and its band, coloured; "brak danych" in both without a facility.
QList<ReportCell> facilityCells(const std::optional<double> &facility, bool masculine,
                                const AnalysisSettings &settings)
{
    if (!facility)
        return {noDataCell(), textCell(noData())};
    const int band = bandOf(*facility, settings);
    const QString colour = bandColour(band);
    return {coloured(decimalCell(*facility), colour),
            coloured(textCell(masculine ? bandNameMasculine(band) : bandName(band)), colour)};
}

QList<ReportCell> itemCells(const ReportCell &label, const ItemFacility &item, bool hasData)
{
    return {label, integerCell(item.maxPoints), ifData(hasData, decimalCell(item.meanPoints))};
}

// A figure the board published, with up to four decimals: the document rounds it like every
// facility, the sheet keeps it as entered.
ReportCell areaCell(const std::optional<double> &area)
{
    if (!area)
        return missingCell();
    ReportCell cell = decimalCell(*area);
    const QString shown = facilityText(*area);
    const qsizetype comma = shown.indexOf(u',');
    cell.sheetDecimals = comma < 0 ? 0 : int(shown.size() - comma - 1);
    return cell;
}

QString weakPupilEntries(const QList<WeakPupil> &pupils, bool school)
{
    if (pupils.isEmpty())
        return QStringLiteral("nikt");
    QStringList entries;
    QString currentClass;
    for (const WeakPupil &pupil : pupils) {
        QString entry = QStringLiteral("%1 – %2 (%3)")
                            .arg(pupil.row)
                            .arg(pupil.code.isEmpty() ? QStringLiteral("bez kodu") : pupil.code,
                                 polishDecimal(pupil.facility));
        // In the school's list each class's pupils follow its label.
        if (school && pupil.classLabel != currentClass) {
            currentClass = pupil.classLabel;
            entry = currentClass + QStringLiteral(": ") + entry;
        }
        entries.append(entry);
    }
    return entries.join(QStringLiteral("; "));
}

} // namespace

ReportTable totalsTable(const AnalysisReport &report)
{
    const GroupAnalysis &group = report.overall;
    const bool school = report.school;
    const TotalsSummary &t = group.totals;
    ReportTable table;
    table.rows.reserve(11);
    table.heading = QStringLiteral("Suma punktów");
    if (school)
        table.note = schoolMeanNote();
    const auto line = [&](const QString &label, const ReportCell &cell) {
        table.add(cellsOf(textCell(label), cell));
    };
    line(school ? QStringLiteral("Uczniowie szkoły (w klasach z wynikami)")
                : QStringLiteral("Uczniowie klasy"),
         integerCell(t.pupils));
    line(QStringLiteral("Obecni na teście"), integerCell(t.present));
    line(QStringLiteral("Nieobecni"), integerCell(t.absent));
    line(meanCaption(school), ifData(t.hasData, decimalCell(t.mean)));
    if (school)
        line(classMeansCaption(), pageCell(report.page.wholeTest.known, report.page.wholeTest.average));
    line(QStringLiteral("Mediana"), ifData(t.hasData, decimalCell(t.median)));
    // When no total repeats, every total is "most frequent": listing them all would read as modes.
    if (t.hasData && t.present > 1 && t.modes.size() == t.present)
        line(modesCaption(1), textCell(QStringLiteral("brak – każdy wynik wystąpił jeden raz")));
    else
        line(modesCaption(t.modes.size()), ifData(t.hasData, integersCell({t.modes.begin(), t.modes.end()})));
    line(QStringLiteral("Wynik najniższy"), ifData(t.hasData, integerCell(t.lowest)));
    line(QStringLiteral("Wynik najwyższy"), ifData(t.hasData, integerCell(t.highest)));
    line(QStringLiteral("Rozstęp"), ifData(t.hasData, integerCell(t.range)));
    line(QStringLiteral("Odchylenie standardowe (populacji)"),
         ifData(t.hasData, decimalCell(t.standardDeviation)));
    if (group.stanine)
        line(QStringLiteral("Stanin średniej"),
             named(integerCell(*group.stanine), stanineName(*group.stanine)));
    return table;
}

ReportTable classesTable(const AnalysisReport &report, const AnalysisSettings &settings)
{
    ReportTable table;
    table.heading = QStringLiteral("Klasy obok siebie");
    table.header =
        texts({QStringLiteral("Klasa"), QStringLiteral("Uczniowie"), QStringLiteral("Obecni"),
               QStringLiteral("Średnia klasy"), QStringLiteral("Mediana"), QStringLiteral("Najniższy"),
               QStringLiteral("Najwyższy"), QStringLiteral("Odch. std."), QStringLiteral("Łatwość testu"),
               QStringLiteral("Stanin")});
    const auto line = [&](const GroupAnalysis &group, const QString &label) {
        const TotalsSummary &t = group.totals;
        table.add(cellsOf(textCell(label), integerCell(t.pupils), integerCell(t.present),
                          ifData(t.hasData, decimalCell(t.mean)), ifData(t.hasData, decimalCell(t.median)),
                          ifData(t.hasData, integerCell(t.lowest)), ifData(t.hasData, integerCell(t.highest)),
                          ifData(t.hasData, decimalCell(t.standardDeviation)),
                          facilityCell(group.wholeTest.facility, settings),
                          group.stanine ? integerCell(*group.stanine) : missingCell()));
    };
    for (const GroupAnalysis &group : report.classes)
        line(group, group.label);
    // The page's figures between the classes and all the pupils: what the staff saw on the screen.
    const SchoolValue &page = report.page.wholeTest;
    QList<ReportCell> means(table.header.size(), missingCell());
    means[0] = textCell(classMeansCaption());
    means[3] = pageCell(page.known, page.average);
    if (page.known)
        means[8] = facilityCell(schoolPageValue(page.facility), settings);
    table.add(std::move(means));
    line(report.overall, schoolLine);
    return table;
}

ReportTable classStandardsTable(const AnalysisReport &report, const AnalysisSettings &settings)
{
    ReportTable table;
    table.note = QStringLiteral("Łatwość standardów w klasach:");
    table.header = {textCell(QStringLiteral("Klasa"))};
    for (const ItemFacility &standard : report.overall.standards)
        table.header.append(textCell(standard.label));
    table.header.append(textCell(QStringLiteral("Cały test")));
    const auto line = [&](const GroupAnalysis &group, const QString &label) {
        QList<ReportCell> cells{textCell(label)};
        for (const ItemFacility &standard : group.standards)
            cells.append(facilityCell(standard.facility, settings));
        cells.append(facilityCell(group.wholeTest.facility, settings));
        table.add(cells);
    };
    for (const GroupAnalysis &group : report.classes)
        line(group, group.label);
    line(report.overall, schoolLine);
    return table;
}

ReportTable standardsTable(const GroupAnalysis &group, const TestDefinition &test,
                           const AnalysisSettings &settings)
{
    ReportTable table;
    table.heading = QStringLiteral("Łatwość standardów");
    table.header =
        texts({QStringLiteral("Standard"), QStringLiteral("Maks. pkt"), QStringLiteral("Średnia pkt"),
               QStringLiteral("Łatwość"), QStringLiteral("Interpretacja")});
    const bool hasData = group.totals.hasData;
    table.rows.reserve(group.standards.size() + 1);
    for (qsizetype k = 0; k < group.standards.size(); ++k) {
        const ItemFacility &standard = group.standards[k];
        table.add(itemCells(textCell(standardCaption(standard, test, k)), standard, hasData) +
                  facilityCells(standard.facility, true, settings));
    }
    table.add(itemCells(textCell(QStringLiteral("Cały test")), group.wholeTest, hasData) +
              facilityCells(group.wholeTest.facility, true, settings));
    return table;
}

ReportTable tasksTable(const GroupAnalysis &group, const TestDefinition &test,
                       const AnalysisSettings &settings, const QList<std::optional<double>> &discrimination)
{
    ReportTable table;
    table.heading = QStringLiteral("Łatwość zadań");
    table.header =
        texts({QStringLiteral("Zadanie"), QStringLiteral("Standard"), QStringLiteral("Maks. pkt"),
               QStringLiteral("Średnia pkt"), QStringLiteral("Łatwość"), QStringLiteral("Interpretacja"),
               QStringLiteral("Moc różnicująca"), QStringLiteral("Ocena")});
    // The standard on paper, where the task's row has room; the task's quality in the sheet, which
    // keeps the figures of a task on one line.
    table.columns = {ReportOutput::Both,      ReportOutput::DocumentOnly, ReportOutput::Both,
                     ReportOutput::Both,      ReportOutput::Both,         ReportOutput::Both,
                     ReportOutput::SheetOnly, ReportOutput::SheetOnly};
    table.rows.reserve(group.tasks.size());
    for (qsizetype t = 0; t < group.tasks.size(); ++t) {
        const ItemFacility &task = group.tasks[t];
        const qint32 k = test.countedStandardOf(t);
        const QString standard = k >= 1 && k <= test.countedStandardCount()
                                     ? test.standardAbbreviations.value(k - 1)
                                     : QStringLiteral("–");
        // The task, its standard, its points, facility and band, and its discrimination.
        QList<ReportCell> cells;
        cells.reserve(8);
        cells.append(textCell(task.label));
        cells.append(textCell(standard));
        cells.append(integerCell(task.maxPoints));
        cells.append(ifData(group.totals.hasData, decimalCell(task.meanPoints)));
        cells.append(facilityCells(task.facility, false, settings));
        const std::optional<double> power = discrimination.value(t);
        cells.append(power ? decimalCell(*power) : missingCell());
        cells.append(textCell(discriminationText(power)));
        table.add(std::move(cells));
    }
    return table;
}

ReportTable legendTable(const AnalysisSettings &settings)
{
    ReportTable table;
    table.note = QStringLiteral("Interpretacja łatwości:");
    table.header =
        texts({QStringLiteral("Łatwość od"), QStringLiteral("do"), QStringLiteral("Interpretacja")});
    for (int band = 0; band < bandCount; ++band) {
        const BandBounds bounds = bandBounds(band, settings);
        const QString colour = bandColour(band);
        table.add(cellsOf(coloured(decimalCell(bounds.lower), colour),
                          coloured(decimalCell(bounds.upper), colour),
                          coloured(textCell(bandName(band)), colour)));
    }
    return table;
}

ReportTable weakPupilsTable(const AnalysisReport &report)
{
    const GroupAnalysis &group = report.overall;
    ReportTable table;
    table.heading = weakPupilsTitle();
    table.note = weakPupilsIntro();
    // The document lists a standard's pupils in one cell; the sheet gives each a line under the
    // standard's line with its count, so that the groups can be sorted.
    table.header =
        texts({QStringLiteral("Standard"), QStringLiteral("Liczba uczniów"), QStringLiteral("Uczniowie")});
    table.columns = {ReportOutput::Both, ReportOutput::Both, ReportOutput::DocumentOnly};
    if (report.school) {
        table.header.append(textCell(QStringLiteral("Klasa")));
        table.columns.append(ReportOutput::SheetOnly);
    }
    table.header += texts({QStringLiteral("Nr"), QStringLiteral("Kod ucznia"), QStringLiteral("Łatwość")});
    table.columns += {ReportOutput::SheetOnly, ReportOutput::SheetOnly, ReportOutput::SheetOnly};
    for (qsizetype k = 0; k < group.weakPupils.size(); ++k) {
        const QList<WeakPupil> &pupils = group.weakPupils[k];
        const QString label = group.standards.value(k).label;
        QList<ReportCell> first = cellsOf(textCell(label), integerCell(pupils.size()),
                                          textCell(weakPupilEntries(pupils, report.school)));
        if (pupils.isEmpty())
            first.append(textCell(QStringLiteral("nikt")));
        table.add(std::move(first));
        for (const WeakPupil &pupil : pupils) {
            QList<ReportCell> cells;
            cells.reserve(7);
            cells.append(textCell(label));
            cells.append(ReportCell{});
            cells.append(ReportCell{});
            if (report.school)
                cells.append(textCell(pupil.classLabel));
            cells.append(integerCell(pupil.row));
            cells.append(textCell(pupil.code.isEmpty() ? QStringLiteral("bez kodu") : pupil.code));
            cells.append(decimalCell(pupil.facility));
            table.add(std::move(cells), ReportOutput::SheetOnly);
        }
    }
    return table;
}

ReportTable histogramTable(const AnalysisReport &report)
{
    const GroupAnalysis &group = report.overall;
    ReportTable table;
    // The bars as the document draws them: one per total, or one per band of totals.
    table.heading = histogramTitle(report);
    const HistogramBars bars = histogramBars(group.histogram);
    if (bars.width == 1)
        table.header = texts({QStringLiteral("Suma punktów"), QStringLiteral("Liczba uczniów")});
    else
        table.header = texts(
            {QStringLiteral("Suma punktów od"), QStringLiteral("do"), QStringLiteral("Liczba uczniów")});
    const qsizetype totals = group.histogram.size();
    table.rows.reserve(bars.counts.size());
    for (qsizetype bar = 0; bar < bars.counts.size(); ++bar) {
        const qsizetype first = bar * bars.width;
        if (bars.width == 1)
            table.add(cellsOf(integerCell(first), integerCell(bars.counts[bar])));
        else
            table.add(cellsOf(integerCell(first), integerCell(std::min(first + bars.width, totals) - 1),
                              integerCell(bars.counts[bar])));
    }
    return table;
}

ReportTable comparisonTable(const QString &first, bool school, const QList<ComparisonLine> &lines)
{
    // Each line's cells are counted before they are made: a test has dozens of lines.
    constexpr qsizetype columns = 3 + 2 * areaCount;
    ReportTable table;
    table.rows.reserve(lines.size());
    table.header = {textCell(first), textCell(school ? QStringLiteral("Szkoła") : QStringLiteral("Klasa"))};
    for (const Area area : allAreas)
        table.header += {textCell(areaName(area)), textCell(QStringLiteral("różnica"))};
    table.header.append(textCell(QStringLiteral("poniżej kraju")));
    table.columns = QList<ReportOutput>(table.header.size(), ReportOutput::Both);
    table.columns.last() = ReportOutput::SheetOnly;
    for (const ComparisonLine &line : lines) {
        const QString colour = line.marked ? QStringLiteral("#f4a6a6") : QString();
        QList<ReportCell> cells;
        cells.reserve(columns);
        cells.append(coloured(textCell(line.label), colour));
        cells.append(line.own ? decimalCell(*line.own) : noDataCell());
        for (int a = 0; a < areaCount; ++a) {
            const std::optional<int> &difference = line.differences[std::size_t(a)];
            cells.append(areaCell(line.areas[std::size_t(a)]));
            cells.append(coloured(difference ? differenceCell(*difference) : missingCell(),
                                  a == 0 ? colour : QString()));
        }
        cells.append(textCell(line.marked ? QStringLiteral("tak") : QString()));
        table.add(std::move(cells));
    }
    return table;
}

ReportTable scoreBandsTable(const ScoreBands &bands)
{
    ReportTable table;
    table.add({textCell(QStringLiteral("Uczniowie z co najmniej 80% punktów")), integerCell(bands.atLeast80),
               shareCell(bands.shareAtLeast80)});
    table.add({textCell(QStringLiteral("Uczniowie z mniej niż 50% punktów")), integerCell(bands.below50),
               shareCell(bands.shareBelow50)});
    return table;
}

ReportTable stanineSpreadTable(const StanineSpread &spread)
{
    ReportTable table;
    table.header = {textCell(QStringLiteral("Stanin"))};
    QList<ReportCell> counts{textCell(QStringLiteral("Liczba uczniów"))};
    for (int k = 0; k < 9; ++k) {
        table.header.append(integerCell(k + 1));
        counts.append(integerCell(spread.counts[std::size_t(k)]));
    }
    table.add(counts);
    return table;
}

ReportTable stanineGroupsTable(const StanineSpread &spread)
{
    ReportTable table;
    const int groups[] = {spread.low, spread.middle, spread.high};
    for (int g = 0; g < 3; ++g)
        table.add({textCell(QStringLiteral("Staniny ") + stanineGroupName(g)), integerCell(groups[g])});
    return table;
}

ReportTable pupilNormsTable(const NormsFigures &norms, bool school)
{
    ReportTable table;
    // The sheet names each pupil's class, for the school's pupils sorted together.
    table.header =
        texts({QStringLiteral("Klasa"), QStringLiteral("Nr"), QStringLiteral("Kod ucznia"),
               QStringLiteral("Suma pkt"), QStringLiteral("% maks."), QStringLiteral("Ranga w klasie")});
    table.columns = {ReportOutput::SheetOnly};
    const bool ranked = school || norms.rankedInSchool;
    if (ranked)
        table.header.append(textCell(QStringLiteral("Ranga w szkole")));
    if (norms.hasStanines)
        table.header.append(textCell(QStringLiteral("Stanin")));
    table.rows.reserve(norms.pupils.size());
    for (const PupilNorm &pupil : norms.pupils) {
        QList<ReportCell> cells;
        cells.reserve(8);
        cells.append(textCell(pupil.classLabel));
        cells.append(integerCell(pupil.row));
        cells.append(pupil.code.isEmpty() ? noNameCell(QStringLiteral("bez kodu")) : textCell(pupil.code));
        cells.append(integerCell(pupil.total));
        cells.append(pupil.percentOfMax ? percentCell(*pupil.percentOfMax, 0) : noDataCell());
        cells.append(decimalCell(pupil.percentileInClass, 0));
        if (ranked)
            cells.append(decimalCell(pupil.percentileInSchool, 0));
        if (norms.hasStanines)
            cells.append(integerCell(pupil.stanine));
        table.add(std::move(cells));
    }
    return table;
}

ReportTable alphaTable(const QualityFigures &quality)
{
    ReportTable table;
    table.add({textCell(QStringLiteral("Alfa Cronbacha")),
               quality.alpha ? decimalCell(*quality.alpha) : missingCell(),
               textCell(alphaText(quality.alpha))});
    return table;
}

ReportTable discriminationTable(const GroupAnalysis &group, const QualityFigures &quality)
{
    ReportTable table;
    table.header =
        texts({QStringLiteral("Zadanie"), QStringLiteral("Moc różnicująca"), QStringLiteral("Ocena")});
    table.rows.reserve(group.tasks.size());
    for (qsizetype t = 0; t < group.tasks.size(); ++t) {
        const std::optional<double> value = quality.discrimination.value(t);
        table.add(cellsOf(textCell(group.tasks[t].label), value ? decimalCell(*value) : missingCell(),
                          textCell(discriminationText(value))));
    }
    return table;
}

ReportTable choicesTable(const ChoiceTable &choices, const QString &heading)
{
    ReportTable table;
    table.heading = heading;
    table.header = {textCell(QStringLiteral("Zadanie")), textCell(QStringLiteral("Klucz"))};
    for (const QChar symbol : choices.symbols)
        table.header.append(textCell(QString(symbol)));
    table.header += {textCell(QStringLiteral("brak odpowiedzi")), textCell(QStringLiteral("łatwość"))};
    // Whole per cent in the document; the sheet keeps a tenth for those who count on.
    const auto share = [](double percent) {
        ReportCell cell = percentCell(percent, 0);
        cell.sheetDecimals = 1;
        return cell;
    };
    for (const ChoiceTask &task : choices.tasks) {
        for (qsizetype p = 0; p < task.parts.size(); ++p) {
            const ChoicePart &part = task.parts[p];
            QList<ReportCell> cells{textCell(choicePartName(task, p)), textCell(QString(part.key))};
            for (const QChar symbol : choices.symbols) {
                const qsizetype at = part.answers.indexOf(symbol);
                if (at < 0 || task.known == 0)
                    cells.append(at < 0 ? ReportCell{} : noDataCell());
                else
                    cells.append(symbol == part.key ? strong(share(part.shares[at]))
                                                    : share(part.shares[at]));
            }
            cells.append(task.known == 0 ? noDataCell() : share(part.noAnswer));
            // The facility is the whole task's: on its first line.
            cells.append(p > 0 ? ReportCell{} : task.facility ? decimalCell(*task.facility) : noDataCell());
            table.add(cells);
        }
    }
    return table;
}

namespace {
// Whether a wrong answer drew more of the pupils than the key, and the key's share.
struct KeyShare {
    double share = 0;
    bool beaten = false;
};

KeyShare keyShare(const ChoicePart &part)
{
    KeyShare figures{part.shares.value(part.answers.indexOf(part.key)), false};
    for (qsizetype s = 0; s < part.answers.size(); ++s)
        figures.beaten =
            figures.beaten || (part.answers[s] != part.key && part.shares.value(s) > figures.share);
    return figures;
}
} // namespace

QList<ReportTable> classChoicesTables(const QList<ChoiceTable> &classes, const QStringList &labels)
{
    // Eight classes beside the task and its key still fit an A4 page upright.
    constexpr qsizetype perTable = 8;
    QList<ReportTable> tables;
    const ChoiceTable &first = classes.value(0);
    for (qsizetype from = 0; from < classes.size(); from += perTable) {
        const qsizetype to = std::min(classes.size(), from + perTable);
        ReportTable table;
        table.header = {textCell(QStringLiteral("Zadanie")), textCell(QStringLiteral("Klucz"))};
        for (qsizetype c = from; c < to; ++c)
            table.header.append(textCell(labels.value(c)));
        for (qsizetype t = 0; t < first.tasks.size(); ++t) {
            const ChoiceTask &task = first.tasks[t];
            for (qsizetype p = 0; p < task.parts.size(); ++p) {
                QList<ReportCell> cells{textCell(choicePartName(task, p)),
                                        textCell(QString(task.parts[p].key))};
                for (qsizetype c = from; c < to; ++c) {
                    const ChoiceTask &own = classes[c].tasks.value(t);
                    if (own.known == 0 || p >= own.parts.size()) {
                        cells.append(noDataCell());
                        continue;
                    }
                    const KeyShare figures = keyShare(own.parts[p]);
                    ReportCell cell = percentCell(figures.share, 0);
                    cell.sheetDecimals = 1;
                    cells.append(figures.beaten ? coloured(cell, QStringLiteral("#f4a6a6")) : cell);
                }
                table.add(cells);
            }
        }
        tables.append(table);
    }
    return tables;
}
