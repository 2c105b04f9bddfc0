#include "analysis/norms.h"
#include "core/numbers.h"

#include "analysis/analysissettings.h"
#include "files/inifile.h"

#include <algorithm>

int pupilTotal(const PupilResult &pupil, const TestDefinition &test)
{
    qint64 total = 0;
    for (int t = 0; t < test.taskCount; ++t) {
        if (test.countsInTotal(t))
            total += pupil.taskPoints.value(t);
    }
    // Checked points stay far inside an int; the clamp only guards rows that were never checked.
    return int(std::clamp<qint64>(total, -TestDefinition::maxSumPoints, TestDefinition::maxSumPoints));
}

QList<int> presentTotals(const QList<ClassResults> &classes, const TestDefinition &test)
{
    QList<int> totals;
    for (const ClassResults &results : classes) {
        for (const PupilResult &pupil : results.pupils) {
            if (pupil.present)
                totals.append(pupilTotal(pupil, test));
        }
    }
    return totals;
}

int pupilStanine(int total, const QList<double> &bounds)
{
    if (bounds.isEmpty())
        return 0;
    int stanine = 1;
    const int count = int(std::min<qsizetype>(bounds.size(), 9));
    for (int k = 2; k <= count; ++k) {
        if (total >= bounds[k - 1])
            stanine = k;
    }
    return stanine;
}

StanineSpread stanineSpread(const QList<int> &presentTotals, const QList<double> &bounds)
{
    StanineSpread spread;
    spread.pupils = int(presentTotals.size());
    if (bounds.isEmpty())
        return spread;
    for (const int total : presentTotals) {
        const int stanine = pupilStanine(total, bounds);
        ++spread.counts[std::size_t(stanine - 1)];
        int &group = stanine <= 3 ? spread.low : stanine <= 6 ? spread.middle : spread.high;
        ++group;
    }
    return spread;
}

double percentileRank(int total, const QList<int> &presentTotals)
{
    if (presentTotals.isEmpty())
        return 0;
    const auto sameOrLower = std::count_if(presentTotals.begin(), presentTotals.end(),
                                           [total](int other) { return other <= total; });
    return 100.0 * double(sameOrLower) / double(presentTotals.size());
}

QList<double> percentileRanks(const QList<int> &totals)
{
    QList<int> sorted = totals;
    std::sort(sorted.begin(), sorted.end());
    QList<double> ranks;
    ranks.reserve(totals.size());
    for (const int total : totals)
        ranks.append(percentileRankSorted(total, sorted));
    return ranks;
}

double percentileRankSorted(int total, const QList<int> &sortedTotals)
{
    if (sortedTotals.isEmpty())
        return 0;
    const auto sameOrLower =
        std::upper_bound(sortedTotals.begin(), sortedTotals.end(), total) - sortedTotals.begin();
    return 100.0 * double(sameOrLower) / double(sortedTotals.size());
}

ScoreBands scoreBands(const QList<int> &presentTotals, int maxTotal)
{
    ScoreBands bands;
    bands.pupils = int(presentTotals.size());
    if (maxTotal <= 0 || presentTotals.isEmpty())
        return bands;
    const qint64 max = maxTotal;
    for (const int total : presentTotals) {
        if (5 * qint64(total) >= 4 * max)
            ++bands.atLeast80;
        if (2 * qint64(total) < max)
            ++bands.below50;
    }
    bands.shareAtLeast80 = double(bands.atLeast80) / bands.pupils;
    bands.shareBelow50 = double(bands.below50) / bands.pupils;
    return bands;
}

bool unstableFigures(int presentPupils)
{
    return presentPupils < minStablePupils;
}

QString unstableNote()
{
    return QStringLiteral("Na teście było mniej niż %1 uczniów, dlatego te wskaźniki są niestabilne: "
                          "pojedynczy wynik mocno je zmienia.")
        .arg(minStablePupils);
}
