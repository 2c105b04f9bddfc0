// How a grid cell becomes a bar's value, the largest task maximum and where a chart goes on paper.
#include "charts/barchart.h"
#include "charts/chartcatalogue.h"

#include <QTest>

#include <limits>

#include <optional>

using namespace Qt::StringLiterals;

class TstChartValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void barValue_data();
    void barValue();
    void largestValue_data();
    void largestValue();
    void printedChartRect_data();
    void printedChartRect();
    void barsOfEveryChart_data();
    void barsOfEveryChart();
    void schoolBarThatIsNoNumber();
};

namespace {

// A class of three pupils and a school of two classes, as their results pages hand them over.
charts::ChartData classData()
{
    charts::ChartData data;
    data.mode = charts::Mode::Class;
    data.test.taskCount = 2;
    data.test.taskLabels = {u"Zad.1"_s, u"Zad.2"_s};
    data.test.taskMaxPoints = {3, 5};
    data.test.standardCount = 2;
    data.test.standardMaxPoints = {4, 6};
    data.test.standardDescriptions = {u"czytanie"_s, u"pisanie"_s};
    data.classLabel = u"6a"_s;
    data.pupilCount = 3;
    data.lowerGrid = {{u"L.p."_s},
                      {u"1"_s, u"A"_s, u"T"_s, u"2"_s, u"3"_s, u""_s, u""_s, u""_s, u"5"_s},
                      {u"2"_s, u"B"_s, u"N"_s, u"--"_s, u"--"_s, u"--"_s, u"--"_s, u"--"_s, u"--"_s}};
    return data;
}

charts::ChartData schoolData()
{
    charts::ChartData data = classData();
    data.mode = charts::Mode::School;
    data.classCount = 2;
    data.classLabels = {u"6a"_s, u"6b"_s};
    data.upperGrid = {{},
                      {},
                      {},
                      {},
                      {},
                      {u""_s, u""_s, u""_s, u"1.50"_s, u"2.25"_s},
                      {u""_s, u""_s, u""_s, u"0.50"_s, u"0.45"_s}};
    data.lowerGrid = {{},
                      {u""_s, u""_s, u""_s, u"3.00"_s, u""_s, u""_s, u""_s, u""_s, u"12.00"_s},
                      {u""_s, u""_s, u""_s, u"0.75"_s, u""_s, u""_s, u""_s, u""_s, u"0.30"_s},
                      {u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s},
                      {},
                      {u""_s, u""_s, u""_s, u"2.50"_s, u""_s, u""_s, u""_s, u""_s, u"10.00"_s},
                      {u""_s, u""_s, u""_s, u"0.63"_s, u""_s, u""_s, u""_s, u""_s, u"0.25"_s}};
    return data;
}

QString describe(const QList<charts::Bar> &bars)
{
    QStringList out;
    for (const charts::Bar &bar : bars)
        out.append(bar.label + u'=' + QString::number(bar.value));
    return out.join(u' ');
}

} // namespace

void TstChartValues::barValue_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<std::optional<float>>("missingValueRule"); // nullopt: conversion error
    QTest::addColumn<std::optional<float>>("direct");

    const std::optional<float> error;
    QTest::newRow("whole number") << u"12"_s << std::optional(12.0f) << std::optional(12.0f);
    QTest::newRow("statistics value") << u"3.25"_s << std::optional(3.25f) << std::optional(3.25f);
    QTest::newRow("held in single precision") << u"0.67"_s << std::optional(0.67f) << std::optional(0.67f);
    QTest::newRow("empty") << QString() << std::optional(0.0f) << error;
    QTest::newRow("absent pupil") << u"--"_s << std::optional(0.0f) << error;
    QTest::newRow("dash") << u"-"_s << std::optional(0.0f) << error;
    QTest::newRow("one blank is no missing value") << u" "_s << error << error;
    QTest::newRow("three dashes") << u"---"_s << error << error;
    QTest::newRow("blanks around") << u" 1.50 "_s << std::optional(1.5f) << std::optional(1.5f);
    QTest::newRow("sign") << u"-0.5"_s << std::optional(-0.5f) << std::optional(-0.5f);
    QTest::newRow("plus sign") << u"+2"_s << std::optional(2.0f) << std::optional(2.0f);
    QTest::newRow("point first") << u".5"_s << std::optional(0.5f) << std::optional(0.5f);
    QTest::newRow("point last") << u"5."_s << std::optional(5.0f) << std::optional(5.0f);
    QTest::newRow("exponent") << u"2.5E1"_s << std::optional(25.0f) << std::optional(25.0f);
    QTest::newRow("comma is no separator") << u"1,5"_s << error << error;
    QTest::newRow("letters") << u"abc"_s << error << error;
    QTest::newRow("number then letter") << u"3x"_s << error << error;
    QTest::newRow("exponent without digits") << u"2e"_s << error << error;
    QTest::newRow("point alone") << u"."_s << error << error;
    QTest::newRow("infinity") << u"inf"_s << error << error;
    QTest::newRow("not a number") << u"nan"_s << error << error;
    QTest::newRow("hexadecimal") << u"0x10"_s << error << error;
    QTest::newRow("too large for single precision") << u"1e39"_s << error << error;
    const auto largest = std::optional(std::numeric_limits<float>::max());
    QTest::newRow("largest float as nine digits") << u"3.40282347e+38"_s << largest << largest;
    QTest::newRow("rounds down to the largest float") << u"3.4028235677973362e38"_s << largest << largest;
    QTest::newRow("rounds up to infinity") << u"3.4028235677973366e38"_s << error << error;
    QTest::newRow("blank inside") << u"1 5"_s << error << error;
}

void TstChartValues::barValue()
{
    QFETCH(QString, cell);
    QFETCH(std::optional<float>, missingValueRule);
    QFETCH(std::optional<float>, direct);

    const auto read = [&cell](auto conversion, const std::optional<float> &expected) {
        try {
            const float value = conversion(cell);
            QVERIFY2(expected.has_value(), qPrintable(u"no error, value %1"_s.arg(value)));
            QCOMPARE(value, *expected);
        } catch (const FloatConvertError &error) {
            QVERIFY2(!expected.has_value(), qPrintable(error.message()));
            QCOMPARE(error.message(), u"'%1' is not a valid floating point value"_s.arg(cell));
        }
    };
    read(charts::barValue, missingValueRule);
    if (QTest::currentTestFailed())
        return;
    read(charts::textToFloat, direct);
}

void TstChartValues::largestValue_data()
{
    QTest::addColumn<QList<qint32>>("values");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<qint32>("largest");

    QTest::newRow("task maxima 1, 2, 4, 1") << QList<qint32>{1, 2, 4, 1} << 4 << 4;
    QTest::newRow("largest last") << QList<qint32>{1, 2, 3} << 3 << 3;
    QTest::newRow("only the first count") << QList<qint32>{1, 2, 9} << 2 << 2;
    QTest::newRow("no tasks") << QList<qint32>{5} << 0 << 0;
    QTest::newRow("all below 0") << QList<qint32>{-3, -1} << 2 << 0;
    QTest::newRow("count beyond the values") << QList<qint32>{2, 7} << 5 << 7;
}

void TstChartValues::largestValue()
{
    QFETCH(QList<qint32>, values);
    QFETCH(qint32, count);
    QFETCH(qint32, largest);
    QCOMPARE(charts::largestValue(values, count), largest);
}

void TstChartValues::printedChartRect_data()
{
    QTest::addColumn<QRectF>("page");
    QTest::addColumn<QRectF>("chart");

    // 15 per cent of the width at each side; the height in the chart's proportions, centred.
    QTest::newRow("A4 landscape, 100 pixels to the inch")
        << QRectF(0, 0, 1169, 827) << QRectF(175.35, 413.5 - 818.3 * 385 / 643 / 2, 818.3, 818.3 * 385 / 643);
    QTest::newRow("page not at the origin")
        << QRectF(10, 20, 1000, 700) << QRectF(160, 370 - 700.0 * 385 / 643 / 2, 700, 700.0 * 385 / 643);
    // Too low for 70 per cent of its width: the chart takes the page's height, centred sideways.
    QTest::newRow("low page") << QRectF(0, 0, 1000, 200)
                              << QRectF(500 - 200.0 * 643 / 385 / 2, 0, 200.0 * 643 / 385, 200);
}

void TstChartValues::printedChartRect()
{
    QFETCH(QRectF, page);
    QFETCH(QRectF, chart);
    const QRectF result = ::printedChartRect(page);
    QVERIFY2(qAbs(result.left() - chart.left()) < 1e-6 && qAbs(result.top() - chart.top()) < 1e-6 &&
                 qAbs(result.width() - chart.width()) < 1e-6 && qAbs(result.height() - chart.height()) < 1e-6,
             qPrintable(u"(%1, %2, %3 x %4)"_s.arg(result.left())
                            .arg(result.top())
                            .arg(result.width())
                            .arg(result.height())));
}

void TstChartValues::barsOfEveryChart_data()
{
    QTest::addColumn<bool>("school");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("bars");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("bottomTitle");

    QTest::newRow("class W-1: totals, an absent pupil's as 0, a pupil past the grid as 0")
        << false << 0 << u"1=5 2=0 3=0"_s << 40.0 << u"Wyniki z testu dla poszczególnych uczniów"_s
        << u"Numer ucznia [6a]"_s;
    QTest::newRow("class W-2: standard 1")
        << false << 1 << u"1=2 2=0 3=0"_s << 4.0 << u"Liczba punktów za standard: czytanie"_s
        << u"Numer ucznia [6a]"_s;
    QTest::newRow("class W-4: a standard the test lacks")
        << false << 3 << QString() << 0.0 << u"Liczba punktów za standard: "_s << u"Numer ucznia [6a]"_s;
    QTest::newRow("school W-1: the school's task averages")
        << true << 0 << u"Zad.1=1.5 Zad.2=2.25"_s << 5.0
        << u"Średnia liczba punktów za poszczególne umiejętności (dla szkoły)"_s << u"Numer zadania"_s;
    QTest::newRow("school W-2: facilities")
        << true << 1 << u"Zad.1=0.5 Zad.2=0.45"_s << 1.0
        << u"Łatwość poszczególnych umiejętności (dla szkoły)"_s << u"Numer zadania"_s;
    QTest::newRow("school W-3: classes, one without statistics, and the school")
        << true << 2 << u"6a=3 6b=0 Szkoła=2.5"_s << 4.0 << u"Średnia liczba punktów za standard: czytanie"_s
        << u"Klasa / szkoła"_s;
    QTest::newRow("school W-14: the whole test's facility")
        << true << 13 << u"6a=0.3 6b=0 Szkoła=0.25"_s << 1.0 << u"Łatwość testu"_s << u"Klasa / szkoła"_s;
}

void TstChartValues::barsOfEveryChart()
{
    QFETCH(bool, school);
    QFETCH(int, tab);
    QFETCH(QString, bars);
    QFETCH(double, maximum);
    QFETCH(QString, title);
    QFETCH(QString, bottomTitle);
    const charts::ChartData data = school ? schoolData() : classData();
    const charts::Chart *chart = charts::chartAt(data.mode, tab);
    QVERIFY(chart);
    QCOMPARE(describe(charts::barsOf(*chart, data)), bars);
    QCOMPARE(charts::axisMaximum(*chart, data.test), maximum);
    QCOMPARE(charts::titleOf(*chart, data.test), title);
    QCOMPARE(charts::bottomTitleOf(*chart, data), bottomTitle);
}

void TstChartValues::schoolBarThatIsNoNumber()
{
    // The classes' bars are read, then the school's empty cell ends the drawing.
    charts::ChartData data = schoolData();
    data.lowerGrid[5][3] = QString();
    QList<charts::Bar> drawn;
    QVERIFY_THROWS_EXCEPTION(FloatConvertError, charts::barsOf(*charts::chartAt(data.mode, 2), data, &drawn));
    QCOMPARE(describe(drawn), u"6a=3 6b=0"_s);
}

QTEST_GUILESS_MAIN(TstChartValues)
#include "tst_chartvalues.moc"
