#include "workbook/classstatistics.h"

#include "core/numbers.h"

StatisticsLines columnStatistics(const QList<QList<qint32>> &points, const QList<bool> &present,
                                 const QList<qint32> &maxima)
{
    StatisticsLines lines;
    for (int c = 0; c < points.size(); ++c) {
        float n = 0;
        float sum = 0;
        for (int p = 0; p < present.size(); ++p) {
            if (!present[p])
                continue;
            n += 1;
            sum = float(double(sum) + double(points[c].value(p)));
        }
        const float average = checkedDivide(sum, n);
        const float facility = checkedDivide(average, float(maxima.value(c)));
        lines.averages.append(average);
        lines.facilities.append(facility);
    }
    return lines;
}
