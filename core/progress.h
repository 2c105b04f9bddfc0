// How a long step tells the window how far it has come. The window's report may end the step by
// throwing StepCancelled when the user asks to stop; whatever the step was about to save stays unsaved.
#pragma once

#include "core/errors.h"

#include <QtGlobal>

#include <algorithm>
#include <functional>

using ProgressReport = std::function<void(qint64 done, qint64 total)>;

inline void reportProgress(const ProgressReport &progress, qint64 done, qint64 total)
{
    if (progress)
        progress(done, total);
}

// One stretch of a longer step: its own reports from none to all make the whole step's go from
// `first` to `last` thousandths.
inline ProgressReport progressPart(const ProgressReport &whole, int first, int last)
{
    if (!whole)
        return {};
    return [whole, first, last](qint64 done, qint64 total) {
        const qint64 share = total > 0 ? (last - first) * std::min(done, total) / total : 0;
        whole(first + share, 1000);
    };
}

// The user stopped a long step; the message says that nothing was saved.
class StepCancelled : public SondarykError
{
public:
    using SondarykError::SondarykError;
};
