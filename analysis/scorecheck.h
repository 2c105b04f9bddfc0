// A class's points checked once, by one rule, for Compute and for the analysis: each task's points
// a whole number from 0 to the task's maximum, an empty cell, one blank or "-" counting as 0; in a
// keyed closed task the symbols the pupil chose instead, scored by the key.
#pragma once

#include "analysis/testdefinition.h"
#include "files/gridfile.h"

#include <QList>
#include <QString>

#include <array>

struct PupilScores {
    enum class Fault {
        None,
        NotANumber,  // a cell that is no whole number: Compute stops at it
        OutOfRange,  // below 0 or above the task's maximum
        WrongAnswer, // symbols a keyed task's key refuses: one outside its answers, or a part too many or few
    };

    int row = 0;  // from 1
    QString code; // as the grid holds it
    QString mark;
    bool present = false;
    // The task's points, checked in task order up to the first fault.
    QList<qint32> taskPoints;
    // The points of the counted standards 1 to 5, and their sum, the grid's "Razem".
    std::array<qint64, TestDefinition::countedStandardLimit> standards{};
    qint64 total = 0;
    Fault fault = Fault::None;
    int faultTask = -1; // the first wrong task, from 0
    QString faultText;  // and its cell's text
};

// Rows 1 to pupilCount of a class's score grid (row 0 the headings; a missing row or cell reads as
// empty), absent pupils checked too. Each pupil's later tasks are not checked after a fault.
QList<PupilScores> checkClassScores(const GridRows &rows, qint32 pupilCount, const TestDefinition &test);
