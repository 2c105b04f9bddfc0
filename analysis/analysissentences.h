// The Polish sentences that sum an analysis up, with decimal commas.
#pragma once

#include "analysis/analysis.h"

#include <QStringList>

// The sentences of the summary: the mean against the maximum, the test's band, the easiest and
// hardest tasks and standards with facility and band, the stanine when known; for no present
// pupil a single sentence saying there are no data ("brak danych").
QStringList summarySentences(const GroupAnalysis &group, bool school, const TestDefinition &test,
                             const AnalysisSettings &settings);
