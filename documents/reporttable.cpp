#include "documents/reporttable.h"

#include "analysis/comparison.h"
#include "core/numbers.h"
#include "documents/analysiswords.h"

#include <QStringList>

#include <algorithm>

namespace {

ReportCell figure(ReportCell::Kind kind, double value, int decimals)
{
    ReportCell cell;
    cell.kind = kind;
    cell.value = value;
    cell.decimals = decimals;
    return cell;
}

bool isWords(const ReportCell &cell)
{
    return cell.kind == ReportCell::Kind::Text || cell.kind == ReportCell::Kind::NoName ||
           cell.kind == ReportCell::Kind::Empty;
}

SheetCell sheetNumber(double value, int decimals)
{
    SheetCell cell;
    // Two decimals hold the figure the document prints: a spreadsheet would round 0.625 up to 0,63
    // where the grids and the document show 0,62.
    cell.number = decimals == 2 ? roundedToHundredths(value) : value;
    cell.decimals = decimals;
    return cell;
}

bool shown(const QList<ReportOutput> &columns, qsizetype column, ReportOutput output)
{
    const ReportOutput where = columns.value(column, ReportOutput::Both);
    return where == ReportOutput::Both || where == output;
}

QString tableStart()
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                          "style=\"border-collapse: collapse; border-color: #808080;\">\n");
}

QString htmlCell(const QString &tag, const QString &text, const QString &colour, bool right,
                 bool bold = false)
{
    QString html = QLatin1Char('<') + tag;
    if (!colour.isEmpty())
        html += QStringLiteral(" bgcolor=\"%1\"").arg(colour);
    if (right)
        html += QStringLiteral(" align=\"right\"");
    const QString escaped =
        bold ? QStringLiteral("<b>") + text.toHtmlEscaped() + QStringLiteral("</b>") : text.toHtmlEscaped();
    return html + QLatin1Char('>') + escaped + QStringLiteral("</") + tag + QLatin1Char('>');
}

// A header row is the table's <thead>, which printing repeats on every page the table continues on.
QString htmlRow(const QList<ReportCell> &cells, const QList<ReportOutput> &columns, bool header,
                const DocumentOptions &options)
{
    QString html = QStringLiteral("<tr>");
    const QString tag = header ? QStringLiteral("th") : QStringLiteral("td");
    qsizetype written = 0;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (!shown(columns, c, ReportOutput::DocumentOnly))
            continue;
        const ReportCell &cell = cells[c];
        const bool right = !header && (options.rightAfterFirst ? written > 0 : !isWords(cell));
        html += htmlCell(tag, documentText(cell), cell.colour, right, cell.strong);
        ++written;
    }
    html += QStringLiteral("</tr>");
    return header ? QStringLiteral("<thead>") + html + QStringLiteral("</thead>\n") : html + u'\n';
}

QString rangesAcross(const ReportTable &table)
{
    QString html = QStringLiteral("<tr>");
    for (const ReportRow &row : table.rows) {
        const QList<ReportCell> &cells = row.cells;
        const QString text = documentText(cells.value(0)) + u'–' + documentText(cells.value(1)) + u' ' +
                             documentText(cells.value(2));
        html += htmlCell(QStringLiteral("td"), text, cells.value(0).colour, false);
    }
    return html + QStringLiteral("</tr>\n");
}

} // namespace

ReportCell textCell(const QString &text)
{
    ReportCell cell;
    cell.kind = ReportCell::Kind::Text;
    cell.text = text;
    return cell;
}

ReportCell integerCell(qint64 value)
{
    return figure(ReportCell::Kind::Integer, double(value), 0);
}

ReportCell decimalCell(double value, int decimals)
{
    return figure(ReportCell::Kind::Decimal, value, decimals);
}

ReportCell shareCell(double fraction)
{
    return figure(ReportCell::Kind::Share, fraction, 0);
}

ReportCell percentCell(double value, int decimals)
{
    return figure(ReportCell::Kind::Percent, value, decimals);
}

ReportCell differenceCell(double points)
{
    return figure(ReportCell::Kind::Difference, points, 0);
}

ReportCell integersCell(const QList<qint64> &values)
{
    ReportCell cell = figure(ReportCell::Kind::Integers, 0, 0);
    cell.values = values;
    return cell;
}

ReportCell noDataCell()
{
    return figure(ReportCell::Kind::NoData, 0, 0);
}

ReportCell missingCell(const QString &text)
{
    ReportCell cell;
    cell.kind = ReportCell::Kind::Missing;
    cell.text = text;
    return cell;
}

ReportCell noNameCell(const QString &text)
{
    ReportCell cell = missingCell(text);
    cell.kind = ReportCell::Kind::NoName;
    return cell;
}

ReportCell named(ReportCell cell, const QString &name)
{
    cell.text = name;
    return cell;
}

ReportCell strong(ReportCell cell)
{
    cell.strong = true;
    return cell;
}

ReportCell coloured(ReportCell cell, const QString &colour)
{
    cell.colour = colour;
    return cell;
}

QString documentText(const ReportCell &cell)
{
    QString text;
    switch (cell.kind) {
    case ReportCell::Kind::Empty:
        return QString();
    case ReportCell::Kind::Text:
    case ReportCell::Kind::Missing:
    case ReportCell::Kind::NoName:
        return cell.text;
    case ReportCell::Kind::NoData:
        return noData();
    case ReportCell::Kind::Integer:
        text = QString::number(qint64(cell.value));
        break;
    case ReportCell::Kind::Decimal:
        text = polishDecimal(cell.value, cell.decimals);
        break;
    case ReportCell::Kind::Share:
        // The share's hundredths as the two-decimal figure holds them: 0,62 and 62%.
        text = QString::number(hundredths(cell.value)) + u'%';
        break;
    case ReportCell::Kind::Percent:
        text = polishDecimal(cell.value, cell.decimals) + u'%';
        break;
    case ReportCell::Kind::Difference:
        // The bound only keeps the conversion to a whole number defined.
        text = signedPoints(int(roundedUnits(std::clamp(cell.value, -1e9, 1e9), 0)));
        break;
    case ReportCell::Kind::Integers: {
        QStringList parts;
        for (const qint64 value : cell.values)
            parts.append(QString::number(value));
        return parts.join(QStringLiteral("; "));
    }
    }
    return cell.text.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, cell.text);
}

SheetCell sheetText(const QString &text, bool bold)
{
    SheetCell cell;
    cell.text = text;
    cell.bold = bold;
    return cell;
}

QList<SheetCell> sheetCells(const ReportCell &cell, const SheetOptions &options)
{
    QList<SheetCell> cells;
    switch (cell.kind) {
    case ReportCell::Kind::Empty:
    case ReportCell::Kind::NoData:
    case ReportCell::Kind::Missing:
    case ReportCell::Kind::NoName:
        return {SheetCell{}};
    case ReportCell::Kind::Text:
        return {sheetText(cell.text)};
    case ReportCell::Kind::Integer:
    case ReportCell::Kind::Difference:
        cells.append(sheetNumber(cell.value, 0));
        break;
    case ReportCell::Kind::Decimal:
    case ReportCell::Kind::Percent:
        cells.append(sheetNumber(cell.value, cell.sheetDecimals >= 0 ? cell.sheetDecimals : cell.decimals));
        break;
    case ReportCell::Kind::Share:
        cells.append(options.sharesAsFractions ? sheetNumber(cell.value, 2)
                                               : sheetNumber(double(hundredths(cell.value)), 0));
        break;
    case ReportCell::Kind::Integers:
        for (const qint64 value : cell.values)
            cells.append(sheetNumber(double(value), 0));
        return cells;
    }
    if (cell.strong && !cells.isEmpty())
        cells.first().bold = true;
    if (options.captionsBeside && !cell.text.isEmpty())
        cells.append(sheetText(cell.text));
    return cells;
}

QString documentTableOnly(const ReportTable &table, const DocumentOptions &options)
{
    QString html = tableStart();
    if (options.rangesAcross)
        return html + rangesAcross(table) + QStringLiteral("</table>\n");
    if (!table.header.isEmpty())
        html += htmlRow(table.header, table.columns, true, options);
    for (const ReportRow &row : table.rows) {
        if (row.output != ReportOutput::SheetOnly)
            html += htmlRow(row.cells, table.columns, false, options);
    }
    return html + QStringLiteral("</table>\n");
}

QString documentTable(const ReportTable &table, const DocumentOptions &options)
{
    QString html;
    if (!table.heading.isEmpty())
        html += QStringLiteral("<h2>%1</h2>\n").arg(table.heading.toHtmlEscaped());
    if (!table.note.isEmpty())
        html += QStringLiteral("<p>%1</p>\n").arg(table.note.toHtmlEscaped());
    return html + documentTableOnly(table, options);
}

void appendToSheet(Sheet *sheet, const ReportTable &table, const SheetOptions &options)
{
    if (!table.heading.isEmpty() || !table.note.isEmpty())
        sheet->rows.append(QList<SheetCell>());
    if (!table.heading.isEmpty())
        sheet->rows.append({sheetText(table.heading, true)});
    if (!table.note.isEmpty())
        sheet->rows.append({sheetText(table.note)});
    const auto line = [&](const QList<ReportCell> &cells, bool header) {
        QList<SheetCell> written;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (!shown(table.columns, c, ReportOutput::SheetOnly))
                continue;
            if (header && cells[c].kind == ReportCell::Kind::Text)
                written.append(sheetText(cells[c].text, true));
            else
                written += sheetCells(cells[c], options);
        }
        sheet->rows.append(written);
    };
    if (options.withHeader && !table.header.isEmpty())
        line(table.header, true);
    for (const ReportRow &row : table.rows) {
        if (row.output == ReportOutput::DocumentOnly)
            continue;
        const bool noData = std::any_of(row.cells.begin(), row.cells.end(), [](const ReportCell &cell) {
            return cell.kind == ReportCell::Kind::NoData;
        });
        if (!(options.skipNoDataLines && noData))
            line(row.cells, false);
    }
}
