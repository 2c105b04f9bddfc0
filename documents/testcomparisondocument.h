// The school across tests as the teacher takes it away: the spreadsheet's three sheets and the
// HTML of the printed pages, each with the same words about what may be compared.
#pragma once

#include "analysis/testcomparison.h"
#include "files/spreadsheet.h"

#include <QString>
#include <QStringList>

// The figures of a group at one test, row by row: the row's name and the cell of each test.
struct ComparisonRow {
    QString name;
    QList<SheetCell> cells; // per test; a cell with neither text nor number is "–"
};
QList<ComparisonRow> groupRows(const QList<std::optional<GroupAtTest>> &groups,
                               const QList<SchoolAtTest> &tests);

// "Szkoła" (the school's figures and the standards two tests share), "Klasy" and "Uczniowie", every
// figure a number, the headings kept in view.
QList<Sheet> testComparisonSheets(const TestsComparison &comparison);

// The pictures the HTML shows: the stanines of the school's mean and the facility against the
// country's, across the tests.
inline constexpr char testComparisonStaninesImage[] = "stanines.png";
inline constexpr char testComparisonCountryImage[] = "country.png";

// Whether some test has the stanine of the school's mean, the school's difference from the country:
// without, the report has no such rows and no such picture, as a chart of nothing tells nothing.
bool testComparisonHasStanines(const QList<SchoolAtTest> &tests);
bool testComparisonHasCountry(const QList<SchoolAtTest> &tests);

// The whole comparison as one HTML document, led by what may be compared and closed by a summary
// in words; withPupils: the pupils' table, thousands of rows in a large school, is in it (on paper)
// rather than beside it (in the window's own table).
QString testComparisonHtml(const TestsComparison &comparison, bool withPupils = true);

// The pupils' table as the pages print it: its headings, and one pupil's cells.
QStringList pupilHeadings(const QList<SchoolAtTest> &tests);
QStringList pupilCells(const PupilAcrossTests &pupil, qsizetype testCount);

// The column heading of a test: its name and date.
QString testHeading(const SchoolAtTest &test);
