// Shows a topic of the program's help file in a help window of its own.
#pragma once

#include <QString>

class QWidget;

// Opens the HTML help file at the anchor `topic`. A missing file is reported with its path.
// Returns the help window, or nullptr when the file could not be shown.
QWidget *showHelpTopic(QWidget *owner, const QString &helpFilePath, const QString &topic);

// The help file beside the program, wherever it was started from: the one the workbook and the
// windows it opens show.
QString helpBesideProgram();
