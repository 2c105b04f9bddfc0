// The file helpers and the application set up as the program sets it up, for the tests of windows;
// the tests below ui/ take the file helpers alone from filebytes.h.
#pragma once

#include "tests/support/filebytes.h"
#include "ui/appearance.h"
#include "ui/seams.h"

#include <QApplication>
#include <QStandardPaths>

inline void setUpApplication()
{
    applyProgramLook(*qobject_cast<QApplication *>(QCoreApplication::instance()));
    // The user's own settings and tests are never touched by a test.
    QStandardPaths::setTestModeEnabled(true);
    // No real folder dialog may ever open in a test.
    ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
}
