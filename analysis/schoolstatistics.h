// The school's results: the unweighted mean of the classes' averages and facilities.
#pragma once

#include "analysis/analysis.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <optional>

// One summarised column as the school grid holds it: per class, whether the class has statistics
// at all, and the texts of its average and facility cells.
struct ClassColumnValues {
    QList<bool> hasStatistics;
    QStringList averages;
    QStringList facilities;
};

struct SchoolValue {
    bool known = false; // false when no class supplied a number for this column
    float average = 0;
    float facility = 0;
};

// Single-precision means over the classes that have statistics; a class whose cell holds no number
// counts as having no statistics in that column.
QList<SchoolValue> schoolMeans(const QList<ClassColumnValues> &columns);

// The statistics file of the first valueCount columns, or nullopt when a column has no value
// (for example when no class has been computed yet): then no file is written.
std::optional<QByteArray> schoolStatisticsFile(const QList<SchoolValue> &values, int valueCount);

// The figures the "Szkoła" page shows for these classes: each class's averages and facilities as
// Compute writes them into its statistics files (single precision, two decimals), averaged over the
// classes as the page averages them. A class Compute could make no statistics for (no pupil
// present, a maximum of 0) is left out, as on the page.
struct SchoolPageFigures {
    QList<SchoolValue> tasks;
    QList<SchoolValue> standards; // the page's five standard columns
    SchoolValue wholeTest;        // the page's "Razem"
};

SchoolPageFigures schoolPageFigures(const QList<ClassResults> &classes, const TestDefinition &test);

// A figure as the page shows it (18.78 for the single-precision 18.7849998).
double schoolPageValue(float value);
