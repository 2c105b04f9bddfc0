// How a long step tells the window how far it has come. The window's report may end the step by
// throwing StepCancelled when the user asks to stop; whatever the step was about to save stays unsaved.
#pragma once

#include "core/errors.h"

#include <QtGlobal>

#include <functional>

using ProgressReport = std::function<void(qint64 done, qint64 total)>;

inline void reportProgress(const ProgressReport &progress, qint64 done, qint64 total)
{
    if (progress)
        progress(done, total);
}

// The user stopped a long step; the message says that nothing was saved.
class StepCancelled : public SondarykError
{
public:
    using SondarykError::SondarykError;
};
