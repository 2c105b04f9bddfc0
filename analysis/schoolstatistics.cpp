#include "analysis/schoolstatistics.h"

#include "analysis/classstatistics.h"
#include "core/numbers.h"
#include "files/statisticsfile.h"

#include <cmath>

namespace {

// No test yields a mean or facility anywhere near this; a larger value was typed into the file
// by hand and would overflow the single-precision sums into "inf".
constexpr double largestPlausibleValue = 1e9;

bool plausible(const std::optional<double> &value)
{
    return value && std::abs(*value) <= largestPlausibleValue;
}

// A class's task and standard statistics as Compute makes them from the class page, or nothing
// where Compute stops without them.
std::optional<std::pair<StatisticsLines, StatisticsLines>> classStatistics(const ClassResults &results,
                                                                           const TestDefinition &test)
{
    constexpr int standards = TestDefinition::countedStandardLimit;
    const int taskCount = std::max(test.taskCount, 0);
    QList<bool> present;
    QList<QList<qint32>> taskPoints(taskCount);
    QList<QList<qint32>> standardPoints(standards + 1);
    for (const PupilResult &pupil : results.pupils) {
        present.append(pupil.present);
        std::array<qint64, standards> sums{};
        for (int t = 0; t < taskCount; ++t) {
            const qint32 points = pupil.present ? pupil.taskPoints.value(t) : 0;
            taskPoints[t].append(points);
            if (const qint32 k = test.countedStandardOf(t))
                sums[std::size_t(k - 1)] += points;
        }
        qint64 total = 0;
        for (int k = 0; k < standards; ++k) {
            standardPoints[k].append(qint32(sums[std::size_t(k)]));
            total += sums[std::size_t(k)];
        }
        standardPoints[standards].append(qint32(total));
    }
    QList<qint32> taskMaxima;
    for (int t = 0; t < taskCount; ++t)
        taskMaxima.append(test.taskMaxPoints.value(t));
    QList<qint32> standardMaxima;
    for (int k = 0; k < standards; ++k)
        standardMaxima.append(test.standardMaxPoints.value(k, 1));
    standardMaxima.append(test.maxTotalPoints);
    try {
        return std::pair{columnStatistics(taskPoints, present, taskMaxima),
                         columnStatistics(standardPoints, present, standardMaxima)};
    } catch (...) {
        return std::nullopt;
    }
}

// The columns as the page holds them: per class the texts of the statistics files.
QList<ClassColumnValues> pageColumns(const QList<std::optional<StatisticsLines>> &classes, qsizetype count)
{
    QList<ClassColumnValues> columns(count);
    for (const std::optional<StatisticsLines> &lines : classes) {
        for (qsizetype c = 0; c < count; ++c) {
            ClassColumnValues &column = columns[c];
            column.hasStatistics.append(lines.has_value());
            column.averages.append(
                lines ? QString::fromLatin1(formatFixed2(lines->averages.value(c))).trimmed() : QString());
            column.facilities.append(
                lines ? QString::fromLatin1(formatFixed2(lines->facilities.value(c))).trimmed() : QString());
        }
    }
    return columns;
}

} // namespace

QList<SchoolValue> schoolMeans(const QList<ClassColumnValues> &columns)
{
    QList<SchoolValue> result;
    result.reserve(columns.size());
    for (const ClassColumnValues &column : columns) {
        float n = 0;
        float sumAverages = 0;
        float sumFacilities = 0;
        for (int i = 0; i < column.hasStatistics.size(); ++i) {
            if (!column.hasStatistics[i])
                continue;
            const std::optional<double> average = parseDecimal(column.averages.value(i));
            const std::optional<double> facility = parseDecimal(column.facilities.value(i));
            if (!plausible(average) || !plausible(facility))
                continue;
            n += 1;
            sumAverages = float(double(sumAverages) + *average);
            sumFacilities = float(double(sumFacilities) + *facility);
        }
        SchoolValue value;
        if (n > 0) {
            value.known = true;
            value.average = float(double(sumAverages) / double(n));
            value.facility = float(double(sumFacilities) / double(n));
        }
        result.append(value);
    }
    return result;
}

std::optional<QByteArray> schoolStatisticsFile(const QList<SchoolValue> &values, int valueCount)
{
    const int count = std::min<int>(valueCount, int(values.size()));
    QList<float> averages;
    QList<float> facilities;
    for (int j = 0; j < count; ++j) {
        if (!values[j].known)
            return std::nullopt;
        averages.append(values[j].average);
        facilities.append(values[j].facility);
    }
    return statisticsFileBytes(averages, facilities);
}

SchoolPageFigures schoolPageFigures(const QList<ClassResults> &classes, const TestDefinition &test)
{
    QList<std::optional<StatisticsLines>> tasks;
    QList<std::optional<StatisticsLines>> standards;
    for (const ClassResults &results : classes) {
        const auto lines = classStatistics(results, test);
        tasks.append(lines ? std::optional(lines->first) : std::nullopt);
        standards.append(lines ? std::optional(lines->second) : std::nullopt);
    }
    SchoolPageFigures figures;
    figures.tasks = schoolMeans(pageColumns(tasks, std::max(test.taskCount, 0)));
    figures.standards = schoolMeans(pageColumns(standards, TestDefinition::countedStandardLimit + 1));
    figures.wholeTest = figures.standards.takeLast();
    return figures;
}

double schoolPageValue(float value)
{
    return parseDecimal(formatSchoolValue(value)).value_or(double(value));
}
