#include "analysis/schoolstatistics.h"

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
