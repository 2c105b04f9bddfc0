// A test definition file as the definition window edits it: read, written whole and read back by the
// program's own readers, the cells it refuses, the sums and a block pasted from a spreadsheet.
#include "analysis/analysissettings.h"
#include "analysis/testdefinition.h"
#include "analysis/testdefinitionfile.h"
#include "core/cp1250.h"
#include "tests/support/filebytes.h"
#include "tests/support/setupini.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TstTestDefinitionFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shippedFilesReadBackUnchanged_data();
    void shippedFilesReadBackUnchanged();
    void writtenBytes();
    void untouchedSectionsKept();
    void cells_data();
    void cells();
    void whatStopsWriting_data();
    void whatStopsWriting();
    void sumsAndReconcile();
    void pasteGrowsTasksAndRefusesBadCells();
    void pasteStopsAtTheTaskLimit();

private:
    QTemporaryDir m_dir;
};

namespace {

TestDefinitionFile smallDefinition()
{
    TestDefinitionFile definition = newTestDefinitionFile(3);
    definition.name = u"Próbny – test"_s;
    definition.date = u"2026-03-20"_s;
    definition.tasks[1].points = u"2"_s;
    definition.tasks[1].standard = u"2"_s;
    definition.tasks[2].closed = u"nie"_s;
    definition.tasks[2].label = u"\"Zad.3\""_s;
    fitStandardCount(&definition);
    reconcileSums(&definition);
    return definition;
}

} // namespace

void TstTestDefinitionFile::shippedFilesReadBackUnchanged_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("example");
    const QString resources = QStringLiteral(SONDARYK_RESOURCES "/");
    QTest::newRow("Setup.ini") << resources + u"Setup.ini"_s << false;
    for (const QString &name : {u"Jezyk_polski.ini"_s, u"Matematyka.ini"_s, u"Jezyk_angielski.ini"_s})
        QTest::newRow(qPrintable(name)) << resources + u"Testy/"_s + name << true;
}

void TstTestDefinitionFile::shippedFilesReadBackUnchanged()
{
    QFETCH(QString, path);
    QFETCH(bool, example);
    const QByteArray original = readBytes(path);
    QStringList problems;
    const TestDefinitionFile definition = readTestDefinitionFile(original, &problems);
    QCOMPARE(problems, QStringList());
    QCOMPARE(definitionProblems(definition), QStringList());
    if (example) {
        QCOMPARE(checkSums(definition).mismatches, QStringList());
        QVERIFY(definition.name.endsWith(u"(przykład)"_s));
        // An example of a school's own test must never pass for official figures.
        QVERIFY(definition.preamble.join(u'\n').contains(u"PRZYKŁAD"_s));
        QVERIFY(!original.contains("[Staniny") && !original.contains("[PorownanieKraj"));
    }

    const QByteArray bytes = testDefinitionFileBytes(definition);
    QVERIFY(!QByteArray(bytes).replace("\r\n", "").contains('\n'));
    QVERIFY(bytes.endsWith("\r\n"));
    // Laid out as the writer lays it out, comments and all: read and written back byte for byte.
    QCOMPARE(bytes, original);

    const TestDefinition before = loadTestDefinitionFrom(path);
    const TestDefinition after = loadTestDefinitionFrom(writeSetupIni(m_dir, bytes));
    QCOMPARE(after.problems, QStringList());
    QCOMPARE(after.testName, before.testName);
    QCOMPARE(after.testDate, before.testDate);
    QCOMPARE(after.taskCount, before.taskCount);
    QCOMPARE(after.maxTotalPoints, before.maxTotalPoints);
    QCOMPARE(after.taskLabels, before.taskLabels);
    QCOMPARE(after.taskMaxPoints, before.taskMaxPoints);
    QCOMPARE(after.taskStandards, before.taskStandards);
    QCOMPARE(after.taskClosed, before.taskClosed);
    QCOMPARE(after.standardMaxPoints, before.standardMaxPoints);
    QCOMPARE(after.standardAbbreviations, before.standardAbbreviations);
    QCOMPARE(after.standardDescriptions, before.standardDescriptions);
    const AnalysisSettings settingsBefore = loadAnalysisSettingsFrom(path);
    const AnalysisSettings settingsAfter = loadAnalysisSettingsFrom(m_dir.filePath(u"Setup.ini"_s));
    QCOMPARE(settingsAfter.problems, QStringList());
    QCOMPARE(settingsAfter.bandBounds, settingsBefore.bandBounds);
}

void TstTestDefinitionFile::writtenBytes()
{
    TestDefinitionFile definition = smallDefinition();
    definition.bandBounds = {u"0,25"_s, u"0.5"_s, u"0,7"_s, u"0,95"_s};
    definition.pupilStanines = {u"0"_s, u"0"_s, u"1"_s, u"1,5"_s, u"2"_s, u"2,5"_s, u"3"_s, u"3.5"_s, u"4"_s};
    definition.comparisonThreshold = u"7"_s;
    definition.requirements = {{u"I"_s, u"Sprawność rachunkowa"_s, {}},
                               {u"V.2"_s, u"dodaje ułamki"_s, u"i"_s}};
    definition.tasks[0].requirements = u"v.2, I;"_s;
    QVERIFY(definitionProblems(definition).isEmpty());
    definition.tasks[0].requirements = u"V.2; I"_s;
    const QByteArray bytes = testDefinitionFileBytes(definition);
    QCOMPARE(bytes,
             QByteArray("[Ustawienia]\r\nNazwaTestu=Pr\xF3"
                        "bny \x96 test\r\nDataTestu=2026-03-20\r\n"
                        "LiczbaZadan=3\r\nLiczbaStandardow=2\r\nMaxLiczbaPunktow=4\r\nLiczbaWymagan=2\r\n"
                        "\r\n[Zadanie1]\r\nEtykieta=Zad.1\r\nKategoriaStandardu=1\r\nMaxPunktow=1\r\n"
                        "ZadanieZamkniete=1\r\nWymagania=V.2; I\r\n"
                        "\r\n[Zadanie2]\r\nEtykieta=Zad.2\r\nKategoriaStandardu=2\r\nMaxPunktow=2\r\n"
                        "ZadanieZamkniete=1\r\n"
                        "\r\n[Zadanie3]\r\nEtykieta=\"\"Zad.3\"\"\r\nKategoriaStandardu=1\r\nMaxPunktow=1\r\n"
                        "ZadanieZamkniete=0\r\n"
                        "\r\n[Standard1]\r\nSkrot=St.1\r\nOpis=Standard 1\r\nMaxPunktow=2\r\n"
                        "\r\n[Standard2]\r\nSkrot=St.2\r\nOpis=Standard 2\r\nMaxPunktow=2\r\n"
                        "\r\n[Wymaganie1]\r\nKod=I\r\nOpis=Sprawno\x9C\xE6 rachunkowa\r\n"
                        "\r\n[Wymaganie2]\r\nKod=V.2\r\nOpis=dodaje u\xB3"
                        "amki\r\nOgolne=I\r\n"
                        "\r\n[PrzedzialyLatwosci]\r\nTrudne=0.25\r\nUmiarkowanieTrudne=0.5\r\nLatwe=0.7\r\n"
                        "BardzoLatwe=0.95\r\n"
                        "\r\n[StaninyUczniow]\r\nStanin1=0\r\nStanin2=0\r\nStanin3=1\r\nStanin4=1.5\r\n"
                        "Stanin5=2\r\nStanin6=2.5\r\nStanin7=3\r\nStanin8=3.5\r\nStanin9=4\r\n"
                        "\r\n[Porownanie]\r\nProg=7\r\n"));

    const QString path = writeSetupIni(m_dir, bytes);
    const TestDefinition test = loadTestDefinitionFrom(path);
    QCOMPARE(test.taskLabels.at(2), u"\"Zad.3\""_s);
    QCOMPARE(test.problems, QStringList());
    QCOMPARE(test.taskRequirements, (QList<QStringList>{{u"V.2"_s, u"I"_s}, {}, {}}));
    QCOMPARE(test.requirements.at(1).general, u"I"_s);
    QCOMPARE(readTestDefinitionFile(bytes).requirements.size(), 2);
    const AnalysisSettings settings = loadAnalysisSettingsFrom(path);
    QCOMPARE(settings.problems, QStringList());
    QCOMPARE(settings.bandBounds, (std::array<double, 4>{0.25, 0.5, 0.7, 0.95}));
    QCOMPARE(settings.pupilStanineBounds, (QList<double>{0, 0, 1, 1.5, 2, 2.5, 3, 3.5, 4}));
    QVERIFY(settings.stanineBounds.isEmpty());
    QCOMPARE(settings.comparisonThreshold, 7);
}

void TstTestDefinitionFile::untouchedSectionsKept()
{
    const QByteArray original = "; komentarz szko\xB3y\r\n\r\n[PorownanieKraj]\r\nZad.1=0.55\r\n; uwaga\r\n"
                                "[Ustawienia]\r\nLiczbaZadan=1\r\nMaxLiczbaPunktow=1\r\n"
                                "[Zadanie1]\r\nEtykieta=A\r\n[Zadanie2]\r\nEtykieta=zbędne\r\n"
                                "[Inne]\nklucz = warto\x9C\xE6\n";
    TestDefinitionFile definition = readTestDefinitionFile(original);
    QCOMPARE(definition.tasks.size(), 1);
    QCOMPARE(definition.tasks[0].label, u"A"_s);
    const QByteArray bytes = testDefinitionFileBytes(definition);
    // A comment right above a heading goes with that section.
    QVERIFY(bytes.startsWith("; komentarz szko\xB3y\r\n\r\n; uwaga\r\n[Ustawienia]\r\n"));
    QVERIFY(
        bytes.endsWith("\r\n\r\n[PorownanieKraj]\r\nZad.1=0.55\r\n\r\n[Inne]\r\nklucz = warto\x9C\xE6\r\n"));
    QVERIFY(!bytes.contains("zbędne"));
    QCOMPARE(testDefinitionFileBytes(readTestDefinitionFile(bytes)), bytes);
}

void TstTestDefinitionFile::cells_data()
{
    QTest::addColumn<int>("kind"); // 0 task, 1 standard, 2 optional
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("accepted"); // empty: refused

    const int label = int(TaskColumn::Label), points = int(TaskColumn::Points),
              standard = int(TaskColumn::Standard), closed = int(TaskColumn::Closed);
    QTest::newRow("label trimmed") << 0 << label << u" Zad.1a "_s << u"Zad.1a"_s;
    QTest::newRow("label empty") << 0 << label << u"  "_s << QString();
    QTest::newRow("label semicolon") << 0 << label << u"a;b"_s << QString();
    QTest::newRow("label outside code page") << 0 << label << u"zad€ ✓"_s << QString();
    QTest::newRow("points") << 0 << points << u" 3"_s << u"3"_s;
    QTest::newRow("points not a number") << 0 << points << u"3,5"_s << QString();
    QTest::newRow("points negative") << 0 << points << u"-1"_s << QString();
    QTest::newRow("points zero") << 0 << points << u"0"_s << QString();
    QTest::newRow("points at limit") << 0 << points << QString::number(TestDefinition::maxTaskPoints)
                                     << QString::number(TestDefinition::maxTaskPoints);
    QTest::newRow("points beyond limit")
        << 0 << points << QString::number(TestDefinition::maxTaskPoints + 1) << QString();
    // The program would not read these as numbers, but take the default point.
    QTest::newRow("points, vertical tab") << 0 << points << u"3\v"_s << QString();
    QTest::newRow("points, no-break space") << 0 << points << u"\u00a03"_s << QString();
    QTest::newRow("points huge") << 0 << points << u"99999999999"_s << QString();
    QTest::newRow("standard 5") << 0 << standard << u"5"_s << u"5"_s;
    QTest::newRow("standard 6") << 0 << standard << u"6"_s << QString();
    QTest::newRow("standard 0") << 0 << standard << u"0"_s << QString();
    for (const QString &word : {u"Z"_s, u"zamknięte"_s, u"1"_s, u"TAK"_s})
        QTest::newRow(qPrintable(u"closed "_s + word)) << 0 << closed << word << u"tak"_s;
    for (const QString &word : {u"o"_s, u"Otwarte"_s, u"0"_s, u"nie"_s})
        QTest::newRow(qPrintable(u"open "_s + word)) << 0 << closed << word << u"nie"_s;
    QTest::newRow("closed unknown") << 0 << closed << u"może"_s << QString();
    QTest::newRow("standard points 0") << 1 << int(StandardColumn::Points) << u"0"_s << u"0"_s;
    QTest::newRow("standard points negative") << 1 << int(StandardColumn::Points) << u"-2"_s << QString();
    QTest::newRow("abbreviation empty") << 1 << int(StandardColumn::Abbreviation) << QString() << QString();
    QTest::newRow("band comma") << 2 << int(OptionalField::BandBound) << u"0,35"_s << u"0,35"_s;
    QTest::newRow("band above 1") << 2 << int(OptionalField::BandBound) << u"1.2"_s << QString();
    QTest::newRow("band three decimals") << 2 << int(OptionalField::BandBound) << u"0,355"_s << QString();
    QTest::newRow("band zero") << 2 << int(OptionalField::BandBound) << u"0"_s << QString();
    QTest::newRow("stanine negative") << 2 << int(OptionalField::Stanine) << u"-1"_s << QString();
    QTest::newRow("stanine word") << 2 << int(OptionalField::Stanine) << u"inf"_s << QString();
    QTest::newRow("threshold 100") << 2 << int(OptionalField::Threshold) << u"100"_s << u"100"_s;
    QTest::newRow("threshold 101") << 2 << int(OptionalField::Threshold) << u"101"_s << QString();
}

void TstTestDefinitionFile::cells()
{
    QFETCH(int, kind);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, accepted);
    QString problem = u"stale"_s;
    const QString result = kind == 0   ? acceptedTaskCell(TaskColumn(column), text, &problem)
                           : kind == 1 ? acceptedStandardCell(StandardColumn(column), text, &problem)
                                       : acceptedOptionalField(OptionalField(column), text, &problem);
    QCOMPARE(result, accepted);
    QCOMPARE(problem.isEmpty(), !accepted.isEmpty());
}

void TstTestDefinitionFile::whatStopsWriting_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("problem");
    const QByteArray head =
        "[Ustawienia]\r\nNazwaTestu=T\r\nLiczbaZadan=1\r\nLiczbaStandardow=1\r\nMaxLiczbaPunktow=1\r\n";
    QTest::newRow("empty name")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=\r\nLiczbaZadan=1\r\nLiczbaStandardow=1\r\n")
        << u"Nazwa testu: nazwa testu nie może być pusta."_s;
    QTest::newRow("no tasks") << QByteArray("[Ustawienia]\r\nLiczbaZadan=0\r\n")
                              << u"Test musi mieć co najmniej jedno zadanie."_s;
    QTest::newRow("bad points") << head + "[Zadanie1]\r\nMaxPunktow=abc\r\n"
                                << u"Zadanie 1, Punkty: „abc” nie jest liczbą całkowitą."_s;
    QTest::newRow("standard 7") << QByteArray(head).replace("LiczbaZadan=1", "LiczbaZadan=2") +
                                       "[Zadanie1]\r\nKategoriaStandardu=7\r\n"
                                << u"Zadanie 1, Standard: 7 leży poza dopuszczalnym zakresem od 1 do 5."_s;
    QTest::newRow("task beyond the count")
        << QByteArray(head).replace("LiczbaZadan=1", "LiczbaZadan=2") +
               "[Zadanie1]\r\nKategoriaStandardu=2\r\n"
        << u"Zadanie 1, Standard: test ma jeden standard (Liczba standardów), a zadanie należy do standardu 2."_s;
    QTest::newRow("standard without tasks")
        << QByteArray(head).replace("LiczbaStandardow=1", "LiczbaStandardow=2")
        << u"Standard 2 (St.2) nie ma żadnego zadania: przypisz mu zadania albo zmniejsz liczbę standardów."_s;
    QTest::newRow("standard of 0 points")
        << head + "[Standard1]\r\nMaxPunktow=0\r\n"
        << u"Standard 1 (St.1) ma maksimum 0 punktów: wpisz sumę punktów jego zadań albo kliknij „Uzgodnij sumy”."_s;
    QTest::newRow("unknown requirement")
        << head + "LiczbaWymagan=1\r\n[Wymaganie1]\r\nKod=I\r\n[Zadanie1]\r\nWymagania=i; II\r\n"
        << u"Zadanie 1, Wymagania: wymagania „II” nie ma wśród wymagań testu (zakładka „Wymagania”); dopisz "
           u"je "
           "tam albo popraw kod."_s;
    QTest::newRow("repeated requirement")
        << head + "LiczbaWymagan=2\r\n[Wymaganie1]\r\nKod=I\r\n[Wymaganie2]\r\nKod=i\r\n"
        << u"Wymaganie 2: kod „i” powtarza się."_s;
    QTest::newRow("bands partial")
        << head + "[PrzedzialyLatwosci]\r\nTrudne=0.3\r\n"
        << u"Przedziały łatwości: trzeba wpisać wszystkie cztery granice albo żadnej."_s;
    QTest::newRow("bands falling")
        << head + "[PrzedzialyLatwosci]\r\nTrudne=0.3\r\nUmiarkowanieTrudne=0.2\r\nLatwe=0.7\r\nBardzoLatwe="
                  "0.9\r\n"
        << u"Przedziały łatwości: granice muszą rosnąć (Trudne: 0.3, Umiarkowanie trudne: 0.2)."_s;
    QTest::newRow("stanines not rising")
        << head + "[Staniny]\r\nStanin1=0\r\nStanin2=0\r\nStanin3=5\r\nStanin4=5\r\nStanin5=6\r\n"
                  "Stanin6=7\r\nStanin7=8\r\nStanin8=9\r\nStanin9=10\r\n"
        << u"Tabela staninów średniego wyniku szkoły: granice muszą rosnąć (stanin 3: 5, stanin 4: 5)."_s;
    QTest::newRow("threshold") << head + "[Porownanie]\r\nProg=0\r\n"
                               << u"Próg porównania: 0 leży poza dopuszczalnym zakresem od 1 do 100."_s;
}

void TstTestDefinitionFile::whatStopsWriting()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, problem);
    QVERIFY(definitionProblems(newTestDefinitionFile(2)).isEmpty());
    QCOMPARE(definitionProblems(readTestDefinitionFile(file)), QStringList{problem});
}

void TstTestDefinitionFile::sumsAndReconcile()
{
    TestDefinitionFile definition = newTestDefinitionFile(4);
    definition.tasks[0].points = u"3"_s;
    definition.tasks[2].standard = u"5"_s;
    fitStandardCount(&definition);
    // A refused cell counts nowhere rather than as a guess.
    definition.tasks[3].points = u"x"_s;
    SumsCheck check = checkSums(definition);
    QCOMPARE(check.taskSum, 5);
    QCOMPARE(check.standardSums, (std::array<int, 5>{4, 0, 0, 0, 1}));
    QCOMPARE(check.summary, u"Suma punktów zadań: 5 (standardy 1–5: 4, 0, 0, 0, 1)."_s);
    QCOMPARE(check.mismatches,
             (QStringList{u"Maksymalna liczba punktów testu (4) nie równa się sumie punktów zadań (5)."_s,
                          u"Standard 5 (St.5): maksimum 0, a suma punktów jego zadań 1."_s}));
    reconcileSums(&definition);
    QCOMPARE(definition.maxTotalPoints, u"5"_s);
    QCOMPARE(definition.standards[0].points, u"4"_s);
    QCOMPARE(definition.standards[4].points, u"1"_s);
    QCOMPARE(checkSums(definition).mismatches, QStringList());
}

void TstTestDefinitionFile::pasteGrowsTasksAndRefusesBadCells()
{
    TestDefinitionFile definition = newTestDefinitionFile(2);
    const QList<QStringList> block{
        {u"1a"_s, u"2"_s, u"3"_s, u"Z"_s},
        {u"1b"_s, u"-1"_s, u"9"_s, u"otwarte"_s},
        {u"2"_s, u"4"_s, u"2"_s, u"nie"_s, u""_s, u""_s, u""_s, u""_s, u"zbędna"_s}};
    const TaskPaste paste = pasteTasks(&definition, block, 1, TaskColumn::Label);
    QCOMPARE(definition.tasks.size(), 4);
    QCOMPARE(paste.tasksAdded, 2);
    QCOMPARE(paste.columnsLeftOut, 1);
    QCOMPARE(paste.rowsLeftOut, 0);
    QCOMPARE(definition.tasks[0].label, u"Zad.1"_s);
    QCOMPARE(definition.tasks[1].label, u"1a"_s);
    QCOMPARE(definition.tasks[1].points, u"2"_s);
    QCOMPARE(definition.tasks[1].standard, u"3"_s);
    QCOMPARE(definition.tasks[1].closed, u"tak"_s);
    // The refused cells keep what a new task holds.
    QCOMPARE(definition.tasks[2].points, u"1"_s);
    QCOMPARE(definition.tasks[2].standard, u"1"_s);
    QCOMPARE(definition.tasks[2].closed, u"nie"_s);
    QCOMPARE(definition.tasks[3].label, u"2"_s);
    QCOMPARE(paste.refused,
             (QStringList{u"Zadanie 3, Punkty: liczba nie może być ujemna (-1)."_s,
                          u"Zadanie 3, Standard: 9 leży poza dopuszczalnym zakresem od 1 do 5."_s}));

    // From the points column on: the label stays.
    const TaskPaste second = pasteTasks(&definition, {{u"5"_s, u"2"_s}}, 0, TaskColumn::Points);
    QCOMPARE(second.cellsChanged, 2);
    QCOMPARE(definition.tasks[0].label, u"Zad.1"_s);
    QCOMPARE(definition.tasks[0].points, u"5"_s);
    QCOMPARE(definition.tasks[0].standard, u"2"_s);
}

void TstTestDefinitionFile::pasteStopsAtTheTaskLimit()
{
    TestDefinitionFile definition = newTestDefinitionFile(1);
    const QList<QStringList> block(TestDefinition::maxTaskCount + 5, QStringList{u"Z"_s, u"1"_s});
    const TaskPaste paste = pasteTasks(&definition, block, 0, TaskColumn::Label);
    QCOMPARE(definition.tasks.size(), TestDefinition::maxTaskCount);
    QCOMPARE(paste.rowsLeftOut, 5);
    QVERIFY(paste.refused.isEmpty());
}

QTEST_GUILESS_MAIN(TstTestDefinitionFile)
#include "tst_testdefinitionfile.moc"
