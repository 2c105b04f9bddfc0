#include "analysis/testquality.h"

#include "core/numbers.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// The rows as columns, one after another in one block: column t holds every pupil's points of
// task t. A large school has millions of points; a list per task would be filled and cleared twice.
class TaskColumns
{
public:
    explicit TaskColumns(const QList<QList<qint32>> &rows) : m_pupils(rows.size())
    {
        for (const QList<qint32> &row : rows)
            m_tasks = std::max(m_tasks, row.size());
        m_values = std::make_unique_for_overwrite<double[]>(std::size_t(m_tasks * m_pupils));
        for (qsizetype p = 0; p < m_pupils; ++p) {
            const QList<qint32> &row = rows.at(p);
            const qint32 *points = row.constData();
            const qsizetype given = row.size();
            for (qsizetype t = 0; t < m_tasks; ++t)
                m_values[std::size_t(t * m_pupils + p)] = t < given ? double(points[t]) : 0.0;
        }
    }
    qsizetype tasks() const { return m_tasks; }
    qsizetype pupils() const { return m_pupils; }
    const double *column(qsizetype t) const { return m_values.get() + t * m_pupils; }

private:
    qsizetype m_tasks = 0;
    qsizetype m_pupils = 0;
    std::unique_ptr<double[]> m_values;
};

double meanOf(const double *values, qsizetype count)
{
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += values[i];
    return sum / double(count);
}

// Sums of squared deviations from the mean, the mean taken first: the one-pass formula loses every
// digit when the spread is small against the mean.
double squaredDeviations(const double *values, qsizetype count)
{
    const double mean = meanOf(values, count);
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += (values[i] - mean) * (values[i] - mean);
    return sum;
}

std::optional<double> correlation(const double *x, const double *y, qsizetype count)
{
    if (count < 2)
        return std::nullopt;
    const double meanX = meanOf(x, count);
    const double meanY = meanOf(y, count);
    double sxx = 0;
    double syy = 0;
    double sxy = 0;
    for (qsizetype i = 0; i < count; ++i) {
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
    const TaskColumns columns(presentPupilsTaskPoints);
    const qsizetype pupils = columns.pupils();
    std::vector<double> totals(std::size_t(pupils), 0.0);
    for (qsizetype t = 0; t < columns.tasks(); ++t) {
        const double *column = columns.column(t);
        for (qsizetype i = 0; i < pupils; ++i)
            totals[std::size_t(i)] += column[i];
    }

    QList<std::optional<double>> result;
    result.reserve(columns.tasks());
    std::vector<double> rest(static_cast<std::size_t>(pupils));
    for (qsizetype t = 0; t < columns.tasks(); ++t) {
        const double *column = columns.column(t);
        // Whole numbers far below 2^53: the subtraction is exact.
        for (qsizetype i = 0; i < pupils; ++i)
            rest[std::size_t(i)] = totals[std::size_t(i)] - column[i];
        result.append(correlation(column, rest.data(), pupils));
    }
    return result;
}

std::optional<double> cronbachAlpha(const QList<QList<qint32>> &presentPupilsTaskPoints)
{
    const TaskColumns columns(presentPupilsTaskPoints);
    const qsizetype pupils = columns.pupils();
    const qsizetype k = columns.tasks();
    if (k < 2 || pupils == 0)
        return std::nullopt;

    std::vector<double> totals(std::size_t(pupils), 0.0);
    double taskVariances = 0;
    for (qsizetype t = 0; t < k; ++t) {
        const double *column = columns.column(t);
        taskVariances += squaredDeviations(column, pupils) / double(pupils);
        for (qsizetype i = 0; i < pupils; ++i)
            totals[std::size_t(i)] += column[i];
    }
    const double totalVariance = squaredDeviations(totals.data(), pupils) / double(pupils);
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
