// Setup.ini read into the test definition: defaults, partial sections and counts that cannot be used.
#include "analysis/testdefinition.h"
#include "files/gridfile.h"
#include "tests/support/setupini.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TstTestDefinition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingFileGivesBuiltInDefinition();
    void fullFile();
    void taskValues_data();
    void taskValues();
    void moreTasksThanSections();
    void semicolonInLabel();
    void lowerCaseNames();
    void zeroTasks();
    void unusableCounts_data();
    void unusableCounts();
    void largestCountsAccepted();
    void unusableMaxima();
    void tasksOutsideTheStandards();
    void moreThanFiveStandards();
    void problemsInOneMessage();

private:
    TestDefinition load(const QByteArray &content);
    QTemporaryDir m_dir;
};

TestDefinition TstTestDefinition::load(const QByteArray &content)
{
    return loadTestDefinitionFrom(writeSetupIni(m_dir, content));
}

void TstTestDefinition::missingFileGivesBuiltInDefinition()
{
    const TestDefinition def = loadTestDefinitionFrom(m_dir.filePath(u"brak/Setup.ini"_s));
    QCOMPARE(def.taskCount, 25);
    QCOMPARE(def.standardCount, 5);
    QCOMPARE(def.maxTotalPoints, 40);
    QCOMPARE(def.testName, u"Test"_s);
    QCOMPARE(def.testDate, u"2003-12-12"_s);
    QCOMPARE(def.taskLabels.size(), 25);
    QCOMPARE(def.taskLabels.first(), u"Zad.1"_s);
    QCOMPARE(def.taskLabels.last(), u"Zad.25"_s);
    QCOMPARE(def.taskMaxPoints, QList<qint32>(25, 1));
    QCOMPARE(def.taskStandards, QList<qint32>(25, 1));
    QCOMPARE(def.taskClosed, QList<bool>(25, true));
    QCOMPARE(def.standardAbbreviations, (QStringList{u"St.1"_s, u"St.2"_s, u"St.3"_s, u"St.4"_s, u"St.5"_s}));
    QCOMPARE(def.standardDescriptions.at(1), u"Standard 2"_s);
    QCOMPARE(def.standardMaxPoints, QList<qint32>(5, 1));
    QVERIFY(def.problems.isEmpty());
}

void TstTestDefinition::fullFile()
{
    const TestDefinition def = load("[Ustawienia]\r\n"
                                    "LiczbaZadan=2\r\n"
                                    "LiczbaStandardow=1\r\n"
                                    "MaxLiczbaPunktow=3\r\n"
                                    "NazwaTestu=Sprawdzian sz\xF3stoklasisty\r\n"
                                    "DataTestu=2004-04-01\r\n"
                                    "\r\n"
                                    "[Zadanie1]\r\n"
                                    "Etykieta=Z1\r\n"
                                    "KategoriaStandardu=1\r\n"
                                    "MaxPunktow=1\r\n"
                                    "ZadanieZamkniete=1\r\n"
                                    "[Zadanie2]\r\n"
                                    "Etykieta=Z2\r\n"
                                    "KategoriaStandardu=6\r\n"
                                    "MaxPunktow=2\r\n"
                                    "ZadanieZamkniete=0\r\n"
                                    "[Standard1]\r\n"
                                    "MaxPunktow=3\r\n"
                                    "Skrot=Czyt.\r\n"
                                    "Opis=Czytanie \xB3\x61twe\r\n" // "Czytanie łatwe" in Windows-1250
                                    "[Standard2]\r\n"
                                    "Skrot=nie czytany\r\n"
                                    "[Zadanie3]\r\n"
                                    "Etykieta=nie czytany\r\n");
    QCOMPARE(def.testName, u"Sprawdzian szóstoklasisty"_s);
    QCOMPARE(def.testDate, u"2004-04-01"_s);
    QCOMPARE(def.maxTotalPoints, 3);
    QCOMPARE(def.taskLabels, (QStringList{u"Z1"_s, u"Z2"_s}));
    QCOMPARE(def.taskStandards, (QList<qint32>{1, 6}));
    QCOMPARE(def.taskMaxPoints, (QList<qint32>{1, 2}));
    QCOMPARE(def.taskClosed, (QList<bool>{true, false}));
    QCOMPARE(def.standardMaxPoints, QList<qint32>{3});
    QCOMPARE(def.standardAbbreviations, QStringList{u"Czyt."_s});
    QCOMPARE(def.standardDescriptions, QStringList{u"Czytanie łatwe"_s});
}

void TstTestDefinition::taskValues_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("standard");
    QTest::addColumn<int>("maxPoints");
    QTest::addColumn<bool>("closed");

    QTest::newRow("only MaxPunktow") << QByteArray("MaxPunktow=4") << u"Zad.3"_s << 1 << 4 << true;
    QTest::newRow("empty label") << QByteArray("Etykieta=") << QString() << 1 << 1 << true;
    QTest::newRow("points abc") << QByteArray("MaxPunktow=abc") << u"Zad.3"_s << 1 << 1 << true;
    QTest::newRow("points empty") << QByteArray("MaxPunktow=") << u"Zad.3"_s << 1 << 1 << true;
    QTest::newRow("points 0x0A") << QByteArray("MaxPunktow=0x0A") << u"Zad.3"_s << 1 << 10 << true;
    QTest::newRow("points $A") << QByteArray("MaxPunktow=$A") << u"Zad.3"_s << 1 << 10 << true;
    QTest::newRow("open task") << QByteArray("ZadanieZamkniete=0") << u"Zad.3"_s << 1 << 1 << false;
    QTest::newRow("word false") << QByteArray("ZadanieZamkniete=false") << u"Zad.3"_s << 1 << 1 << true;
    QTest::newRow("standard 0") << QByteArray("KategoriaStandardu=0") << u"Zad.3"_s << 0 << 1 << true;
    QTest::newRow("standard 6") << QByteArray("KategoriaStandardu=6") << u"Zad.3"_s << 6 << 1 << true;
    QTest::newRow("Polish label") << QByteArray("Etykieta=\xA3\xF3\x64\x9F") // "Łódź"
                                  << u"Łódź"_s << 1 << 1 << true;
}

void TstTestDefinition::taskValues()
{
    QFETCH(QByteArray, section);
    QFETCH(QString, label);
    QFETCH(int, standard);
    QFETCH(int, maxPoints);
    QFETCH(bool, closed);

    const TestDefinition def = load("[Ustawienia]\r\nLiczbaZadan=4\r\n[Zadanie3]\r\n" + section + "\r\n");
    QCOMPARE(def.taskLabels.at(2), label);
    QCOMPARE(def.taskStandards.at(2), standard);
    QCOMPARE(def.taskMaxPoints.at(2), maxPoints);
    QCOMPARE(def.taskClosed.at(2), closed);
    // The neighbours keep their defaults.
    QCOMPARE(def.taskLabels.at(1), u"Zad.2"_s);
    QCOMPARE(def.taskMaxPoints.at(3), 1);
}

void TstTestDefinition::moreTasksThanSections()
{
    QByteArray content = "[Ustawienia]\r\nLiczbaZadan=30\r\n";
    for (int n = 1; n <= 25; ++n)
        content += "[Zadanie" + QByteArray::number(n) + "]\r\nMaxPunktow=2\r\nKategoriaStandardu=3\r\n";
    const TestDefinition def = load(content);

    QCOMPARE(def.taskCount, 30);
    QCOMPARE(def.taskLabels.size(), 30);
    QCOMPARE(def.taskMaxPoints.at(24), 2);
    QCOMPARE(def.taskStandards.at(24), 3);
    for (int i = 25; i < 30; ++i) {
        QCOMPARE(def.taskLabels.at(i), u"Zad.%1"_s.arg(i + 1));
        QCOMPARE(def.taskMaxPoints.at(i), 1);
        QCOMPARE(def.taskStandards.at(i), 1);
        QCOMPARE(def.taskClosed.at(i), true);
    }
}

void TstTestDefinition::semicolonInLabel()
{
    const TestDefinition def =
        load("[Ustawienia]\r\nLiczbaZadan=3\r\n[Zadanie2]\r\nEtykieta=Zad. 2a; 2b\r\n");
    QCOMPARE(def.taskLabels, (QStringList{u"Zad.1"_s, u"Zad. 2a, 2b"_s, u"Zad.3"_s}));
    QCOMPARE(def.problems,
             QStringList{u"Etykieta zadania nr 2 w pliku Setup.ini zawiera średnik, który "
                         u"rozdziela pola w plikach wyników; program zastępuje go przecinkiem."_s});
    // The class's results file, headed by the labels, still fits the test's grid.
    const GridRows rows{QStringList{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s} + def.taskLabels,
                        QStringList{u"1"_s, u"A1"_s, u"T"_s, u"1"_s, u"0"_s, u"1"_s}};
    QVERIFY(gridFit(parseGridFile(gridFileBytes(rows)), 2, def.taskCount + 3).exact);
}

void TstTestDefinition::lowerCaseNames()
{
    const TestDefinition def = load("[ustawienia]\r\nliczbazadan=1\r\nliczbastandardow=1\r\n"
                                    "[zadanie1]\r\nmaxpunktow=3\r\n[standard1]\r\nskrot=S\r\n");
    QCOMPARE(def.taskCount, 1);
    QCOMPARE(def.standardCount, 1);
    QCOMPARE(def.taskMaxPoints, QList<qint32>{3});
    QCOMPARE(def.standardAbbreviations, QStringList{u"S"_s});
}

void TstTestDefinition::zeroTasks()
{
    const TestDefinition def = load("[Ustawienia]\r\nLiczbaZadan=0\r\n[Zadanie1]\r\nMaxPunktow=3\r\n");
    QCOMPARE(def.taskCount, 0);
    QVERIFY(def.taskLabels.isEmpty());
    QVERIFY(def.taskStandards.isEmpty());
    QVERIFY(def.taskMaxPoints.isEmpty());
    QVERIFY(def.taskClosed.isEmpty());
    QCOMPARE(def.standardCount, 5);
    QVERIFY(def.problems.isEmpty());
}

void TstTestDefinition::unusableCounts_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("taskCount");
    QTest::addColumn<int>("standardCount");
    QTest::addColumn<QString>("problem");

    QTest::newRow("negative tasks")
        << QByteArray("LiczbaZadan=-3") << 0 << 5
        << u"Liczba zadań (LiczbaZadan) w pliku Setup.ini jest ujemna (-3); program przyjmuje 0 zadań."_s;
    QTest::newRow("negative standards")
        << QByteArray("LiczbaStandardow=-1") << 25 << 0
        << u"Liczba standardów (LiczbaStandardow) w pliku Setup.ini jest ujemna (-1); "
           u"program przyjmuje 0 standardów."_s;
    QTest::newRow("absurd tasks")
        << QByteArray("LiczbaZadan=2000000000") << 0 << 5
        << u"Liczba zadań (LiczbaZadan) w pliku Setup.ini wynosi 2000000000, a dopuszczalne jest najwyżej "
           u"200; program przyjmuje 0 zadań."_s;
    QTest::newRow("one task too many") << QByteArray("LiczbaZadan=201") << 0 << 5
                                       << u"Liczba zadań (LiczbaZadan) w pliku Setup.ini wynosi 201, a "
                                          u"dopuszczalne jest najwyżej 200; program przyjmuje 0 zadań."_s;
    QTest::newRow("hex all ones is -1") << QByteArray("LiczbaZadan=$FFFFFFFF") << 0 << 5
                                        << u"Liczba zadań (LiczbaZadan) w pliku Setup.ini jest ujemna (-1); "
                                           u"program przyjmuje 0 zadań."_s;
    QTest::newRow("absurd standards")
        << QByteArray("LiczbaStandardow=51") << 25 << 0
        << u"Liczba standardów (LiczbaStandardow) w pliku Setup.ini wynosi 51, a dopuszczalne jest "
           u"najwyżej 50; program przyjmuje 0 standardów."_s;
}

void TstTestDefinition::unusableCounts()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, taskCount);
    QFETCH(int, standardCount);
    QFETCH(QString, problem);

    const TestDefinition def = load("[Ustawienia]\r\n" + settings + "\r\n");
    QCOMPARE(def.taskCount, taskCount);
    QCOMPARE(def.taskLabels.size(), taskCount);
    QCOMPARE(def.taskMaxPoints.size(), taskCount);
    QCOMPARE(def.standardCount, standardCount);
    QCOMPARE(def.standardDescriptions.size(), standardCount);
    QCOMPARE(def.problems, QStringList{problem});
}

void TstTestDefinition::largestCountsAccepted()
{
    const TestDefinition def = load("[Ustawienia]\r\nLiczbaZadan=200\r\nLiczbaStandardow=50\r\n");
    QCOMPARE(def.taskCount, TestDefinition::maxTaskCount);
    QCOMPARE(def.taskClosed.size(), 200);
    QCOMPARE(def.standardCount, TestDefinition::maxStandardCount);
    QCOMPARE(def.standardAbbreviations.last(), u"St.50"_s);
    // Accepted, with only the note that standards above 5 are not counted.
    QCOMPARE(def.problems.size(), 1);
    QVERIFY(def.problems.at(0).startsWith(u"Plik Setup.ini określa 50 standardów"_s));
}

void TstTestDefinition::unusableMaxima()
{
    const TestDefinition def = load("[Ustawienia]\r\nLiczbaZadan=3\r\nLiczbaStandardow=2\r\n"
                                    "MaxLiczbaPunktow=-40\r\n"
                                    "[Zadanie1]\r\nMaxPunktow=1000\r\n"
                                    "[Zadanie2]\r\nMaxPunktow=1001\r\n"
                                    "[Zadanie3]\r\nMaxPunktow=-1\r\n"
                                    "[Standard1]\r\nMaxPunktow=200000\r\n"
                                    "[Standard2]\r\nMaxPunktow=2147483647\r\n");
    QCOMPARE(def.maxTotalPoints, 0);
    QCOMPARE(def.taskMaxPoints, (QList<qint32>{1000, 0, 0}));
    QCOMPARE(def.standardMaxPoints, (QList<qint32>{200000, 0}));
    QCOMPARE(def.problems.size(), 4);
    QCOMPARE(def.problems.at(1), u"Maksymalna liczba punktów zadania nr 2 w pliku Setup.ini wynosi "
                                 "1001, a dopuszczalne są wartości od 0 do 1000; program przyjmuje 0."_s);
    QVERIFY(def.problems.at(0).contains(u"punktów testu w pliku"_s));
    QVERIFY(def.problems.at(3).contains(u"2147483647"_s));
}

void TstTestDefinition::tasksOutsideTheStandards()
{
    const TestDefinition def = load("[Ustawienia]\r\nLiczbaZadan=4\r\nLiczbaStandardow=3\r\n"
                                    "[Zadanie1]\r\nKategoriaStandardu=3\r\n"
                                    "[Zadanie2]\r\nKategoriaStandardu=4\r\n"
                                    "[Zadanie3]\r\nKategoriaStandardu=-1\r\n"
                                    "[Zadanie4]\r\nKategoriaStandardu=1\r\n");
    // Kept as written: the task still counts in the whole test.
    QCOMPARE(def.taskStandards, (QList<qint32>{3, 4, -1, 1}));
    QCOMPARE(def.problems,
             (QStringList{u"Zadanie nr 2 należy według pliku Setup.ini do standardu 4, a standardy są "
                          "numerowane od 1 do 3; zadanie nie wejdzie do wyników żadnego standardu."_s,
                          u"Zadanie nr 3 należy według pliku Setup.ini do standardu -1, a standardy są "
                          "numerowane od 1 do 3; zadanie nie wejdzie do wyników żadnego standardu."_s}));

    // With no standards at all, the count's message alone is given, not one per task.
    const TestDefinition none = load("[Ustawienia]\r\nLiczbaZadan=30\r\nLiczbaStandardow=-2\r\n");
    QCOMPARE(none.problems.size(), 1);
}

void TstTestDefinition::moreThanFiveStandards()
{
    const TestDefinition def = load("[Ustawienia]\r\nLiczbaZadan=4\r\nLiczbaStandardow=7\r\n"
                                    "[Zadanie1]\r\nKategoriaStandardu=5\r\n"
                                    "[Zadanie2]\r\nKategoriaStandardu=6\r\nEtykieta=Zad. 2a\r\n"
                                    "[Zadanie3]\r\nKategoriaStandardu=7\r\n"
                                    "[Zadanie4]\r\nKategoriaStandardu=9\r\n");
    QCOMPARE(def.standardCount, 7);
    QCOMPARE(def.countedStandardCount(), 5);
    QCOMPARE(def.standardAbbreviations.size(), 7);
    // First, so that a long list of other problems never hides it.
    QCOMPARE(def.problems.size(), 2);
    QCOMPARE(def.problems.at(0),
             u"Plik Setup.ini określa 7 standardów (LiczbaStandardow), a program liczy wyniki tylko "
             "standardów od 1 do 5: tyle mieszczą tabele, pliki wyników i wykresy. Te zadania nie należą "
             "więc do żadnego standardu i nie wchodzą do sumy „Razem”: Zad. 2a (standard 6), Zad.3 "
             "(standard 7)."_s);
    QVERIFY(def.problems.at(1).startsWith(u"Zadanie nr 4 należy"_s));
    QCOMPARE(def.countedStandardOf(0), 5);
    QCOMPARE(def.countedStandardOf(1), 0);
    QCOMPARE(def.countedStandardOf(3), 0);

    const TestDefinition unused = load("[Ustawienia]\r\nLiczbaZadan=2\r\nLiczbaStandardow=6\r\n");
    QCOMPARE(unused.problems,
             QStringList{u"Plik Setup.ini określa 6 standardów (LiczbaStandardow), a program liczy wyniki "
                         "tylko standardów od 1 do 5: tyle mieszczą tabele, pliki wyników i wykresy. Żadne "
                         "zadanie nie należy do standardów od 6 do 6."_s});

    // Five or fewer standards say nothing of it.
    QVERIFY(load("[Ustawienia]\r\nLiczbaStandardow=5\r\n").problems.isEmpty());
    QCOMPARE(load("[Ustawienia]\r\nLiczbaStandardow=3\r\n").countedStandardCount(), 3);
}

void TstTestDefinition::problemsInOneMessage()
{
    QCOMPARE(problemsMessage({}), QString());
    QCOMPARE(problemsMessage({u"a"_s, u"b"_s}), u"a\nb"_s);
    QStringList many;
    for (int i = 1; i <= 200; ++i)
        many.append(u"uwaga %1"_s.arg(i));
    const QStringList lines = problemsMessage(many).split(u'\n');
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.at(9), u"uwaga 10"_s);
    QCOMPARE(lines.at(10), u"Dalszych uwag: 190."_s);
    QCOMPARE(problemsMessage(many.first(11)).split(u'\n').last(), u"Dalszych uwag: 1."_s);
    QCOMPARE(problemsMessage(many.first(10)).split(u'\n').last(), u"uwaga 10"_s);
}

QTEST_GUILESS_MAIN(TstTestDefinition)
#include "tst_testdefinition.moc"
