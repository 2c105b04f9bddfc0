// The test's own quality: item–rest discrimination and Cronbach's alpha against examples worked out by
// hand, the cases without variance, and the words that go with the figures.
#include "analysis/testquality.h"
#include "core/numbers.h"
#include "tests/support/builders.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

using Rows = QList<QList<qint32>>;

namespace {

// Five pupils, three tasks; every figure below is worked out in workedExample().
const Rows worked{{1, 2, 1}, {1, 1, 0}, {0, 1, 1}, {1, 2, 2}, {0, 0, 0}};

// "0,5774; 0,9435; –": four decimals, "–" where there is no figure.
QString describe(const QList<std::optional<double>> &values)
{
    QStringList texts;
    for (const std::optional<double> &v : values)
        texts.append(v ? polishDecimal(*v, 4) : u"–"_s);
    return texts.join(u"; "_s);
}

QString describe(const std::optional<double> &value)
{
    return describe(QList<std::optional<double>>{value});
}

} // namespace

class TstTestquality : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workedExample();
    void figures_data();
    void figures();
    void shiftedPointsGiveTheSameFigures();
    void absentPupilsAndUncountedTasksLeftOut();
    void discriminationLabel_data();
    void discriminationLabel();
    void alphaLabel_data();
    void alphaLabel();
    void labelsWithoutFigure();
    void labelsAgreeWithThePrintedFigure();
};

void TstTestquality::workedExample()
{
    // Pupil   task 1  task 2  task 3  total
    //   1       1       2       1       4
    //   2       1       1       0       2
    //   3       0       1       1       2
    //   4       1       2       2       5
    //   5       0       0       0       0
    // Means:    0,6     1,2     0,8     2,6
    //
    // Task 1 against the rest (tasks 2 + 3: 3, 1, 2, 4, 0; mean 2):
    //   deviations of task 1:   0,4  0,4  −0,6  0,4  −0,6   squares sum 1,2
    //   deviations of the rest: 1   −1    0     2   −2      squares sum 10
    //   products: 0,4 − 0,4 + 0 + 0,8 + 1,2 = 2,0
    //   r = 2,0 / √(1,2 · 10) = 2 / √12 = 1 / √3 ≈ 0,5774
    // Task 2 against tasks 1 + 3 (2, 1, 1, 3, 0; mean 1,4):
    //   deviations of task 2:   0,8  −0,2  −0,2  0,8  −1,2   squares sum 2,8
    //   deviations of the rest: 0,6  −0,4  −0,4  1,6  −1,4   squares sum 5,2
    //   products: 0,48 + 0,08 + 0,08 + 1,28 + 1,68 = 3,6
    //   r = 3,6 / √(2,8 · 5,2) = 3,6 / √14,56 = 9 / √91 ≈ 0,9435
    // Task 3 against tasks 1 + 2 (3, 2, 1, 3, 0; mean 1,8):
    //   deviations of task 3:   0,2  −0,8  0,2  1,2  −0,8    squares sum 2,8
    //   deviations of the rest: 1,2   0,2 −0,8  1,2  −1,8    squares sum 6,8
    //   products: 0,24 − 0,16 − 0,16 + 1,44 + 1,44 = 2,8
    //   r = 2,8 / √(2,8 · 6,8) = √(7 / 17) ≈ 0,6417
    //
    // Population variances (squares sums / 5): tasks 1,2 / 5 = 0,24, 2,8 / 5 = 0,56, 0,56; their sum
    // 1,36. Totals: deviations 1,4 −0,6 −0,6 2,4 −2,6, squares 1,96 + 0,36 + 0,36 + 5,76 + 6,76 =
    // 15,2, variance 3,04.
    // α = 3 / 2 · (1 − 1,36 / 3,04) = 1,5 · 1,68 / 3,04 = 63 / 76 ≈ 0,8289
    const QList<std::optional<double>> r = discrimination(worked);
    QCOMPARE(r.size(), 3);
    QVERIFY(r[0] && r[1] && r[2]);
    QCOMPARE(*r[0], 1 / std::sqrt(3.0));
    QCOMPARE(*r[1], 9 / std::sqrt(91.0));
    QCOMPARE(*r[2], std::sqrt(7.0 / 17));
    const std::optional<double> alpha = cronbachAlpha(worked);
    QVERIFY(alpha);
    QCOMPARE(*alpha, 63.0 / 76);

    QCOMPARE(::discriminationLabel(r[0]), u"dobrze różnicuje"_s);
    QCOMPARE(::alphaLabel(alpha), u"rzetelny"_s);
}

void TstTestquality::figures_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("discrimination");
    QTest::addColumn<QString>("alpha");

    QTest::newRow("worked example") << worked << u"0,5774; 0,9435; 0,6417"_s << u"0,8289"_s;
    // A shorter row reads as 0 for its missing tasks: these are the worked example's rows.
    QTest::newRow("short rows read as 0")
        << Rows{{1, 2, 1}, {1, 1}, {0, 1, 1}, {1, 2, 2}, {}} << u"0,5774; 0,9435; 0,6417"_s << u"0,8289"_s;
    // Task 3 right for everyone: it has no variance, and shifts the rest of the others by 1, which
    // changes no correlation. Tasks 1 and 2 then correlate with each other: deviations as above,
    // products 0,32 − 0,08 + 0,12 + 0,32 + 0,72 = 1,4, r = 1,4 / √(1,2 · 2,8) = 1,4 / √3,36 ≈ 0,7638.
    // Totals 4, 3, 2, 4, 1 vary as tasks 1 + 2 do: deviations 1,2 0,2 −0,8 1,2 −1,8, variance
    // 6,8 / 5 = 1,36; the tasks' variances 0,24 + 0,56 + 0 = 0,8.
    // α = 3 / 2 · (1 − 0,8 / 1,36) = 1,5 · 0,56 / 1,36 = 21 / 34 ≈ 0,6176
    QTest::newRow("a task everyone got right") << Rows{{1, 2, 1}, {1, 1, 1}, {0, 1, 1}, {1, 2, 1}, {0, 0, 1}}
                                               << u"0,7638; 0,7638; –"_s << u"0,6176"_s;
    // Task 1 right for no one: no figure. Task 2 (2, 1, 1; mean 4/3) against task 3 (1, 0, 1; mean
    // 2/3), and task 3 against task 2 alike: deviations 2/3 −1/3 −1/3 and 1/3 −2/3 1/3, products
    // 2/9 + 2/9 − 1/9 = 1/3, squares 6/9 each, r = (1/3) / (6/9) = 0,5. Variances 2/9 and 2/9; totals
    // 3, 1, 2 with variance 2/3: α = 3 / 2 · (1 − (4/9) / (2/3)) = 1,5 · 1/3 = 0,5.
    QTest::newRow("a task no one got right")
        << Rows{{0, 2, 1}, {0, 1, 0}, {0, 1, 1}} << u"–; 0,5000; 0,5000"_s << u"0,5000"_s;
    // Task 1: 1, 0 against the rest 0, 1: r = −1. Every total is 1, so α has nothing to go by.
    QTest::newRow("totals do not vary") << Rows{{1, 0}, {0, 1}} << u"-1,0000; -1,0000"_s << u"–"_s;
    // Each task's variance 2/3, totals 0, 2, 4 with variance 8/3: α = 2 · (1 − (4/3) / (8/3)) = 1.
    QTest::newRow("two tasks perfectly together")
        << Rows{{0, 0}, {1, 1}, {2, 2}} << u"1,0000; 1,0000"_s << u"1,0000"_s;
    // Deviations of task 1: ½ −½ ½ −½; of task 2: −½ ½ ½ −½; products sum to 0, so r = 0. Each task's
    // variance ¼; totals 1, 1, 2, 0 with variance ½: α = 2 · (1 − ½ / ½) = 0.
    QTest::newRow("unrelated tasks") << Rows{{1, 0}, {0, 1}, {1, 1}, {0, 0}} << u"0,0000; 0,0000"_s
                                     << u"0,0000"_s;
    // Tasks pulling against each other: products sum to −4 · ¼ + 2 · ¼ = −½, squares 1,5 each,
    // r = −½ / 1,5 = −⅓. Totals 1, 1, 1, 1, 2, 0 with variance ⅓: α = 2 · (1 − ½ / ⅓) = −1.
    QTest::newRow("negative alpha") << Rows{{1, 0}, {0, 1}, {1, 0}, {0, 1}, {1, 1}, {0, 0}}
                                    << u"-0,3333; -0,3333"_s << u"-1,0000"_s;
    QTest::newRow("one task: no rest, no alpha") << Rows{{1}, {0}, {1}} << u"–"_s << u"–"_s;
    QTest::newRow("one pupil") << Rows{{1, 2, 3}} << u"–; –; –"_s << u"–"_s;
    QTest::newRow("everyone the same") << Rows{{1, 1}, {1, 1}, {1, 1}} << u"–; –"_s << u"–"_s;
    QTest::newRow("no pupils") << Rows() << QString() << u"–"_s;
}

void TstTestquality::figures()
{
    QFETCH(Rows, rows);
    QFETCH(QString, discrimination);
    QFETCH(QString, alpha);

    QCOMPARE(describe(::discrimination(rows)), discrimination);
    QCOMPARE(describe(cronbachAlpha(rows)), alpha);
}

void TstTestquality::shiftedPointsGiveTheSameFigures()
{
    // Variances and correlations depend on the deviations only; computed from the means first they
    // stay exact when the points lie far from 0.
    Rows shifted = worked;
    for (QList<qint32> &row : shifted) {
        for (qint32 &points : row)
            points += 1000;
    }
    const QList<std::optional<double>> r = discrimination(shifted);
    QCOMPARE(r.size(), 3);
    QCOMPARE(r[0].value_or(0), 1 / std::sqrt(3.0));
    QCOMPARE(r[1].value_or(0), 9 / std::sqrt(91.0));
    QCOMPARE(r[2].value_or(0), std::sqrt(7.0 / 17));
    QCOMPARE(cronbachAlpha(shifted).value_or(0), 63.0 / 76);
}

void TstTestquality::absentPupilsAndUncountedTasksLeftOut()
{
    // Task 3 of four belongs to standard 6 of six, which the program leaves out of the total.
    const TestDefinition test = build::testOf({1, 2, 5, 2}).inStandards(6, {1, 2, 6, 1});

    ClassResults a;
    a.pupils = {build::pupil(true, {1, 2, 5, 1}), build::pupil(false, {1, 2, 5, 2}),
                build::pupil(true, {1, 1, 0, 0}), build::pupil(true, {0, 1, 3, 1})};
    ClassResults b;
    b.pupils = {build::pupil(false, {0, 0, 0, 0}), build::pupil(true, {1, 2, 0, 2}),
                build::pupil(true, {0, 0, 4, 0})};

    QCOMPARE(totalTasks(test), (QList<int>{0, 1, 3}));
    const Rows rows = presentTaskPoints({a, b}, test);
    QCOMPARE(rows, worked);
    QCOMPARE(describe(discrimination(rows)), u"0,5774; 0,9435; 0,6417"_s);
    QCOMPARE(presentTaskPoints({}, test), Rows());
}

void TstTestquality::discriminationLabel_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<QString>("label");

    const QString weak = u"słabo różnicuje"_s;
    const QString sufficient = u"dostatecznie różnicuje"_s;
    const QString good = u"dobrze różnicuje"_s;

    const QString negative = u"ujemna – sprawdź klucz i treść zadania"_s;

    QTest::newRow("−1") << -1.0 << u"-1,00"_s << negative;
    QTest::newRow("−0.23") << -0.23 << u"-0,23"_s << negative;
    QTest::newRow("−0.0051") << -0.0051 << u"-0,01"_s << negative;
    QTest::newRow("−0.005, held a hair above") << -0.005 << u"0,00"_s << weak;
    QTest::newRow("−0.004, printed as nought") << -0.004 << u"0,00"_s << weak;
    QTest::newRow("0") << 0.0 << u"0,00"_s << weak;
    QTest::newRow("0.19") << 0.19 << u"0,19"_s << weak;
    QTest::newRow("0.194") << 0.194 << u"0,19"_s << weak;
    // Printed as the grids print it: 0.195 is held a hair below the half.
    QTest::newRow("0.195") << 0.195 << u"0,19"_s << weak;
    QTest::newRow("0.1951") << 0.1951 << u"0,20"_s << sufficient;
    QTest::newRow("0.2") << 0.2 << u"0,20"_s << sufficient;
    QTest::newRow("0.39") << 0.39 << u"0,39"_s << sufficient;
    QTest::newRow("0.3949") << 0.3949 << u"0,39"_s << sufficient;
    QTest::newRow("0.395") << 0.395 << u"0,40"_s << good;
    QTest::newRow("a hair below 0.395") << std::nextafter(0.395, 0.0) << u"0,40"_s << good;
    QTest::newRow("0.4") << 0.4 << u"0,40"_s << good;
    QTest::newRow("1") << 1.0 << u"1,00"_s << good;
}

void TstTestquality::discriminationLabel()
{
    QFETCH(double, value);
    QFETCH(QString, printed);
    QFETCH(QString, label);
    QCOMPARE(polishDecimal(value), printed);
    QCOMPARE(::discriminationLabel(value), label);
}

void TstTestquality::alphaLabel_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<QString>("label");

    const QString low = u"mało rzetelny"_s;
    const QString moderate = u"umiarkowanie rzetelny"_s;
    const QString reliable = u"rzetelny"_s;

    QTest::newRow("negative") << -1.0 << u"-1,00"_s << low;
    QTest::newRow("0.49") << 0.49 << u"0,49"_s << low;
    QTest::newRow("0.494") << 0.494 << u"0,49"_s << low;
    QTest::newRow("0.495") << 0.495 << u"0,50"_s << moderate;
    QTest::newRow("a hair below 0.495") << std::nextafter(0.495, 0.0) << u"0,50"_s << moderate;
    QTest::newRow("0.5") << 0.5 << u"0,50"_s << moderate;
    QTest::newRow("0.69") << 0.69 << u"0,69"_s << moderate;
    QTest::newRow("0.6949") << 0.6949 << u"0,69"_s << moderate;
    QTest::newRow("0.695, held below the half") << 0.695 << u"0,69"_s << moderate;
    QTest::newRow("0.6951") << 0.6951 << u"0,70"_s << reliable;
    QTest::newRow("0.7") << 0.7 << u"0,70"_s << reliable;
    QTest::newRow("1") << 1.0 << u"1,00"_s << reliable;
}

void TstTestquality::alphaLabel()
{
    QFETCH(double, value);
    QFETCH(QString, printed);
    QFETCH(QString, label);
    QCOMPARE(polishDecimal(value), printed);
    QCOMPARE(::alphaLabel(value), label);
}

void TstTestquality::labelsWithoutFigure()
{
    QCOMPARE(::discriminationLabel(std::nullopt), u"nie różnicuje (brak zróżnicowania wyników)"_s);
    QCOMPARE(::discriminationLabel(std::nan("")), u"nie różnicuje (brak zróżnicowania wyników)"_s);
    QCOMPARE(::alphaLabel(std::nullopt), u"brak danych"_s);
    QCOMPARE(::alphaLabel(std::nan("")), u"brak danych"_s);
}

void TstTestquality::labelsAgreeWithThePrintedFigure()
{
    // Every figure from −1 to 1 in steps of 0.0005, the halves of hundredths among them, and the
    // doubles just either side of each: the word goes with the figure as printed, read back.
    for (int step = -2000; step <= 2000; ++step) {
        const double centre = step * 0.0005;
        for (const double value : {std::nextafter(centre, -2.0), centre, std::nextafter(centre, 2.0)}) {
            const QString printed = polishDecimal(value);
            const double figure = QString(printed).replace(u',', u'.').toDouble();
            QVERIFY2(::discriminationLabel(value) == ::discriminationLabel(figure), qPrintable(printed));
            QVERIFY2(::alphaLabel(value) == ::alphaLabel(figure), qPrintable(printed));
        }
    }
}

QTEST_GUILESS_MAIN(TstTestquality)
#include "tst_testquality.moc"
