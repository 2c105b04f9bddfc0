#include "analysis/classstatistics.h"

#include "core/cells.h"
#include "core/numbers.h"

#include <algorithm>

StatisticsLines columnStatistics(const QList<QList<qint32>> &points, const QList<bool> &present,
                                 const QList<qint32> &maxima)
{
    StatisticsLines lines;
    lines.averages.reserve(points.size());
    lines.facilities.reserve(points.size());
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

StatisticsLines gridStatistics(const GridRows &rows, int firstColumn, const QList<qint32> &maxima)
{
    // Sized before they are filled: a school's statistics run over every class and task.
    QList<bool> present;
    present.reserve(std::max<qsizetype>(rows.size() - 1, 0));
    for (int r = 1; r < rows.size(); ++r)
        present.append(isPresentMark(rows[r].value(2)));
    QList<QList<qint32>> points;
    points.reserve(maxima.size());
    for (int c = firstColumn; c < firstColumn + maxima.size(); ++c) {
        QList<qint32> column;
        column.reserve(present.size());
        for (int r = 1; r < rows.size(); ++r)
            column.append(present[r - 1] ? cellTextAsInteger(rows[r].value(c)) : 0);
        points.append(column);
    }
    return columnStatistics(points, present, maxima);
}
