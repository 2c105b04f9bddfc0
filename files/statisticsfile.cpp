#include "files/statisticsfile.h"

#include "core/numbers.h"

QByteArray statisticsFileBytes(const QList<float> &averages, const QList<float> &facilities)
{
    QByteArray bytes;
    for (const float value : averages)
        bytes += formatFixed2(value) + ';';
    bytes += "\r\n";
    for (const float value : facilities)
        bytes += formatFixed2(value) + ';';
    return bytes;
}

GridLimits statisticsLimitsFor(qsizetype columns)
{
    return gridLimitsFor(2, columns);
}

std::optional<GridRows> parseStatisticsFile(const QByteArray &windows1250Bytes, qsizetype columns)
{
    return parseGridFileWithin(windows1250Bytes, statisticsLimitsFor(columns));
}
