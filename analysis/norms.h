// Where each pupil stands: the pupil's stanine on that year's table, the percentile rank within the
// group, the shares of high and low scores, and a warning when the group is too small to trust.
#pragma once

#include "analysis/analysis.h"
#include "analysis/testdefinition.h"
#include "files/inifile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// A pupil's total as the program counts it everywhere: every task's points except those of
// standards 6 to standardCount, which the workbook does not count.
int pupilTotal(const PupilResult &pupil, const TestDefinition &test);
// The totals of the present pupils of the classes, in class and row order.
QList<int> presentTotals(const QList<ClassResults> &classes, const TestDefinition &test);

// The highest stanine (1 to 9) whose lower bound the total reaches; a total below the first bound
// is still stanine 1. 0 without a table.
int pupilStanine(int total, const QList<double> &bounds);

struct StanineSpread {
    std::array<int, 9> counts{}; // pupils in stanines 1 to 9
    int low = 0;                 // stanines 1 to 3
    int middle = 0;              // 4 to 6
    int high = 0;                // 7 to 9
    int pupils = 0;              // the present pupils, counted in a stanine only with a table
};

StanineSpread stanineSpread(const QList<int> &presentTotals, const QList<double> &bounds);

// The percentage (0 to 100) of the present pupils whose total is the same or lower: the best pupil
// has 100. 0 without pupils.
double percentileRank(int total, const QList<int> &presentTotals);
// percentileRank of every total among all of them, in the order given.
QList<double> percentileRanks(const QList<int> &totals);
// percentileRank among totals sorted in ascending order: a search, for ranking many pupils.
double percentileRankSorted(int total, const QList<int> &sortedTotals);

struct ScoreBands {
    int atLeast80 = 0; // at least 80 % of the maximum
    int below50 = 0;   // under 50 % of the maximum
    int pupils = 0;
    double shareAtLeast80 = 0; // fractions 0 to 1 of the pupils
    double shareBelow50 = 0;
};

// Counted exactly in whole numbers (5 · total ≥ 4 · max, 2 · total < max). A maximum of 0 or below,
// or no pupils, gives zero counts and shares.
ScoreBands scoreBands(const QList<int> &presentTotals, int maxTotal);

// Below this many present pupils one result moves every figure a lot.
constexpr int minStablePupils = 10;
bool unstableFigures(int presentPupils);
// The note shown beside figures of such a small group.
QString unstableNote();
