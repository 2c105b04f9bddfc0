// A sheet for each pupil's parents: the pupil's points per task and per standard beside the class
// mean (and the country's, when known), the share of the maximum, the percentile rank in the class,
// the stanine, and the standards below one half in plain sentences. Pupils are named by code only.
//
// What every sheet of a class shares (the test, the class, the rows of both tables with their means)
// is kept once; each pupil adds only the texts and points that are the pupil's own, so that a class
// of a thousand pupils costs no more per sheet than a class of forty.
#pragma once

#include "analysis/staffmeeting.h"

#include <QList>
#include <QString>
#include <QStringList>

// One of the two tables: its rows named, their maximum and the means beside the pupil's points.
struct PupilSheetTable {
    QString heading;          // "Obszary testu (standardy)", "Zadania"
    QStringList columns;      // the first names the rows; then the pupil's points and the means
    QStringList labels;       // one per row
    QList<qint32> maxPoints;  // one per row
    QStringList classMeans;   // one per row
    QStringList countryMeans; // one per row, or none without the country's figures
};

struct PupilSheet {
    QString title;   // "Karta wyników ucznia A01"
    QString summary; // "Wynik ucznia: 5 z 8 punktów (…). Taki sam albo niższy wynik ma …"
    QString stanine; // the stanine in words, or empty without one
    QStringList weakStandards;
    // "Odpowiedzi w zadaniach zamkniętych (ucznia / poprawna): Zad.1: B / B; …", or empty when the
    // test has no keys or the pupil's letters are unknown.
    QString closedAnswers;
    // Under "Do powtórzenia": the requirements where the pupil gained under half of the points,
    // weakest first, at most eight, "XIII.1 – oblicza pole trójkąta (1 z 4 punktów)"; for a test with
    // requirements and none below half, one sentence saying so; none for a test without requirements.
    QStringList revision;
    QList<qint64> standardPoints; // one per row of the standards' table
    QList<qint64> taskPoints;     // one per row of the tasks' table
};

struct PupilSheets {
    QString testLine; // "<test's name>: <date>"
    QString classLabel;
    QString note; // the norms' caution when the class is small, or empty
    PupilSheetTable standards;
    PupilSheetTable tasks;
    QList<PupilSheet> sheets; // one per present pupil, in row order
};

// The sheets of every present pupil of the class.
PupilSheets pupilSheets(const ClassResults &results, const GroupAnalysis &classGroup,
                        const StaffMeetingFigures &figures, const ComparisonFigures &comparison,
                        const TestDefinition &test);

// A pupil's cell of a table: "3 z 4".
QString pupilPoints(qint64 points, qint32 maxPoints);

// The pupil's answer beside the key in every keyed task whose answer is known.
QString closedAnswersLine(const PupilResult &pupil, const TestDefinition &test);

// The pupil's "Do powtórzenia" lines, as on the sheet.
QStringList revisionLines(const PupilResult &pupil, const TestDefinition &test,
                          const QList<QList<qsizetype>> &requirementTasks);

// The sentences about the standards where the pupil has less than half of the points.
QStringList weakStandardSentences(const QList<qint64> &standardPoints, const TestDefinition &test);
