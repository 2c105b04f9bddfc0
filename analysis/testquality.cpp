#include "analysis/testquality.h"

#include "core/numbers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Per task the sums the item figures need, over the pupils in row order: the deviations from the
// means, the means taken first (the one-pass formula loses every digit when the spread is small
// against the mean). Two passes along the rows, never a copy of millions of points as columns.
struct ItemSums {
    qsizetype pupils = 0;
    qsizetype tasks = 0;
    std::vector<double> itemSquares; // Σ (x − x̄)² per task
    std::vector<double> restSquares; // Σ (r − r̄)² per task, r the total of the other tasks
    std::vector<double> itemRest;    // Σ (x − x̄)(r − r̄) per task
    double totalSquares = 0;         // Σ (T − T̄)²
};

ItemSums itemSums(const QList<QList<qint32>> &rows)
{
    ItemSums sums;
    sums.pupils = rows.size();
    for (const QList<qint32> &row : rows)
        sums.tasks = std::max(sums.tasks, row.size());
    const auto tasks = std::size_t(sums.tasks);
    if (sums.pupils == 0)
        return sums;
    std::vector<double> means(tasks, 0.0);
    double meanTotal = 0;
    for (const QList<qint32> &row : rows) {
        double total = 0;
        for (qsizetype t = 0; t < row.size(); ++t) {
            means[std::size_t(t)] += row[t];
            total += row[t];
        }
        meanTotal += total;
    }
    for (double &mean : means)
        mean /= double(sums.pupils);
    meanTotal /= double(sums.pupils);

    sums.itemSquares.assign(tasks, 0.0);
    sums.restSquares.assign(tasks, 0.0);
    sums.itemRest.assign(tasks, 0.0);
    std::vector<double> deviations(tasks);
    for (const QList<qint32> &row : rows) {
        double total = 0;
        for (std::size_t t = 0; t < tasks; ++t) {
            const double x = qsizetype(t) < row.size() ? double(row[qsizetype(t)]) : 0.0;
            deviations[t] = x - means[t];
            total += x;
        }
        const double totalDeviation = total - meanTotal;
        sums.totalSquares += totalDeviation * totalDeviation;
        for (std::size_t t = 0; t < tasks; ++t) {
            const double dx = deviations[t];
            const double dr = totalDeviation - dx;
            sums.itemSquares[t] += dx * dx;
            sums.restSquares[t] += dr * dr;
            sums.itemRest[t] += dx * dr;
        }
    }
    return sums;
}

} // namespace

QList<int> totalTasks(const TestDefinition &test)
{
    QList<int> tasks;
    for (int t = 0; t < test.taskCount; ++t) {
        if (test.countsInTotal(t))
            tasks.append(t);
    }
    return tasks;
}

QList<QList<qint32>> presentTaskPoints(const QList<ClassResults> &classes, const TestDefinition &test)
{
    const QList<int> tasks = totalTasks(test);
    QList<QList<qint32>> rows;
    for (const ClassResults &results : classes) {
        for (const PupilResult &pupil : results.pupils) {
            if (!pupil.present)
                continue;
            QList<qint32> points;
            points.reserve(tasks.size());
            for (const int t : tasks)
                points.append(pupil.taskPoints.value(t));
            rows.append(points);
        }
    }
    return rows;
}

QList<std::optional<double>> discrimination(const QList<QList<qint32>> &presentPupilsTaskPoints)
{
    const ItemSums sums = itemSums(presentPupilsTaskPoints);
    QList<std::optional<double>> result;
    result.reserve(sums.tasks);
    for (std::size_t t = 0; t < std::size_t(sums.tasks); ++t) {
        const double sxx = sums.itemSquares[t];
        const double srr = sums.restSquares[t];
        // Whole-number points that all agree give a mean equal to them and deviations of exactly 0.
        if (sums.pupils < 2 || sxx <= 0 || srr <= 0)
            result.append(std::nullopt);
        else
            result.append(std::clamp(sums.itemRest[t] / std::sqrt(sxx * srr), -1.0, 1.0));
    }
    return result;
}

std::optional<double> cronbachAlpha(const QList<QList<qint32>> &presentPupilsTaskPoints)
{
    const ItemSums sums = itemSums(presentPupilsTaskPoints);
    const qsizetype k = sums.tasks;
    if (k < 2 || sums.pupils == 0)
        return std::nullopt;
    double taskVariances = 0;
    for (const double squares : sums.itemSquares)
        taskVariances += squares / double(sums.pupils);
    const double totalVariance = sums.totalSquares / double(sums.pupils);
    if (totalVariance <= 0)
        return std::nullopt;
    return double(k) / double(k - 1) * (1.0 - taskVariances / totalVariance);
}

QString discriminationLabel(std::optional<double> value)
{
    if (!value || std::isnan(*value))
        return QStringLiteral("nie różnicuje (brak zróżnicowania wyników)");
    const qint64 printed = hundredths(*value);
    if (printed >= hundredths(discriminationGood))
        return QStringLiteral("dobrze różnicuje");
    if (printed >= hundredths(discriminationSufficient))
        return QStringLiteral("dostatecznie różnicuje");
    // The pupils who did best overall did worse on this task: most often a wrong key or a faulty task.
    if (printed < 0)
        return QStringLiteral("ujemna – sprawdź klucz i treść zadania");
    return QStringLiteral("słabo różnicuje");
}

QString alphaLabel(std::optional<double> value)
{
    if (!value || std::isnan(*value))
        return QStringLiteral("brak danych");
    const qint64 printed = hundredths(*value);
    if (printed >= hundredths(alphaReliable))
        return QStringLiteral("rzetelny");
    if (printed >= hundredths(alphaModerate))
        return QStringLiteral("umiarkowanie rzetelny");
    return QStringLiteral("mało rzetelny");
}
