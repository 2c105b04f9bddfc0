// The figures the staff meeting reads beside the analysis: the school (or class) against the
// country, the province, the district and the municipality; where each pupil stands; and how well
// the test itself worked.
#pragma once

#include "analysis/analysis.h"
#include "analysis/comparison.h"
#include "analysis/distractors.h"
#include "analysis/norms.h"
#include "analysis/requirements.h"
#include "analysis/testquality.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

struct PupilNorm {
    QString classLabel;
    int row = 0; // on the class page
    QString code;
    int total = 0;
    std::optional<double> percentOfMax; // 0 to 100; none with a maximum of 0
    double percentileInClass = 0;
    double percentileInSchool = 0;
    int stanine = 0; // 1 to 9; 0 without [StaninyUczniow]
};

struct NormsFigures {
    QList<PupilNorm> pupils; // present pupils, in class and row order
    bool hasStanines = false;
    StanineSpread spread;
    ScoreBands bands;
    bool unstable = false;       // fewer than 10 present pupils
    bool rankedInSchool = false; // percentileInSchool is over more pupils than the group's
};

struct QualityFigures {
    QList<std::optional<double>> discrimination; // per task of the test, "–" for none
    std::optional<double> alpha;
};

struct ComparisonLine {
    QString label;
    std::optional<double> own;
    AreaFigures areas;
    std::array<std::optional<int>, areaCount> differences; // percentage points, where both exist
    bool marked = false;                                   // at least the threshold below the country
};

struct ComparisonTable {
    bool hasFigures = false;
    int threshold = defaultComparisonThreshold;
    QList<ComparisonLine> tasks;
    QList<ComparisonLine> standards;
    ComparisonLine wholeTest;
};

struct StaffMeetingFigures {
    NormsFigures norms;
    QualityFigures quality;
    ComparisonTable comparison;
    // The answers chosen in the keyed tasks: the group's, and for a school each class's.
    ChoiceTable choices;
    QList<ChoiceTable> classChoices;
    // The group's results by requirement, weakest first; none for a test without requirements.
    QList<RequirementFigures> requirements;
};

// The figures of the group the analysis describes (a class, or the school's classes together).
// schoolClasses: every class of the school that could be read, for a class's pupils' percentile
// ranks in the school; none gives the ranks among the group's own pupils.
StaffMeetingFigures staffMeetingFigures(const GroupAnalysis &group, const QList<ClassResults> &classes,
                                        const TestDefinition &test, const QList<double> &pupilStanineBounds,
                                        const ComparisonFigures &comparison, int threshold,
                                        const QList<ClassResults> &schoolClasses = {});

// The Polish label of a group of stanines: "niskie (1–3)", "średnie (4–6)", "wysokie (7–9)".
QString stanineGroupName(int group);
