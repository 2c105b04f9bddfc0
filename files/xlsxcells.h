// What the XLSX writer's two halves share: the library's adapter (xlsxlibrary.cpp) and the packing
// of the cells beside it (sheetpacking.cpp) walk the same cells in the same order and must number
// strings and formats alike.
#pragma once

#include "core/progress.h"
#include "files/spreadsheet.h"

#include <QByteArray>
#include <QHash>

#include <array>
#include <utility>

namespace xlsx {

// "A", "B", … "Z", "AA", …: a column's letters in a cell reference.
QByteArray columnLetters(qsizetype column);
QString inSheet(const Sheet &sheet, const QString &what);
// The words for the library's failure to get memory, which the packing can meet as well.
QString outOfMemory();

// A cell's format slot: by decimals (none for text, then 0 to 30) and boldness; -1 for none.
constexpr int formatSlotCount = 64;

inline int formatSlot(const SheetCell &cell)
{
    const int decimals = cell.number ? qBound(0, cell.decimals, 30) : -1;
    if (decimals < 0 && !cell.bold)
        return -1;
    return 2 * (decimals + 1) + (cell.bold ? 1 : 0);
}

// A text cell's bytes as written: a C string ends at the first NUL, so the cell keeps what the user
// could see. Empty when there is nothing to write.
inline QByteArray textBytes(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    if (utf8.contains('\0'))
        utf8.replace(QByteArrayView("\0", 1), QByteArrayView());
    return utf8;
}

// What the cells need from the library's part of the file: the shared strings' numbers, in the
// order the strings were first written, and the formats' style numbers.
struct SheetLayout {
    QByteArray dimension = "A1"; // the cells' range; "A1" when there are none
    // Each block of 16 rows spans the columns from its leftmost cell to its rightmost.
    QList<std::pair<qsizetype, qsizetype>> spans;
};

struct Packing {
    QHash<QByteArray, quint32> strings;
    std::array<int, formatSlotCount> styles{};
    QList<SheetLayout> sheets;
};

// Calls f(row, column, cell) for every cell of the sheet in the order it is written: row by row,
// left to right.
template <typename F> void forEachCell(const Sheet &sheet, F &&f)
{
    for (qsizetype r = 0; r < sheet.rows.size(); ++r) {
        const QList<SheetCell> &row = sheet.rows.at(r);
        for (qsizetype c = 0; c < row.size(); ++c)
            f(r, c, row.at(c));
    }
    for (qsizetype g = 0; g < sheet.grid.size(); ++g) {
        const QStringList &row = sheet.grid.at(g);
        const qsizetype r = sheet.rows.size() + g;
        for (qsizetype c = 0; c < row.size(); ++c)
            f(r, c, gridCell(row.at(c), g, c, sheet.gridTextColumns));
    }
}

// Every sheet's cells put into the library's file, the sheets packed side by side on the
// machine's cores. Empty when it is done; progress is told of each sheet packed.
QString packSheets(QByteArray &zip, const QList<Sheet> &sheets, const Packing &packing,
                   const ProgressReport &progress);

} // namespace xlsx
