// Windows beyond the workbook were drawn at fixed places in the 8-point font. These helpers let
// them grow: each widget keeps its distance to the edges it follows, the window never gets smaller
// than drawn, and its size is kept in the user's settings for the next time it opens.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QAbstractButton;
class QDialog;
class QWidget;

namespace grows {
// How a widget follows its window: none stays where it was drawn.
constexpr int none = 0;
constexpr int wider = 1;  // its right edge follows the window's
constexpr int taller = 2; // its bottom edge follows the window's
constexpr int right = 4;  // moves with the window's right edge
constexpr int down = 8;   // moves with the window's bottom edge
} // namespace grows

// The widgets placed in one container, following the growth of a measured widget: the window
// itself, or the tab widget whose page holds them (a page grows exactly as its tab widget).
class Growth : public QObject
{
public:
    explicit Growth(QWidget *measured);
    void follow(QWidget *widget, int how);
    // Something more to do as the window grows, given how much wider and taller it is than drawn.
    void also(std::function<void(int dx, int dy)> step);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Follower {
        QPointer<QWidget> widget;
        QRect drawn;
        int how = grows::none;
    };
    void place();

    QWidget *m_measured;
    QSize m_drawn;
    QList<Follower> m_followers;
    QList<std::function<void(int, int)>> m_steps;
};

// Lets a window drawn at a fixed size be resized and maximised from that size up, and keeps its
// size under its object name in the settings file, from one opening to the next.
void letWindowGrow(QDialog *window, const QString &settingsFile);
// Only the keeping, for a window whose layout already lets it grow.
void keepWindowSize(QDialog *window, const QString &settingsFile);

// A "Pomoc" button and F1 in a window open the help at its topic.
void offerHelp(QWidget *window, QAbstractButton *button, const QString &topic);
