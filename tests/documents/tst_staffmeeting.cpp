// The staff-meeting figures put together: a class against the country, where its pupils stand,
// the sheets for their parents and the analysis sheet of the spreadsheet file, against values
// worked out by hand.
#include "analysis/analysisreport.h"
#include "analysis/staffmeeting.h"
#include "documents/analysissheet.h"
#include "documents/pupilsheets.h"
#include "tests/support/builders.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstStaffMeeting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void comparisonLines();
    void pupilsNorms();
    void sheetsForParents();
    void weakStandards_data();
    void weakStandards();
    void analysisSheetHoldsNumbers();
    void schoolSheetHoldsTheWholeReport();
    void schoolAnswersClassByClass();
};

namespace {

// Three tasks worth 2, 2 and 4 points in standards 1, 1 and 2 (worth 4 and 4); 8 points in all.
TestDefinition smallTest()
{
    return build::testOf({2, 2, 4})
        .labelled(u"Z"_s)
        .inStandards(2, {1, 1, 2})
        .total(8)
        .named(u"Próbny"_s, u"2026-03-01"_s)
        .standardMaxima({4, 4})
        .standardNames({u"Cz."_s, u"Pi."_s}, {u"czytanie"_s, u"pisanie"_s});
}

// Totals 8, 5, 1 and an absent pupil; class B: 4 and 4.
ClassResults classA()
{
    return build::classOf(u"6a"_s, u"A"_s, {{2, 2, 4}, {2, 1, 2}, {0, 1, 0}, {0, 0, 0}},
                          {true, true, true, false});
}

ClassResults classB()
{
    return build::classOf(u"6b"_s, u"B"_s, {{2, 0, 2}, {1, 1, 2}});
}

ComparisonFigures country(const TestDefinition &test)
{
    ComparisonFigures figures = ComparisonFigures::emptyFor(test);
    figures.tasks[0][0] = 0.70;
    figures.tasks[2][0] = 0.60;
    figures.tasks[2][3] = 0.40;
    figures.standards[0][0] = 0.50;
    figures.wholeTest[0] = 0.58;
    return figures;
}

} // namespace

void TstStaffMeeting::comparisonLines()
{
    const TestDefinition test = smallTest();
    const GroupAnalysis group = analyseGroup(u"6a"_s, {classA()}, test, AnalysisSettings());
    const StaffMeetingFigures figures = staffMeetingFigures(group, {classA()}, test, {}, country(test), 5);
    const ComparisonTable &table = figures.comparison;
    QVERIFY(table.hasFigures);
    // Task 1: 4 of 6 points, 0.67 against the country's 0.70: 3 points below, not marked at 5.
    QCOMPARE(table.tasks[0].differences[0], std::optional<int>(-3));
    QVERIFY(!table.tasks[0].marked);
    // Task 3: 6 of 12, 0.50 against 0.60 (10 below, marked) and the municipality's 0.40 (10 above).
    QCOMPARE(table.tasks[2].differences[0], std::optional<int>(-10));
    QCOMPARE(table.tasks[2].differences[3], std::optional<int>(10));
    QVERIFY(table.tasks[2].marked);
    QCOMPARE(table.tasks[1].differences[0], std::nullopt);
    // Standard 1: tasks 1 and 2, 8 of 12 points = 0.67 against 0.50: 17 points above.
    QCOMPARE(table.standards[0].differences[0], std::optional<int>(17));
    // The whole test: 14 of 24 = 0.5833 against 0.58, 0 points.
    QCOMPARE(table.wholeTest.differences[0], std::optional<int>(0));
    // Without figures the table says so.
    QVERIFY(!staffMeetingFigures(group, {classA()}, test, {}, ComparisonFigures::emptyFor(test), 5)
                 .comparison.hasFigures);
}

void TstStaffMeeting::pupilsNorms()
{
    const TestDefinition test = smallTest();
    const QList<ClassResults> classes{classA(), classB()};
    const GroupAnalysis group = analyseGroup(u"Szkoła"_s, classes, test, AnalysisSettings());
    const QList<double> stanines{0, 2, 3, 4, 5, 6, 7, 7.5, 8};
    const StaffMeetingFigures figures = staffMeetingFigures(group, classes, test, stanines, {}, 5);
    const NormsFigures &norms = figures.norms;
    // Present totals: 8, 5, 1 (6a) and 4, 4 (6b); the absent pupil is nowhere.
    QCOMPARE(norms.pupils.size(), 5);
    // A2 with 5: in 6a, 2 of 3 pupils have 5 or less (66.7); in the school, 4 of 5 (80).
    QCOMPARE(norms.pupils[1].code, u"A2"_s);
    QVERIFY(qAbs(norms.pupils[1].percentileInClass - 200.0 / 3) < 1e-9);
    QCOMPARE(norms.pupils[1].percentileInSchool, 80.0);
    QCOMPARE(norms.pupils[1].percentOfMax, std::optional<double>(62.5));
    // 6b's pupils share a total: both 100 in the class, 60 in the school.
    QCOMPARE(norms.pupils[3].percentileInClass, 100.0);
    QCOMPARE(norms.pupils[4].percentileInSchool, 60.0);
    // Stanines: 8 → 9, 5 → 5, 1 → 1, 4 → 4 (twice): low 1, middle 3, high 1.
    QCOMPARE(norms.pupils[0].stanine, 9);
    QCOMPARE(norms.spread.low, 1);
    QCOMPARE(norms.spread.middle, 3);
    QCOMPARE(norms.spread.high, 1);
    // At least 80 % (6.4 of 8): only the 8; under 50 % (below 4): only the 1.
    QCOMPARE(norms.bands.atLeast80, 1);
    QCOMPARE(norms.bands.below50, 1);
    QVERIFY(norms.unstable);
    QCOMPARE(figures.quality.discrimination.size(), 3);
    QVERIFY(figures.quality.alpha.has_value());
}

void TstStaffMeeting::sheetsForParents()
{
    const TestDefinition test = smallTest();
    const ClassResults results = classA();
    const GroupAnalysis group = analyseGroup(results.label, {results}, test, AnalysisSettings());
    const ComparisonFigures figures = country(test);
    const StaffMeetingFigures staff =
        staffMeetingFigures(group, {results}, test, {0, 2, 3, 4, 5, 6, 7, 7.5, 8}, figures, 5);
    const PupilSheets book = pupilSheets(results, group, staff, figures, test);
    // One sheet for each present pupil, named by code only.
    QCOMPARE(book.sheets.size(), 3);
    const PupilSheet &sheet = book.sheets[2];
    QCOMPARE(sheet.title, u"Karta wyników ucznia A3"_s);
    QCOMPARE(book.classLabel, results.label);
    QCOMPARE(sheet.summary, u"Wynik ucznia: 1 z 8 punktów (13% maksymalnej liczby punktów). Taki sam albo "
                            u"niższy wynik ma 33% uczniów klasy (ranga centylowa 33)."_s);
    QVERIFY(sheet.stanine.contains(u"staninowi 1 (najniższy)"_s));
    // Below one half in both standards, in words, the advice said once.
    QCOMPARE(sheet.weakStandards.size(), 1);
    QVERIFY2(sheet.weakStandards[0].startsWith(
                 u"Mniej niż połowa punktów w obszarach: „czytanie” (1 z 4 punktów), „pisanie” "_s),
             qPrintable(sheet.weakStandards[0]));
    QCOMPARE(sheet.weakStandards[0].count(u"Warto wspólnie poćwiczyć"_s), 1);
    QCOMPARE(sheet.standardPoints, (QList<qint64>{1, 0}));
    // The country's mean points where known (0.70 · 2), beside the class's.
    QCOMPARE(book.tasks.columns.value(3), u"Średnia w kraju"_s);
    QVERIFY(book.tasks.countryMeans.contains(u"1,40"_s));
    QCOMPARE(book.tasks.labels.size(), book.tasks.classMeans.size());
    // Without the country's figures, no such column.
    const PupilSheets without = pupilSheets(results, group, staff, ComparisonFigures::emptyFor(test), test);
    QCOMPARE(without.tasks.columns.size(), 3);
    QVERIFY(without.tasks.countryMeans.isEmpty());
}

void TstStaffMeeting::weakStandards_data()
{
    QTest::addColumn<QList<qint64>>("points"); // of 4 and 4
    QTest::addColumn<int>("sentences");
    QTest::addColumn<QString>("first");
    QTest::newRow("half is not below") << QList<qint64>{2, 4} << 1 << u"W każdym obszarze"_s;
    QTest::newRow("one below") << QList<qint64>{1, 4} << 1
                               << u"Mniej niż połowa punktów w obszarze „czytanie” (1 z 4 punktów). Warto"_s;
    QTest::newRow("both below, said once") << QList<qint64>{0, 1} << 1
                                           << u"Mniej niż połowa punktów w obszarach: „czytanie” (0 z 4 "
                                              u"punktów), „pisanie” (1 z 4 punktów). Warto"_s;
}

void TstStaffMeeting::weakStandards()
{
    QFETCH(QList<qint64>, points);
    QFETCH(int, sentences);
    QFETCH(QString, first);
    const QStringList result = weakStandardSentences(points, smallTest());
    QCOMPARE(result.size(), sentences);
    QVERIFY2(result.value(0).startsWith(first), qPrintable(result.value(0)));
}

void TstStaffMeeting::analysisSheetHoldsNumbers()
{
    const TestDefinition test = smallTest();
    const AnalysisReport report = analyseClass(classA(), test, AnalysisSettings());
    const StaffMeetingFigures figures =
        staffMeetingFigures(report.overall, {classA()}, test, {}, country(test), 5);
    const Sheet sheet = analysisSheet(report, figures, test, AnalysisSettings());
    QCOMPARE(sheet.name, u"Analiza"_s);
    // Each figure as a number, under the report's headings.
    auto rowOf = [&](const QString &label) -> QList<SheetCell> {
        for (const QList<SheetCell> &row : sheet.rows) {
            if (!row.isEmpty() && row[0].text == label)
                return row;
        }
        return {};
    };
    const QList<SheetCell> mean = rowOf(u"Średnia"_s);
    QVERIFY(!mean.isEmpty() && mean[1].number);
    QCOMPARE(*mean[1].number, 4.67); // as the report prints 14 / 3
    QCOMPARE(mean[1].decimals, 2);
    const QList<SheetCell> task3 = rowOf(u"Z3"_s);
    QCOMPARE(task3.value(3).number, std::optional<double>(0.5));
    bool comparisonHeading = false;
    for (const QList<SheetCell> &row : sheet.rows)
        comparisonHeading =
            comparisonHeading ||
            (!row.isEmpty() && row[0].text == u"Porównanie z krajem, województwem, powiatem i gminą"_s);
    QVERIFY(comparisonHeading);
    QVERIFY(!rowOf(u"Alfa Cronbacha"_s).isEmpty());
}

namespace {

// The row after the first whose first cell reads heading, and every one below it.
QList<QList<SheetCell>> rowsUnder(const Sheet &sheet, const QString &heading)
{
    for (qsizetype r = 0; r < sheet.rows.size(); ++r) {
        if (!sheet.rows[r].isEmpty() && sheet.rows[r][0].text == heading)
            return sheet.rows.mid(r + 1);
    }
    return {};
}

// Text cells as their text, number cells as the figure with a '#' before it, so that a row can be
// compared with what the report shows and a figure written as text is told apart.
QStringList shown(const QList<SheetCell> &row)
{
    QStringList cells;
    for (const SheetCell &cell : row)
        cells.append(cell.number
                         ? u"#"_s + QString::number(*cell.number) + u'/' + QString::number(cell.decimals)
                         : cell.text);
    return cells;
}

} // namespace

void TstStaffMeeting::schoolSheetHoldsTheWholeReport()
{
    const TestDefinition test = smallTest();
    AnalysisSettings settings;
    // A school mean of 4.4 lies in stanine 5.
    settings.stanineBounds = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    const QList<ClassResults> classes{classA(), classB()};
    const AnalysisReport report =
        analyseSchool(classes, {u"Klasa 6c nie ma jeszcze wyników."_s}, test, settings);
    const StaffMeetingFigures figures =
        staffMeetingFigures(report.overall, classes, test, {}, country(test), 5);
    const Sheet sheet = analysisSheet(report, figures, test, settings);

    QCOMPARE(shown(sheet.rows.value(2)), QStringList{u"Klasa 6c nie ma jeszcze wyników."_s});
    QVERIFY(!report.sentences.isEmpty());
    const QList<QList<SheetCell>> summary = rowsUnder(sheet, u"Podsumowanie"_s);
    for (qsizetype i = 0; i < report.sentences.size(); ++i)
        QCOMPARE(shown(summary.value(i)), QStringList{report.sentences[i]});

    // Totals 8, 5, 1, 4 and 4: a mean of 4.4, stanine 5, with the name the report gives it.
    const QList<QList<SheetCell>> totals = rowsUnder(sheet, u"Suma punktów"_s);
    bool stanine = false;
    for (const QList<SheetCell> &row : totals)
        stanine = stanine || shown(row) == QStringList{u"Stanin średniej"_s, u"#5/0"_s, u"średni"_s};
    QVERIFY(stanine);

    // One bar per total from 0 to 8, each a number of pupils.
    const QList<QList<SheetCell>> histogram =
        rowsUnder(sheet, u"Rozkład sumy punktów (wszyscy uczniowie szkoły)"_s);
    QCOMPARE(shown(histogram.value(0)), (QStringList{u"Suma punktów"_s, u"Liczba uczniów"_s}));
    QCOMPARE(shown(histogram.value(1)), (QStringList{u"#0/0"_s, u"#0/0"_s}));
    QCOMPARE(shown(histogram.value(5)), (QStringList{u"#4/0"_s, u"#2/0"_s}));
    QCOMPARE(shown(histogram.value(9)), (QStringList{u"#8/0"_s, u"#1/0"_s}));
    QVERIFY(histogram.value(10).isEmpty());

    // The classes side by side, the "Szkoła" page's mean of them, then the school over all its pupils.
    const QList<QList<SheetCell>> side = rowsUnder(sheet, u"Klasy obok siebie"_s);
    QCOMPARE(shown(side.value(1)).mid(0, 4), (QStringList{u"6a"_s, u"#4/0"_s, u"#3/0"_s, u"#4.67/2"_s}));
    QCOMPARE(shown(side.value(2)).value(0), u"6b"_s);
    // 6b: 8 of 16 points, 0.50 for the whole test.
    QCOMPARE(shown(side.value(2)).value(8), u"#0.5/2"_s);
    QCOMPARE(shown(side.value(3)).value(0), u"Średnia ze średnich klas"_s);
    QCOMPARE(shown(side.value(4)).value(0), u"Szkoła (wszyscy uczniowie)"_s);
    const QList<QList<SheetCell>> perClass = rowsUnder(sheet, u"Łatwość standardów w klasach:"_s);
    QCOMPARE(shown(perClass.value(0)),
             (QStringList{u"Klasa"_s, u"czytanie"_s, u"pisanie"_s, u"Cały test"_s}));
    // 6a in reading: 4 + 3 + 1 of 12 points.
    QCOMPARE(shown(perClass.value(1)).value(1), u"#0.67/2"_s);

    // A3 (6a, row 3) has 1 of 4 reading points and none of 4 writing points; every other pupil at
    // least one half.
    const QList<QList<SheetCell>> weak =
        rowsUnder(sheet, u"Uczniowie, którzy uzyskali mniej niż połowę punktów w standardzie"_s);
    QCOMPARE(shown(weak.value(1)).mid(0, 3), (QStringList{u"Standard"_s, u"Liczba uczniów"_s, u"Klasa"_s}));
    QCOMPARE(shown(weak.value(2)), (QStringList{u"czytanie"_s, u"#1/0"_s}));
    QCOMPARE(shown(weak.value(3)),
             (QStringList{u"czytanie"_s, QString(), u"6a"_s, u"#3/0"_s, u"A3"_s, u"#0.25/2"_s}));
    QCOMPARE(shown(weak.value(4)), (QStringList{u"pisanie"_s, u"#1/0"_s}));
    QCOMPARE(shown(weak.value(5)),
             (QStringList{u"pisanie"_s, QString(), u"6a"_s, u"#3/0"_s, u"A3"_s, u"#0/2"_s}));
}

void TstStaffMeeting::schoolAnswersClassByClass()
{
    TestDefinition test = smallTest();
    test.taskKeys = {TaskKey{u"PF"_s, u"PF"_s, true}, TaskKey{u"B"_s, u"ABCD"_s, false}, TaskKey{}};
    const auto choose = [&test](ClassResults results, const QList<QStringList> &chosen) {
        for (qsizetype p = 0; p < chosen.size(); ++p) {
            results.pupils[p].choices = QList<ChosenAnswer>(test.taskCount);
            for (qsizetype t = 0; t < chosen[p].size(); ++t)
                results.pupils[p].choices[t] = *closedanswers::chosenAnswer(chosen[p][t], test.keyOf(t));
        }
        return results;
    };
    // 6a: the key of Z2 by two of three; 6b: a wrong answer by both, and a part left blank.
    const QList<ClassResults> classes{
        choose(classA(), {{u"PF"_s, u"B"_s}, {u"PF"_s, u"B"_s}, {u"FP"_s, u"C"_s}}),
        choose(classB(), {{u"PF"_s, u"C"_s}, {u"P-"_s, u"C"_s}})};
    const AnalysisReport report = analyseSchool(classes, {}, test, AnalysisSettings());
    const StaffMeetingFigures figures =
        staffMeetingFigures(report.overall, classes, test, {}, ComparisonFigures::emptyFor(test), 5);
    const QList<QList<SheetCell>> rows = rowsUnder(analysisSheet(report, figures, test, AnalysisSettings()),
                                                   u"Klasy obok siebie: odpowiedź poprawna"_s);

    QCOMPARE(shown(rows.value(1)), (QStringList{u"Zadanie"_s, u"Klucz"_s, u"6a"_s, u"6b"_s}));
    QCOMPARE(shown(rows.value(2)), (QStringList{u"Z1 (część 1)"_s, u"P"_s, u"#66.6667/1"_s, u"#100/1"_s}));
    QCOMPARE(shown(rows.value(3)), (QStringList{u"Z1 (część 2)"_s, u"F"_s, u"#66.6667/1"_s, u"#50/1"_s}));
    QCOMPARE(shown(rows.value(4)), (QStringList{u"Z2"_s, u"B"_s, u"#66.6667/1"_s, u"#0/1"_s}));
    QCOMPARE(shown(rows.value(6)), QStringList{u"Z2: w klasie 6b (C – 100%, poprawną B – 0%)."_s});
}

QTEST_GUILESS_MAIN(TstStaffMeeting)
#include "tst_staffmeeting.moc"
