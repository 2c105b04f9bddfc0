// A report section's table, built once from the figures and rendered twice: into the analysis
// document (HTML for the screen, print and PDF) and into the "Analiza" sheet, so that the two
// cannot say different things. A renderer knows formats, not figures.
#pragma once

#include "files/spreadsheet.h"

#include <QList>
#include <QString>
#include <QStringList>

// One cell, typed: the document writes a decimal with a comma and its places, the sheet keeps it
// a number with the same places; a figure that cannot be computed is "brak danych" in the document
// and an empty cell in the sheet.
struct ReportCell {
    enum class Kind { Text, Integer, Decimal, Missing };
    Kind kind = Kind::Text;
    QString text;
    double value = 0;
    int places = 0;
    // The document's background for the cell ("" for none).
    QString colour = {};

    static ReportCell textOf(const QString &text, const QString &colour = {});
    static ReportCell integer(qint64 value);
    static ReportCell decimal(double value, int places = 2, const QString &colour = {});
    // documentText: what the document shows in its place ("brak danych" when empty).
    static ReportCell missing(const QString &documentText = {});
};

struct ReportTable {
    QString heading;
    // A line leading into the table where it has no heading of its own.
    QString lead;
    QStringList header;
    QList<QList<ReportCell>> rows;
    // Columns that one rendering leaves out: what the document shows elsewhere, or only the sheet
    // has room for.
    QList<qsizetype> documentOnly;
    QList<qsizetype> sheetOnly;
};

// The document's table: its heading or lead, then the table with its header row repeated on every
// page.
QString reportTableHtml(const ReportTable &table);
// The sheet's: an empty line, the heading in bold (or the lead), the header row in bold, then the
// rows.
void appendReportTable(Sheet *sheet, const ReportTable &table);

// How the document draws any table of the report.
namespace reporthtml {

// A table cell; colour gives it that background.
struct Cell {
    QString text;
    QString colour = {};
    bool right = false;
};

QString escaped(const QString &text);
QString heading(const QString &text);
QString tableStart();
// A header row is the table's <thead>, which printing repeats on every page the table continues on.
QString row(const QList<Cell> &cells, bool header = false);

} // namespace reporthtml
