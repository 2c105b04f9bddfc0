// How a grid cell becomes a bar's value, the largest task maximum and where a chart goes on paper.
#include "barchart.h"
#include "chartcatalogue.h"

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
};

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

QTEST_GUILESS_MAIN(TstChartValues)
#include "tst_chartvalues.moc"
