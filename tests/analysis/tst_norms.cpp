// Pupils' norms: totals counted as everywhere else, the pupil stanine table of Setup.ini, stanines
// and their spread, percentile ranks and score bands, all against values worked out by hand.
#include "analysis/norms.h"
#include "tests/support/builders.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

using Bounds = QList<double>;
using Totals = QList<int>;
using Counts = QList<int>;

namespace {

const QString tableProblem =
    u"Tabela staninów wyników uczniów w definicji testu (plik Setup.ini) jest niepełna "
    u"lub nieprawidłowa; staniny uczniów nie będą pokazywane."_s;
// A 40-point test, four points a stanine from stanine 2.
const Bounds table{0, 8, 12, 16, 20, 24, 28, 32, 36};

QByteArray section(const QList<QByteArray> &values)
{
    QByteArray text = "[StaninyUczniow]\r\n";
    for (int k = 0; k < values.size(); ++k)
        text += "Stanin" + QByteArray::number(k + 1) + '=' + values[k] + "\r\n";
    return text;
}

} // namespace

class TstNorms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void totals();
    void loadBounds_data();
    void loadBounds();
    void pupilStanine_data();
    void pupilStanine();
    void stanineSpread();
    void stanineSpreadWithoutTable();
    void percentileRank_data();
    void percentileRank();
    void percentileRanksOfAGroup_data();
    void percentileRanksOfAGroup();
    void percentileRanksAgreeWithOneByOne();
    void scoreBands_data();
    void scoreBands();
    void unstable_data();
    void unstable();
};

void TstNorms::totals()
{
    // Task 2 is in standard 6 of six, which the program does not count; task 4 is in standard 7,
    // which the test does not define, and counts like a task of no standard.
    const TestDefinition test =
        build::testOf({2, 2, 2, 2}).inStandards(6, {1, 6, 2, 7}).total(8).standardMaxima({2, 2, 0, 0, 0, 2});

    ClassResults a;
    a.pupilCount = 3;
    a.pupils = {build::pupil(true, {2, 2, 1, 1}),  // 2 + 1 + 1 = 4
                build::pupil(false, {2, 2, 2, 2}), // absent
                build::pupil(true, {0, 2, 0})};    // a short row: 0, task 4 missing reads 0
    ClassResults b;
    b.pupilCount = 1;
    b.pupils = {build::pupil(true, {1, 0, 2, 2})}; // 5

    QCOMPARE(pupilTotal(a.pupils[0], test), 4);
    QCOMPARE(pupilTotal(a.pupils[1], test), 6);
    QCOMPARE(presentTotals({a, b}, test), (Totals{4, 0, 5}));
    QCOMPARE(presentTotals({}, test), Totals());

    // The same totals as the staff-meeting analysis counts: mean (4 + 0 + 5) / 3 = 3.
    const GroupAnalysis group = analyseGroup(u"Szkoła"_s, {a, b}, test, AnalysisSettings());
    QCOMPARE(group.totals.mean, 3.0);
    QCOMPARE(group.totals.highest, 5);
}

void TstNorms::loadBounds_data()
{
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<Bounds>("bounds");
    QTest::addColumn<bool>("problem");

    const QList<QByteArray> values{"0", "8", "12.5", "16", "20", "24", "28", "32", "36"};
    const Bounds read{0, 8, 12.5, 16, 20, 24, 28, 32, 36};

    QTest::newRow("no section") << QByteArray("[Staniny]\r\nStanin1=0\r\n") << Bounds() << false;
    QTest::newRow("section without stanine keys")
        << QByteArray("[StaninyUczniow]\r\nOpis=2024\r\n") << Bounds() << false;
    QTest::newRow("full table") << section(values) << read << false;
    QTest::newRow("commas, blanks, lower case")
        << section(values).replace("12.5", " 12,5 ").toLower() << read << false;
    QTest::newRow("first two equal") << section({"0", "0", "3", "4", "5", "6", "7", "8", "9"})
                                     << Bounds{0, 0, 3, 4, 5, 6, 7, 8, 9} << false;
    QTest::newRow("only the school table")
        << section(values).replace("StaninyUczniow", "Staniny") << Bounds() << false;

    QTest::newRow("eight stanines") << section(values.first(8)) << Bounds() << true;
    QTest::newRow("stanine 4 missing") << section(values).replace("Stanin4=16\r\n", "") << Bounds() << true;
    QTest::newRow("not a number") << section(values).replace("=20", "=dwadziescia") << Bounds() << true;
    QTest::newRow("empty value") << section(values).replace("=20", "=") << Bounds() << true;
    QTest::newRow("equal after the first two")
        << section({"0", "8", "12", "12", "20", "24", "28", "32", "36"}) << Bounds() << true;
    QTest::newRow("falling") << section({"0", "8", "12", "16", "20", "24", "28", "36", "32"}) << Bounds()
                             << true;
    QTest::newRow("stanine 1 above stanine 2")
        << section({"9", "8", "12", "16", "20", "24", "28", "32", "36"}) << Bounds() << true;
    QTest::newRow("negative") << section({"-1", "8", "12", "16", "20", "24", "28", "32", "36"}) << Bounds()
                              << true;
}

void TstNorms::loadBounds()
{
    QFETCH(QByteArray, setup);
    QFETCH(Bounds, bounds);
    QFETCH(bool, problem);

    QStringList problems;
    QCOMPARE(loadPupilStanineBounds(IniFile::fromBytes(setup), &problems), bounds);
    QCOMPARE(problems, problem ? QStringList{tableProblem} : QStringList());
    QCOMPARE(loadPupilStanineBounds(IniFile::fromBytes(setup), nullptr), bounds);
}

void TstNorms::pupilStanine_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<Bounds>("bounds");
    QTest::addColumn<int>("stanine");

    QTest::newRow("0") << 0 << table << 1;
    QTest::newRow("just below stanine 2") << 7 << table << 1;
    QTest::newRow("stanine 2's bound") << 8 << table << 2;
    QTest::newRow("12") << 12 << table << 3;
    QTest::newRow("20") << 20 << table << 5;
    QTest::newRow("36") << 36 << table << 9;
    QTest::newRow("the maximum") << 40 << table << 9;
    QTest::newRow("below the floor") << 2 << Bounds{3, 8, 12, 16, 20, 24, 28, 32, 36} << 1;
    QTest::newRow("negative") << -1 << table << 1;
    QTest::newRow("half-point bound, below") << 12 << Bounds{0, 8, 12.5, 16, 20, 24, 28, 32, 36} << 2;
    QTest::newRow("half-point bound, above") << 13 << Bounds{0, 8, 12.5, 16, 20, 24, 28, 32, 36} << 3;
    // With stanines 1 and 2 both from 0, everyone reaches stanine 2.
    QTest::newRow("first two equal") << 0 << Bounds{0, 0, 3, 4, 5, 6, 7, 8, 9} << 2;
    QTest::newRow("no table") << 20 << Bounds() << 0;
}

void TstNorms::pupilStanine()
{
    QFETCH(int, total);
    QFETCH(Bounds, bounds);
    QFETCH(int, stanine);
    QCOMPARE(::pupilStanine(total, bounds), stanine);
}

void TstNorms::stanineSpread()
{
    // Totals and their stanines on the table: 0 and 3 → 1; 8 → 2; 12, 15 → 3; 20, 21 → 5; 25 → 6;
    // 33 → 8; 38, 40 → 9. Low (1–3): 2 + 1 + 2 = 5; middle (4–6): 0 + 2 + 1 = 3; high (7–9):
    // 0 + 1 + 2 = 3.
    const StanineSpread spread = ::stanineSpread({3, 8, 12, 15, 20, 21, 25, 33, 38, 40, 0}, table);
    QCOMPARE(Counts(spread.counts.begin(), spread.counts.end()), (Counts{2, 1, 2, 0, 2, 1, 0, 1, 2}));
    QCOMPARE(spread.low, 5);
    QCOMPARE(spread.middle, 3);
    QCOMPARE(spread.high, 3);
    QCOMPARE(spread.pupils, 11);
}

void TstNorms::stanineSpreadWithoutTable()
{
    const StanineSpread spread = ::stanineSpread({3, 8, 12}, Bounds());
    QCOMPARE(Counts(spread.counts.begin(), spread.counts.end()), Counts(9, 0));
    QCOMPARE(spread.low + spread.middle + spread.high, 0);
    QCOMPARE(spread.pupils, 3);

    const StanineSpread none = ::stanineSpread({}, table);
    QCOMPARE(Counts(none.counts.begin(), none.counts.end()), Counts(9, 0));
    QCOMPARE(none.pupils, 0);
}

void TstNorms::percentileRank_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<Totals>("totals");
    QTest::addColumn<double>("rank");

    // Sorted: 5, 10, 20, 20, 30.
    const Totals five{10, 20, 20, 30, 5};
    QTest::newRow("the best") << 30 << five << 100.0;
    QTest::newRow("a shared total: 4 of 5") << 20 << five << 80.0;
    QTest::newRow("10: 2 of 5") << 10 << five << 40.0;
    QTest::newRow("the lowest: 1 of 5") << 5 << five << 20.0;
    QTest::newRow("between totals") << 25 << five << 80.0;
    QTest::newRow("below everyone") << 4 << five << 0.0;
    QTest::newRow("thirds") << 2 << Totals{1, 2, 3} << 200.0 / 3;
    QTest::newRow("all the same") << 7 << Totals{7, 7, 7} << 100.0;
    QTest::newRow("no pupils") << 7 << Totals() << 0.0;
}

void TstNorms::percentileRank()
{
    QFETCH(int, total);
    QFETCH(Totals, totals);
    QFETCH(double, rank);
    QCOMPARE(::percentileRank(total, totals), rank);
}

void TstNorms::percentileRanksOfAGroup_data()
{
    QTest::addColumn<Totals>("totals");
    QTest::addColumn<QList<double>>("ranks");

    QTest::newRow("five, in the order given")
        << Totals{10, 20, 20, 30, 5} << QList<double>{40, 80, 80, 100, 20};
    QTest::newRow("one pupil") << Totals{12} << QList<double>{100};
    QTest::newRow("all the same") << Totals{3, 3, 3, 3} << QList<double>{100, 100, 100, 100};
    QTest::newRow("four, falling") << Totals{4, 3, 2, 1} << QList<double>{100, 75, 50, 25};
    QTest::newRow("none") << Totals() << QList<double>();
}

void TstNorms::percentileRanksOfAGroup()
{
    QFETCH(Totals, totals);
    QFETCH(QList<double>, ranks);
    QCOMPARE(percentileRanks(totals), ranks);
}

void TstNorms::percentileRanksAgreeWithOneByOne()
{
    QRandomGenerator random(2024);
    Totals totals;
    for (int i = 0; i < 300; ++i)
        totals.append(int(random.bounded(41)));
    const QList<double> ranks = percentileRanks(totals);
    QCOMPARE(ranks.size(), totals.size());
    for (int i = 0; i < totals.size(); ++i)
        QCOMPARE(ranks[i], ::percentileRank(totals[i], totals));
}

void TstNorms::scoreBands_data()
{
    QTest::addColumn<Totals>("totals");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("atLeast80");
    QTest::addColumn<int>("below50");
    QTest::addColumn<int>("pupils");
    QTest::addColumn<double>("share80");
    QTest::addColumn<double>("share50");

    // 80 % of 40 is 32, half is 20.
    QTest::newRow("max 40") << Totals{40, 32, 31, 20, 19, 0} << 40 << 2 << 2 << 6 << 2.0 / 6 << 2.0 / 6;
    // 80 % of 7 is 5.6: 6 and 7 reach it, 5 does not; half is 3.5: 3 and 0 lie under it, 4 does not.
    QTest::newRow("max 7") << Totals{7, 6, 5, 4, 3, 0} << 7 << 2 << 2 << 6 << 2.0 / 6 << 2.0 / 6;
    // 80 % of 25 is exactly 20; half is 12.5: 12 lies under it, 13 does not.
    QTest::newRow("max 25") << Totals{20, 19, 13, 12} << 25 << 1 << 1 << 4 << 0.25 << 0.25;
    QTest::newRow("half is not under half") << Totals{5} << 10 << 0 << 0 << 1 << 0.0 << 0.0;
    QTest::newRow("above the maximum still counts high") << Totals{12} << 10 << 1 << 0 << 1 << 1.0 << 0.0;
    QTest::newRow("maximum 0") << Totals{0, 3} << 0 << 0 << 0 << 2 << 0.0 << 0.0;
    QTest::newRow("negative maximum") << Totals{0, 3} << -5 << 0 << 0 << 2 << 0.0 << 0.0;
    QTest::newRow("no pupils") << Totals() << 40 << 0 << 0 << 0 << 0.0 << 0.0;
    QTest::newRow("no overflow") << Totals{2000000000, 0} << 2100000000 << 1 << 1 << 2 << 0.5 << 0.5;
}

void TstNorms::scoreBands()
{
    QFETCH(Totals, totals);
    QFETCH(int, max);
    QFETCH(int, atLeast80);
    QFETCH(int, below50);
    QFETCH(int, pupils);
    QFETCH(double, share80);
    QFETCH(double, share50);

    const ScoreBands bands = ::scoreBands(totals, max);
    QCOMPARE(bands.atLeast80, atLeast80);
    QCOMPARE(bands.below50, below50);
    QCOMPARE(bands.pupils, pupils);
    QCOMPARE(bands.shareAtLeast80, share80);
    QCOMPARE(bands.shareBelow50, share50);
}

void TstNorms::unstable_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<bool>("unstable");

    QTest::newRow("none") << 0 << true;
    QTest::newRow("nine") << 9 << true;
    QTest::newRow("ten") << 10 << false;
    QTest::newRow("a school") << 120 << false;
}

void TstNorms::unstable()
{
    QFETCH(int, present);
    QFETCH(bool, unstable);
    QCOMPARE(unstableFigures(present), unstable);
    QCOMPARE(unstableNote(), u"Na teście było mniej niż 10 uczniów, dlatego te wskaźniki są niestabilne: "
                             u"pojedynczy wynik mocno je zmienia."_s);
}

QTEST_GUILESS_MAIN(TstNorms)
#include "tst_norms.moc"
