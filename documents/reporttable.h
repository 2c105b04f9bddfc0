// A table of a report, made once from the figures and written both into the document (the HTML shown,
// printed and saved as PDF) and into a spreadsheet's sheet, so that the two cannot say different
// things. The cells hold figures; how each output writes a figure is the renderers' business.
#pragma once

#include "files/spreadsheet.h"

#include <QList>
#include <QString>

struct ReportCell {
    enum class Kind {
        Empty,      // nothing in either
        Text,       // words: left in the document, text in the sheet
        Integer,    // a whole number
        Decimal,    // with `decimals` places; two are those of hundredths()
        Share,      // a fraction 0 to 1, which the document writes as whole per cent: "62%"
        Percent,    // already in per cent, with `decimals` places: "62%"
        Difference, // percentage points with their sign: "+3", "−10"
        Integers,   // several whole numbers: "2; 5" in the document, a cell each in the sheet
        NoData,     // a figure that cannot be computed: "brak danych"; an empty sheet cell
        Missing,    // a figure there is none of: `text` ("–"); an empty sheet cell
        NoName,     // a name there is none of: `text` ("bez kodu") as words; an empty sheet cell
    };
    Kind kind = Kind::Empty;
    QString text; // Text, Missing, NoName; for a figure, its name, which the document adds in brackets
    double value = 0;
    int decimals = 0;
    int sheetDecimals = -1; // where the sheet keeps more places than the document: a figure as entered
    QList<qint64> values;   // Integers
    QString colour;         // the document's background: a facility's band, a line marked
    bool strong = false;    // stands out: bold in both
};

ReportCell textCell(const QString &text);
ReportCell integerCell(qint64 value);
ReportCell decimalCell(double value, int decimals = 2);
ReportCell shareCell(double fraction);
ReportCell percentCell(double value, int decimals);
ReportCell differenceCell(double points);
ReportCell integersCell(const QList<qint64> &values);
ReportCell noDataCell();
ReportCell missingCell(const QString &text = QStringLiteral("–"));
ReportCell noNameCell(const QString &text);
// The cell with a name the document writes after the figure: "5 (przeciętny)".
ReportCell named(ReportCell cell, const QString &name);
ReportCell coloured(ReportCell cell, const QString &colour);
ReportCell strong(ReportCell cell);

// Where a column or a line appears: some the sheet adds (a pupil per line, a flag to sort by), some
// only the document has (a list of pupils in one cell).
enum class ReportOutput { Both, DocumentOnly, SheetOnly };

struct ReportRow {
    QList<ReportCell> cells;
    ReportOutput output = ReportOutput::Both;
};

struct ReportTable {
    QString heading;             // above the table, or empty
    QString note;                // a paragraph between the heading and the table, or empty
    QList<ReportCell> header;    // the columns' names; none for a table of named lines
    QList<ReportOutput> columns; // per column; a column not listed is in both
    QList<ReportRow> rows;

    void add(QList<ReportCell> cells, ReportOutput output = ReportOutput::Both)
    {
        rows.append(ReportRow{std::move(cells), output});
    }
};

struct DocumentOptions {
    // Every column after the first right-aligned, words too; otherwise figures right, words left.
    bool rightAfterFirst = false;
    // Each line is a range (from, to) and its name, written as one cell "from–to name" of a single
    // line, without the header: a legend.
    bool rangesAcross = false;
};

struct SheetOptions {
    bool captionsBeside = false;    // a figure's name in the cell after it, not dropped
    bool sharesAsFractions = false; // a share as its two-decimal fraction, not whole per cent
    bool skipNoDataLines = false;   // a line with a figure that cannot be computed is left out
    bool withHeader = true;         // false: the caller writes its own heading rows
};

// What the document writes for a cell: "0,62", "62%", "brak danych".
QString documentText(const ReportCell &cell);
// The sheet's cells for one cell of the table: none, one or (Integers, a caption beside) more.
QList<SheetCell> sheetCells(const ReportCell &cell, const SheetOptions &options = {});
// A sheet's text cell, bold for headings.
SheetCell sheetText(const QString &text, bool bold = false);

// The heading, the note and the table as HTML.
QString documentTable(const ReportTable &table, const DocumentOptions &options = {});
// Only the table, without its heading and note.
QString documentTableOnly(const ReportTable &table, const DocumentOptions &options = {});
// The same appended to a document's text.
void appendDocumentTable(QString *html, const ReportTable &table, const DocumentOptions &options = {});
void appendDocumentTableOnly(QString *html, const ReportTable &table, const DocumentOptions &options = {});

// Appends the heading (after an empty row), the note and the table's rows to the sheet.
void appendToSheet(Sheet *sheet, const ReportTable &table, const SheetOptions &options = {});
