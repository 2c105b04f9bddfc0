// A sheet for each pupil's parents: the pupil's points per task and per standard beside the class
// mean (and the country's, when known), the share of the maximum, the percentile rank in the class,
// the stanine, and the standards below one half in plain sentences. Pupils are named by code only.
#pragma once

#include "analysis/staffmeeting.h"

#include <QList>
#include <QString>

struct PupilSheet {
    QString title; // "Karta wyników ucznia A01"
    QString html;
};

// One sheet per present pupil of the class, in row order.
QList<PupilSheet> pupilSheets(const ClassResults &results, const GroupAnalysis &classGroup,
                              const StaffMeetingFigures &figures, const ComparisonFigures &comparison,
                              const TestDefinition &test);

// The sentences about the standards where the pupil has less than half of the points.
QStringList weakStandardSentences(const QList<qint64> &standardPoints, const TestDefinition &test);
