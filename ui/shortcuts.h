// Keys for what the mouse does on controls that take no focus: page tabs and toolbar buttons.
#pragma once

class QAbstractButton;
class QKeySequence;
class QTabWidget;
class QWidget;

// Keys that switch a window's pages as clicks on their tabs do, whichever control has the focus:
// Ctrl+PgDn and Ctrl+Tab the next page, Ctrl+PgUp and Ctrl+Shift+Tab the one before, round the ends.
void addPageShortcuts(QWidget *window, QTabWidget *pages);

// A key of the button's own, which works only while the button is there to be clicked; it is told
// to screen readers, and the hint is left as it is.
void giveShortcut(QAbstractButton *button, const QKeySequence &key);
