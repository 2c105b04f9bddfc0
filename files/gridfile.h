// The semicolon grid file, in which a school folder keeps its pages; the statistics files are
// statisticsfile.h.
#pragma once

#include "core/cells.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <optional>

using GridRows = QList<QStringList>; // rows of cell texts, row 0 first

// "%s;" per cell, "-;" for an empty or one-blank cell, CR LF between rows, nothing after the last.
QByteArray gridFileBytes(const GridRows &rows);

// Each line's fields, one per ";"; what follows the last ";" of a line (CR included) is dropped.
GridRows parseGridFile(const QByteArray &windows1250Bytes);

// How much of a grid file a reader takes on, in proportion to the grid it fills: a damaged file
// must cost neither the program's memory nor the teacher's time.
struct GridLimits {
    qsizetype rows = 0;   // lines
    qsizetype fields = 0; // per line
    qint64 bytes = 0;     // the whole file
};

// Room for a grid of rows × columns cells: four times its lines and fields and more (a class that
// had more pupils or tasks before, or a damaged line, still reads), and for long cell texts.
GridLimits gridLimitsFor(qsizetype rows, qsizetype columns);

// parseGridFile, or nullopt as soon as the file is found to exceed the limits.
std::optional<GridRows> parseGridFileWithin(const QByteArray &windows1250Bytes, const GridLimits &limits);

// Whether a grid file's rows can be put into a grid of rows × columns cells without leaving out
// anything written in them: a file kept under another test (more or fewer tasks) or for more
// pupils must never be half-loaded and then saved over.
struct GridFit {
    // Nothing of the file is left out (narrower lines leave cells empty).
    bool fits = true;
    // Every line as wide as the grid: the file was kept under a test of the same tasks.
    bool exact = true;
    // The fields of the file's widest line, and of its narrowest non-empty one.
    qsizetype widest = 0;
    qsizetype narrowest = 0;
    // Lines beyond the grid's rows that hold anything besides their number, blank cells and a
    // pupil's default presence mark.
    qsizetype rowsBeyond = 0;
};
GridFit gridFit(const GridRows &rows, qsizetype gridRows, qsizetype gridColumns);
