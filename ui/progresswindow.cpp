#include "ui/progresswindow.h"

#include "ui/messages.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace ui {

namespace {

int delay = 500;

// Often enough for Anuluj to answer at once, seldom enough to cost nothing.
constexpr qint64 updateEveryMs = 40;

} // namespace

void setProgressDelay(int milliseconds)
{
    delay = milliseconds;
}

int progressDelay()
{
    return delay;
}

ProgressWindow::ProgressWindow(QWidget *parent, const QString &label, const QString &cancelled)
    : m_dialog(new QProgressDialog(label, QStringLiteral("Anuluj"), 0, 0, parent)), m_cancelled(cancelled)
{
    m_dialog->setObjectName(QStringLiteral("fPostep"));
    m_dialog->setWindowTitle(messages::programName());
    // Nothing else may be clicked while the step works: it would run inside the step.
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(delay);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(0);
    m_sinceUpdate.start();
}

ProgressWindow::~ProgressWindow()
{
    delete m_dialog.data();
}

ProgressReport ProgressWindow::report()
{
    return [this](qint64 done, qint64 total) { update(done, total); };
}

void ProgressWindow::update(qint64 done, qint64 total)
{
    if (!m_dialog)
        return;
    if (m_sinceUpdate.elapsed() >= updateEveryMs || delay == 0 || done >= total) {
        m_sinceUpdate.restart();
        // The bar counts in thousandths, so that any total fits an int.
        m_dialog->setMaximum(1000);
        m_dialog->setValue(total > 0 ? int(std::min<qint64>(done, total) * 1000 / total) : 0);
        if (delay == 0 && !m_dialog->isVisible())
            m_dialog->show();
        QCoreApplication::processEvents();
    }
    if (m_dialog->wasCanceled())
        throw StepCancelled(m_cancelled);
}

void ProgressWindow::setLabel(const QString &label)
{
    if (m_dialog)
        m_dialog->setLabelText(label);
}

} // namespace ui
