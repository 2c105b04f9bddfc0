// The histogram of the pupils' totals: every pupil in one bar, a round value axis, and labels that
// never crowd each other.
#include "analysis/histogram.h"
#include "analysis/testdefinition.h"

#include <QTest>

#include <numeric>

using namespace Qt::StringLiterals;

class TstHistogram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void histogramBarsCoverEveryScore();
    void histogramAxisValues_data();
    void histogramAxisValues();
    void histogramAxisEverywhere();
    void histogramLabelStepValues_data();
    void histogramLabelStepValues();
    void histogramLabelStepEverywhere();
};

void TstHistogram::histogramBarsCoverEveryScore()
{
    // Whatever the maximum, every pupil is in exactly one bar and there are never more than 101.
    for (int scores : {1, 41, 101, 102, 250, 251, 1001, 200001}) {
        QList<int> counts(scores, 0);
        counts.first() = 3;
        counts.last() += 4;
        counts[scores / 2] += 5;
        const HistogramBars bars = histogramBars(counts);
        const QString where =
            u"%1 scores: %2 bars of %3"_s.arg(scores).arg(bars.counts.size()).arg(bars.width);
        QVERIFY2(bars.counts.size() <= 101, qPrintable(where));
        QVERIFY2(qsizetype(bars.width) * bars.counts.size() >= scores, qPrintable(where));
        QVERIFY2(qsizetype(bars.width) * (bars.counts.size() - 1) < scores, qPrintable(where));
        QCOMPARE(std::accumulate(bars.counts.begin(), bars.counts.end(), 0), 12);
        QCOMPARE(bars.counts.last() >= 4, true);
        QCOMPARE(bars.width == 1, scores <= 101);
    }
}

void TstHistogram::histogramAxisValues_data()
{
    QTest::addColumn<int>("largest");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("increment");

    QTest::newRow("no pupil") << 0 << 1 << 1;
    QTest::newRow("1") << 1 << 1 << 1;
    QTest::newRow("7") << 7 << 7 << 1;
    QTest::newRow("10") << 10 << 10 << 1;
    QTest::newRow("11") << 11 << 12 << 2;
    QTest::newRow("19") << 19 << 20 << 2;
    QTest::newRow("20") << 20 << 20 << 2;
    QTest::newRow("21") << 21 << 25 << 5;
    QTest::newRow("50") << 50 << 50 << 5;
    QTest::newRow("51") << 51 << 60 << 10;
    QTest::newRow("101") << 101 << 120 << 20;
    QTest::newRow("230") << 230 << 250 << 50;
    QTest::newRow("1001") << 1001 << 1200 << 200;
}

void TstHistogram::histogramAxisValues()
{
    QFETCH(int, largest);
    QFETCH(int, maximum);
    QFETCH(int, increment);

    const HistogramAxis axis = histogramAxis(largest);
    QCOMPARE(axis.maximum, maximum);
    QCOMPARE(axis.increment, increment);
}

void TstHistogram::histogramAxisEverywhere()
{
    // Every count fits under the top; at most ten round steps, the top no further than one step
    // above the tallest bar.
    for (int largest = 1; largest <= 20000; ++largest) {
        const HistogramAxis axis = histogramAxis(largest);
        int unit = axis.increment;
        while (unit % 10 == 0)
            unit /= 10;
        const QString where = u"largest %1: %2 by %3"_s.arg(largest).arg(axis.maximum).arg(axis.increment);
        QVERIFY2(unit == 1 || unit == 2 || unit == 5, qPrintable(where));
        QVERIFY2(axis.maximum >= largest && axis.maximum - largest < axis.increment, qPrintable(where));
        QVERIFY2(axis.maximum % axis.increment == 0 && axis.maximum / axis.increment <= 10,
                 qPrintable(where));
    }
}

void TstHistogram::histogramLabelStepValues_data()
{
    QTest::addColumn<int>("bars");
    QTest::addColumn<int>("step");

    QTest::newRow("none") << 0 << 1;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("41") << 41 << 1;
    QTest::newRow("45") << 45 << 1;
    QTest::newRow("46") << 46 << 2;
    QTest::newRow("90") << 90 << 2;
    QTest::newRow("91") << 91 << 5;
    QTest::newRow("225") << 225 << 5;
    QTest::newRow("226") << 226 << 10;
    QTest::newRow("451") << 451 << 20;
    QTest::newRow("largest test") << TestDefinition::maxSumPoints + 1 << 5000;
}

void TstHistogram::histogramLabelStepValues()
{
    QFETCH(int, bars);
    QFETCH(int, step);

    QCOMPARE(histogramLabelStep(bars), step);
}

void TstHistogram::histogramLabelStepEverywhere()
{
    // No more than 45 scores written, and no round step smaller than needed.
    const QList<int> rounds{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
    for (int bars = 1; bars <= TestDefinition::maxSumPoints + 1; bars += bars < 2000 ? 1 : 97) {
        const int step = histogramLabelStep(bars);
        const QString where = u"%1 bars: every %2"_s.arg(bars).arg(step);
        QVERIFY2(rounds.contains(step), qPrintable(where));
        QVERIFY2((bars + step - 1) / step <= 45, qPrintable(where));
        const int smaller = rounds.value(rounds.indexOf(step) - 1);
        QVERIFY2(step == 1 || (bars + smaller - 1) / smaller > 45, qPrintable(where));
    }
}

QTEST_GUILESS_MAIN(TstHistogram)
#include "tst_histogram.moc"
