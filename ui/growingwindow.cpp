#include "ui/growingwindow.h"

#include "ui/guarded.h"
#include "ui/helpviewer.h"

#include <QAbstractButton>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QSettings>
#include <QShortcut>

#include <algorithm>

Growth::Growth(QWidget *measured) : QObject(measured), m_measured(measured), m_drawn(measured->size())
{
    measured->installEventFilter(this);
}

void Growth::follow(QWidget *widget, int how)
{
    m_followers.append({widget, widget->geometry(), how});
    place();
}

void Growth::also(std::function<void(int dx, int dy)> step)
{
    m_steps.append(std::move(step));
    place();
}

bool Growth::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_measured && event->type() == QEvent::Resize)
        place();
    return QObject::eventFilter(watched, event);
}

void Growth::place()
{
    // Never smaller than drawn: a window is not made smaller than its layout.
    const int dx = std::max(0, m_measured->width() - m_drawn.width());
    const int dy = std::max(0, m_measured->height() - m_drawn.height());
    for (const Follower &follower : std::as_const(m_followers)) {
        if (!follower.widget)
            continue;
        QRect placed = follower.drawn;
        if (follower.how & grows::right)
            placed.translate(dx, 0);
        if (follower.how & grows::down)
            placed.translate(0, dy);
        if (follower.how & grows::wider)
            placed.setWidth(placed.width() + dx);
        if (follower.how & grows::taller)
            placed.setHeight(placed.height() + dy);
        follower.widget->setGeometry(placed);
    }
    for (const auto &step : std::as_const(m_steps))
        step(dx, dy);
}

namespace {

const QString sizeGroup = QStringLiteral("RozmiaryOkien");

// Keeps the window's size when it closes: hidden (closed or rejected) or destroyed with its owner.
class SizeKeeper : public QObject
{
public:
    SizeKeeper(QDialog *window, QString settingsFile)
        : QObject(window), m_window(window), m_settingsFile(std::move(settingsFile))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Hide && !m_settingsFile.isEmpty()) {
            QSettings settings(m_settingsFile, QSettings::IniFormat);
            settings.beginGroup(sizeGroup);
            // A maximised window comes back at the size it had before, so that it still fits a
            // smaller screen.
            const QSize kept = m_window->isMaximized() ? m_window->normalGeometry().size() : m_window->size();
            if (kept.isValid())
                settings.setValue(m_window->objectName(), kept);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QDialog *m_window;
    QString m_settingsFile;
};

} // namespace

void keepWindowSize(QDialog *window, const QString &settingsFile)
{
    if (!settingsFile.isEmpty()) {
        QSettings settings(settingsFile, QSettings::IniFormat);
        QSize kept = settings.value(sizeGroup + u'/' + window->objectName()).toSize();
        if (kept.isValid()) {
            // A size kept on a larger screen is cut to this one.
            if (const QScreen *screen = QGuiApplication::primaryScreen())
                kept = kept.boundedTo(screen->availableSize());
            window->resize(kept.expandedTo(window->minimumSize()));
        }
    }
    new SizeKeeper(window, settingsFile);
}

void letWindowGrow(QDialog *window, const QString &settingsFile)
{
    const QSize drawn = window->size();
    window->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    window->setMinimumSize(drawn);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->setSizeGripEnabled(true);
    keepWindowSize(window, settingsFile);
}

void offerHelp(QWidget *window, QAbstractButton *button, const QString &topic)
{
    auto open = [window, topic] { guarded([&] { showHelpTopic(window, helpBesideProgram(), topic); }); };
    QObject::connect(button, &QAbstractButton::clicked, window, open);
    auto *key = new QShortcut(QKeySequence::HelpContents, window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, open);
}
