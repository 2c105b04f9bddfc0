// A class's points checked by the one rule Compute and the analysis share.
#include "analysis/scorecheck.h"
#include "tests/support/builders.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstScoreCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cells_data();
    void cells();
    void sumsAndRows();
};

namespace {

// Tasks worth 2, 1 and 3 points in standards 1, 6 (not counted) and 5.
TestDefinition smallTest()
{
    return build::testOf({2, 1, 3}).labelled(u"Z"_s).inStandards(6, {1, 6, 5});
}

} // namespace

void TstScoreCheck::cells_data()
{
    QTest::addColumn<QString>("first"); // task 1's cell; tasks 2 and 3 hold "x" and "1"
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("faultTask");

    const int range = int(PupilScores::Fault::OutOfRange);
    const int text = int(PupilScores::Fault::NotANumber);
    // Task 2 holds "x": every row whose task 1 passes stops there.
    QTest::newRow("the maximum") << u"2"_s << text << 1;
    QTest::newRow("one more") << u"3"_s << range << 0;
    QTest::newRow("below 0") << u"-1"_s << range << 0;
    QTest::newRow("empty") << QString() << text << 1;
    QTest::newRow("one blank") << u" "_s << text << 1;
    QTest::newRow("a dash") << u"-"_s << text << 1;
    QTest::newRow("a decimal") << u"1.5"_s << text << 0;
    QTest::newRow("hexadecimal, too many") << u"$A"_s << range << 0;
    QTest::newRow("two blanks") << u"  "_s << text << 0;
}

void TstScoreCheck::cells()
{
    QFETCH(QString, first);
    QFETCH(int, fault);
    QFETCH(int, faultTask);
    const GridRows rows{{}, {u"1"_s, u"A"_s, u"T"_s, first, u"x"_s, u"1"_s}};
    const QList<PupilScores> pupils = checkClassScores(rows, 1, smallTest());
    QCOMPARE(pupils.size(), 1);
    QCOMPARE(int(pupils[0].fault), fault);
    QCOMPARE(pupils[0].faultTask, faultTask);
    // The tasks after the first fault are not checked.
    QCOMPARE(pupils[0].taskPoints.size(), faultTask);
}

void TstScoreCheck::sumsAndRows()
{
    const GridRows rows{{u"L.p."_s},
                        {u"1"_s, u"A"_s, u"T"_s, u"2"_s, u"1"_s, u"3"_s},
                        {u"2"_s, u"-"_s, u"N"_s, u"1"_s, u"-"_s, u" "_s},
                        {u"3"_s, u"C"_s, u"t"_s}};
    const QList<PupilScores> pupils = checkClassScores(rows, 4, smallTest());
    QCOMPARE(pupils.size(), 4);
    // Standard 1 holds task 1 and standard 5 task 3; task 2's standard 6 is counted nowhere.
    QCOMPARE(pupils[0].standards[0], 2);
    QCOMPARE(pupils[0].standards[4], 3);
    QCOMPARE(pupils[0].total, 5);
    QCOMPARE(pupils[0].taskPoints, (QList<qint32>{2, 1, 3}));
    // An absent pupil is checked all the same; blank cells are 0.
    QVERIFY(!pupils[1].present);
    QCOMPARE(pupils[1].code, u"-"_s);
    QCOMPARE(pupils[1].taskPoints, (QList<qint32>{1, 0, 0}));
    QVERIFY(pupils[2].present);
    // Rows and cells missing from the file read as empty.
    QCOMPARE(pupils[3].row, 4);
    QCOMPARE(int(pupils[3].fault), int(PupilScores::Fault::None));
    QCOMPARE(pupils[3].total, 0);
}

QTEST_GUILESS_MAIN(TstScoreCheck)
#include "tst_scorecheck.moc"
