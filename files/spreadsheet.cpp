// The workbook's reports laid out as sheets: headings, grids, the class and school workbooks, and
// the text of a report cell read as the figure it shows.
#include "files/spreadsheet.h"

#include "core/cells.h"
#include "core/numbers.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype maxSheetNameLength = 31;
constexpr int headingLineCount = 3; // title, date, caption

bool isAsciiDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return true;
}

// Cells of blanks only, as well as "-" and an absent pupil's "--", hold no figure.
bool isBlankText(const QString &text)
{
    return text.trimmed().isEmpty() || isBlankCell(text) || text == u"--";
}

SheetCell textCell(const QString &text, bool bold = false)
{
    SheetCell cell;
    if (!isBlankText(text))
        cell.text = text;
    cell.bold = bold;
    return cell;
}

void appendGrid(Sheet &sheet, const GridRows &grid, const QList<qsizetype> &textColumns,
                qsizetype droppedColumn = -1)
{
    sheet.rows.reserve(sheet.rows.size() + grid.size());
    for (qsizetype r = 0; r < grid.size(); ++r) {
        QList<SheetCell> cells;
        cells.reserve(grid.at(r).size());
        for (qsizetype c = 0; c < grid.at(r).size(); ++c) {
            if (c != droppedColumn)
                cells.append(gridCell(grid.at(r).at(c), r, c, textColumns));
        }
        sheet.rows.append(std::move(cells));
    }
}

void appendHeadingLines(Sheet &sheet, const ReportContent &report, const QString &caption)
{
    sheet.rows.append({textCell(u"Wyniki uczniów z testu "_s + report.testName, true)});
    sheet.rows.append({textCell(u"Data: "_s + report.testDate)});
    sheet.rows.append({textCell(caption, true)});
}

qsizetype columnCount(const GridRows &grid)
{
    qsizetype count = 0;
    for (const QStringList &row : grid)
        count = qMax(count, row.size());
    return count;
}

// The first widths as given, every further column of the grid `rest` wide.
QList<double> widths(QList<double> first, qsizetype columns, double rest)
{
    while (first.size() < columns)
        first.append(rest);
    return first;
}

// A class grid (L.p., code, mark, figures) under the report's heading lines.
Sheet classReportSheet(const QString &name, const ReportContent &report, const QString &caption,
                       const GridRows &grid, double figureWidth)
{
    Sheet sheet;
    sheet.name = name;
    appendHeadingLines(sheet, report, caption);
    appendGrid(sheet, grid, {1, 2});
    sheet.frozenRows = headingLineCount + (grid.isEmpty() ? 0 : 1); // down to the grid's headings
    sheet.frozenColumns = 2;
    sheet.columnWidths = widths({5, 14, 5}, columnCount(grid), figureWidth);
    return sheet;
}

} // namespace

// A grid's cell: the heading row bold and always text, the columns listed in textColumns (codes,
// marks, class labels) text, every other cell read as a figure.
SheetCell gridCell(const QString &text, qsizetype row, qsizetype column, const QList<qsizetype> &textColumns)
{
    if (row == 0)
        return textCell(text, true);
    if (textColumns.contains(column))
        return textCell(text);
    return reportCell(text);
}

QString sheetName(const QString &wanted, const QStringList &taken)
{
    QString name;
    name.reserve(wanted.size());
    for (const QChar c : wanted) {
        if (u"[]:*?/\\"_s.contains(c))
            name += u'-';
        else if (c.category() == QChar::Other_Control)
            name += u' ';
        else
            name += c;
    }
    // Blanks and apostrophes at the ends are dropped, also where a shortened name now ends.
    const auto trimEnds = [](QString text) {
        qsizetype begin = 0;
        qsizetype end = text.size();
        while (begin < end && (text.at(begin) == u'\'' || text.at(begin).isSpace()))
            ++begin;
        while (end > begin && (text.at(end - 1) == u'\'' || text.at(end - 1).isSpace()))
            --end;
        return text.mid(begin, end - begin);
    };
    name = trimEnds(name.simplified());
    if (name.isEmpty())
        name = u"Arkusz"_s;

    const auto shortened = [&](qsizetype length) {
        if (name.size() <= length)
            return name;
        if (name.at(length - 1).isHighSurrogate()) // never half a character
            --length;
        return trimEnds(name.left(length));
    };
    const auto isTaken = [&](const QString &candidate) {
        // Reserved by Excel for its own sheet of changes.
        if (candidate.compare(u"History"_s, Qt::CaseInsensitive) == 0)
            return true;
        for (const QString &other : taken) {
            if (candidate.compare(other, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };

    QString candidate = shortened(maxSheetNameLength);
    for (int n = 2; isTaken(candidate); ++n) {
        const QString suffix = u" (%1)"_s.arg(n);
        candidate = shortened(maxSheetNameLength - suffix.size()) + suffix;
    }
    return candidate;
}

SheetCell reportCell(const QString &text)
{
    // Points are most often one digit: a class sheet of a large school has millions of them.
    if (text.size() == 1 && text.front().unicode() >= u'0' && text.front().unicode() <= u'9') {
        SheetCell cell;
        cell.text = text;
        cell.number = double(text.front().unicode() - u'0');
        return cell;
    }
    SheetCell cell = textCell(text);
    if (cell.text.isEmpty())
        return cell;
    const QStringView body = text.startsWith(u'-') ? QStringView(text).mid(1) : QStringView(text);
    if (isAsciiDigits(body)) {
        if (const std::optional<qint32> value = parseInteger(text))
            cell.number = double(*value);
        return cell;
    }
    // Exactly the statistics files' "%4.2f" form; anything else may be a code or a label.
    const qsizetype point = body.indexOf(u'.');
    if (point > 0 && body.size() - point == 3 && isAsciiDigits(body.left(point)) &&
        isAsciiDigits(body.mid(point + 1))) {
        if (const std::optional<double> value = parseDecimal(text)) {
            cell.number = *value;
            cell.decimals = 2;
        }
    }
    return cell;
}

QList<QList<SheetCell>> sheetRows(const Sheet &sheet)
{
    Sheet whole;
    whole.rows = sheet.rows;
    appendGrid(whole, sheet.grid, sheet.gridTextColumns);
    return whole.rows;
}

QList<Sheet> classWorkbook(const ReportContent &report)
{
    return {classReportSheet(u"Zadania"_s, report, report.firstCaption, report.firstGrid, 7),
            classReportSheet(u"Podsumowanie"_s, report, report.secondCaption, report.secondGrid, 9)};
}

QList<Sheet> schoolWorkbook(const ReportContent &schoolReport, const QList<ClassSheetInput> &classes,
                            const ProgressReport &progress)
{
    // Column 2 of both school grids is hidden on screen and always empty.
    constexpr qsizetype hiddenColumn = 2;
    Sheet summary;
    summary.name = u"Podsumowanie"_s;
    appendHeadingLines(summary, schoolReport, schoolReport.firstCaption);
    appendGrid(summary, schoolReport.firstGrid, {1}, hiddenColumn);
    summary.frozenRows = headingLineCount + (schoolReport.firstGrid.isEmpty() ? 0 : 1);
    summary.frozenColumns = 2;
    summary.rows.append(QList<SheetCell>());
    summary.rows.append({textCell(schoolReport.secondCaption, true)});
    appendGrid(summary, schoolReport.secondGrid, {1}, hiddenColumn);
    const qsizetype summaryColumns =
        qMax(columnCount(schoolReport.firstGrid), columnCount(schoolReport.secondGrid)) - 1;
    summary.columnWidths = widths({5, 24}, summaryColumns, 8);

    QList<Sheet> sheets;
    sheets.reserve(classes.size() + 1);
    sheets.append(std::move(summary));
    QStringList taken{sheets.first().name};
    for (qsizetype i = 0; i < classes.size(); ++i) {
        const ClassSheetInput &input = classes.at(i);
        Sheet sheet;
        const QString wanted = input.label.trimmed().isEmpty() ? u"Klasa %1"_s.arg(i + 1) : input.label;
        sheet.name = sheetName(wanted, taken);
        taken.append(sheet.name);
        sheet.grid = input.answers;
        sheet.gridTextColumns = {1, 2};
        sheet.frozenRows = input.answers.isEmpty() ? 0 : 1;
        sheet.frozenColumns = 2;
        sheet.columnWidths = widths({5, 14, 5}, columnCount(input.answers), 7);
        sheets.append(std::move(sheet));
        reportProgress(progress, i + 1, classes.size());
    }
    return sheets;
}
