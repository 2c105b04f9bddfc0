// The twenty charts of the chart window as data, one line per chart, and the rules by which a
// bar's value is read from a grid cell.
#pragma once

#include "analysis/testdefinition.h"
#include "core/errors.h"
#include "files/gridfile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// A text that is no number where a bar's value is needed.
class FloatConvertError : public SondarykError
{
public:
    explicit FloatConvertError(const QString &text)
        : SondarykError(QStringLiteral("'%1' is not a valid floating point value").arg(text))
    {}
};

namespace charts {

enum class Mode { Class, School };

// Where the left axis ends.
enum class Maximum {
    TotalPoints,       // the whole test's maximum
    StandardPoints,    // the maximum of the chart's standard
    LargestTaskPoints, // the largest task maximum
    One,               // facility, a fraction
};

// What one bar stands for.
enum class Bars {
    Pupils,           // class: one bar per pupil, rows 1 to n of the summary grid
    SchoolTasks,      // school: one bar per task from the score grid's school row
    ClassesAndSchool, // school: one bar per class, then one for the school, from the summary grid
};

// School charts: the rows of the classes and the school that hold the chart's values.
enum class Rows {
    None,
    Average,  // classes 2i + 1, the school the second-to-last row
    Facility, // classes 2i + 2, the school the last row
};

struct Chart {
    int number; // tab "W-<number>", file "wykr_<number>.bmp"
    Maximum maximum;
    double increment;
    Bars bars;
    Rows rows;
    int column; // summary grid column; for task charts the column of task 1 (task t in t + 2)
    QStringView title;
    int standard;            // 1 to 5: the title ends with its description, StandardPoints is its maximum
    QStringView bottomTitle; // %1 is the class's label
    int labelAngle;          // 90: written upwards
};

// clang-format off
inline constexpr Chart classCharts[] = {
//   W-  left axis maximum         step bars           rows        col  title                                             std  bottom axis title       angle
    {1,  Maximum::TotalPoints,     5,   Bars::Pupils,  Rows::None, 8,   u"Wyniki z testu dla poszczególnych uczniów",     0,   u"Numer ucznia [%1]",   0},
    {2,  Maximum::StandardPoints,  1,   Bars::Pupils,  Rows::None, 3,   u"Liczba punktów za standard: ",                  1,   u"Numer ucznia [%1]",   0},
    {3,  Maximum::StandardPoints,  1,   Bars::Pupils,  Rows::None, 4,   u"Liczba punktów za standard: ",                  2,   u"Numer ucznia [%1]",   0},
    {4,  Maximum::StandardPoints,  1,   Bars::Pupils,  Rows::None, 5,   u"Liczba punktów za standard: ",                  3,   u"Numer ucznia [%1]",   0},
    {5,  Maximum::StandardPoints,  1,   Bars::Pupils,  Rows::None, 6,   u"Liczba punktów za standard: ",                  4,   u"Numer ucznia [%1]",   0},
    {6,  Maximum::StandardPoints,  1,   Bars::Pupils,  Rows::None, 7,   u"Liczba punktów za standard: ",                  5,   u"Numer ucznia [%1]",   0},
};

inline constexpr Chart schoolCharts[] = {
//   W-  left axis maximum            step  bars                    rows            col  title                                                                 std  bottom axis title   angle
    {1,  Maximum::LargestTaskPoints,  1,    Bars::SchoolTasks,      Rows::Average,  3,   u"Średnia liczba punktów za poszczególne umiejętności (dla szkoły)",  0,   u"Numer zadania",   90},
    {2,  Maximum::One,                0.1,  Bars::SchoolTasks,      Rows::Facility, 3,   u"Łatwość poszczególnych umiejętności (dla szkoły)",                  0,   u"Numer zadania",   90},
    {3,  Maximum::StandardPoints,     1,    Bars::ClassesAndSchool, Rows::Average,  3,   u"Średnia liczba punktów za standard: ",                              1,   u"Klasa / szkoła",  0},
    {4,  Maximum::One,                0.1,  Bars::ClassesAndSchool, Rows::Facility, 3,   u"Łatwość standardu: ",                                               1,   u"Klasa / szkoła",  0},
    {5,  Maximum::StandardPoints,     1,    Bars::ClassesAndSchool, Rows::Average,  4,   u"Średnia liczba punktów za standard: ",                              2,   u"Klasa / szkoła",  0},
    {6,  Maximum::One,                0.1,  Bars::ClassesAndSchool, Rows::Facility, 4,   u"Łatwość standardu: ",                                               2,   u"Klasa / szkoła",  0},
    {7,  Maximum::StandardPoints,     1,    Bars::ClassesAndSchool, Rows::Average,  5,   u"Średnia liczba punktów za standard: ",                              3,   u"Klasa / szkoła",  0},
    {8,  Maximum::One,                0.1,  Bars::ClassesAndSchool, Rows::Facility, 5,   u"Łatwość standardu: ",                                               3,   u"Klasa / szkoła",  0},
    {9,  Maximum::StandardPoints,     1,    Bars::ClassesAndSchool, Rows::Average,  6,   u"Średnia liczba punktów za standard: ",                              4,   u"Klasa / szkoła",  0},
    {10, Maximum::One,                0.1,  Bars::ClassesAndSchool, Rows::Facility, 6,   u"Łatwość standardu: ",                                               4,   u"Klasa / szkoła",  0},
    {11, Maximum::StandardPoints,     1,    Bars::ClassesAndSchool, Rows::Average,  7,   u"Średnia liczba punktów za standard: ",                              5,   u"Klasa / szkoła",  0},
    {12, Maximum::One,                0.1,  Bars::ClassesAndSchool, Rows::Facility, 7,   u"Łatwość standardu: ",                                               5,   u"Klasa / szkoła",  0},
    {13, Maximum::TotalPoints,        5,    Bars::ClassesAndSchool, Rows::Average,  8,   u"Średnia liczba punktów z całego testu",                             0,   u"Klasa / szkoła",  0},
    {14, Maximum::One,                0.1,  Bars::ClassesAndSchool, Rows::Facility, 8,   u"Łatwość testu",                                                     0,   u"Klasa / szkoła",  0},
};
// clang-format on

inline constexpr QStringView leftAxisTitle = u"Liczba punktów";
inline constexpr QStringView schoolBarLabel = u"Szkoła";

// The chart of the tab with this index (from 0) in the mode, or nullptr for any other index.
const Chart *chartAt(Mode mode, int tabIndex);
int chartCount(Mode mode);

// A text as a number in the manner of the toolkit's floating-point conversion: blanks around it,
// an optional sign, digits with "." as the decimal separator, an optional exponent. Anything
// else, and a number too large for single precision, raises FloatConvertError.
float textToFloat(const QString &text);

// A grid cell as a bar's value: the empty text, "--" and "-" are 0; anything else textToFloat.
float barValue(const QString &cell);

// The largest of the first count values, starting from 0 (so 0 for none, or for none above 0).
qint32 largestValue(const QList<qint32> &values, qint32 count);

// Everything the chart window draws from, as the workbook's page stood when it was opened.
struct ChartData {
    Mode mode = Mode::Class;
    TestDefinition test;
    qint32 classCount = 0;
    QStringList classLabels;
    QString classLabel;    // class mode: the class shown
    qint32 pupilCount = 0; // class mode: its pupils
    GridRows upperGrid;    // the score grid, or the school's task summary
    GridRows lowerGrid;    // the summary grid, or the school's standard summary
    QString bitmapFolder;  // where wykr_<N>.bmp goes
    QString schoolFolder;  // the folder every bitmap must stay within
};

struct Bar {
    float value;
    QString label;
};

// The bars of a chart, in order, read from the grids by the missing-value rule; the school's bar
// is converted as it stands, so a school row without a number throws FloatConvertError after the
// classes' bars, which are in *drawn.
QList<Bar> barsOf(const Chart &chart, const ChartData &data, QList<Bar> *drawn = nullptr);

// The left axis's maximum, the title and the bottom axis's title of a chart. A standard the test
// does not have gives a chart without a maximum, a description or bars.
double axisMaximum(const Chart &chart, const TestDefinition &test);
QString titleOf(const Chart &chart, const TestDefinition &test);
QString bottomTitleOf(const Chart &chart, const ChartData &data);

} // namespace charts
