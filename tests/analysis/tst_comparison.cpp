// The school against the country: Porownanie.ini written byte for byte and read back, the fallback
// to Setup.ini key by key, what a teacher types into the grid, and the differences in points.
#include "analysis/analysissettings.h"
#include "analysis/comparison.h"
#include "core/cp1250.h"
#include "tests/support/builders.h"

#include <QLocale>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Three tasks in standards 1, 2 and 1 of a test with two standards.
TestDefinition smallTest()
{
    return build::testOf({1, 2, 3}).inStandards(2, {1, 2, 1}).total(6);
}

// The known figures as "kraj: Z1=0.57 S2=0.5 T=1; gmina: Z3=0", areas without any left out.
QString describe(const ComparisonFigures &figures)
{
    QStringList areas;
    for (std::size_t a = 0; a < allAreas.size(); ++a) {
        QStringList items;
        auto add = [&](const QString &name, const AreaFigures &row) {
            if (row[a])
                items.append(name + u'=' + QString::number(*row[a], 'g', 12));
        };
        for (int t = 0; t < figures.tasks.size(); ++t)
            add(u"Z%1"_s.arg(t + 1), figures.tasks[t]);
        for (int k = 0; k < figures.standards.size(); ++k)
            add(u"S%1"_s.arg(k + 1), figures.standards[k]);
        add(u"T"_s, figures.wholeTest);
        if (!items.isEmpty())
            areas.append(areaName(allAreas[a]) + u": "_s + items.join(u' '));
    }
    return areas.join(u"; "_s);
}

QString badValue(const QString &file, const QString &section, const QString &key, const QString &value)
{
    // The message names the area in words, never the file's section.
    const QString area = section == u"PorownanieKraj"_s ? u"kraj"_s : u"gmina"_s;
    return u"W pliku %1 łatwość (%2, %3) ma wartość „%4”, która nie jest łatwością (liczbą od 0 do "
           u"1); ta wartość została pominięta."_s.arg(file, area, key, value);
}

const QString thresholdProblem = u"Próg porównania z krajem w definicji testu (plik Setup.ini) musi być "
                                 u"liczbą całkowitą od 1 do 100; program przyjmuje 5."_s;

} // namespace

class TstComparison : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void emptyFigures();
    void fileBytes();
    void fileKeysFollowTheTest_data();
    void fileKeysFollowTheTest();
    void roundTrip();
    void read_data();
    void read();
    void parseFacilityText_data();
    void parseFacilityText();
    void facilityText_data();
    void facilityText();
    void differences_data();
    void differences();
    void threshold_data();
    void threshold();
};

void TstComparison::initTestCase()
{
    // A locale with a full stop: neither the file nor the grid may take its separator from it.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TstComparison::emptyFigures()
{
    ComparisonFigures figures = ComparisonFigures::emptyFor(smallTest());
    QCOMPARE(figures.tasks.size(), 3);
    QCOMPARE(figures.standards.size(), 2);
    QVERIFY(figures.isEmpty());
    figures.standards[1][3] = 0.0; // a figure of 0 is a figure
    QVERIFY(!figures.isEmpty());
    figures.standards[1][3].reset();
    figures.wholeTest[0] = 0.5;
    QVERIFY(!figures.isEmpty());
}

void TstComparison::fileBytes()
{
    ComparisonFigures figures = ComparisonFigures::emptyFor(smallTest());
    figures.tasks[0] = {0.57, 0.5, std::nullopt, 0.6125};
    figures.tasks[1] = {1.0, 0.0, 0.12345, 2.0 / 3};
    figures.tasks[2][1] = 1.2;          // no facility: written as none
    figures.tasks[2][2] = std::nan(""); // likewise
    figures.standards[0] = {0.605, 0.99996, std::nullopt, std::nullopt};
    figures.wholeTest = {0.61, std::nullopt, 0.1, 0.7};

    const QByteArray expected = "[PorownanieKraj]\r\n"
                                "Zadanie1=0.57\r\n"
                                "Zadanie2=1\r\n"
                                "Zadanie3=\r\n"
                                "Standard1=0.605\r\n"
                                "Standard2=\r\n"
                                "Test=0.61\r\n"
                                "\r\n"
                                "[PorownanieWojewodztwo]\r\n"
                                "Zadanie1=0.5\r\n"
                                "Zadanie2=0\r\n"
                                "Zadanie3=\r\n"
                                "Standard1=1\r\n"
                                "Standard2=\r\n"
                                "Test=\r\n"
                                "\r\n"
                                "[PorownaniePowiat]\r\n"
                                "Zadanie1=\r\n"
                                "Zadanie2=0.1235\r\n"
                                "Zadanie3=\r\n"
                                "Standard1=\r\n"
                                "Standard2=\r\n"
                                "Test=0.1\r\n"
                                "\r\n"
                                "[PorownanieGmina]\r\n"
                                "Zadanie1=0.6125\r\n"
                                "Zadanie2=0.6667\r\n"
                                "Zadanie3=\r\n"
                                "Standard1=\r\n"
                                "Standard2=\r\n"
                                "Test=0.7\r\n";
    QCOMPARE(comparisonFileBytes(figures, smallTest()), expected);
}

void TstComparison::fileKeysFollowTheTest_data()
{
    QTest::addColumn<int>("tasks");
    QTest::addColumn<int>("standards");
    QTest::addColumn<QByteArray>("section");

    QTest::newRow("seven standards: five counted")
        << 1 << 7
        << QByteArray("[PorownanieKraj]\r\nZadanie1=\r\nStandard1=\r\n"
                      "Standard2=\r\nStandard3=\r\nStandard4=\r\n"
                      "Standard5=\r\nTest=\r\n\r\n");
    QTest::newRow("no standards") << 2 << 0
                                  << QByteArray(
                                         "[PorownanieKraj]\r\nZadanie1=\r\nZadanie2=\r\nTest=\r\n\r\n");
    QTest::newRow("negative counts") << -3 << -1 << QByteArray("[PorownanieKraj]\r\nTest=\r\n\r\n");
}

void TstComparison::fileKeysFollowTheTest()
{
    QFETCH(int, tasks);
    QFETCH(int, standards);
    QFETCH(QByteArray, section);

    TestDefinition test;
    test.taskCount = tasks;
    test.standardCount = standards;
    // Figures shorter than the test (here: none at all) are written as empty keys.
    const QByteArray bytes = comparisonFileBytes(ComparisonFigures(), test);
    QVERIFY2(bytes.startsWith(section), bytes.constData());
    QCOMPARE(bytes.count("[Porownanie"), 4);
}

void TstComparison::roundTrip()
{
    const TestDefinition test = smallTest();
    ComparisonFigures figures = ComparisonFigures::emptyFor(test);
    figures.tasks[0] = {0.57, 0.5, std::nullopt, 0.6125};
    figures.tasks[2] = {0.0, 1.0, 0.33, std::nullopt};
    figures.standards[1] = {std::nullopt, 0.4, 0.45, 0.05};
    figures.wholeTest = {0.61, 0.62, 0.63, 0.64};

    // Every empty key of the written file stays empty over a Setup.ini full of figures.
    const AreaFigures nines{0.9, 0.9, 0.9, 0.9};
    const ComparisonFigures everywhere{QList<AreaFigures>(3, nines), QList<AreaFigures>(2, nines), nines};
    const IniFile setup = IniFile::fromBytes(comparisonFileBytes(everywhere, test));
    QStringList problems;
    const ComparisonFigures read =
        readComparison(IniFile::fromBytes(comparisonFileBytes(figures, test)), setup, test, &problems);
    QCOMPARE(describe(read), describe(figures));
    QCOMPARE(read.tasks.size(), 3);
    QCOMPARE(read.standards.size(), 2);
    QVERIFY(problems.isEmpty());
}

void TstComparison::read_data()
{
    QTest::addColumn<QByteArray>("own");
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<QString>("figures");
    QTest::addColumn<QStringList>("problems");

    const QByteArray kraj = "[PorownanieKraj]\r\n";
    const QByteArray gmina = "[PorownanieGmina]\r\n";
    const QString ownFile = u"Porownanie.ini"_s;
    const QString setupFile = u"Setup.ini"_s;

    QTest::newRow("nothing anywhere") << QByteArray() << QByteArray() << QString() << QStringList();
    QTest::newRow("own file") << kraj + "Zadanie1=0.57\r\nStandard2=0.5\r\nTest=1\r\n" + gmina +
                                     "Zadanie3=0\r\n"
                              << QByteArray() << u"kraj: Z1=0.57 S2=0.5 T=1; gmina: Z3=0"_s << QStringList();
    QTest::newRow("Setup.ini only")
        << QByteArray() << kraj + "Zadanie2=0.6\r\nTest=0.55\r\n[PorownanieWojewodztwo]\r\nStandard1=0.45\r\n"
        << u"kraj: Z2=0.6 T=0.55; województwo: S1=0.45"_s << QStringList();
    QTest::newRow("fallback key by key") << kraj + "Zadanie1=0.3\r\n"
                                         << kraj + "Zadanie1=0.9\r\nZadanie2=0.8\r\n" + gmina + "Test=0.7\r\n"
                                         << u"kraj: Z1=0.3 Z2=0.8; gmina: T=0.7"_s << QStringList();
    QTest::newRow("explicit empty hides Setup.ini")
        << kraj + "Zadanie1=\r\nZadanie2=  \r\n"
        << kraj + "Zadanie1=0.9\r\nZadanie2=0.8\r\nZadanie3=0.7\r\n"
        << u"kraj: Z3=0.7"_s << QStringList();
    QTest::newRow("same key in another section does not count")
        << gmina + "Zadanie1=0.4\r\n"
        << kraj + "Zadanie1=0.9\r\n"
        << u"kraj: Z1=0.9; gmina: Z1=0.4"_s << QStringList();
    QTest::newRow("commas, blanks, quotes, lower case")
        << QByteArray("[porownaniepowiat]\r\nzadanie1 = 0,57 \r\nSTANDARD1=\"0,5\"\r\ntest=,25\r\n")
        << QByteArray() << u"powiat: Z1=0.57 S1=0.5 T=0.25"_s << QStringList();
    QTest::newRow("negative zero and plus sign") << kraj + "Zadanie1=-0\r\nZadanie2=+0.5\r\n"
                                                 << QByteArray() << u"kraj: Z1=0 Z2=0.5"_s << QStringList();
    QTest::newRow("keys the test does not have") << kraj + "Zadanie4=0.5\r\nStandard3=0.5\r\nZadanie0=0.5\r\n"
                                                 << QByteArray() << QString() << QStringList();
    QTest::newRow("bounds 0 and 1") << kraj + "Zadanie1=0.0000\r\nZadanie2=1.0\r\n"
                                    << QByteArray() << u"kraj: Z1=0 Z2=1"_s << QStringList();

    QTest::newRow("bad values in the own file")
        << kraj + "Zadanie1=abc\r\nZadanie2=1.2\r\nZadanie3=-0.1\r\n" + gmina +
               "Standard1=57%\r\nStandard2=0,5,7\r\nTest=1e-1\r\n"
        << QByteArray() << QString()
        << QStringList{badValue(ownFile, u"PorownanieKraj"_s, u"Zadanie1"_s, u"abc"_s),
                       badValue(ownFile, u"PorownanieKraj"_s, u"Zadanie2"_s, u"1.2"_s),
                       badValue(ownFile, u"PorownanieKraj"_s, u"Zadanie3"_s, u"-0.1"_s),
                       badValue(ownFile, u"PorownanieGmina"_s, u"Standard1"_s, u"57%"_s),
                       badValue(ownFile, u"PorownanieGmina"_s, u"Standard2"_s, u"0,5,7"_s),
                       badValue(ownFile, u"PorownanieGmina"_s, u"Test"_s, u"1e-1"_s)};
    QTest::newRow("a bad own value is not replaced from Setup.ini")
        << kraj + "Test=x\r\n"
        << kraj + "Test=0.5\r\n"
        << QString() << QStringList{badValue(ownFile, u"PorownanieKraj"_s, u"Test"_s, u"x"_s)};
    QTest::newRow("a bad Setup.ini value names Setup.ini")
        << kraj + "Zadanie1=0.4\r\n"
        << kraj + "Zadanie1=x\r\nZadanie2=2\r\n"
        << u"kraj: Z1=0.4"_s << QStringList{badValue(setupFile, u"PorownanieKraj"_s, u"Zadanie2"_s, u"2"_s)};
    QTest::newRow("Polish letters in a bad value")
        << cp1250::encode(u"[PorownanieKraj]\r\nTest=żółć\r\n"_s) << QByteArray() << QString()
        << QStringList{badValue(ownFile, u"PorownanieKraj"_s, u"Test"_s, u"żółć"_s)};
}

void TstComparison::read()
{
    QFETCH(QByteArray, own);
    QFETCH(QByteArray, setup);
    QFETCH(QString, figures);
    QFETCH(QStringList, problems);

    QStringList found;
    const ComparisonFigures read =
        readComparison(IniFile::fromBytes(own), IniFile::fromBytes(setup), smallTest(), &found);
    QCOMPARE(describe(read), figures);
    QCOMPARE(read.tasks.size(), 3);
    QCOMPARE(read.standards.size(), 2);
    QCOMPARE(found, problems);
    // Without a list for the problems the same figures come back.
    QCOMPARE(
        describe(readComparison(IniFile::fromBytes(own), IniFile::fromBytes(setup), smallTest(), nullptr)),
        figures);
}

void TstComparison::parseFacilityText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("known");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("refused");

    QTest::newRow("comma") << u"0,57"_s << true << 0.57 << false;
    QTest::newRow("full stop") << u"0.57"_s << true << 0.57 << false;
    QTest::newRow("blanks") << u" 0,5 "_s << true << 0.5 << false;
    QTest::newRow("tab and no-break space") << u"\t0,5\u00a0"_s << true << 0.5 << false;
    QTest::newRow("no leading zero") << u",75"_s << true << 0.75 << false;
    QTest::newRow("0") << u"0"_s << true << 0.0 << false;
    QTest::newRow("1") << u"1"_s << true << 1.0 << false;
    QTest::newRow("percent") << u"57%"_s << true << 0.57 << false;
    QTest::newRow("percent with a space") << u"57 %"_s << true << 0.57 << false;
    QTest::newRow("percent with decimals") << u"57,5%"_s << true << 0.575 << false;
    QTest::newRow("100%") << u"100%"_s << true << 1.0 << false;
    QTest::newRow("empty") << QString() << false << 0.0 << false;
    QTest::newRow("only blanks") << u"   "_s << false << 0.0 << false;

    QTest::newRow("above 1") << u"1,2"_s << false << 0.0 << true;
    QTest::newRow("a percentage without %") << u"57"_s << false << 0.0 << true;
    QTest::newRow("negative") << u"-0,1"_s << false << 0.0 << true;
    QTest::newRow("above 100%") << u"101%"_s << false << 0.0 << true;
    QTest::newRow("only %") << u"%"_s << false << 0.0 << true;
    QTest::newRow("word") << u"brak"_s << false << 0.0 << true;
    QTest::newRow("two separators") << u"0,5,7"_s << false << 0.0 << true;
    QTest::newRow("exponent") << u"5e-1"_s << false << 0.0 << true;
    QTest::newRow("inf") << u"inf"_s << false << 0.0 << true;
    QTest::newRow("thousands-style blank") << u"0 57"_s << false << 0.0 << true;
}

void TstComparison::parseFacilityText()
{
    QFETCH(QString, text);
    QFETCH(bool, known);
    QFETCH(double, value);
    QFETCH(bool, refused);

    QString error = u"left from before"_s;
    const std::optional<double> parsed = ::parseFacilityText(text, &error);
    QCOMPARE(parsed.has_value(), known);
    if (known)
        QCOMPARE(*parsed, value);
    const QString expected =
        refused ? u"„%1” nie jest łatwością: wpisz liczbę od 0 do 1, np. 0,57."_s.arg(text.trimmed())
                : QString();
    QCOMPARE(error, expected);
    QCOMPARE(::parseFacilityText(text, nullptr).has_value(), known);
}

void TstComparison::facilityText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("two decimals") << 0.57 << u"0,57"_s;
    QTest::newRow("one decimal shown with two") << 0.5 << u"0,50"_s;
    QTest::newRow("0") << 0.0 << u"0,00"_s;
    QTest::newRow("1") << 1.0 << u"1,00"_s;
    QTest::newRow("three decimals") << 0.575 << u"0,575"_s;
    QTest::newRow("four decimals") << 0.6125 << u"0,6125"_s;
    QTest::newRow("rounded to four") << 2.0 / 3 << u"0,6667"_s;
    QTest::newRow("rounds up to 1") << 0.99996 << u"1,00"_s;
    QTest::newRow("not a number") << std::nan("") << QString();
}

void TstComparison::facilityText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(::facilityText(value), text);
    // What the grid shows reads back as the figure the file holds.
    if (!text.isEmpty()) {
        const std::optional<double> back = ::parseFacilityText(text, nullptr);
        QVERIFY(back);
        QCOMPARE(::facilityText(*back), text);
    }
}

void TstComparison::differences_data()
{
    QTest::addColumn<double>("own");
    QTest::addColumn<double>("area");
    QTest::addColumn<int>("difference");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marked"); // with the usual threshold of 5

    QTest::newRow("above") << 0.62 << 0.57 << 5 << u"+5"_s << false;
    QTest::newRow("below by the threshold") << 0.57 << 0.62 << -5 << u"\u22125"_s << true;
    QTest::newRow("below by less") << 0.58 << 0.62 << -4 << u"\u22124"_s << false;
    QTest::newRow("equal") << 0.57 << 0.57 << 0 << u"0"_s << false;
    QTest::newRow("under half a point") << 0.574 << 0.57 << 0 << u"0"_s << false;
    QTest::newRow("half a point up") << 0.575 << 0.57 << 1 << u"+1"_s << false;
    QTest::newRow("half a point down, away from zero") << 0.565 << 0.57 << -1 << u"\u22121"_s << false;
    // (0.3 − 0.255) · 100 is 4.4999999999999982 in doubles; by hand it is 4.5, written 5.
    QTest::newRow("4.5 stored below") << 0.3 << 0.255 << 5 << u"+5"_s << false;
    QTest::newRow("−4.5 stored above") << 0.255 << 0.3 << -5 << u"\u22125"_s << true;
    QTest::newRow("4.49 stays 4") << 0.3 << 0.2551 << 4 << u"+4"_s << false;
    QTest::newRow("a school's 23 of 40 against 0.57") << 23.0 / 40 << 0.57 << 1 << u"+1"_s << false;
    QTest::newRow("all against none") << 1.0 << 0.0 << 100 << u"+100"_s << false;
    QTest::newRow("none against all") << 0.0 << 1.0 << -100 << u"\u2212100"_s << true;
    QTest::newRow("not a number") << std::nan("") << 0.5 << 0 << u"0"_s << false;
}

void TstComparison::differences()
{
    QFETCH(double, own);
    QFETCH(double, area);
    QFETCH(int, difference);
    QFETCH(QString, text);
    QFETCH(bool, marked);

    QCOMPARE(differenceInPoints(own, area), difference);
    QCOMPARE(signedPoints(difference), text);
    QCOMPARE(markedBelow(difference, defaultComparisonThreshold), marked);
    // A threshold of 1 marks every school below the area, a threshold of 100 only one with nothing
    // against an area with everything.
    QCOMPARE(markedBelow(difference, 1), difference < 0);
    QCOMPARE(markedBelow(difference, 100), difference == -100);
}

void TstComparison::threshold_data()
{
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("problem");

    QTest::newRow("absent") << QByteArray("[Ustawienia]\r\nLiczbaZadan=3\r\n") << 5 << false;
    QTest::newRow("10") << QByteArray("[Porownanie]\r\nProg=10\r\n") << 10 << false;
    QTest::newRow("1") << QByteArray("[porownanie]\r\nprog = 1\r\n") << 1 << false;
    QTest::newRow("0") << QByteArray("[Porownanie]\r\nProg=0\r\n") << 5 << true;
    QTest::newRow("101") << QByteArray("[Porownanie]\r\nProg=101\r\n") << 5 << true;
    QTest::newRow("negative") << QByteArray("[Porownanie]\r\nProg=-3\r\n") << 5 << true;
    QTest::newRow("decimal") << QByteArray("[Porownanie]\r\nProg=2,5\r\n") << 5 << true;
    QTest::newRow("word") << QByteArray("[Porownanie]\r\nProg=piec\r\n") << 5 << true;
    QTest::newRow("empty") << QByteArray("[Porownanie]\r\nProg=\r\n") << 5 << true;
}

void TstComparison::threshold()
{
    QFETCH(QByteArray, setup);
    QFETCH(int, threshold);
    QFETCH(bool, problem);

    QStringList problems{u"earlier"_s};
    QCOMPARE(comparisonThreshold(IniFile::fromBytes(setup), &problems), threshold);
    const QStringList expected =
        problem ? QStringList{u"earlier"_s, thresholdProblem} : QStringList{u"earlier"_s};
    QCOMPARE(problems, expected);
    QCOMPARE(comparisonThreshold(IniFile::fromBytes(setup), nullptr), threshold);
}

QTEST_GUILESS_MAIN(TstComparison)
#include "tst_comparison.moc"
