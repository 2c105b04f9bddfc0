// The school across tests: three school folders, each of its own test (5, 4 and 2 tasks), read
// with their own Setup.ini and compared; every figure below is worked by hand.
#include "tests/support/threeschools.h"

#include "analysis/comparison.h"
#include "analysis/testdefinition.h"
#include "core/cp1250.h"
#include "school/schoolacrosstests.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace threeschools;

namespace {

QString opt(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'f', 4) : u"–"_s;
}

QString opt(const std::optional<int> &value)
{
    return value ? QString::number(*value) : u"–"_s;
}

QString describe(const GroupAtTest &g)
{
    return u"%1: %2/%3 mean %4 median %5 facility %6 80+ %7 50- %8 stanine %9 country %10"_s.arg(
        g.label, QString::number(g.present), QString::number(g.pupils), QString::number(g.meanPoints, 'f', 4),
        QString::number(g.median, 'f', 2), opt(g.facility), QString::number(g.shareAtLeast80, 'f', 2),
        QString::number(g.shareBelow50, 'f', 2), opt(g.stanine), opt(g.countryDifference));
}

} // namespace

class TstSchoolAcrossTests : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void threeSchoolsOfThreeTests();
    void foldersThatCannotBeRead();
};

void TstSchoolAcrossTests::threeSchoolsOfThreeTests()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QList<SchoolAtTest> tests;
    for (const SchoolPlan *plan : {&schoolC, &schoolA, &schoolB}) {
        QVERIFY(makeSchool(root.path(), *plan));
        QString why;
        const std::optional<SchoolAtTest> read = readSchoolAtTest(root.filePath(plan->folder), &why);
        QVERIFY2(read, qPrintable(why));
        tests.append(*read);
    }
    sortByTestDate(&tests);
    QCOMPARE(tests[0].testName, u"Próbny 1"_s);
    QCOMPARE(tests[1].testName, u"Próbny 2"_s);
    QCOMPARE(tests[2].testName, u"Egzamin"_s);
    QCOMPARE(tests[2].maxPoints, 10);

    // 16 / 5 = 3,2 of 5: stanine 6 (from 3), 0,64 against the country's 0,50.
    QCOMPARE(describe(tests[0].school),
             u"Szkoła: 5/6 mean 3.2000 median 4.00 facility 0.6400 80+ 0.60 50- 0.40 "
             u"stanine 6 country 14"_s);
    QCOMPARE(describe(tests[1].school),
             u"Szkoła: 5/6 mean 2.2000 median 2.00 facility 0.5500 80+ 0.20 50- 0.40 "
             u"stanine – country –"_s);
    QCOMPARE(describe(tests[2].school),
             u"Szkoła: 5/5 mean 7.2000 median 8.00 facility 0.7200 80+ 0.60 50- 0.20 "
             u"stanine 7 country 12"_s);
    // 11 / 3 of 5 = 0,7333: 23 points above the country.
    QCOMPARE(describe(tests[0].classes[0]), u"Klasa 7a: 3/4 mean 3.6667 median 4.00 facility 0.7333 80+ 0.67 "
                                            u"50- 0.33 stanine 7 country 23"_s);

    // The teacher follows 7a into 8a and 7b into 8b.
    ClassMatch match = matchClassesByLabel(tests);
    QCOMPARE(match, (ClassMatch{{u"Klasa 7a"_s, {}, {}},
                                {u"Klasa 7b"_s, {}, {}},
                                {{}, u"Klasa 8a"_s, u"Klasa 8a"_s},
                                {{}, u"Klasa 8b"_s, u"Klasa 8b"_s}}));
    match = {{u"Klasa 7a"_s, u"Klasa 8a"_s, u"Klasa 8a"_s}, {u"Klasa 7b"_s, u"Klasa 8b"_s, u"Klasa 8b"_s}};
    const TestsComparison comparison = compareTests(tests, match);
    QCOMPARE(comparison.classes.size(), 2);
    QCOMPARE(comparison.classes[1][1]->meanPoints, 2.0);
    QCOMPARE(comparison.classes[1][2]->meanPoints, 8.0);

    QStringList pupils;
    for (const PupilAcrossTests &pupil : comparison.pupils) {
        QStringList cells{pupil.classLabel, pupil.code};
        for (qsizetype t = 0; t < 3; ++t)
            cells << opt(pupil.percentOfMax[t]) + u'/' + opt(pupil.percentile[t]);
        cells << opt(pupil.change);
        pupils << cells.join(u' ');
    }
    QCOMPARE(pupils, (QStringList{
                         u"Klasa 7a a1 100.0000/100.0000 75.0000/80.0000 90.0000/80.0000 -20.0000"_s,
                         u"Klasa 7a a2 40.0000/40.0000 25.0000/40.0000 30.0000/20.0000 -20.0000"_s,
                         u"Klasa 7a a4 80.0000/80.0000 100.0000/100.0000 80.0000/60.0000 -20.0000"_s,
                         u"Klasa 7a a3 –/– 25.0000/40.0000 –/– –"_s,
                         u"Klasa 7b b1 20.0000/20.0000 50.0000/60.0000 60.0000/40.0000 20.0000"_s,
                         u"Klasa 7b b2 80.0000/80.0000 –/– 100.0000/100.0000 20.0000"_s,
                     }));

    // "rozumowanie" is in one test only.
    QCOMPARE(comparison.standards.size(), 2);
    QCOMPARE(comparison.standards[0].description, u"czytanie"_s);
    QCOMPARE(opt(comparison.standards[0].facility[0]), u"0.7000"_s);
    QCOMPARE(opt(comparison.standards[0].facility[1]), u"0.7000"_s);
    QCOMPARE(opt(comparison.standards[0].facility[2]), u"0.7600"_s);
    QCOMPARE(comparison.standards[1].description, u"pisanie"_s);
    QCOMPARE(opt(comparison.standards[1].facility[0]), u"0.4000"_s);
    QCOMPARE(opt(comparison.standards[1].facility[1]), u"–"_s);
    QCOMPARE(opt(comparison.standards[1].facility[2]), u"0.6800"_s);
}

void TstSchoolAcrossTests::foldersThatCannotBeRead()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QString why;
    QVERIFY(!readSchoolAtTest(root.filePath(u"nic"_s), &why));
    QVERIFY2(why.contains(u"brak pliku Szkola.ini"_s), qPrintable(why));

    // An old school without its own test, and one whose classes have no results.
    QVERIFY(makeSchool(root.path(), schoolA));
    QVERIFY(QFile::remove(root.filePath(u"A/Setup.ini"_s)));
    QVERIFY(!readSchoolAtTest(root.filePath(u"A"_s), &why));
    QVERIFY2(why.contains(u"własnej definicji testu"_s), qPrintable(why));
    QVERIFY(makeSchool(root.path(), schoolB));
    for (const QString &label : schoolB.labels)
        QVERIFY(QFile::remove(root.filePath(u"B/"_s + label + u"/Odpowiedzi.tmp"_s)));
    QVERIFY(!readSchoolAtTest(root.filePath(u"B"_s), &why));
    QVERIFY2(why.contains(u"żadna klasa nie ma zapisanych wyników"_s), qPrintable(why));
}

QTEST_GUILESS_MAIN(TstSchoolAcrossTests)
#include "tst_schoolacrosstests.moc"
