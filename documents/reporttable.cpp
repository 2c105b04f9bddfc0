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

// The text as QString::toHtmlEscaped() gives it, written straight into the document.
void appendEscaped(QString *html, QStringView text)
{
    // Most texts have nothing to escape; in a longer one Qt looks for the four characters faster
    // than a loop here.
    if (text.size() > 4 && !text.contains(u'<') && !text.contains(u'>') && !text.contains(u'&') &&
        !text.contains(u'"')) {
        html->append(text);
        return;
    }
    // The four characters HTML escapes all lie below 64: one bit each tells them apart from the rest.
    constexpr quint64 escaped = 1ull << u'"' | 1ull << u'&' | 1ull << u'<' | 1ull << u'>';
    const QChar *plain = text.cbegin();
    for (const QChar *c = text.cbegin(); c != text.cend(); ++c) {
        const char16_t u = c->unicode();
        if (u >= 64 || !(escaped >> u & 1))
            continue;
        html->append(QStringView(plain, c));
        html->append(u == u'<'   ? QStringView(u"&lt;")
                     : u == u'>' ? QStringView(u"&gt;")
                     : u == u'&' ? QStringView(u"&amp;")
                                 : QStringView(u"&quot;"));
        plain = c + 1;
    }
    html->append(QStringView(plain, text.cend()));
}

// Cells are written straight into the table's text, each tag in one piece: a document has
// thousands of them.
void openHtmlCell(QString *html, bool header, const QString &colour, bool right, bool bold)
{
    if (colour.isEmpty()) {
        if (header)
            html->append(right ? QStringView(u"<th align=\"right\">") : QStringView(u"<th>"));
        else
            html->append(right ? QStringView(u"<td align=\"right\">") : QStringView(u"<td>"));
    } else {
        html->append(header ? QStringView(u"<th bgcolor=\"") : QStringView(u"<td bgcolor=\""));
        html->append(colour);
        html->append(right ? QStringView(u"\" align=\"right\">") : QStringView(u"\">"));
    }
    if (bold)
        html->append(u"<b>");
}

void closeHtmlCell(QString *html, bool header, bool bold)
{
    if (bold)
        html->append(header ? QStringView(u"</b></th>") : QStringView(u"</b></td>"));
    else
        html->append(header ? QStringView(u"</th>") : QStringView(u"</td>"));
}

// The cell's documentText(), escaped, written straight into the document: a figure is written where
// it is formatted, and has nothing to escape.
void appendCellText(QString *html, const ReportCell &cell)
{
    switch (cell.kind) {
    case ReportCell::Kind::Integer:
        html->append(NumberedName(QStringView(), qint64(cell.value)));
        break;
    case ReportCell::Kind::Decimal:
        appendPolishDecimal(html, cell.value, cell.decimals);
        break;
    case ReportCell::Kind::Share:
        html->append(NumberedName(QStringView(), hundredths(cell.value)));
        html->append(u'%');
        break;
    case ReportCell::Kind::Percent:
        appendPolishDecimal(html, cell.value, cell.decimals);
        html->append(u'%');
        break;
    default:
        // Words, and the figures written with words or several numbers, have no name after them.
        appendEscaped(html, documentText(cell));
        return;
    }
    if (!cell.text.isEmpty()) {
        html->append(u" (");
        appendEscaped(html, cell.text);
        html->append(u')');
    }
}

void appendHtmlCell(QString *html, bool header, const ReportCell &cell, bool right)
{
    openHtmlCell(html, header, cell.colour, right, cell.strong);
    appendCellText(html, cell);
    closeHtmlCell(html, header, cell.strong);
}

// A header row is the table's <thead>, which printing repeats on every page the table continues on.
void appendHtmlRow(QString *html, const QList<ReportCell> &cells, const QList<ReportOutput> &columns,
                   bool header, const DocumentOptions &options)
{
    html->append(header ? QStringView(u"<thead><tr>") : QStringView(u"<tr>"));
    qsizetype written = 0;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (!shown(columns, c, ReportOutput::DocumentOnly))
            continue;
        const ReportCell &cell = cells[c];
        const bool right = !header && (options.rightAfterFirst ? written > 0 : !isWords(cell));
        appendHtmlCell(html, header, cell, right);
        ++written;
    }
    html->append(header ? QStringView(u"</tr></thead>\n") : QStringView(u"</tr>\n"));
}

void appendRangesAcross(QString *html, const ReportTable &table)
{
    html->append(u"<tr>");
    for (const ReportRow &row : table.rows) {
        // "from–to name" in one cell.
        const QList<ReportCell> &cells = row.cells;
        openHtmlCell(html, false, cells.value(0).colour, false, false);
        appendEscaped(html, documentText(cells.value(0)));
        html->append(u'–');
        appendEscaped(html, documentText(cells.value(1)));
        html->append(u' ');
        appendEscaped(html, documentText(cells.value(2)));
        closeHtmlCell(html, false, false);
    }
    html->append(u"</tr>\n");
}

// "<tag>text</tag>" and a line break, the text escaped.
void appendElement(QString *html, QStringView tag, const QString &text)
{
    html->append(u'<');
    html->append(tag);
    html->append(u'>');
    appendEscaped(html, text);
    html->append(u"</");
    html->append(tag);
    html->append(u">\n");
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

namespace {
// The cells one report cell makes, appended to the sheet's row.
void appendSheetCells(QList<SheetCell> *row, const ReportCell &cell, const SheetOptions &options)
{
    const qsizetype first = row->size();
    switch (cell.kind) {
    case ReportCell::Kind::Empty:
    case ReportCell::Kind::NoData:
    case ReportCell::Kind::Missing:
    case ReportCell::Kind::NoName:
        row->append(SheetCell{});
        return;
    case ReportCell::Kind::Text:
        row->append(sheetText(cell.text));
        return;
    case ReportCell::Kind::Integer:
    case ReportCell::Kind::Difference:
        row->append(sheetNumber(cell.value, 0));
        break;
    case ReportCell::Kind::Decimal:
    case ReportCell::Kind::Percent:
        row->append(sheetNumber(cell.value, cell.sheetDecimals >= 0 ? cell.sheetDecimals : cell.decimals));
        break;
    case ReportCell::Kind::Share:
        row->append(options.sharesAsFractions ? sheetNumber(cell.value, 2)
                                              : sheetNumber(double(hundredths(cell.value)), 0));
        break;
    case ReportCell::Kind::Integers:
        for (const qint64 value : cell.values)
            row->append(sheetNumber(double(value), 0));
        return;
    }
    if (cell.strong && row->size() > first)
        (*row)[first].bold = true;
    if (options.captionsBeside && !cell.text.isEmpty())
        row->append(sheetText(cell.text));
}
} // namespace

QList<SheetCell> sheetCells(const ReportCell &cell, const SheetOptions &options)
{
    QList<SheetCell> cells;
    appendSheetCells(&cells, cell, options);
    return cells;
}

void appendDocumentTableOnly(QString *html, const ReportTable &table, const DocumentOptions &options)
{
    html->append(tableStart());
    if (options.rangesAcross) {
        appendRangesAcross(html, table);
    } else {
        if (!table.header.isEmpty())
            appendHtmlRow(html, table.header, table.columns, true, options);
        for (const ReportRow &row : table.rows) {
            if (row.output != ReportOutput::SheetOnly)
                appendHtmlRow(html, row.cells, table.columns, false, options);
        }
    }
    html->append(u"</table>\n");
}

void appendDocumentTable(QString *html, const ReportTable &table, const DocumentOptions &options)
{
    if (!table.heading.isEmpty())
        appendElement(html, u"h2", table.heading);
    if (!table.note.isEmpty())
        appendElement(html, u"p", table.note);
    appendDocumentTableOnly(html, table, options);
}

// Room for a table of this many rows, so that its text is not copied as it grows.
qsizetype tableSize(const ReportTable &table)
{
    return (table.rows.size() + 2) * 160;
}

QString documentTableOnly(const ReportTable &table, const DocumentOptions &options)
{
    QString html;
    html.reserve(tableSize(table));
    appendDocumentTableOnly(&html, table, options);
    return html;
}

QString documentTable(const ReportTable &table, const DocumentOptions &options)
{
    QString html;
    html.reserve(tableSize(table));
    appendDocumentTable(&html, table, options);
    return html;
}

void appendToSheet(Sheet *sheet, const ReportTable &table, const SheetOptions &options)
{
    // Room for the table's rows, grown by half at least, so that a sheet made of many tables is not
    // moved for each.
    const qsizetype needed = sheet->rows.size() + table.rows.size() + 4;
    if (sheet->rows.capacity() < needed)
        sheet->rows.reserve(qMax(needed, sheet->rows.capacity() * 3 / 2));
    if (!table.heading.isEmpty() || !table.note.isEmpty())
        sheet->rows.append(QList<SheetCell>());
    if (!table.heading.isEmpty())
        sheet->rows.append({sheetText(table.heading, true)});
    if (!table.note.isEmpty())
        sheet->rows.append({sheetText(table.note)});
    const auto line = [&](const QList<ReportCell> &cells, bool header) {
        QList<SheetCell> written;
        written.reserve(cells.size());
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (!shown(table.columns, c, ReportOutput::SheetOnly))
                continue;
            if (header && cells[c].kind == ReportCell::Kind::Text)
                written.append(sheetText(cells[c].text, true));
            else
                appendSheetCells(&written, cells[c], options);
        }
        sheet->rows.append(std::move(written));
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
