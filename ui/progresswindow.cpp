#include "ui/progresswindow.h"

#include "ui/messages.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

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

ProgressWindow::ProgressWindow(QWidget *parent, const QString &label, const QString &cancelled)
    : m_parent(parent), m_label(label), m_cancelled(cancelled)
{
    m_sinceStart.start();
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
    // A short step shows nothing and lets no event in: it is over before anyone could click.
    if (!m_dialog && (m_opened || m_sinceStart.elapsed() < delay))
        return;
    if (!m_dialog) {
        m_opened = true;
        m_dialog = new QProgressDialog(m_label, QStringLiteral("Anuluj"), 0, 1000, m_parent);
        m_dialog->setObjectName(QStringLiteral("fPostep"));
        m_dialog->setWindowTitle(messages::programName());
        // Nothing else may be clicked while the step works: it would run inside the step.
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->show();
        m_sinceUpdate.invalidate();
    }
    if (!m_sinceUpdate.isValid() || m_sinceUpdate.elapsed() >= updateEveryMs) {
        m_sinceUpdate.start();
        // The bar counts in thousandths, so that any total fits.
        m_dialog->setValue(total > 0 ? int(std::clamp<qint64>(done, 0, total) * 1000 / total) : 0);
        QCoreApplication::processEvents();
    }
    // The dialog goes with its window, should that close while events were let in.
    if (m_dialog && m_dialog->wasCanceled())
        throw StepCancelled(m_cancelled);
}

void ProgressWindow::setLabel(const QString &label)
{
    m_label = label;
    if (m_dialog)
        m_dialog->setLabelText(label);
}

} // namespace ui
