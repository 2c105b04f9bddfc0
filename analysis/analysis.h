// The figures of the analysis a school writes up for its staff meeting: descriptive statistics of
// the pupils' total points, their distribution, every task's and standard's facility, the stanine
// of the mean and the pupils who need extra lessons per standard. Everything is read from the
// answers files; nothing here writes a file. The settings are in analysissettings.h, the Polish
// sentences that sum it up in analysissentences.h.
#pragma once

#include "analysis/analysissettings.h"
#include "analysis/testdefinition.h"
#include "core/closedanswers.h"
#include "files/gridfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// One row of a class's answers.
struct PupilResult {
    int row = 0; // the row number on the class page, from 1
    QString code;
    bool present = false;
    QList<qint32> taskPoints; // one per task of the test
    // What the pupil chose in each task (one per task of the test, or none when the class's letters
    // are unknown); only a keyed task's can be known.
    QList<ChosenAnswer> choices;
};

struct ClassResults {
    QString label;
    qint32 pupilCount = 0;
    QList<PupilResult> pupils; // pupilCount rows, absent pupils included
};

// The rows of a class's answers file, checked as Compute checks the class page: rows 1 to
// pupilCount, a missing row or cell reading as empty. A value Compute would refuse (no whole
// number, below 0 or above the task's maximum) gives an empty result and, in *problem, a Polish
// note that names the class and tells the teacher to run "Oblicz" on its page.
std::optional<ClassResults> classResultsFromGrid(const GridRows &rows, const QString &label,
                                                 qint32 pupilCount, const TestDefinition &test,
                                                 QString *problem);

// Descriptive statistics of the present pupils' total points.
struct TotalsSummary {
    int pupils = 0;  // in the class or school
    int present = 0; // who sat the test
    int absent = 0;
    bool hasData = false; // false when no pupil was present: every figure below is meaningless
    double mean = 0;
    double median = 0; // the mean of the two middle totals for an even count
    QList<int> modes;  // every total that occurs most often, rising
    int lowest = 0;
    int highest = 0;
    int range = 0;
    double standardDeviation = 0; // population: divided by the number of present pupils
};

TotalsSummary summariseTotals(const QList<int> &presentTotals, int pupils);

// How many present pupils reached each total from 0 to maxTotal (and up to the highest total when
// a pupil has more, so that no one drops out of the picture).
QList<int> totalsHistogram(const QList<int> &presentTotals, int maxTotal);

// One task, one standard or the whole test.
struct ItemFacility {
    QString label; // the task's label, the standard's description, or "cały test"
    qint32 maxPoints = 0;
    double meanPoints = 0;          // over the present pupils
    std::optional<double> facility; // nullopt without present pupils or with a maximum of 0
};

// A present pupil whose facility in a standard is below one half.
struct WeakPupil {
    QString classLabel;
    int row = 0;
    QString code;
    double facility = 0;
};

// The analysis of one class, or of the whole school's pupils taken together.
struct GroupAnalysis {
    QString label; // the class's label, or "Szkoła"
    TotalsSummary totals;
    QList<int> histogram;
    QList<ItemFacility> tasks;     // in the test's order
    QList<ItemFacility> standards; // standards 1 to standardCount
    ItemFacility wholeTest;
    std::optional<int> stanine;         // of the mean, when Setup.ini has the table and there is data
    QList<QList<WeakPupil>> weakPupils; // per standard, in class and row order
};

GroupAnalysis analyseGroup(const QString &label, const QList<ClassResults> &classes,
                           const TestDefinition &test, const AnalysisSettings &settings);
