#include "analysis/testquality.h"

#include "core/numbers.h"

#include <algorithm>
#include <cmath>

namespace {

// The rows as columns: one list of points per task, over the pupils.
QList<QList<double>> taskColumns(const QList<QList<qint32>> &rows)
{
    qsizetype tasks = 0;
    for (const QList<qint32> &row : rows)
        tasks = std::max(tasks, row.size());
    // Filled through plain pointers: a large school has millions of points, and a checked append
    // of each one costs more than the figures made from them.
    const qsizetype pupils = rows.size();
    QList<QList<double>> columns(tasks);
    QList<double *> targets(tasks);
    for (qsizetype t = 0; t < tasks; ++t) {
        columns[t].resize(pupils);
        targets[t] = columns[t].data();
    }
    for (qsizetype p = 0; p < pupils; ++p) {
        const QList<qint32> &row = rows.at(p);
        const qint32 *points = row.constData();
        const qsizetype given = row.size();
        for (qsizetype t = 0; t < tasks; ++t)
            targets[t][p] = t < given ? double(points[t]) : 0.0;
    }
    return columns;
}

double meanOf(const QList<double> &values)
{
    double sum = 0;
    for (const double v : values)
        sum += v;
    return sum / double(values.size());
}

// Sums of squared deviations from the mean, the mean taken first: the one-pass formula loses every
// digit when the spread is small against the mean.
double squaredDeviations(const QList<double> &values)
{
    const double mean = meanOf(values);
    double sum = 0;
    for (const double v : values)
        sum += (v - mean) * (v - mean);
    return sum;
}

std::optional<double> correlation(const QList<double> &x, const QList<double> &y)
{
    if (x.size() < 2 || x.size() != y.size())
        return std::nullopt;
    const double meanX = meanOf(x);
    const double meanY = meanOf(y);
    double sxx = 0;
    double syy = 0;
    double sxy = 0;
    for (qsizetype i = 0; i < x.size(); ++i) {
        const double dx = x[i] - meanX;
        const double dy = y[i] - meanY;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    // Whole-number points that all agree give a mean equal to them and deviations of exactly 0.
    if (sxx <= 0 || syy <= 0)
        return std::nullopt;
    return std::clamp(sxy / std::sqrt(sxx * syy), -1.0, 1.0);
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
    const QList<QList<double>> columns = taskColumns(presentPupilsTaskPoints);
    const qsizetype pupils = presentPupilsTaskPoints.size();
    QList<double> totals(pupils, 0.0);
    for (const QList<double> &column : columns) {
        for (qsizetype i = 0; i < pupils; ++i)
            totals[i] += column[i];
    }

    QList<std::optional<double>> result;
    result.reserve(columns.size());
    QList<double> rest(pupils);
    for (const QList<double> &column : columns) {
        // Whole numbers far below 2^53: the subtraction is exact.
        for (qsizetype i = 0; i < pupils; ++i)
            rest[i] = totals[i] - column[i];
        result.append(correlation(column, rest));
    }
    return result;
}

std::optional<double> cronbachAlpha(const QList<QList<qint32>> &presentPupilsTaskPoints)
{
    const QList<QList<double>> columns = taskColumns(presentPupilsTaskPoints);
    const qsizetype pupils = presentPupilsTaskPoints.size();
    const qsizetype k = columns.size();
    if (k < 2 || pupils == 0)
        return std::nullopt;

    QList<double> totals(pupils, 0.0);
    double taskVariances = 0;
    for (const QList<double> &column : columns) {
        taskVariances += squaredDeviations(column) / double(pupils);
        for (qsizetype i = 0; i < pupils; ++i)
            totals[i] += column[i];
    }
    const double totalVariance = squaredDeviations(totals) / double(pupils);
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
