// The staff-meeting analysis: settings from Setup.ini, Polish figures, bands and stanines, the answers
// files read as Compute checks them, the statistics of a class and a school, and the summary
// sentences, all against results worked out by hand.
#include "analysis/analysisreport.h"
#include "analysis/analysissentences.h"
#include "core/cp1250.h"
#include "core/numbers.h"
#include "tests/support/builders.h"
#include "tests/support/setupini.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

using Bounds = QList<double>;

namespace {

const QString bandProblem = u"Granice przedziałów łatwości w definicji testu (plik Setup.ini) są "
                            u"nieprawidłowe (muszą rosnąć, od 0 do 1); program przyjmuje granice "
                            u"0,20; 0,50; 0,70; 0,90."_s;
const QString stanineProblem = u"Tabela staninów średniego wyniku szkoły w definicji testu (plik Setup.ini) "
                               u"jest niepełna lub nieprawidłowa; stanin nie będzie pokazywany."_s;
const Bounds defaultBands{0.20, 0.50, 0.70, 0.90};
const Bounds stanineTable{0, 2, 3, 4, 5, 6, 7, 8, 9};

QByteArray stanineSection(const QList<QByteArray> &values)
{
    QByteArray section = "[Staniny]\r\n";
    for (int k = 0; k < values.size(); ++k)
        section += "Stanin" + QByteArray::number(k + 1) + '=' + values[k] + "\r\n";
    return section;
}

// Four tasks worth 1 to 4 points; task 4 belongs to standard 6, which the test does not have.
TestDefinition smallTest()
{
    return build::testOf({1, 2, 3, 4})
        .labelled(u"Z"_s)
        .inStandards(2, {1, 2, 1, 6})
        .closed({true, true, false, false})
        .total(10)
        .standardMaxima({4, 2})
        .standardNames({u"Czyt."_s, u"Pis."_s}, {u"czytanie"_s, u"pisanie"_s});
}

const GridRows classA{
    {u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Z1"_s, u"Z2"_s, u"Z3"_s, u"Z4"_s},
    {u"1"_s, u"A"_s, u"T"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s}, // 10 points; standards 4/4, 2/2
    {u"2"_s, u"B"_s, u"T"_s, u"0"_s, u"1"_s, u"1"_s, u"2"_s}, // 4; 1/4 (weak), 1/2 (not weak)
    {u"3"_s, u"C"_s, u"N"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s}, // absent
    {u"4"_s, u"D"_s, u"T"_s, u"1"_s, u"-"_s, u"2"_s, u"-"_s}, // 3; 3/4, 0/2 (weak)
    {u"5"_s, u"-"_s, u"t"_s, u"-"_s, u"2"_s, u"0"_s, u"4"_s}, // 6; 0/4 (weak), 2/2
};
const GridRows classB{
    {u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Z1"_s, u"Z2"_s, u"Z3"_s, u"Z4"_s},
    {u"1"_s, u"E"_s, u"T"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s}, // 10
    {u"2"_s, u"F"_s, u"T"_s, u"1"_s, u"2"_s, u"0"_s, u"0"_s}, // 3; 1/4 (weak), 2/2
    {u"3"_s, u"G"_s, u"N"_s, u"-"_s, u"-"_s, u"-"_s, u"-"_s}, // absent
};

ClassResults readClass(const GridRows &rows, const QString &label, qint32 pupils)
{
    QString problem;
    const std::optional<ClassResults> results =
        classResultsFromGrid(rows, label, pupils, smallTest(), &problem);
    if (!results)
        qFatal("class refused: %s", qPrintable(problem));
    return *results;
}

// "row|code|mark|points" per pupil, so that a whole class compares as one text.
QString describe(const ClassResults &results)
{
    QStringList pupils;
    for (const PupilResult &p : results.pupils) {
        QStringList points;
        for (const qint32 v : p.taskPoints)
            points.append(QString::number(v));
        pupils.append(
            u"%1|%2|%3|%4"_s.arg(p.row).arg(p.code, p.present ? u"T"_s : u"N"_s, points.join(u',')));
    }
    return pupils.join(u"; "_s);
}

QString describe(const QList<WeakPupil> &pupils)
{
    QStringList list;
    for (const WeakPupil &p : pupils)
        list.append(u"%1|%2|%3|%4"_s.arg(p.classLabel).arg(p.row).arg(p.code, polishDecimal(p.facility)));
    return list.join(u"; "_s);
}

QString describe(const QList<ItemFacility> &items)
{
    QStringList list;
    for (const ItemFacility &item : items)
        list.append(u"%1 %2/%3 %4"_s.arg(item.label, polishDecimal(item.meanPoints, 4))
                        .arg(item.maxPoints)
                        .arg(item.facility ? polishDecimal(*item.facility, 4) : u"-"_s));
    return list.join(u"; "_s);
}

} // namespace

class TstAnalysis : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void settingsFromMissingFile();
    void settings_data();
    void settings();
    void shippedSetupIni();
    void polishDecimal_data();
    void polishDecimal();
    void bandOf_data();
    void bandOf();
    void bandTexts_data();
    void bandTexts();
    void bandColours();
    void stanineOf_data();
    void stanineOf();
    void stanineNames();
    void classResults_data();
    void classResults();
    void refusedClass_data();
    void refusedClass();
    void summariseTotals_data();
    void summariseTotals();
    void totalsHistogram_data();
    void totalsHistogram();
    void analyseOneClass();
    void analyseSchoolOfTwoClasses();
    void groupWithoutPresentPupils();
    void zeroMaxima();
    void moreThanFiveStandards();
    void sentences_data();
    void sentences();
    void sentenceLabels_data();
    void sentenceLabels();

private:
    AnalysisSettings load(const QByteArray &content);
    QTemporaryDir m_dir;
};

void TstAnalysis::initTestCase()
{
    // A locale with a full stop and thousands separators: Polish figures must not come from it.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

AnalysisSettings TstAnalysis::load(const QByteArray &content)
{
    return loadAnalysisSettingsFrom(writeSetupIni(m_dir, content));
}

void TstAnalysis::settingsFromMissingFile()
{
    const AnalysisSettings settings = loadAnalysisSettingsFrom(m_dir.filePath(u"brak/Setup.ini"_s));
    QCOMPARE(Bounds(settings.bandBounds.begin(), settings.bandBounds.end()), defaultBands);
    QVERIFY(settings.stanineBounds.isEmpty());
    QVERIFY(settings.problems.isEmpty());
}

void TstAnalysis::settings_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Bounds>("bands");
    QTest::addColumn<Bounds>("stanines");
    QTest::addColumn<QStringList>("problems");

    const QByteArray bands = "[PrzedzialyLatwosci]\r\n";
    const QList<QByteArray> table{"0", "12.5", "15", "18", "21", "24", "27", "30", "33"};
    const Bounds tableBounds{0, 12.5, 15, 18, 21, 24, 27, 30, 33};

    QTest::newRow("no sections") << QByteArray("[Ustawienia]\r\nLiczbaZadan=3\r\n") << defaultBands
                                 << Bounds() << QStringList();
    QTest::newRow("full stops") << bands + "Trudne=0.25\r\nUmiarkowanieTrudne=0.5\r\nLatwe=0.75\r\n"
                                           "BardzoLatwe=0.95\r\n"
                                << Bounds{0.25, 0.5, 0.75, 0.95} << Bounds() << QStringList();
    QTest::newRow("commas and blanks") << bands + "Trudne = 0,3 \r\nUmiarkowanieTrudne=0,55\r\nLatwe=0,8\r\n"
                                                  "BardzoLatwe=1,0\r\n"
                                       << Bounds{0.3, 0.55, 0.8, 1.0} << Bounds() << QStringList();
    QTest::newRow("one key, defaults for the rest")
        << bands + "Latwe=0,8\r\n"
        << Bounds{0.2, 0.5, 0.8, 0.9} << Bounds() << QStringList();
    QTest::newRow("lower-case names") << QByteArray("[przedzialylatwosci]\r\nbardzolatwe=1\r\n")
                                      << Bounds{0.2, 0.5, 0.7, 1.0} << Bounds() << QStringList();
    QTest::newRow("finer than hundredths") << bands + "Trudne=0.204\r\nLatwe=0.696\r\n"
                                           << Bounds{0.2, 0.5, 0.7, 0.9} << Bounds() << QStringList();
    QTest::newRow("not a number") << bands + "Trudne=abc\r\n"
                                  << defaultBands << Bounds() << QStringList{bandProblem};
    QTest::newRow("empty value") << bands + "Latwe=\r\n"
                                 << defaultBands << Bounds() << QStringList{bandProblem};
    QTest::newRow("two commas") << bands + "Latwe=0,7,5\r\n"
                                << defaultBands << Bounds() << QStringList{bandProblem};
    QTest::newRow("zero") << bands + "Trudne=0\r\n" << defaultBands << Bounds() << QStringList{bandProblem};
    QTest::newRow("zero after rounding") << bands + "Trudne=0.004\r\n"
                                         << defaultBands << Bounds() << QStringList{bandProblem};
    QTest::newRow("negative") << bands + "Trudne=-0.2\r\n"
                              << defaultBands << Bounds() << QStringList{bandProblem};
    QTest::newRow("above one") << bands + "BardzoLatwe=1.1\r\n"
                               << defaultBands << Bounds() << QStringList{bandProblem};
    QTest::newRow("falling") << bands + "Trudne=0.6\r\n"
                             << defaultBands << Bounds() << QStringList{bandProblem};
    QTest::newRow("equal neighbours") << bands + "Latwe=0.5\r\n"
                                      << defaultBands << Bounds() << QStringList{bandProblem};

    QTest::newRow("stanine table") << stanineSection(table) << defaultBands << tableBounds << QStringList();
    QTest::newRow("stanine table, commas, lower case")
        << stanineSection(table).replace("12.5", "12,5").toLower() << defaultBands << tableBounds
        << QStringList();
    QTest::newRow("first two stanines equal")
        << stanineSection({"0", "0", "15", "18", "21", "24", "27", "30", "33"}) << defaultBands
        << Bounds{0, 0, 15, 18, 21, 24, 27, 30, 33} << QStringList();
    QTest::newRow("eight stanines") << stanineSection(table.first(8)) << defaultBands << Bounds()
                                    << QStringList{stanineProblem};
    QTest::newRow("stanine 5 missing") << stanineSection(table).replace("Stanin5=21\r\n", "") << defaultBands
                                       << Bounds() << QStringList{stanineProblem};
    QTest::newRow("stanine not a number") << stanineSection(table).replace("=21", "=x") << defaultBands
                                          << Bounds() << QStringList{stanineProblem};
    QTest::newRow("stanines not rising")
        << stanineSection({"0", "12", "15", "15", "21", "24", "27", "30", "33"}) << defaultBands << Bounds()
        << QStringList{stanineProblem};
    QTest::newRow("stanine 1 above stanine 2")
        << stanineSection({"13", "12", "15", "18", "21", "24", "27", "30", "33"}) << defaultBands << Bounds()
        << QStringList{stanineProblem};
    QTest::newRow("negative stanine")
        << stanineSection({"-1", "12", "15", "18", "21", "24", "27", "30", "33"}) << defaultBands << Bounds()
        << QStringList{stanineProblem};
    QTest::newRow("both sections wrong")
        << bands + "Trudne=2\r\n" + stanineSection({"0", "1"}) << defaultBands << Bounds()
        << QStringList{bandProblem, stanineProblem};
}

void TstAnalysis::settings()
{
    QFETCH(QByteArray, content);
    QFETCH(Bounds, bands);
    QFETCH(Bounds, stanines);
    QFETCH(QStringList, problems);

    const AnalysisSettings settings = load(content);
    QCOMPARE(Bounds(settings.bandBounds.begin(), settings.bandBounds.end()), bands);
    QCOMPARE(settings.stanineBounds, stanines);
    QCOMPARE(settings.problems, problems);
}

void TstAnalysis::shippedSetupIni()
{
    // The build places the shipped file beside every program, this test included.
    const QString path = setupIniPath();
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    QVERIFY(bytes.endsWith("\r\n"));

    const TestDefinition test = loadTestDefinitionFrom(path);
    QCOMPARE(test.taskCount, 25);
    QCOMPARE(test.standardDescriptions.first(), u"czytanie"_s);
    QVERIFY(test.problems.isEmpty());
    const AnalysisSettings settings = loadAnalysisSettingsFrom(path);
    QCOMPARE(Bounds(settings.bandBounds.begin(), settings.bandBounds.end()), defaultBands);
    QVERIFY(settings.stanineBounds.isEmpty());
    QVERIFY(settings.problems.isEmpty());

    // A teacher who removes the semicolons and fills in that year's table gets it read.
    QString text = cp1250::decode(bytes);
    QCOMPARE(text.count(u";Stanin"_s), 9);
    text.replace(u";[Staniny]"_s, u"[Staniny]"_s);
    text.replace(QRegularExpression(u"^;Stanin(\\d)=[^\r\n]*"_s, QRegularExpression::MultilineOption),
                 u"Stanin\\1=\\1\\1"_s);
    const AnalysisSettings filled = load(cp1250::encode(text));
    QCOMPARE(filled.stanineBounds, (Bounds{11, 22, 33, 44, 55, 66, 77, 88, 99}));
    QVERIFY(filled.problems.isEmpty());
}

void TstAnalysis::polishDecimal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");

    QTest::newRow("facility") << 0.57 << 2 << u"0,57"_s;
    QTest::newRow("trailing zero") << 24.5 << 2 << u"24,50"_s;
    QTest::newRow("zero") << 0.0 << 2 << u"0,00"_s;
    QTest::newRow("negative zero") << -0.0 << 2 << u"0,00"_s;
    QTest::newRow("tiny negative") << -0.001 << 2 << u"0,00"_s;
    QTest::newRow("small negative") << -0.004 << 2 << u"0,00"_s;
    QTest::newRow("negative") << -0.006 << 2 << u"-0,01"_s;
    QTest::newRow("negative, one decimal") << -1.25 << 1 << u"-1,3"_s;
    // As the grids print the same value: a tie stored exactly goes to the even hundredth, a half
    // stored below it goes down.
    QTest::newRow("5 / 8") << 5.0 / 8 << 2 << u"0,62"_s;
    QTest::newRow("39 / 8") << 39.0 / 8 << 2 << u"4,88"_s;
    QTest::newRow("0.125") << 0.125 << 2 << u"0,12"_s;
    QTest::newRow("0.695, held below") << 0.695 << 2 << u"0,69"_s;
    QTest::newRow("5.75 / 10") << 5.75 / 10 << 2 << u"0,57"_s;
    QTest::newRow("0.6951") << 0.6951 << 2 << u"0,70"_s;
    QTest::newRow("just below half") << 0.69499 << 2 << u"0,69"_s;
    QTest::newRow("no decimals") << 2.5 << 0 << u"3"_s;
    QTest::newRow("three decimals") << 7.0 << 3 << u"7,000"_s;
    QTest::newRow("no thousands separator") << 12345.678 << 2 << u"12345,68"_s;
    QTest::newRow("two thirds") << 2.0 / 3 << 2 << u"0,67"_s;
    QTest::newRow("negative decimals read as none") << 4.4 << -1 << u"4"_s;
}

void TstAnalysis::polishDecimal()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(::polishDecimal(value, decimals), text);
}

void TstAnalysis::bandOf_data()
{
    QTest::addColumn<double>("facility");
    QTest::addColumn<Bounds>("bounds");
    QTest::addColumn<int>("band");

    QTest::newRow("0") << 0.0 << defaultBands << 0;
    QTest::newRow("negative") << -0.1 << defaultBands << 0;
    QTest::newRow("0.19") << 0.19 << defaultBands << 0;
    QTest::newRow("0.194") << 0.194 << defaultBands << 0;
    QTest::newRow("0.195 prints as 0,19") << 0.195 << defaultBands << 0;
    QTest::newRow("0.1951 prints as 0,20") << 0.1951 << defaultBands << 1;
    QTest::newRow("0.2") << 0.2 << defaultBands << 1;
    QTest::newRow("2 / 10") << 2.0 / 10 << defaultBands << 1;
    QTest::newRow("0.1 * 2") << 0.1 * 2 << defaultBands << 1;
    QTest::newRow("0.49") << 0.49 << defaultBands << 1;
    QTest::newRow("0.494") << 0.494 << defaultBands << 1;
    QTest::newRow("0.495 prints as 0,50") << 0.495 << defaultBands << 2;
    QTest::newRow("0.5") << 0.5 << defaultBands << 2;
    QTest::newRow("0.69") << 0.69 << defaultBands << 2;
    QTest::newRow("0.695 prints as 0,69") << 0.695 << defaultBands << 2;
    QTest::newRow("0.6951 prints as 0,70") << 0.6951 << defaultBands << 3;
    QTest::newRow("0.7") << 0.7 << defaultBands << 3;
    QTest::newRow("0.1 * 7") << 0.1 * 7 << defaultBands << 3;
    QTest::newRow("0.894") << 0.894 << defaultBands << 3;
    QTest::newRow("0.899 prints as 0,90") << 0.899 << defaultBands << 4;
    QTest::newRow("0.9") << 0.9 << defaultBands << 4;
    QTest::newRow("1") << 1.0 << defaultBands << 4;
    QTest::newRow("above 1") << 1.2 << defaultBands << 4;
    QTest::newRow("not a number") << std::nan("") << defaultBands << 0;
    QTest::newRow("own bounds, 0.29") << 0.29 << Bounds{0.3, 0.5, 0.7, 0.95} << 0;
    QTest::newRow("own bounds, 0.949") << 0.949 << Bounds{0.3, 0.5, 0.7, 0.95} << 4;
    QTest::newRow("own bounds, 0.944") << 0.944 << Bounds{0.3, 0.5, 0.7, 0.95} << 3;
    QTest::newRow("top bound 1, 0.99") << 0.99 << Bounds{0.3, 0.5, 0.7, 1.0} << 3;
    QTest::newRow("top bound 1, 1") << 1.0 << Bounds{0.3, 0.5, 0.7, 1.0} << 4;
}

void TstAnalysis::bandOf()
{
    QFETCH(double, facility);
    QFETCH(Bounds, bounds);
    QFETCH(int, band);

    AnalysisSettings settings;
    std::copy(bounds.begin(), bounds.end(), settings.bandBounds.begin());
    QCOMPARE(::bandOf(facility, settings), band);
    // The figure printed beside the band lies in the same band.
    if (!std::isnan(facility)) {
        const std::optional<double> printed = parseDecimal(::polishDecimal(facility).replace(u',', u'.'));
        QVERIFY(printed);
        QCOMPARE(::bandOf(*printed, settings), band);
    }
}

void TstAnalysis::bandTexts_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("masculine");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("ownRange");

    QTest::newRow("0") << 0 << u"bardzo trudne"_s << u"bardzo trudny"_s << u"0,00–0,19"_s << u"0,00–0,24"_s;
    QTest::newRow("1") << 1 << u"trudne"_s << u"trudny"_s << u"0,20–0,49"_s << u"0,25–0,49"_s;
    QTest::newRow("2") << 2 << u"umiarkowanie trudne"_s << u"umiarkowanie trudny"_s << u"0,50–0,69"_s
                       << u"0,50–0,74"_s;
    QTest::newRow("3") << 3 << u"łatwe"_s << u"łatwy"_s << u"0,70–0,89"_s << u"0,75–0,99"_s;
    QTest::newRow("4") << 4 << u"bardzo łatwe"_s << u"bardzo łatwy"_s << u"0,90–1,00"_s << u"1,00–1,00"_s;
    QTest::newRow("below") << -1 << QString() << QString() << QString() << QString();
    QTest::newRow("above") << 5 << QString() << QString() << QString() << QString();
}

void TstAnalysis::bandTexts()
{
    QFETCH(int, band);
    QFETCH(QString, name);
    QFETCH(QString, masculine);
    QFETCH(QString, range);
    QFETCH(QString, ownRange);

    QCOMPARE(bandName(band), name);
    QCOMPARE(bandNameMasculine(band), masculine);
    QCOMPARE(bandRange(band, AnalysisSettings()), range);
    AnalysisSettings own;
    own.bandBounds = {0.25, 0.5, 0.75, 1.0};
    QCOMPARE(bandRange(band, own), ownRange);
}

void TstAnalysis::bandColours()
{
    const QRegularExpression form(u"^#[0-9a-f]{6}$"_s);
    QStringList colours;
    for (int band = 0; band < bandCount; ++band) {
        const QString colour = bandColour(band);
        QVERIFY2(form.match(colour).hasMatch(), qPrintable(colour));
        colours.append(colour);
        const int red = colour.mid(1, 2).toInt(nullptr, 16);
        const int green = colour.mid(3, 2).toInt(nullptr, 16);
        const int blue = colour.mid(5, 2).toInt(nullptr, 16);
        // Light enough for black text.
        QVERIFY2(0.299 * red + 0.587 * green + 0.114 * blue > 150, qPrintable(colour));
        // Red gives way to green as the band gets easier.
        if (band == 0)
            QVERIFY(red > green);
        if (band == bandCount - 1)
            QVERIFY(green > red);
    }
    colours.removeDuplicates();
    QCOMPARE(colours.size(), bandCount);
    QCOMPARE(bandColour(bandCount), u"#ffffff"_s);
}

void TstAnalysis::stanineOf_data()
{
    QTest::addColumn<double>("mean");
    QTest::addColumn<Bounds>("bounds");
    QTest::addColumn<int>("stanine"); // 0: none

    const Bounds table{0, 12.5, 15, 18, 21, 24, 27, 30, 33};
    QTest::newRow("no table") << 25.0 << Bounds() << 0;
    QTest::newRow("zero") << 0.0 << table << 1;
    QTest::newRow("below every bound") << -1.0 << table << 1;
    QTest::newRow("below the first bound") << 2.0 << Bounds{5, 12.5, 15, 18, 21, 24, 27, 30, 33} << 1;
    QTest::newRow("just below 12.5") << 12.49 << table << 1;
    QTest::newRow("prints as 12,49") << 12.494 << table << 1;
    QTest::newRow("prints as 12,50") << 12.496 << table << 2;
    QTest::newRow("on 12.5") << 12.5 << table << 2;
    QTest::newRow("prints as 18,00") << 17.999 << table << 4;
    QTest::newRow("between") << 25.3 << table << 6;
    QTest::newRow("just below the top") << 32.99 << table << 8;
    QTest::newRow("top bound") << 33.0 << table << 9;
    QTest::newRow("far above") << 40.0 << table << 9;
    QTest::newRow("equal first bounds") << 0.0 << Bounds{0, 0, 15, 18, 21, 24, 27, 30, 33} << 2;
}

void TstAnalysis::stanineOf()
{
    QFETCH(double, mean);
    QFETCH(Bounds, bounds);
    QFETCH(int, stanine);

    const std::optional<int> result = ::stanineOf(mean, bounds);
    QCOMPARE(result.value_or(0), stanine);
}

void TstAnalysis::stanineNames()
{
    const QStringList names{u"najniższy"_s,    u"bardzo niski"_s,  u"niski"_s,
                            u"niżej średni"_s, u"średni"_s,        u"wyżej średni"_s,
                            u"wysoki"_s,       u"bardzo wysoki"_s, u"najwyższy"_s};
    for (int s = 1; s <= 9; ++s)
        QCOMPARE(stanineName(s), names[s - 1]);
    QCOMPARE(stanineName(0), QString());
    QCOMPARE(stanineName(10), QString());
}

void TstAnalysis::classResults_data()
{
    QTest::addColumn<GridRows>("rows");
    QTest::addColumn<int>("pupils");
    QTest::addColumn<QString>("expected");

    const QStringList heading{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Z1"_s, u"Z2"_s, u"Z3"_s, u"Z4"_s};
    QTest::newRow("complete") << GridRows{heading,
                                          {u"1"_s, u"A1"_s, u"T"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s},
                                          {u"2"_s, u"B2"_s, u"N"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s}}
                              << 2 << u"1|A1|T|1,2,3,4; 2|B2|N|0,0,0,0"_s;
    QTest::newRow("short file") << GridRows{heading,
                                            {u"1"_s, u"A1"_s, u"T"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s}}
                                << 3 << u"1|A1|T|1,2,3,4; 2||N|0,0,0,0; 3||N|0,0,0,0"_s;
    QTest::newRow("empty file") << GridRows() << 1 << u"1||N|0,0,0,0"_s;
    QTest::newRow("missing cells") << GridRows{heading, {u"1"_s, u"A1"_s, u"T"_s, u"1"_s}} << 1
                                   << u"1|A1|T|1,0,0,0"_s;
    QTest::newRow("dashes") << GridRows{heading, {u"1"_s, u"-"_s, u"t"_s, u"-"_s, u"-"_s, u"-"_s, u"-"_s}}
                            << 1 << u"1||T|0,0,0,0"_s;
    QTest::newRow("blanks") << GridRows{heading, {u"1"_s, u" "_s, u"T"_s, u" "_s, u"2"_s, u""_s, u" 3"_s}}
                            << 1 << u"1||T|0,2,0,3"_s;
    QTest::newRow("hexadecimal") << GridRows{heading,
                                             {u"1"_s, u"A1"_s, u"T"_s, u"$1"_s, u"0x2"_s, u"$3"_s, u"X4"_s}}
                                 << 1 << u"1|A1|T|1,2,3,4"_s;
    QTest::newRow("marks other than T")
        << GridRows{heading, {u"1"_s, u"A"_s, u"Tak"_s}, {u"2"_s, u"B"_s, u"1"_s}, {u"3"_s, u"C"_s, u"T "_s}}
        << 3 << u"1|A|N|0,0,0,0; 2|B|N|0,0,0,0; 3|C|N|0,0,0,0"_s;
    QTest::newRow("rows past the pupils are not read") << GridRows{heading,
                                                                   {u"1"_s, u"A"_s, u"T"_s, u"1"_s},
                                                                   {u"2"_s, u"B"_s, u"T"_s, u"99"_s},
                                                                   {u"3"_s, u"C"_s, u"T"_s, u"x"_s}}
                                                       << 1 << u"1|A|T|1,0,0,0"_s;
    QTest::newRow("no pupils") << classA << 0 << QString();
    QTest::newRow("negative pupil count") << classA << -2 << QString();
}

void TstAnalysis::classResults()
{
    QFETCH(GridRows, rows);
    QFETCH(int, pupils);
    QFETCH(QString, expected);

    QString problem = u"unchanged"_s;
    const std::optional<ClassResults> results =
        classResultsFromGrid(rows, u"Klasa VI A"_s, pupils, smallTest(), &problem);
    QVERIFY(results);
    QCOMPARE(results->label, u"Klasa VI A"_s);
    QCOMPARE(results->pupilCount, std::max(pupils, 0));
    QCOMPARE(results->pupils.size(), std::max(pupils, 0));
    QCOMPARE(describe(*results), expected);
}

void TstAnalysis::refusedClass_data()
{
    QTest::addColumn<GridRows>("rows");
    QTest::addColumn<QString>("pupil");
    QTest::addColumn<QString>("task");

    const QStringList heading{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Z1"_s, u"Z2"_s, u"Z3"_s, u"Z4"_s};
    auto one = [&](const QStringList &row) { return GridRows{heading, row}; };
    QTest::newRow("above the maximum")
        << one({u"1"_s, u"A1"_s, u"T"_s, u"1"_s, u"3"_s}) << u"uczeń o kodzie A1"_s << u"Z2"_s;
    QTest::newRow("hexadecimal above the maximum")
        << one({u"1"_s, u"A1"_s, u"T"_s, u"1"_s, u"2"_s, u"$A"_s}) << u"uczeń o kodzie A1"_s << u"Z3"_s;
    QTest::newRow("negative") << one({u"1"_s, u"A1"_s, u"T"_s, u"-1"_s}) << u"uczeń o kodzie A1"_s << u"Z1"_s;
    QTest::newRow("full-stop fraction")
        << one({u"1"_s, u"A1"_s, u"T"_s, u"1.5"_s}) << u"uczeń o kodzie A1"_s << u"Z1"_s;
    QTest::newRow("comma fraction") << one({u"1"_s, u"A1"_s, u"T"_s, u"0"_s, u"2,5"_s})
                                    << u"uczeń o kodzie A1"_s << u"Z2"_s;
    QTest::newRow("word") << one({u"1"_s, u"A1"_s, u"T"_s, u"0"_s, u"0"_s, u"0"_s, u"x"_s})
                          << u"uczeń o kodzie A1"_s << u"Z4"_s;
    QTest::newRow("two blanks") << one({u"1"_s, u"A1"_s, u"T"_s, u"  "_s}) << u"uczeń o kodzie A1"_s
                                << u"Z1"_s;
    QTest::newRow("absent pupil checked too")
        << one({u"1"_s, u"B"_s, u"N"_s, u"0"_s, u"0"_s, u"4"_s}) << u"uczeń o kodzie B"_s << u"Z3"_s;
    QTest::newRow("first wrong task of the first wrong pupil")
        << GridRows{heading,
                    {u"1"_s, u"A"_s, u"T"_s, u"1"_s, u"2"_s},
                    {u"2"_s, u"B"_s, u"T"_s, u"1"_s, u"5"_s, u"9"_s},
                    {u"3"_s, u"C"_s, u"T"_s, u"7"_s}}
        << u"uczeń o kodzie B"_s << u"Z2"_s;
    QTest::newRow("no code") << one({u"1"_s, u"-"_s, u"T"_s, u"2"_s}) << u"uczeń nr 1"_s << u"Z1"_s;
}

void TstAnalysis::refusedClass()
{
    QFETCH(GridRows, rows);
    QFETCH(QString, pupil);
    QFETCH(QString, task);

    QString problem;
    QVERIFY(!classResultsFromGrid(rows, u"Klasa VI A"_s, 3, smallTest(), &problem));
    QCOMPARE(problem,
             u"Klasa „Klasa VI A” została pominięta: jej plik wyników zawiera wartości, których nie "
             u"przyjmuje „Oblicz” (%1, zadanie %2). Otwórz stronę tej klasy i naciśnij „Oblicz”, aby je "
             u"poprawić."_s.arg(pupil, task));
    // Without a place for the note the class is still refused.
    QVERIFY(!classResultsFromGrid(rows, u"Klasa VI A"_s, 3, smallTest(), nullptr));
}

void TstAnalysis::summariseTotals_data()
{
    QTest::addColumn<QList<int>>("totals");
    QTest::addColumn<int>("pupils");
    QTest::addColumn<int>("absent");
    QTest::addColumn<double>("mean");
    QTest::addColumn<double>("median");
    QTest::addColumn<QList<int>>("modes");
    QTest::addColumn<int>("lowest");
    QTest::addColumn<int>("highest");
    QTest::addColumn<double>("deviation");

    QTest::newRow("one pupil") << QList<int>{17} << 1 << 0 << 17.0 << 17.0 << QList<int>{17} << 17 << 17
                               << 0.0;
    // Deviations 15, 5, 5, 15: squares 500, over 4 pupils 125.
    QTest::newRow("even count, all distinct") << QList<int>{40, 10, 30, 20} << 5 << 1 << 25.0 << 25.0
                                              << QList<int>{10, 20, 30, 40} << 10 << 40 << std::sqrt(125.0);
    QTest::newRow("even count, median between") << QList<int>{7, 1, 4, 2} << 4 << 0 << 3.5 << 3.0
                                                << QList<int>{1, 2, 4, 7} << 1 << 7 << std::sqrt(5.25);
    // Sorted 1 3 7 7 9; deviations -4.4 -2.4 1.6 1.6 3.6: squares 43.2, over 5 pupils 8.64.
    QTest::newRow("one mode") << QList<int>{3, 7, 7, 1, 9} << 6 << 1 << 5.4 << 7.0 << QList<int>{7} << 1 << 9
                              << std::sqrt(8.64);
    // Sorted 2 2 5 5 8; squares 5.76 + 5.76 + 0.36 + 0.36 + 12.96 = 25.2, over 5 pupils 5.04.
    QTest::newRow("two modes") << QList<int>{5, 2, 5, 2, 8} << 5 << 0 << 4.4 << 5.0 << QList<int>{2, 5} << 2
                               << 8 << std::sqrt(5.04);
    QTest::newRow("more present than pupils")
        << QList<int>{1, 2} << 1 << 0 << 1.5 << 1.5 << QList<int>{1, 2} << 1 << 2 << 0.5;
}

void TstAnalysis::summariseTotals()
{
    QFETCH(QList<int>, totals);
    QFETCH(int, pupils);
    QFETCH(int, absent);
    QFETCH(double, mean);
    QFETCH(double, median);
    QFETCH(QList<int>, modes);
    QFETCH(int, lowest);
    QFETCH(int, highest);
    QFETCH(double, deviation);

    const TotalsSummary summary = ::summariseTotals(totals, pupils);
    QVERIFY(summary.hasData);
    QCOMPARE(summary.pupils, pupils);
    QCOMPARE(summary.present, totals.size());
    QCOMPARE(summary.absent, absent);
    QCOMPARE(summary.mean, mean);
    QCOMPARE(summary.median, median);
    QCOMPARE(summary.modes, modes);
    QCOMPARE(summary.lowest, lowest);
    QCOMPARE(summary.highest, highest);
    QCOMPARE(summary.range, highest - lowest);
    QVERIFY(std::fabs(summary.standardDeviation - deviation) < 1e-12);
}

void TstAnalysis::totalsHistogram_data()
{
    QTest::addColumn<QList<int>>("totals");
    QTest::addColumn<int>("maxTotal");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("within the maximum") << QList<int>{0, 2, 2, 5} << 5 << QList<int>{1, 0, 2, 0, 0, 1};
    QTest::newRow("above the maximum") << QList<int>{3, 7} << 5 << QList<int>{0, 0, 0, 1, 0, 0, 0, 1};
    QTest::newRow("no pupils") << QList<int>() << 3 << QList<int>{0, 0, 0, 0};
    QTest::newRow("maximum 0") << QList<int>() << 0 << QList<int>{0};
    QTest::newRow("negative maximum") << QList<int>() << -2 << QList<int>{0};
    QTest::newRow("negative maximum, a pupil") << QList<int>{2} << -1 << QList<int>{0, 0, 1};
    QTest::newRow("negative total has no bar") << QList<int>{-1, 1} << 1 << QList<int>{0, 1};
}

void TstAnalysis::totalsHistogram()
{
    QFETCH(QList<int>, totals);
    QFETCH(int, maxTotal);
    QFETCH(QList<int>, counts);
    QCOMPARE(::totalsHistogram(totals, maxTotal), counts);
}

void TstAnalysis::analyseOneClass()
{
    AnalysisSettings settings;
    settings.stanineBounds = stanineTable;
    const ClassResults results = readClass(classA, u"Klasa VI A"_s, 5);
    const AnalysisReport report = analyseClass(results, smallTest(), settings);
    const GroupAnalysis &group = report.overall;

    QVERIFY(!report.school);
    QVERIFY(report.classes.isEmpty());
    QVERIFY(report.notes.isEmpty());
    QCOMPARE(group.label, u"Klasa VI A"_s);

    // Present totals 10, 4, 3, 6: mean 5.75; deviations 4.25 -1.75 -2.75 0.25 give 28.75 / 4.
    const TotalsSummary &t = group.totals;
    QCOMPARE(t.pupils, 5);
    QCOMPARE(t.present, 4);
    QCOMPARE(t.absent, 1);
    QCOMPARE(t.mean, 5.75);
    QCOMPARE(t.median, 5.0);
    QCOMPARE(t.modes, (QList<int>{3, 4, 6, 10}));
    QCOMPARE(t.range, 7);
    QVERIFY(std::fabs(t.standardDeviation - std::sqrt(7.1875)) < 1e-12);
    QCOMPARE(group.histogram, (QList<int>{0, 0, 0, 1, 1, 0, 1, 0, 0, 0, 1}));

    // Task 4 (standard 6) counts in the total but in no standard.
    QCOMPARE(describe(group.tasks),
             u"Z1 0,5000/1 0,5000; Z2 1,2500/2 0,6250; Z3 1,5000/3 0,5000; Z4 2,5000/4 0,6250"_s);
    QCOMPARE(describe(group.standards), u"czytanie 2,0000/4 0,5000; pisanie 1,2500/2 0,6250"_s);
    QCOMPARE(describe({group.wholeTest}), u"cały test 5,7500/10 0,5750"_s);
    QCOMPARE(group.stanine, std::optional<int>(5));

    QCOMPARE(group.weakPupils.size(), 2);
    QCOMPARE(describe(group.weakPupils[0]), u"Klasa VI A|2|B|0,25; Klasa VI A|5||0,00"_s);
    QCOMPARE(describe(group.weakPupils[1]), u"Klasa VI A|4|D|0,00"_s);

    QCOMPARE(
        report.sentences,
        (QStringList{
            u"Średni wynik klasy VI A to 5,75 punktu na 10 możliwych (57% maksymalnej liczby punktów)."_s,
            u"Test okazał się umiarkowanie trudny (łatwość 0,57)."_s,
            u"Najłatwiejsze okazały się zadania Z2 i Z4 (0,62 – umiarkowanie trudne)."_s,
            u"Najtrudniejsze okazały się zadania Z1 i Z3 (0,50 – umiarkowanie trudne)."_s,
            u"Najłatwiejszy okazał się standard pisanie (0,62 – umiarkowanie trudny)."_s,
            u"Najtrudniejszy okazał się standard czytanie (0,50 – umiarkowanie trudny)."_s,
            u"Średni wynik klasy odpowiada staninowi 5 (średni)."_s,
            u"Poniżej połowy punktów w co najmniej jednym standardzie uzyskało 3 uczniów."_s,
        }));
}

void TstAnalysis::analyseSchoolOfTwoClasses()
{
    AnalysisSettings settings;
    settings.stanineBounds = stanineTable;
    const QList<ClassResults> classes{readClass(classA, u"Klasa VI A"_s, 5),
                                      readClass(classB, u"Klasa VI B"_s, 3)};
    const QStringList notes{u"Klasa „Klasa VI C” została pominięta."_s};
    const AnalysisReport report = analyseSchool(classes, notes, smallTest(), settings);
    const GroupAnalysis &school = report.overall;

    QVERIFY(report.school);
    QCOMPARE(report.notes, notes);
    QCOMPARE(school.label, u"Szkoła"_s);
    QCOMPARE(report.classes.size(), 2);
    QCOMPARE(report.classes[0].label, u"Klasa VI A"_s);
    QCOMPARE(report.classes[0].totals.mean, 5.75);
    QCOMPARE(report.classes[1].label, u"Klasa VI B"_s);
    QCOMPARE(report.classes[1].totals.mean, 6.5);
    QCOMPARE(report.classes[1].stanine, std::optional<int>(6));

    // Totals 10 4 3 6 and 10 3: all six pupils pooled give 36 / 6 = 6, not the mean of the class
    // means (6.125). Deviations 4 -2 -3 0 4 -3: squares 54, over 6 pupils 9.
    const TotalsSummary &t = school.totals;
    QCOMPARE(t.pupils, 8);
    QCOMPARE(t.present, 6);
    QCOMPARE(t.absent, 2);
    QCOMPARE(t.mean, 6.0);
    QCOMPARE(t.median, 5.0);
    QCOMPARE(t.modes, (QList<int>{3, 10}));
    QCOMPARE(t.lowest, 3);
    QCOMPARE(t.highest, 10);
    QVERIFY(std::fabs(t.standardDeviation - 3.0) < 1e-12);
    QCOMPARE(school.histogram, (QList<int>{0, 0, 0, 2, 1, 0, 1, 0, 0, 0, 2}));

    QCOMPARE(describe(school.tasks),
             u"Z1 0,6667/1 0,6667; Z2 1,5000/2 0,7500; Z3 1,5000/3 0,5000; Z4 2,3333/4 0,5833"_s);
    QCOMPARE(describe(school.standards), u"czytanie 2,1667/4 0,5417; pisanie 1,5000/2 0,7500"_s);
    QCOMPARE(describe({school.wholeTest}), u"cały test 6,0000/10 0,6000"_s);
    QCOMPARE(school.stanine, std::optional<int>(6));
    QCOMPARE(describe(school.weakPupils[0]),
             u"Klasa VI A|2|B|0,25; Klasa VI A|5||0,00; Klasa VI B|2|F|0,25"_s);
    QCOMPARE(describe(school.weakPupils[1]), u"Klasa VI A|4|D|0,00"_s);

    // Row 2 of each class is below one half: two pupils, not one.
    QCOMPARE(report.sentences,
             (QStringList{
                 u"Średni wynik uczniów szkoły (średnia wszystkich uczniów) to 6,00 punktu na 10 możliwych "
                 u"(60% maksymalnej liczby punktów)."_s,
                 u"Test okazał się umiarkowanie trudny (łatwość 0,60)."_s,
                 u"Najłatwiejsze okazało się zadanie Z2 (0,75 – łatwe)."_s,
                 u"Najtrudniejsze okazało się zadanie Z3 (0,50 – umiarkowanie trudne)."_s,
                 u"Najłatwiejszy okazał się standard pisanie (0,75 – łatwy)."_s,
                 u"Najtrudniejszy okazał się standard czytanie (0,54 – umiarkowanie trudny)."_s,
                 u"Średni wynik szkoły odpowiada staninowi 6 (wyżej średni)."_s,
                 u"Poniżej połowy punktów w co najmniej jednym standardzie uzyskało 4 uczniów."_s,
             }));
}

void TstAnalysis::groupWithoutPresentPupils()
{
    AnalysisSettings settings;
    settings.stanineBounds = stanineTable;
    const GridRows absent{{}, {u"1"_s, u"A"_s, u"N"_s, u"1"_s}, {u"2"_s, u"B"_s, u"-"_s, u"1"_s}};
    const AnalysisReport report = analyseClass(readClass(absent, u"6a"_s, 2), smallTest(), settings);
    const GroupAnalysis &group = report.overall;

    QVERIFY(!group.totals.hasData);
    QCOMPARE(group.totals.pupils, 2);
    QCOMPARE(group.totals.absent, 2);
    QVERIFY(group.totals.modes.isEmpty());
    QCOMPARE(group.histogram, QList<int>(11, 0));
    QCOMPARE(describe(group.tasks), u"Z1 0,0000/1 -; Z2 0,0000/2 -; Z3 0,0000/3 -; Z4 0,0000/4 -"_s);
    QCOMPARE(describe(group.standards), u"czytanie 0,0000/4 -; pisanie 0,0000/2 -"_s);
    QVERIFY(!group.wholeTest.facility);
    QVERIFY(!group.stanine);
    QCOMPARE(group.weakPupils.size(), 2);
    QVERIFY(group.weakPupils[0].isEmpty() && group.weakPupils[1].isEmpty());
    QCOMPARE(report.sentences, QStringList{u"Brak danych: żaden uczeń nie był obecny na teście."_s});

    const AnalysisReport empty = analyseSchool({}, {}, smallTest(), settings);
    QVERIFY(!empty.overall.totals.hasData);
    QVERIFY(empty.classes.isEmpty());
    QCOMPARE(empty.sentences, QStringList{u"Brak danych: żaden uczeń nie był obecny na teście."_s});
}

void TstAnalysis::zeroMaxima()
{
    // A maximum of 0 gives no facility and no weak pupils instead of a division by zero.
    TestDefinition test = smallTest();
    test.taskMaxPoints = {1, 2, 0, 4};
    test.standardMaxPoints = {0, 2};
    test.maxTotalPoints = 0;
    const GridRows rows{{}, {u"1"_s, u"A"_s, u"T"_s, u"1"_s, u"0"_s, u"0"_s, u"4"_s}};
    QString problem;
    const std::optional<ClassResults> results = classResultsFromGrid(rows, u"6a"_s, 1, test, &problem);
    QVERIFY2(results, qPrintable(problem));
    const GroupAnalysis group = analyseGroup(u"6a"_s, {*results}, test, AnalysisSettings());

    QCOMPARE(describe(group.tasks),
             u"Z1 1,0000/1 1,0000; Z2 0,0000/2 0,0000; Z3 0,0000/0 -; Z4 4,0000/4 1,0000"_s);
    QCOMPARE(describe(group.standards), u"czytanie 1,0000/0 -; pisanie 0,0000/2 0,0000"_s);
    QCOMPARE(describe({group.wholeTest}), u"cały test 5,0000/0 -"_s);
    QVERIFY(group.weakPupils[0].isEmpty());
    QCOMPARE(describe(group.weakPupils[1]), u"6a|1|A|0,00"_s);
    // The histogram still reaches the pupil's total.
    QCOMPARE(group.histogram, (QList<int>{0, 0, 0, 0, 0, 1}));
    // Nothing to set the mean against, and no band for the whole test.
    QCOMPARE(summarySentences(group, false, test, AnalysisSettings()).mid(0, 2),
             (QStringList{u"Średni wynik klasy 6a to 5,00 punktu."_s,
                          u"Najłatwiejsze okazały się zadania Z1 i Z4 (1,00 – bardzo łatwe)."_s}));
}

void TstAnalysis::moreThanFiveStandards()
{
    // Seven standards: the workbook counts standards 1 to 5, and so does the analysis, so that its
    // figures are the grid's. Tasks Z2 (standard 6) and Z3 (standard 7) count nowhere.
    TestDefinition test = smallTest();
    test.standardCount = 7;
    test.taskStandards = {1, 6, 7, 5};
    test.standardMaxPoints = {1, 1, 1, 1, 4, 2, 3};
    test.standardAbbreviations = {u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s, u"S6"_s, u"S7"_s};
    test.standardDescriptions = {u"s1"_s, u"s2"_s, u"s3"_s, u"s4"_s, u"s5"_s, u"s6"_s, u"s7"_s};
    const GridRows rows{{},
                        {u"1"_s, u"A"_s, u"T"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s},
                        {u"2"_s, u"B"_s, u"T"_s, u"0"_s, u"1"_s, u"1"_s, u"2"_s}};
    QString problem;
    const std::optional<ClassResults> results = classResultsFromGrid(rows, u"6a"_s, 2, test, &problem);
    QVERIFY2(results, qPrintable(problem));
    const GroupAnalysis group = analyseGroup(u"6a"_s, {*results}, test, AnalysisSettings());

    QCOMPARE(group.standards.size(), 5);
    QCOMPARE(group.weakPupils.size(), 5);
    QCOMPARE(describe(group.standards.mid(4)), u"s5 3,0000/4 0,7500"_s);
    // The grid's "Razem": 1 + 4 and 0 + 2, so the mean total is 3.5 of 10.
    QCOMPARE(group.histogram.value(5), 1);
    QCOMPARE(group.histogram.value(2), 1);
    QCOMPARE(describe({group.wholeTest}), u"cały test 3,5000/10 0,3500"_s);
    // Every task keeps its own figures.
    QCOMPARE(describe(group.tasks.mid(1, 2)), u"Z2 1,5000/2 0,7500; Z3 2,0000/3 0,6667"_s);
}

void TstAnalysis::sentences_data()
{
    QTest::addColumn<bool>("school");
    QTest::addColumn<Bounds>("tasks");     // facilities, -1 for none
    QTest::addColumn<Bounds>("standards"); // facilities, -1 for none
    QTest::addColumn<double>("mean");      // of 40 points; below 0: no pupil present
    QTest::addColumn<int>("stanine");      // 0: unknown
    QTest::addColumn<int>("weakPupils");
    QTest::addColumn<QStringList>("sentences");

    const QString prefix = u"Poniżej połowy punktów w co najmniej jednym standardzie "_s;
    QTest::newRow("class, one easiest and one hardest")
        << false << Bounds{0.95, 0.5, 0.3} << Bounds{0.8, 0.45} << 24.5 << 0 << 1
        << QStringList{u"Średni wynik klasy VI A to 24,50 punktu na 40 możliwych (61% maksymalnej liczby "
                       u"punktów)."_s,
                       u"Test okazał się umiarkowanie trudny (łatwość 0,61)."_s,
                       u"Najłatwiejsze okazało się zadanie Zad.1 (0,95 – bardzo łatwe)."_s,
                       u"Najtrudniejsze okazało się zadanie Zad.3 (0,30 – trudne)."_s,
                       u"Najłatwiejszy okazał się standard czytanie (0,80 – łatwy)."_s,
                       u"Najtrudniejszy okazał się standard pisanie (0,45 – trudny)."_s,
                       prefix + u"uzyskał 1 uczeń."_s};
    QTest::newRow("school, ties after rounding, stanine")
        << true << Bounds{0.95, 0.3, 0.951, 0.297, 0.949} << Bounds{0.7, 0.704, 0.2} << 30.0 << 6 << 3
        << QStringList{u"Średni wynik uczniów szkoły (średnia wszystkich uczniów) to 30,00 punktu na 40 "
                       u"możliwych (75% maksymalnej liczby punktów)."_s,
                       u"Test okazał się łatwy (łatwość 0,75)."_s,
                       u"Najłatwiejsze okazały się zadania Zad.1, Zad.3 i Zad.5 (0,95 – bardzo łatwe)."_s,
                       u"Najtrudniejsze okazały się zadania Zad.2 i Zad.4 (0,30 – trudne)."_s,
                       u"Najłatwiejsze okazały się standardy czytanie i pisanie (0,70 – łatwe)."_s,
                       u"Najtrudniejszy okazał się standard rozumowanie (0,20 – trudny)."_s,
                       u"Średni wynik szkoły odpowiada staninowi 6 (wyżej średni)."_s,
                       prefix + u"uzyskało 3 uczniów."_s};
    QTest::newRow("all equal, lowest stanine")
        << false << Bounds{0.5, 0.5, 0.504} << Bounds{0.5, 0.499} << 20.0 << 1 << 5
        << QStringList{u"Średni wynik klasy VI A to 20,00 punktu na 40 możliwych (50% maksymalnej liczby "
                       u"punktów)."_s,
                       u"Test okazał się umiarkowanie trudny (łatwość 0,50)."_s,
                       u"Wszystkie zadania miały tę samą łatwość (0,50 – umiarkowanie trudne)."_s,
                       u"Wszystkie standardy miały tę samą łatwość (0,50 – umiarkowanie trudne)."_s,
                       u"Średni wynik klasy odpowiada staninowi 1 (najniższy)."_s,
                       prefix + u"uzyskało 5 uczniów."_s};
    QTest::newRow("one task, one standard")
        << false << Bounds{0.8} << Bounds{0.8} << 36.0 << 9 << 12
        << QStringList{u"Średni wynik klasy VI A to 36,00 punktu na 40 możliwych (90% maksymalnej liczby "
                       u"punktów)."_s,
                       u"Test okazał się bardzo łatwy (łatwość 0,90)."_s,
                       u"Zadanie Zad.1 okazało się łatwe (0,80)."_s,
                       u"Standard czytanie okazał się łatwy (0,80)."_s,
                       u"Średni wynik klasy odpowiada staninowi 9 (najwyższy)."_s,
                       prefix + u"uzyskało 12 uczniów."_s};
    QTest::newRow("items without facility left out")
        << false << Bounds{0.4, -1, 0.9} << Bounds{-1, 0.1} << 0.0 << 0 << 22
        << QStringList{u"Średni wynik klasy VI A to 0,00 punktu na 40 możliwych (0% maksymalnej liczby "
                       u"punktów)."_s,
                       u"Test okazał się bardzo trudny (łatwość 0,00)."_s,
                       u"Najłatwiejsze okazało się zadanie Zad.3 (0,90 – bardzo łatwe)."_s,
                       u"Najtrudniejsze okazało się zadanie Zad.1 (0,40 – trudne)."_s,
                       u"Standard pisanie okazał się bardzo trudny (0,10)."_s,
                       prefix + u"uzyskało 22 uczniów."_s};
    QTest::newRow("nothing to compare")
        << true << Bounds{-1} << Bounds() << 17.125 << 0 << 0
        << QStringList{u"Średni wynik uczniów szkoły (średnia wszystkich uczniów) "
                       u"to 17,12 punktu na 40 możliwych (43% maksymalnej liczby "
                       u"punktów)."_s,
                       u"Test okazał się trudny (łatwość 0,43)."_s};
    QTest::newRow("no data") << false << Bounds{0.5} << Bounds{0.5} << -1.0 << 4 << 2
                             << QStringList{u"Brak danych: żaden uczeń nie był obecny na teście."_s};
}

void TstAnalysis::sentences()
{
    QFETCH(bool, school);
    QFETCH(Bounds, tasks);
    QFETCH(Bounds, standards);
    QFETCH(double, mean);
    QFETCH(int, stanine);
    QFETCH(int, weakPupils);
    QFETCH(QStringList, sentences);

    const QStringList standardNames{u"czytanie"_s, u"pisanie"_s, u"rozumowanie"_s};
    TestDefinition test;
    test.maxTotalPoints = 40;
    GroupAnalysis group;
    group.label = school ? u"Szkoła"_s : u"Klasa VI A"_s;
    group.totals.hasData = mean >= 0;
    group.totals.mean = mean;
    group.wholeTest =
        ItemFacility{u"cały test"_s, 40, mean, mean >= 0 ? std::optional(mean / 40) : std::nullopt};
    for (int i = 0; i < tasks.size(); ++i)
        group.tasks.append(ItemFacility{u"Zad.%1"_s.arg(i + 1), 2, 0,
                                        tasks[i] < 0 ? std::nullopt : std::optional(tasks[i])});
    for (int i = 0; i < standards.size(); ++i)
        group.standards.append(ItemFacility{standardNames[i], 4, 0,
                                            standards[i] < 0 ? std::nullopt : std::optional(standards[i])});
    if (stanine > 0)
        group.stanine = stanine;
    // Each pupil below one half in the first standard; the first of them also in a second one, and
    // a pupil of another class on the same row, so that only distinct pupils are counted.
    group.weakPupils.resize(2);
    for (int row = 1; row <= weakPupils; ++row) {
        const QString classLabel = row == 2 ? u"Klasa VI B"_s : u"Klasa VI A"_s;
        group.weakPupils[0].append(WeakPupil{classLabel, row == 2 ? 1 : row, u"K%1"_s.arg(row), 0.25});
    }
    if (weakPupils > 0)
        group.weakPupils[1].append(group.weakPupils[0].first());

    QCOMPARE(summarySentences(group, school, test, AnalysisSettings()), sentences);
}

void TstAnalysis::sentenceLabels_data()
{
    QTest::addColumn<QString>("classLabel");
    QTest::addColumn<QStringList>("standardLabels");
    QTest::addColumn<QStringList>("sentences");

    QTest::newRow("default labels")
        << u"Klasa VI A"_s << QStringList{u"Standard 1"_s, u"Standard 2"_s}
        << QStringList{u"Średni wynik klasy VI A to 10,00 punktu na 40 możliwych (25% maksymalnej liczby "
                       u"punktów)."_s,
                       u"Najłatwiejszy okazał się standard 2 (0,60 – umiarkowanie trudny)."_s,
                       u"Najtrudniejszy okazał się standard 1 (0,40 – trudny)."_s};
    QTest::newRow("own labels")
        << u"6a"_s << QStringList{u"czytanie"_s, u"standardy pisania"_s}
        << QStringList{u"Średni wynik klasy 6a to 10,00 punktu na 40 możliwych (25% maksymalnej liczby "
                       u"punktów)."_s,
                       u"Najłatwiejszy okazał się standard standardy pisania (0,60 – umiarkowanie trudny)."_s,
                       u"Najtrudniejszy okazał się standard czytanie (0,40 – trudny)."_s};
    QTest::newRow("the bare word kept, case ignored")
        << u"klasa"_s << QStringList{u"STANDARD  1"_s, u"Standard"_s}
        << QStringList{u"Średni wynik klasy klasa to 10,00 punktu na 40 możliwych (25% maksymalnej liczby "
                       u"punktów)."_s,
                       u"Najłatwiejszy okazał się standard Standard (0,60 – umiarkowanie trudny)."_s,
                       u"Najtrudniejszy okazał się standard 1 (0,40 – trudny)."_s};
}

void TstAnalysis::sentenceLabels()
{
    QFETCH(QString, classLabel);
    QFETCH(QStringList, standardLabels);
    QFETCH(QStringList, sentences);

    TestDefinition test;
    test.maxTotalPoints = 40;
    GroupAnalysis group;
    group.label = classLabel;
    group.totals.hasData = true;
    group.totals.mean = 10;
    group.standards = {ItemFacility{standardLabels[0], 5, 2, 0.4},
                       ItemFacility{standardLabels[1], 5, 3, 0.6}};
    QCOMPARE(summarySentences(group, false, test, AnalysisSettings()), sentences);
}

QTEST_GUILESS_MAIN(TstAnalysis)
#include "tst_analysis.moc"
