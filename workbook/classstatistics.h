// A class's averages and facilities, in single precision as the statistics files hold them.
#pragma once

#include "files/gridfile.h"

#include <QList>
#include <QString>

struct StatisticsLines {
    QList<float> averages;
    QList<float> facilities;
};

// For each column: the present pupils' points summed and divided by their number, and that average
// divided by the column's maximum. points[c][p] is pupil p's points in column c. Every addition and
// division is rounded to single precision; a division without a result (no pupil present, a
// maximum of 0) throws InvalidFloatOperation or FloatDivisionByZero.
StatisticsLines columnStatistics(const QList<QList<qint32>> &points, const QList<bool> &present,
                                 const QList<qint32> &maxima);
