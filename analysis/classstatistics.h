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

// The statistics of the columns of a class's grid from firstColumn on, one per maximum: row 0
// holds the headings, column 2 the attendance mark. An absent pupil's cells are not read; a
// present pupil's cell that holds no whole number throws ConvertError, as Compute does.
StatisticsLines gridStatistics(const GridRows &rows, int firstColumn, const QList<qint32> &maxima);
