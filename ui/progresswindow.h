// The window a long step shows while it works: what is being done, how far it has come, and
// "Anuluj". It appears only when the step lasts longer than half a second; once the user presses
// Anuluj, the step's next report throws StepCancelled with the words the step gave for it.
#pragma once

#include "core/progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace ui {

class ProgressWindow
{
public:
    // label: what is being done ("Tworzenie kart wyników uczniów…"); cancelled: what the user is told
    // after Anuluj ("Przerwano … Nic nie zostało zapisane.").
    ProgressWindow(QWidget *parent, const QString &label, const QString &cancelled);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    // The report to hand to the step; valid while this window lives.
    ProgressReport report();
    void update(qint64 done, qint64 total);
    void setLabel(const QString &label);

private:
    QWidget *m_parent;
    QString m_label;
    QString m_cancelled;
    QPointer<QProgressDialog> m_dialog; // made once the step has lasted long enough
    bool m_opened = false;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceUpdate;
};

// How long a step runs before its window shows, in milliseconds; tests make it 0.
void setProgressDelay(int milliseconds);

} // namespace ui
