// The statistics file: a class's or the school's averages and facilities per column, the figures the
// school page gathers.
#pragma once

#include "files/gridfile.h"

#include <QByteArray>
#include <QList>

#include <optional>

// Two lines of "%4.2f;" values: averages, CR LF, facilities, and nothing after the last ";".
QByteArray statisticsFileBytes(const QList<float> &averages, const QList<float> &facilities);

// The two lines of a statistics file of columns values as cell texts; nullopt when the file is
// found to be far larger than that (a damaged file costs nothing).
GridLimits statisticsLimitsFor(qsizetype columns);
std::optional<GridRows> parseStatisticsFile(const QByteArray &windows1250Bytes, qsizetype columns);
