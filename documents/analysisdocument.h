// The analysis as one HTML document: the same text is shown in the analysis window, printed and
// saved as PDF, so that what the teacher reads on the screen is what the staff meeting gets.
#pragma once

#include "analysis/analysisreport.h"
#include "analysis/staffmeeting.h"
#include "documents/analysiswords.h"

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

// The whole report: heading, notes, summary sentences, the totals, the histogram, the tasks', the
// standards' and (for the school) the classes' facilities with their bands, the band legend and the
// pupils below one half in each standard.
// With the staff-meeting figures, also the comparison with the country and the other areas, the
// pupils' norms and the test's quality, each with its chart.
QString analysisHtml(const AnalysisReport &report, const TestDefinition &test,
                     const AnalysisSettings &settings, const StaffMeetingFigures *figures = nullptr);
