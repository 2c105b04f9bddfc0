// What a grid cell's text means, wherever a grid or a file of the school is read.
#pragma once

#include "core/cp1250.h"

#include <QList>
#include <QString>
#include <QStringList>

// A cell the grids hold as empty: no text, or one blank. The grid files write it as "-".
inline bool isEmptyCell(const QString &text)
{
    return text.isEmpty() || text == u" ";
}

// An empty cell or "-", as the grid files give an empty cell back: 0 points, no pupil code.
inline bool isBlankCell(const QString &text)
{
    return isEmptyCell(text) || text == u"-";
}

// A pupil sat the test only when the attendance mark is exactly "T" or "t".
inline bool isPresentMark(const QString &mark)
{
    return mark == u"T" || mark == u"t";
}

// The character can be typed into a cell: it fits the files' code page and breaks neither their
// lines nor their semicolon-separated fields.
inline bool isAllowedInCell(QChar c)
{
    return c != u';' && c.category() != QChar::Other_Control && cp1250::canEncode(c);
}

// The longest text a cell's editor takes.
inline constexpr qsizetype maxCellLength = 32767;

// A text as typing would leave it in a cell: refused characters dropped, cut at the longest.
QString asTypedCell(const QString &text);

// A block of cells as spreadsheets put it on the clipboard: rows by line breaks (CR LF, LF or CR),
// cells by tabs; the line break that ends the last row starts no row of its own.
QList<QStringList> parseCellBlock(const QString &text);
// The other way: cells joined by tabs, every row ended by a line feed.
QString cellBlockText(const QList<QStringList> &rows);

// "1 wiersz", "2 wiersze", "5 wierszy"; "1 kolumnę", "3 kolumny", "12 kolumn".
QString rowsText(int count);
QString columnsText(int count);

// What the teacher is told when a pasted block did not fit: "… pominięto 2 wiersze i 3 kolumny."
QString leftOutMessage(int rows, int columns);
