// The words the analysis's document, its tables and the "Analiza" sheet share, so that all say the
// same.
#pragma once

#include "analysis/distractors.h"

#include "analysis/analysisreport.h"
#include "analysis/staffmeeting.h"

#include <QString>

// "brak danych", written wherever a figure cannot be computed.
QString noData();

// The sentence under a discrimination figure and under the alpha, as the report prints them.
QString discriminationText(const std::optional<double> &value);
QString alphaText(const std::optional<double> &value);

// What the report says when no comparison figures were entered.
QString noComparisonText();
// The answers chosen in the keyed tasks: the section's heading, what the table shows, the line in its
// place when no pupil's letters were typed, and the sentences below it.
QString choicesHeading();
QString choicesNote();
QString noChoicesText();
QStringList choicesBelowTexts(const ChoiceTable &table);
// The school's classes side by side: the heading, what the table shows, and the wrong answers that
// drew more of a class than the key, class by class.
QString classChoicesHeading();
// The labels of the school's classes, in the report's order.
QStringList classLabels(const AnalysisReport &report);
QString classChoicesNote();
QStringList classChoicesBelowTexts(const QList<ChoiceTable> &classes, const QStringList &labels);

// The window's caption and the document's title: "Analiza wyników – Klasa VI A" or
// "Analiza wyników – szkoła".
QString analysisTitle(const AnalysisReport &report);

// Words the report and the "Analiza" sheet share, so that both say the same.
// A standard's label with its abbreviation when that differs: "czytanie (Cz.)".
QString standardCaption(const ItemFacility &standard, const TestDefinition &test, qsizetype index);
QString meanCaption(bool school);
QString modesCaption(qsizetype modes);
QString schoolMeanNote();
// The line of the "Szkoła" page's mean of the classes, beside the mean of all the pupils.
QString classMeansCaption();
QString weakPupilsTitle();
QString weakPupilsIntro();
// The sentence under the comparison tables: which tasks and standards lie far below the country.
QString comparisonBelowText(const ComparisonTable &table);

// The histogram's captions.
QString histogramTitle(const AnalysisReport &report);
