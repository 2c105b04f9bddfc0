#include "analysis/histogram.h"

#include <algorithm>

HistogramAxis histogramAxis(int largestCount)
{
    if (largestCount <= 10)
        return {std::max(largestCount, 1), 1};
    // A round step that leaves at most ten labels on the axis.
    for (int scale = 1;; scale *= 10) {
        for (const int step : {1, 2, 5}) {
            const int increment = step * scale;
            if (largestCount <= 10 * increment)
                return {(largestCount + increment - 1) / increment * increment, increment};
        }
    }
}

int histogramLabelStep(int bars)
{
    // Scores written upwards need about 14 pixels each across the plot.
    constexpr int mostLabels = 45;
    for (int scale = 1;; scale *= 10) {
        for (const int step : {1, 2, 5}) {
            if (bars <= mostLabels * step * scale)
                return step * scale;
        }
    }
}

HistogramBars histogramBars(const QList<int> &countsPerScore)
{
    const qsizetype scores = countsPerScore.size();
    int width = 1;
    if (scores > 101) {
        for (int scale = 1; width == 1; scale *= 10) {
            for (const int step : {2, 5, 10}) {
                if ((scores + step * scale - 1) / (step * scale) <= 100) {
                    width = step * scale;
                    break;
                }
            }
        }
    }
    HistogramBars bars{width, QList<int>((scores + width - 1) / width, 0)};
    for (qsizetype score = 0; score < scores; ++score)
        bars.counts[score / width] += countsPerScore[score];
    return bars;
}
