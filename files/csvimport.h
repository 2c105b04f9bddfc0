// A class's points imported from a CSV file saved by a spreadsheet (LibreOffice Calc, Excel):
// the file read whatever its encoding and separator, its layout guessed for the preview, and its
// rows turned into the class grid's cells, with what Compute would refuse listed for the teacher.
#pragma once

#include "core/closedanswers.h"
#include "files/gridfile.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

enum class CsvEncoding { Utf8, Utf8Bom, Windows1250 };

struct CsvTable {
    CsvEncoding encoding = CsvEncoding::Utf8;
    QChar separator = u';';
    QList<QStringList> rows; // every record of the file, blank ones included, fields as written
};

// What a class's file can hold at most; anything larger is not one. A class of 1000 pupils and
// 200 tasks takes well under a megabyte and 250 000 fields.
inline constexpr qsizetype maxCsvBytes = 4 * 1024 * 1024;
inline constexpr qsizetype maxCsvRows = 5000;
inline constexpr qsizetype maxCsvFields = 1000;  // per row
inline constexpr qsizetype maxCsvCells = 500000; // in the whole file

// The encoding: UTF-8 after a BOM, UTF-8 when every byte sequence is valid UTF-8 (a file of plain
// ASCII among them), Windows-1250 otherwise. The separator: ';', tab or ',', whichever splits the
// rows into the same number of fields most often, in that order of preference on a tie. Fields may
// be quoted ("a;b", "" for a quote, line breaks inside). Refused, with a Polish reason in *error:
// an empty file, a binary one, a spreadsheet or UTF-16 file, one above the limits above, and one
// whose quotation mark is never closed.
std::optional<CsvTable> parseCsv(const QByteArray &bytes, QString *error);

// "UTF-8", "UTF-8 (z BOM)", "Windows-1250".
QString encodingName(CsvEncoding encoding);

// Where the pupils are in the table. Columns and rows from 0.
struct ImportLayout {
    int firstDataRow = 0;
    int codeColumn = 0;
    int markColumn = -1; // -1: no attendance column, every pupil sat the test ("T")
    int firstTaskColumn = 1;
};

// The likely layout: the rows above the first pupil skipped (a pupil's row has no text in the
// columns that mostly hold numbers, has a number or a T/N mark, and does not number the tasks
// 1, 2, 3, ... as a heading row may), the code in the first column (the second when the first holds
// row numbers and the second codes), the attendance in the first column after the code that holds
// only T/N marks, and the points from the first column after those not mostly text.
// With keys, a keyed closed task's column may hold the symbols pupils chose: the points start at the
// first column from which every task's column holds only what its task takes.
ImportLayout guessLayout(const CsvTable &table, int taskCount, const QList<TaskKey> &keys = {});

struct ImportProblem {
    int fileRow = 0; // 1-based, as the spreadsheet numbers its rows
    int task = 0;    // 1-based; 0: the row itself (its code, its mark, its length)
    QString text;    // Polish
};

struct ImportResult {
    GridRows pupils;     // per pupil: code, mark, then one cell per task, texts as typed
    QList<int> fileRows; // per pupil: the file row (1-based) it came from
    QList<ImportProblem> problems;
};

// The table's rows from layout.firstDataRow, one pupil each (blank rows skipped), for a test with
// these maxima per task. The mark is "T" without an attendance column, else as written. Points
// Compute would refuse (no whole number, such as "2,0" or "2.0"; below 0; above the task's maximum)
// and marks other than T/N are kept as they are and listed as problems; characters the program's
// files cannot hold (outside Windows-1250, control characters, ';') are dropped and listed, and a
// text longer than a cell holds (maxCellLength) is cut and listed.
// A keyed task's cell may hold the symbols chosen instead of points (keys, one per task).
ImportResult applyLayout(const CsvTable &table, const ImportLayout &layout, const QList<qint32> &taskMaxima,
                         const QList<TaskKey> &keys = {});

// Why the pupils do not fit the class ("Plik zawiera wyniki 31 uczniów, a klasa ma 30 uczniów. ..."),
// or an empty text when they do.
QString classSizeProblem(qsizetype pupilCount, qint32 classSize);

// Reads a class's CSV file for the import: nullopt with a Polish reason for the teacher when it is
// too large, unreadable, empty or no text at all.
std::optional<CsvTable> readImportFile(const QString &path, QString *problem);
