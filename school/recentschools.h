// The schools a teacher opened last, kept in the user's own settings (paths only), newest first.
#pragma once

#include <QString>
#include <QStringList>

namespace recentschools {

constexpr int maxKept = 8;

// The settings file the list lives in: the user's configuration folder, by the XDG rules.
QString settingsFile();

// The list as kept, newest first.
QStringList load(const QString &settingsFile);
// The list with path first (once), cut to maxKept, written back.
QStringList remember(const QString &settingsFile, const QString &path);

// What of the list still holds a school (a folder with Szkola.ini), and what no longer does; the
// list kept is put right so that a school gone is said once.
struct Checked {
    QStringList existing;
    QStringList missing;
};
Checked checkAndPrune(const QString &settingsFile);

// The school's own test as the list names it beside the folder, "Matematyka, 2026-03-20"; empty
// when its Setup.ini cannot be read.
QString schoolTestName(const QString &schoolFolder);

// The test file a new school was last set up with (the "Test:" choice), kept for the next window.
QString lastTest(const QString &settingsFile);
void rememberTest(const QString &settingsFile, const QString &path);

} // namespace recentschools
