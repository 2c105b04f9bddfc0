// The histogram of the pupils' total points as the analysis draws it: its bars, its value axis and
// how often its scores are written under it.
#pragma once

#include <QList>

// The value axis of the histogram: its maximum and label increment for the largest bar.
struct HistogramAxis {
    int maximum = 1;
    int increment = 1;
};
HistogramAxis histogramAxis(int largestCount);
// Every how many bars a score is written under the histogram, so that the labels never overlap.
int histogramLabelStep(int bars);
// Pupils per score, or per range of scores where a bar for every score would be too thin to see:
// above 101 scores, ranges of a round width, at most 100 of them.
struct HistogramBars {
    int width = 1; // scores per bar
    QList<int> counts;
};
HistogramBars histogramBars(const QList<int> &countsPerScore);
