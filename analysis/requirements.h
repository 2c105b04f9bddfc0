// The results by the curriculum's requirements: a requirement gathers the tasks that check it (a
// general one also those of its specific requirements), and its facility is the points gained on
// those tasks over their maximum.
#pragma once

#include "analysis/analysis.h"
#include "analysis/comparison.h"
#include "analysis/testdefinition.h"

#include <QList>
#include <QString>

#include <optional>

struct RequirementFigures {
    Requirement requirement;
    QList<qsizetype> tasks; // from 0, in the test's order
    qint32 maxPoints = 0;
    double meanPoints = 0;
    std::optional<double> facility;
    // From the country's task facilities, weighted by the tasks' points; none when a task lacks one.
    std::optional<double> country;
};

// The tasks (from 0) of every requirement, in the order of test.requirements.
QList<QList<qsizetype>> requirementTasks(const TestDefinition &test);

// The figures of every requirement that has tasks, from the group's task means, weakest first (a
// requirement without a facility last, ties in the test's order).
QList<RequirementFigures> requirementFigures(const GroupAnalysis &group, const TestDefinition &test,
                                             const ComparisonFigures &comparison);

// The tasks' labels joined: "Zad.1, Zad.4".
QString taskLabelsText(const QList<qsizetype> &tasks, const TestDefinition &test);

// A requirement a pupil should revise: the pupil gained under half of its points.
struct RevisionItem {
    Requirement requirement;
    qint32 points = 0;
    qint32 maxPoints = 0;
    double facility = 0;
};

// The pupil's requirements below one half, weakest first, at most `most`; none for an absent pupil.
QList<RevisionItem> revisionList(const PupilResult &pupil, const TestDefinition &test,
                                 const QList<QList<qsizetype>> &tasks, qsizetype most = 8);
