// One school across several tests (this year's against last year's, the mock tests against the
// exam): the figures of each test read with that test's own definition, and the classes, pupils
// and standards matched across them. Percentages of different tests are not comparable; the
// stanine of the mean and the difference from the country are.
#pragma once

#include "analysis/analysis.h"
#include "analysis/analysissettings.h"
#include "analysis/comparison.h"
#include "analysis/requirements.h"
#include "analysis/testdefinition.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The figures of a group (the school or one class) at one test.
struct GroupAtTest {
    QString label;
    int pupils = 0;
    int present = 0;
    bool hasData = false; // someone was present
    double meanPoints = 0;
    std::optional<double> facility; // the whole test's, mean / maximum
    double median = 0;
    double shareAtLeast80 = 0; // fractions 0 to 1 of the present pupils
    double shareBelow50 = 0;
    std::optional<int> stanine;            // of the mean, on that test's [Staniny]
    std::optional<double> countryFacility; // the country's facility of the whole test
    std::optional<int> countryDifference;  // percentage points, where the country's figure is known
};

struct PupilAtTest {
    QString classLabel;
    QString code;
    std::optional<double> percentOfMax; // 0 to 100
    double percentileInSchool = 0;
};

// One school folder read with its own test.
struct SchoolAtTest {
    QString folder;
    QString testName;
    QString testDate;
    qint32 maxPoints = 0;
    GroupAtTest school;
    QList<GroupAtTest> classes;
    QList<PupilAtTest> pupils; // the present pupils, in class and row order
    QStringList standardDescriptions;
    QList<std::optional<double>> standardFacilities; // one per description
    QList<RequirementFigures> requirements;          // the school's, weakest first
    QStringList notes;                               // classes left out and why
};

// The school's figures at its test, from the pupils' results of every class that could be read.
SchoolAtTest schoolAtTest(const QString &folder, const QList<ClassResults> &classes, const QStringList &notes,
                          const TestDefinition &test, const AnalysisSettings &settings,
                          const ComparisonFigures &comparison);

// The tests in the order of their dates as the definitions write them (text order, as
// "2025-05-13" sorts); the same date keeps the order given.
void sortByTestDate(QList<SchoolAtTest> *tests);

// Which class of each test belongs to which row: rows[r][t] is the label of the class of test t
// that row r follows, empty where that test has none. By default classes of the same label share
// a row, in the order they first appear; the teacher may change a cell ("Klasa 7a" became
// "Klasa 8a").
using ClassMatch = QList<QStringList>;
ClassMatch matchClassesByLabel(const QList<SchoolAtTest> &tests);

struct PupilAcrossTests {
    QString classLabel; // the row's label in the first test that has it
    QString code;
    QList<std::optional<double>> percentOfMax; // per test; none where the pupil did not sit it
    QList<std::optional<double>> percentile;
    std::optional<double> change; // last test's percentile less the first's, when the pupil sat both
};

struct StandardAcrossTests {
    QString description;
    QList<std::optional<double>> facility; // per test; none where the test has no such standard
};

// A requirement that two tests or more share by code, its case aside.
struct RequirementAcrossTests {
    QString code;                          // as the first test that has it spells it
    QString description;                   // the first test's
    QList<std::optional<double>> facility; // per test; none where the test has no such requirement
};

struct TestsComparison {
    QList<SchoolAtTest> tests;
    ClassMatch classMatch;                            // the rows that follow a class, in order
    QList<QList<std::optional<GroupAtTest>>> classes; // per row of classMatch, per test
    QList<PupilAcrossTests> pupils;
    QList<StandardAcrossTests> standards; // only those two tests or more share by description
    QList<RequirementAcrossTests> requirements;
    // Whether any test has requirements at all, so that a comparison of tests without them says nothing of
    // them.
    bool anyRequirements = false;
};

// Pupils are matched by their code within the matched class; a pupil without a code is matched
// with no one.
TestsComparison compareTests(const QList<SchoolAtTest> &tests, const ClassMatch &classMatch);

// The honest words put above every table of the comparison.
QString comparisonCaveat();
