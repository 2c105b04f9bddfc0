// The analysis as one HTML document: the same text is shown in the analysis window, printed and
// saved as PDF, so that what the teacher reads on the screen is what the staff meeting gets.
#pragma once

#include "analysis.h"

#include <QString>

// The histogram is an image the caller adds to the document under this name.
inline constexpr auto histogramImageName = "histogram.png";
// Its size on the page, in the document's pixels.
inline constexpr int histogramWidth = 643;
inline constexpr int histogramHeight = 385;

// "brak danych", written wherever a figure cannot be computed.
QString noData();

// The whole report: heading, notes, summary sentences, the totals, the histogram, the tasks', the
// standards' and (for the school) the classes' facilities with their bands, the band legend and the
// pupils below one half in each standard.
QString analysisHtml(const AnalysisReport &report, const TestDefinition &test,
                     const AnalysisSettings &settings);

// The window's caption and the document's title: "Analiza wyników – Klasa VI A" or
// "Analiza wyników – szkoła".
QString analysisTitle(const AnalysisReport &report);

// The histogram's captions.
QString histogramTitle(const AnalysisReport &report);
