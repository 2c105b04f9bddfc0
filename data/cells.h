// What a grid cell's text means, wherever a grid or a file of the school is read.
#pragma once

#include <QString>

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
