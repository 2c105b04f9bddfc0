#include "ui/shortcuts.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QList>
#include <QShortcut>
#include <QTabWidget>

#include <utility>

void addPageShortcuts(QWidget *window, QTabWidget *pages)
{
    const auto step = [pages](int by) {
        const int count = pages->count();
        if (count > 1)
            pages->setCurrentIndex((pages->currentIndex() + by + count) % count);
    };
    const QList<std::pair<QKeySequence, int>> keys{
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
    };
    for (const auto &[key, by] : keys) {
        auto *shortcut = new QShortcut(key, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, pages, [step, by = by] { step(by); });
    }
}

void giveShortcut(QAbstractButton *button, const QKeySequence &key)
{
    auto *shortcut = new QShortcut(key, button);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled() && button->isVisible())
            button->click();
    });
    button->setAccessibleDescription(QStringLiteral("Skrót klawiszowy: ") +
                                     key.toString(QKeySequence::NativeText));
}
