// Spreadsheet (XLSX) copies of the reports, in which every figure is a number a spreadsheet can
// count with: the semicolon reports write "0.50", which a Polish spreadsheet takes for text.
#pragma once

#include "core/progress.h"
#include "files/gridfile.h"
#include "files/report.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A number (shown with `decimals` decimals) when number is set, otherwise text; a cell with
// neither is not written at all.
struct SheetCell {
    QString text; // for a number: the figure as the report shows it
    std::optional<double> number;
    int decimals = 0;
    bool bold = false;
};

struct Sheet {
    QString name;
    QList<QList<SheetCell>> rows;
    // Rows after rows: a report grid's texts, its first row bold headings, the columns listed in
    // gridTextColumns text, every other cell as reportCell reads it. Each cell is made only while
    // it is written: a whole school's pupils would otherwise be held twice.
    GridRows grid;
    QList<qsizetype> gridTextColumns;
    int frozenRows = 0; // kept in view while scrolling, from the top and from the left
    int frozenColumns = 0;
    QList<double> columnWidths; // in characters, from the first column; 0 keeps the usual width
};

// Every row of the sheet as it is written: rows, then the grid's cells.
QList<QList<SheetCell>> sheetRows(const Sheet &sheet);

// The whole file's bytes, or nullopt with a Polish reason in *error. Nothing is written anywhere
// but a private temporary folder, removed before returning. The library writes the file around the
// cells, which are packed beside it on the machine's cores: a school's million points are never held
// cell by cell. progress is told of each sheet stored and of each sheet packed.
std::optional<QByteArray> xlsxBytes(const QList<Sheet> &sheets, QString *error,
                                    const ProgressReport &progress = {});

// A sheet name a spreadsheet accepts: at most 31 characters, none of []:*?/\ (replaced by '-'),
// no apostrophe at either end, not "History", and distinct, whatever the letter case, from the
// names taken ("Klasa VI A", "Klasa VI A (2)").
QString sheetName(const QString &wanted, const QStringList &taken);

// A report cell as the spreadsheet should hold it: "", blanks, "-" and "--" (an absent pupil's
// sums) give an empty cell; a whole number ("12", "-3") a number without decimals; a decimal with
// a full stop and two decimals ("0.50") a number shown with two; anything else stays text. Never
// the locale's decimal separator: "0,50" is text.
SheetCell reportCell(const QString &text);
// A grid's cell: the heading row bold and always text, the columns listed in textColumns (codes,
// marks, class labels) text, every other cell read as a figure.
SheetCell gridCell(const QString &text, qsizetype row, qsizetype column, const QList<qsizetype> &textColumns);

// A class page's report: "Zadania" (points per task) and "Podsumowanie" (points per standard),
// each under the report's heading lines, with the headings and the pupils' codes kept in view.
QList<Sheet> classWorkbook(const ReportContent &report);

struct ClassSheetInput {
    QString label;
    GridRows answers; // the class's answers file: headings, then L.p., code, mark, points per task
};

// The school summary's report on "Podsumowanie" (both grids, without their hidden empty column),
// then one sheet of pupils' points per class; progress is told of each class's sheet made.
QList<Sheet> schoolWorkbook(const ReportContent &schoolReport, const QList<ClassSheetInput> &classes,
                            const ProgressReport &progress = {});
