// Checks of the class list made before any directory is created.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The largest class a teacher can set up; a typo must not build a grid of millions of rows.
constexpr qint32 maxPupilsInClass = 999;

// A Polish text saying why these class labels cannot name the class directories, or "" when
// they can. Labels are compared without regard to case: school directories travel to systems
// where case does not count.
QString classLabelsProblem(const QStringList &labels);

// A Polish text for a pupil count above the limit, or "".
QString pupilCountsProblem(const QList<qint32> &pupilCounts);

// The default class labels' letters: the alphabet without V, so that "VI V" never appears.
QString defaultClassLetters();
