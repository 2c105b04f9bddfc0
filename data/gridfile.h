// The semicolon grid file and the statistics file, the two work-file formats of a school directory.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

using GridRows = QList<QStringList>; // rows of cell texts, row 0 first

// A pupil sat the test only when the attendance mark is exactly "T" or "t".
bool isPresentMark(const QString &mark);

// "%s;" per cell, "-;" for an empty or one-blank cell, CR LF between rows, nothing after the last.
QByteArray gridFileBytes(const GridRows &rows);

// Each line's fields, one per ";"; what follows the last ";" of a line (CR included) is dropped.
GridRows parseGridFile(const QByteArray &windows1250Bytes);

// Two lines of "%4.2f;" values: averages, CR LF, facilities, and nothing after the last ";".
QByteArray statisticsFileBytes(const QList<float> &averages, const QList<float> &facilities);
