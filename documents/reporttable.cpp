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
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QStringView entity;
        switch (text[i].unicode()) {
        case u'<':
            entity = u"&lt;";
            break;
        case u'>':
            entity = u"&gt;";
            break;
        case u'&':
            entity = u"&amp;";
            break;
        case u'"':
            entity = u"&quot;";
            break;
        default:
            continue;
        }
        html->append(text.sliced(plain, i - plain));
        html->append(entity);
        plain = i + 1;
    }
    html->append(text.sliced(plain));
}

// Cells are written straight into the table's text: a document has thousands of them.
void openHtmlCell(QString *html, QStringView tag, const QString &colour, bool right, bool bold)
{
    html->append(u'<');
    html->append(tag);
    if (!colour.isEmpty()) {
        html->append(u" bgcolor=\"");
        html->append(colour);
        html->append(u'"');
    }
    if (right)
        html->append(u" align=\"right\"");
    html->append(u'>');
    if (bold)
        html->append(u"<b>");
}

void closeHtmlCell(QString *html, QStringView tag, bool bold)
{
    if (bold)
        html->append(u"</b>");
    html->append(u"</");
    html->append(tag);
    html->append(u'>');
}

void appendHtmlCell(QString *html, QStringView tag, QStringView text, const QString &colour, bool right,
                    bool bold = false)
{
    openHtmlCell(html, tag, colour, right, bold);
    appendEscaped(html, text);
    closeHtmlCell(html, tag, bold);
}

// A header row is the table's <thead>, which printing repeats on every page the table continues on.
void appendHtmlRow(QString *html, const QList<ReportCell> &cells, const QList<ReportOutput> &columns,
                   bool header, const DocumentOptions &options)
{
    html->append(header ? QStringView(u"<thead><tr>") : QStringView(u"<tr>"));
    const QStringView tag = header ? QStringView(u"th") : QStringView(u"td");
    qsizetype written = 0;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (!shown(columns, c, ReportOutput::DocumentOnly))
            continue;
        const ReportCell &cell = cells[c];
        const bool right = !header && (options.rightAfterFirst ? written > 0 : !isWords(cell));
        appendHtmlCell(html, tag, documentText(cell), cell.colour, right, cell.strong);
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
        openHtmlCell(html, u"td", cells.value(0).colour, false, false);
        appendEscaped(html, documentText(cells.value(0)));
        html->append(u'–');
        appendEscaped(html, documentText(cells.value(1)));
        html->append(u' ');
        appendEscaped(html, documentText(cells.value(2)));
        closeHtmlCell(html, u"td", false);
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
