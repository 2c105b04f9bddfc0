#include "documents/reporttable.h"

#include "core/numbers.h"
#include "documents/analysiswords.h"

ReportCell ReportCell::textOf(const QString &text, const QString &colour)
{
    ReportCell cell;
    cell.text = text;
    cell.colour = colour;
    return cell;
}

ReportCell ReportCell::integer(qint64 value)
{
    ReportCell cell;
    cell.kind = Kind::Integer;
    cell.value = double(value);
    return cell;
}

ReportCell ReportCell::decimal(double value, int places, const QString &colour)
{
    ReportCell cell;
    cell.kind = Kind::Decimal;
    cell.value = value;
    cell.places = places;
    cell.colour = colour;
    return cell;
}

ReportCell ReportCell::missing(const QString &documentText)
{
    ReportCell cell;
    cell.kind = Kind::Missing;
    cell.text = documentText;
    return cell;
}

namespace reporthtml {

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString heading(const QString &text)
{
    return QStringLiteral("<h2>%1</h2>\n").arg(escaped(text));
}

QString tableStart()
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                          "style=\"border-collapse: collapse; border-color: #808080;\">\n");
}

QString row(const QList<Cell> &cells, bool header)
{
    QString html = QStringLiteral("<tr>");
    const QString tag = header ? QStringLiteral("th") : QStringLiteral("td");
    for (const Cell &cell : cells) {
        html += QLatin1Char('<') + tag;
        if (!cell.colour.isEmpty())
            html += QStringLiteral(" bgcolor=\"%1\"").arg(cell.colour);
        if (cell.right)
            html += QStringLiteral(" align=\"right\"");
        html += QLatin1Char('>') + escaped(cell.text) + QStringLiteral("</") + tag + QLatin1Char('>');
    }
    html += QStringLiteral("</tr>");
    return header ? QStringLiteral("<thead>") + html + QStringLiteral("</thead>\n") : html + u'\n';
}

} // namespace reporthtml

namespace {

reporthtml::Cell documentCell(const ReportCell &cell)
{
    switch (cell.kind) {
    case ReportCell::Kind::Text:
        return {cell.text, cell.colour, false};
    case ReportCell::Kind::Integer:
        return {QString::number(qint64(cell.value)), cell.colour, true};
    case ReportCell::Kind::Decimal:
        return {polishDecimal(cell.value, cell.places), cell.colour, true};
    case ReportCell::Kind::Missing:
        break;
    }
    return {cell.text.isEmpty() ? noData() : cell.text, cell.colour, true};
}

SheetCell sheetCell(const ReportCell &cell)
{
    SheetCell made;
    switch (cell.kind) {
    case ReportCell::Kind::Text:
        made.text = cell.text;
        break;
    case ReportCell::Kind::Integer:
        made.number = cell.value;
        break;
    case ReportCell::Kind::Decimal:
        // Two decimals hold the figure the document prints: a spreadsheet would round 0.625 up to
        // 0,63 where the grids and the document show 0,62.
        made.number = cell.places == 2 ? roundedToHundredths(cell.value) : cell.value;
        made.decimals = cell.places;
        break;
    case ReportCell::Kind::Missing:
        break;
    }
    return made;
}

} // namespace

QString reportTableHtml(const ReportTable &table)
{
    QList<reporthtml::Cell> header;
    for (qsizetype c = 0; c < table.header.size(); ++c) {
        if (!table.sheetOnly.contains(c))
            header.append({table.header[c]});
    }
    QString html = table.heading.isEmpty() ? QString() : reporthtml::heading(table.heading);
    if (!table.lead.isEmpty())
        html += QStringLiteral("<p>%1</p>\n").arg(reporthtml::escaped(table.lead));
    html += reporthtml::tableStart() + reporthtml::row(header, true);
    for (const QList<ReportCell> &cells : table.rows) {
        QList<reporthtml::Cell> shown;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (!table.sheetOnly.contains(c))
                shown.append(documentCell(cells[c]));
        }
        html += reporthtml::row(shown);
    }
    return html + QStringLiteral("</table>\n");
}

void appendReportTable(Sheet *sheet, const ReportTable &table)
{
    sheet->rows.append(QList<SheetCell>());
    SheetCell title;
    title.text = table.heading.isEmpty() ? table.lead : table.heading;
    title.bold = !table.heading.isEmpty();
    sheet->rows.append({title});
    QList<SheetCell> header;
    for (qsizetype c = 0; c < table.header.size(); ++c) {
        if (table.documentOnly.contains(c))
            continue;
        SheetCell cell;
        cell.text = table.header[c];
        cell.bold = true;
        header.append(cell);
    }
    sheet->rows.append(header);
    for (const QList<ReportCell> &cells : table.rows) {
        QList<SheetCell> written;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (!table.documentOnly.contains(c))
                written.append(sheetCell(cells[c]));
        }
        sheet->rows.append(written);
    }
}
