// The analysis as one HTML document: the same text is shown in the analysis window, printed and
// saved as PDF, so that what the teacher reads on the screen is what the staff meeting gets.
#pragma once

#include "analysis/analysisreport.h"
#include "analysis/staffmeeting.h"

#include <QString>

// The histogram is an image the caller adds to the document under this name.
inline constexpr auto histogramImageName = "histogram.png";
// Its size on the page, in the document's pixels.
inline constexpr int histogramWidth = 643;
inline constexpr int histogramHeight = 385;

// The charts of the staff-meeting sections, added under these names, of the histogram's size.
inline constexpr auto comparisonStandardsImageName = "porownanie-standardy.png";
inline constexpr auto comparisonTasksImageName = "porownanie-zadania.png";
inline constexpr auto stanineImageName = "staniny.png";

// "brak danych", written wherever a figure cannot be computed.
QString noData();

// The whole report: heading, notes, summary sentences, the totals, the histogram, the tasks', the
// standards' and (for the school) the classes' facilities with their bands, the band legend and the
// pupils below one half in each standard.
// With the staff-meeting figures, also the comparison with the country and the other areas, the
// pupils' norms and the test's quality, each with its chart.
QString analysisHtml(const AnalysisReport &report, const TestDefinition &test,
                     const AnalysisSettings &settings, const StaffMeetingFigures *figures = nullptr);

// The sentence under a discrimination figure and under the alpha, as the report prints them.
QString discriminationText(const std::optional<double> &value);
QString alphaText(const std::optional<double> &value);

// What the report says when no comparison figures were entered.
QString noComparisonText();

// The window's caption and the document's title: "Analiza wyników – Klasa VI A" or
// "Analiza wyników – szkoła".
QString analysisTitle(const AnalysisReport &report);

// Words the report and the "Analiza" sheet share, so that both say the same.
// A standard's label with its abbreviation when that differs: "czytanie (Cz.)".
QString standardCaption(const ItemFacility &standard, const TestDefinition &test, qsizetype index);
QString meanCaption(bool school);
QString modesCaption(qsizetype modes);
QString schoolMeanNote();
QString weakPupilsTitle();
QString weakPupilsIntro();
// The sentence under the comparison tables: which tasks and standards lie far below the country.
QString comparisonBelowText(const ComparisonTable &table);

// The histogram's captions.
QString histogramTitle(const AnalysisReport &report);
