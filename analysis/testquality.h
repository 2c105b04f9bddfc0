// How good the test itself was, for the school's own mock tests: how well each task tells strong
// pupils from weak ones ("moc różnicująca") and how consistently the tasks measure together
// ("alfa Cronbacha"). Every figure is taken over the present pupils only.
#pragma once

#include "analysis/analysis.h"
#include "analysis/testdefinition.h"

#include <QList>
#include <QString>

#include <optional>

// The tasks (from 0) that count in a pupil's total: all but those of standards 6 to standardCount.
QList<int> totalTasks(const TestDefinition &test);
// For every present pupil of the classes, in class and row order, the points of totalTasks(test).
QList<QList<qint32>> presentTaskPoints(const QList<ClassResults> &classes, const TestDefinition &test);

// In the functions below every row is one present pupil's points, one per task; the test has as
// many tasks as the longest row, and a shorter row reads as 0 for the tasks it lacks.

// Per task, the Pearson correlation of its points with the total of the other tasks (the item–rest
// correlation); nullopt when either varies not at all or there are fewer than 2 pupils. Empty
// without pupils.
QList<std::optional<double>> discrimination(const QList<QList<qint32>> &presentPupilsTaskPoints);

// k / (k − 1) · (1 − Σ variance of the tasks / variance of the totals), population variances;
// nullopt for fewer than 2 tasks, no pupils or totals that do not vary. It may come out negative
// when the tasks pull against each other.
std::optional<double> cronbachAlpha(const QList<QList<qint32>> &presentPupilsTaskPoints);

// The lower bounds of the words, compared with the figure rounded to two decimals, as it is printed,
// so that the word always agrees with the figure beside it.
constexpr double discriminationSufficient = 0.20;
constexpr double discriminationGood = 0.40;
constexpr double alphaModerate = 0.50;
constexpr double alphaReliable = 0.70;

// "ujemna – sprawdź klucz i treść zadania" (printed below 0), "słabo różnicuje", "dostatecznie
// różnicuje", "dobrze różnicuje", or for no figure "nie różnicuje (brak zróżnicowania wyników)".
QString discriminationLabel(std::optional<double> value);
// "mało rzetelny", "umiarkowanie rzetelny", "rzetelny", or for no figure "brak danych".
QString alphaLabel(std::optional<double> value);
