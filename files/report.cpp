#include "files/report.h"

#include "core/cp1250.h"

#include <utility>

namespace {

const QString titleStart = QStringLiteral("Wyniki uczniów z testu ");
const QString dateStart = QStringLiteral("Data: ");
const QString lineEnd = QStringLiteral("\r\n");

void appendRows(QString &text, const GridRows &rows)
{
    for (const QStringList &row : rows) {
        for (const QString &cell : row) {
            text += cell.isEmpty() ? QStringLiteral(" ") : cell;
            text += QLatin1Char(';');
        }
        text += lineEnd;
    }
}

// One grid's lines: every cell ends with ';', and every row is as wide as the first.
std::optional<GridRows> parseRows(const QStringList &lines)
{
    GridRows rows;
    for (const QString &line : lines) {
        if (!line.endsWith(QLatin1Char(';')))
            return std::nullopt;
        QStringList cells = line.chopped(1).split(QLatin1Char(';'));
        for (QString &cell : cells) {
            if (cell == QStringLiteral(" "))
                cell.clear();
        }
        if (!rows.isEmpty() && cells.size() != rows.first().size())
            return std::nullopt;
        rows.append(cells);
    }
    return rows;
}

GridRows withHeading(GridRows rows, const QString &heading)
{
    if (!rows.isEmpty() && rows[0].size() > 1)
        rows[0][1] = heading;
    return rows;
}

} // namespace

QByteArray reportBytes(const ReportContent &report, bool *encodable)
{
    QString text;
    text += titleStart + report.testName + lineEnd;
    text += dateStart + report.testDate + lineEnd;
    text += lineEnd + report.firstCaption + lineEnd;
    appendRows(text, report.firstGrid);
    text += lineEnd + report.secondCaption + lineEnd;
    appendRows(text, report.secondGrid);
    return cp1250::encode(text, encodable);
}

std::optional<ReportContent> parseReport(const QByteArray &bytes)
{
    const QString text = cp1250::decode(bytes);
    if (!text.endsWith(lineEnd))
        return std::nullopt;
    const QStringList lines = text.chopped(lineEnd.size()).split(lineEnd);
    // Title, date, a blank line, the first caption, its rows, a blank line, the second caption.
    const qsizetype gap = lines.indexOf(QString(), 4);
    if (lines.size() < 6 || !lines[0].startsWith(titleStart) || !lines[1].startsWith(dateStart) ||
        !lines[2].isEmpty() || gap < 4 || gap + 1 >= lines.size())
        return std::nullopt;
    ReportContent report;
    report.testName = lines[0].mid(titleStart.size());
    report.testDate = lines[1].mid(dateStart.size());
    report.firstCaption = lines[3];
    report.secondCaption = lines[gap + 1];
    const std::optional<GridRows> first = parseRows(lines.mid(4, gap - 4));
    const std::optional<GridRows> second = parseRows(lines.mid(gap + 2));
    if (!first || !second)
        return std::nullopt;
    report.firstGrid = *first;
    report.secondGrid = *second;
    // Whatever the code page could not hold, or any other line that reportBytes would not have
    // written so, makes the bytes no report of this content.
    if (reportBytes(report) != bytes)
        return std::nullopt;
    return report;
}

GridRows withSchoolFileHeading(GridRows rows)
{
    return withHeading(std::move(rows), QStringLiteral("Nr. zadania"));
}

GridRows withSchoolPageHeading(GridRows rows)
{
    return withHeading(std::move(rows), QStringLiteral("Klasa"));
}
