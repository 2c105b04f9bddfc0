#include "analysis/analysis.h"

#include "analysis/scorecheck.h"
#include "core/numbers.h"

#include <algorithm>
#include <cmath>
#include <utility>

std::optional<ClassResults> classResultsFromGrid(const GridRows &rows, const QString &label,
                                                 qint32 pupilCount, const TestDefinition &test,
                                                 QString *problem)
{
    ClassResults results;
    results.label = label;
    results.pupilCount = std::max<qint32>(pupilCount, 0);
    // Checked as Compute checks the page, absent pupils too.
    for (const PupilScores &scores : checkClassScores(rows, results.pupilCount, test)) {
        PupilResult pupil;
        pupil.row = scores.row;
        // The grid file stores an empty cell as "-", and one blank means empty too.
        pupil.code = isBlankCell(scores.code) ? QString() : scores.code;
        pupil.present = scores.present;
        if (scores.fault != PupilScores::Fault::None) {
            if (problem) {
                const QString pupilName = pupil.code.isEmpty()
                                              ? QStringLiteral("uczeń nr %1").arg(pupil.row)
                                              : QStringLiteral("uczeń o kodzie %1").arg(pupil.code);
                *problem = QStringLiteral("Klasa „%1” została pominięta: jej plik wyników zawiera "
                                          "wartości, których nie przyjmuje „Oblicz” (%2, zadanie %3). "
                                          "Otwórz stronę tej klasy i naciśnij „Oblicz”, aby je poprawić.")
                               .arg(label, pupilName, test.taskLabels.value(scores.faultTask));
            }
            return std::nullopt;
        }
        pupil.taskPoints = scores.taskPoints;
        results.pupils.append(pupil);
    }
    return results;
}

TotalsSummary summariseTotals(const QList<int> &presentTotals, int pupils)
{
    TotalsSummary summary;
    summary.pupils = pupils;
    summary.present = int(presentTotals.size());
    summary.absent = std::max(0, pupils - summary.present);
    summary.hasData = !presentTotals.isEmpty();
    if (!summary.hasData)
        return summary;

    QList<int> sorted = presentTotals;
    std::sort(sorted.begin(), sorted.end());
    const qsizetype n = sorted.size();

    double sum = 0;
    for (const int total : sorted)
        sum += total;
    summary.mean = sum / double(n);
    summary.median = n % 2 == 1 ? sorted[n / 2] : (double(sorted[n / 2 - 1]) + double(sorted[n / 2])) / 2.0;

    qsizetype bestRun = 0;
    for (qsizetype i = 0; i < n;) {
        qsizetype j = i;
        while (j < n && sorted[j] == sorted[i])
            ++j;
        if (j - i > bestRun) {
            bestRun = j - i;
            summary.modes.clear();
        }
        if (j - i == bestRun)
            summary.modes.append(sorted[i]);
        i = j;
    }

    summary.lowest = sorted.first();
    summary.highest = sorted.last();
    summary.range = summary.highest - summary.lowest;

    double squares = 0;
    for (const int total : sorted)
        squares += (total - summary.mean) * (total - summary.mean);
    summary.standardDeviation = std::sqrt(squares / double(n));
    return summary;
}

QList<int> totalsHistogram(const QList<int> &presentTotals, int maxTotal)
{
    int top = std::max(maxTotal, 0);
    for (const int total : presentTotals)
        top = std::max(top, total);
    QList<int> counts(top + 1, 0);
    for (const int total : presentTotals) {
        if (total >= 0) // no checked points sum below 0; such a total has no bar to go to
            ++counts[total];
    }
    return counts;
}

GroupAnalysis analyseGroup(const QString &label, const QList<ClassResults> &classes,
                           const TestDefinition &test, const AnalysisSettings &settings)
{
    GroupAnalysis group;
    group.label = label;

    const int taskCount = std::max(test.taskCount, 0);
    // The standards the workbook counts, so that every figure agrees with its grids.
    const int standardCount = test.countedStandardCount();
    QList<double> taskSums(taskCount, 0.0);
    QList<double> standardSums(standardCount, 0.0);
    QList<int> totals;
    int pupils = 0;
    group.weakPupils.resize(standardCount);

    for (const ClassResults &results : classes) {
        pupils += results.pupilCount;
        for (const PupilResult &pupil : results.pupils) {
            if (!pupil.present)
                continue;
            QList<qint64> standardPoints(standardCount, 0);
            qint64 total = 0;
            for (int t = 0; t < taskCount; ++t) {
                const qint32 points = pupil.taskPoints.value(t);
                taskSums[t] += points;
                if (!test.countsInTotal(t))
                    continue;
                const qint32 k = test.taskStandards.value(t);
                total += points;
                if (k >= 1 && k <= standardCount)
                    standardPoints[k - 1] += points;
            }
            totals.append(int(total));
            for (int k = 0; k < standardCount; ++k) {
                standardSums[k] += double(standardPoints[k]);
                const qint32 max = test.standardMaxPoints.value(k);
                if (max <= 0)
                    continue;
                const double facility = double(standardPoints[k]) / max;
                if (facility < 0.5)
                    group.weakPupils[k].append(WeakPupil{results.label, pupil.row, pupil.code, facility});
            }
        }
    }

    group.totals = summariseTotals(totals, pupils);
    group.histogram = totalsHistogram(totals, test.maxTotalPoints);
    const int present = group.totals.present;

    // Worked in single precision, one division at a time, as a class's grids work them: the
    // analysis then prints the very figure the grid shows.
    auto item = [present](const QString &itemLabel, qint32 max, double sum) {
        ItemFacility facility;
        facility.label = itemLabel;
        facility.maxPoints = max;
        if (present > 0) {
            const float mean = float(sum) / float(present);
            facility.meanPoints = double(mean);
            if (max > 0)
                facility.facility = double(mean / float(max));
        }
        return facility;
    };
    for (int t = 0; t < taskCount; ++t)
        group.tasks.append(item(test.taskLabels.value(t), test.taskMaxPoints.value(t), taskSums[t]));
    for (int k = 0; k < standardCount; ++k)
        group.standards.append(
            item(test.standardDescriptions.value(k), test.standardMaxPoints.value(k), standardSums[k]));
    group.wholeTest.label = QStringLiteral("cały test");
    group.wholeTest.maxPoints = test.maxTotalPoints;
    group.wholeTest.meanPoints = group.totals.mean;
    if (group.totals.hasData && test.maxTotalPoints > 0)
        group.wholeTest.facility = double(float(group.totals.mean) / float(test.maxTotalPoints));

    if (group.totals.hasData)
        group.stanine = stanineOf(group.totals.mean, settings.stanineBounds);
    return group;
}
