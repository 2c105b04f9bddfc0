// The workbook's school session without any window: a school set up, typed, computed and saved
// gives the whole road's files byte for byte, and what an operation has to say comes out in order.
#include "core/errors.h"
#include "documents/analysistables.h"
#include "documents/analysiswords.h"
#include "school/schoolsession.h"
#include "tests/support/filebytes.h"

#include <QDir>
#include <QDirIterator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString fixtures = QStringLiteral(SONDARYK_ROAD_FIXTURES);

// The points the whole road types: pupil p (from 0) in task t (from 0).
int pointsFor(int classIndex, int pupil, int task, int maximum)
{
    return (classIndex * 5 + pupil * 7 + task * task * 3 + pupil * task) % (maximum + 1);
}

// A class's sheet as the road types it: codes A01…, marks T and t in turn, the absent pupil's "N"
// and no points for that pupil.
GridRows typedSheet(const SchoolSession &session, int classIndex, int absentPupil)
{
    const TestDefinition &test = session.test();
    GridRows sheet = session.newScoreSheet(classIndex);
    for (int p = 0; p + 1 < sheet.size(); ++p) {
        QStringList &row = sheet[p + 1];
        row[1] = u"%1%2"_s.arg(QChar(u'A' + classIndex)).arg(p + 1, 2, 10, QChar(u'0'));
        const bool absent = p == absentPupil;
        row[2] = absent ? u"N"_s : (p % 2 ? u"t"_s : u"T"_s);
        for (int t = 0; t < test.taskCount && !absent; ++t)
            row[t + 3] = QString::number(pointsFor(classIndex, p, t, test.taskMaxPoints[t]));
    }
    return sheet;
}

QStringList texts(const Outcome &outcome)
{
    QStringList said;
    for (const Notice &notice : outcome.notices)
        said.append(notice.text);
    return said;
}

QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

SchoolSetup setupOf(const QStringList &labels, const QStringList &pupils)
{
    SchoolSetup setup;
    setup.classCount = qint32(labels.size());
    setup.headings = QStringList{u"L.p."_s, u"Klasa"_s, u"Liczba uczniów"_s};
    setup.labels = labels;
    setup.pupilTexts = pupils;
    return setup;
}

// A school of one class "6a" of the given pupils under the road's test, its page loaded.
void setUpOneClass(SchoolSession &session, const QString &folder, int pupils)
{
    session.setLocation(QFileInfo(folder).path());
    session.chooseTest(fixtures + u"/Setup.ini"_s);
    QVERIFY(session.setUpNewSchool(folder, setupOf({u"6a"_s}, {QString::number(pupils)}), {pupils}).ok);
    session.loadClassPage(0);
}

} // namespace

class TestSchoolSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The spreadsheet files' date, as the whole road has it.
        qputenv("SOURCE_DATE_EPOCH", "1071187200");
    }
    void wholeRoadWithoutAWindow();
    void writeFailuresOfOneStepSaidOnce();
    void wrongPointsSaidBeforeTheErrorThatEndsTheCheck();
    void symbolsChosenScoredKeptAndReadBack();
    void schoolPageAndAnalysisAgree();
};

void TestSchoolSession::wholeRoadWithoutAWindow()
{
    QTemporaryDir location;
    SchoolSession session;
    session.setLocation(location.path());
    QVERIFY(texts(session.chooseTest(fixtures + u"/Setup.ini"_s)).isEmpty());
    const QString folder = location.filePath(u"Szkoła Podstawowa nr 1"_s);
    const Outcome setUp = session.setUpNewSchool(
        folder, setupOf({u"Klasa VI A"_s, u"Klasa VI B"_s, u"Klasa VI C"_s}, {u"4"_s, u"3"_s, u"3"_s}),
        {4, 3, 3});
    QVERIFY2(setUp.ok && setUp.notices.isEmpty(), qPrintable(texts(setUp).join(u" | "_s)));
    QCOMPARE(session.schoolDirectory(), folder);

    const int absent[] = {-1, 1, 2};
    for (int c = 0; c < 3; ++c) {
        QVERIFY(session.loadClassPage(c).notices.isEmpty());
        session.putScores(c, typedSheet(session, c, absent[c]));
        QVERIFY(session.scoresModified(c));
        const ComputeOutcome computed = session.compute(c);
        QVERIFY2(computed.ok && computed.notices.isEmpty(), qPrintable(texts(computed).join(u" | "_s)));
        QCOMPARE(computed.badPupilCount, 0);
        QVERIFY(!session.scoresModified(c));
        if (c == 0)
            QCOMPARE(texts(session.saveClass(0)), QStringList{u"Wyniki uczniów zostały zapisane!"_s});
    }
    QVERIFY(session.loadSchoolPage().notices.isEmpty());
    QCOMPARE(texts(session.saveSchool(session.schoolSpreadsheet({}))),
             QStringList{u"Wyniki zostały zapisane!"_s});
    // The road then saves the school's analysis as PDF, which makes the "Analiza" sheets anew.
    QVERIFY(session.school().refreshAnalysisSheets(session.test()).isEmpty());

    // What only the windows make (the charts' bitmaps and the PDF) is left to the whole road.
    QStringList expected;
    for (const QString &file : filesUnder(fixtures)) {
        if (!file.endsWith(u".pdf"_s) && file != u"bitmaps.sha256"_s)
            expected.append(file);
    }
    QCOMPARE(filesUnder(folder), expected);
    for (const QString &file : std::as_const(expected))
        QVERIFY2(readBytes(folder + u'/' + file) == readBytes(fixtures + u'/' + file), qPrintable(file));
}

void TestSchoolSession::writeFailuresOfOneStepSaidOnce()
{
    QTemporaryDir location;
    SchoolSession session;
    const QString folder = location.filePath(u"Szkoła"_s);
    setUpOneClass(session, folder, 2);
    if (QTest::currentTestFailed())
        return;
    session.putScores(0, typedSheet(session, 0, -1));
    // Where the class's files go there is a file, not a folder: none of the three can be written.
    QVERIFY(QDir(folder + u"/6a"_s).removeRecursively());
    QVERIFY(writeBytes(folder + u"/6a"_s, "not a folder"));
    const ComputeOutcome computed = session.compute(0);
    // Said with its cause: where the class folder was, there is none.
    QCOMPARE(texts(computed).size(), 1);
    QCOMPARE(texts(computed)[0].section(u"\n\n"_s, 0, 0),
             u"Nie mogę zapisać pliku! Nie zapisano: Odpowiedzi.tmp, Zadania.tmp, Standardy.tmp."_s);
    QVERIFY(texts(computed)[0].section(u"\n\n"_s, 1).startsWith(u"Katalogu „"_s));
    QCOMPARE(computed.notices.first().kind, Notice::Kind::FileError);
    QVERIFY(session.scoresModified(0));
    // Alone, the same failure is said as one file's.
    const Outcome saved = session.saveScores(0);
    QVERIFY(!saved.ok);
    QCOMPARE(texts(saved).size(), 1);
    QCOMPARE(texts(saved)[0].section(u"\n\n"_s, 0, 0), u"Nie mogę zapisać pliku!"_s);
}

void TestSchoolSession::wrongPointsSaidBeforeTheErrorThatEndsTheCheck()
{
    QTemporaryDir location;
    SchoolSession session;
    const QString folder = location.filePath(u"Szkoła"_s);
    setUpOneClass(session, folder, 3);
    if (QTest::currentTestFailed())
        return;
    GridRows sheet = typedSheet(session, 0, -1);
    sheet[1][3] = u"99"_s; // above the task's maximum
    sheet[2][3] = u"abc"_s;
    session.putScores(0, sheet);
    const ComputeOutcome computed = session.compute(0);
    QCOMPARE(computed.notices.size(), 1);
    QVERIFY(computed.notices.first().text.startsWith(u"Dla ucznia o kodzie A01, w zadaniu "_s));
    QVERIFY(computed.error);
    QVERIFY_THROWS_EXCEPTION(ConvertError, std::rethrow_exception(computed.error));
    // Nothing is written while a point is wrong.
    QVERIFY(!QFileInfo::exists(folder + u"/6a/Odpowiedzi.tmp"_s));
}

// A one-choice task, two true/false statements with a point each, and an open task: the symbols
// typed become points in the answers file and stay in Wybory.tmp, read back as typed; a symbol the
// key refuses writes nothing; a Wybory.tmp that does not fit the points is said and left.
void TestSchoolSession::symbolsChosenScoredKeptAndReadBack()
{
    QTemporaryDir location;
    const QString testFile = location.filePath(u"Klucz.ini"_s);
    writeBytes(testFile,
               "[Ustawienia]\r\nNazwaTestu=Klucz\r\nLiczbaZadan=3\r\nLiczbaStandardow=1\r\n"
               "MaxLiczbaPunktow=6\r\n[Zadanie1]\r\nMaxPunktow=1\r\nKlucz=B\r\n"
               "[Zadanie2]\r\nMaxPunktow=2\r\nKlucz=PF\r\nPunktZaCzesc=1\r\n"
               "[Zadanie3]\r\nMaxPunktow=3\r\nZadanieZamkniete=0\r\n[Standard1]\r\nMaxPunktow=6\r\n");
    SchoolSession session;
    const QString folder = location.filePath(u"Szkoła"_s);
    session.setLocation(location.path());
    QVERIFY(session.chooseTest(testFile).notices.isEmpty());
    QVERIFY(session.setUpNewSchool(folder, setupOf({u"6a"_s}, {u"4"_s}), {4}).ok);
    session.loadClassPage(0);
    GridRows sheet = session.scoreSheet(0);
    const QList<QStringList> typed{{u"A01"_s, u"T"_s, u"b"_s, u"PF"_s, u"2"_s},
                                   {u"A02"_s, u"T"_s, u"C"_s, u"pp"_s, u"3"_s},
                                   {u"A03"_s, u"T"_s, u""_s, u"X-"_s, u"0"_s},
                                   {u"A04"_s, u"N"_s, u""_s, u""_s, u""_s}};
    for (int p = 0; p < typed.size(); ++p)
        for (int c = 0; c < typed[p].size(); ++c)
            sheet[p + 1][c + 1] = typed[p][c];
    session.putScores(0, sheet);
    QVERIFY(session.compute(0).ok);
    QCOMPARE(session.summary(0)[1][8], u"5"_s);
    QCOMPARE(session.summary(0)[2][8], u"4"_s);
    QCOMPARE(readBytes(folder + u"/6a/Odpowiedzi.tmp"_s),
             QByteArray("L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3;\r\n1;A01;T;1;2;2;\r\n2;A02;T;0;1;3;\r\n"
                        "3;A03;T;-;0;0;\r\n4;A04;N;-;-;-;"));
    const QByteArray choices = "A01;B;PF;\r\nA02;C;PP;\r\nA03;;X-;\r\nA04;;;\r\n";
    QCOMPARE(readBytes(folder + u"/6a/Wybory.tmp"_s), choices);

    // Opened anew, the page shows the symbols where they are known, the points elsewhere.
    SchoolSession reopened;
    QVERIFY(reopened.openSchool(folder).ok);
    QVERIFY(reopened.loadClassPage(0).notices.isEmpty());
    QCOMPARE(reopened.scoreSheet(0)[1].mid(3), (QStringList{u"B"_s, u"PF"_s, u"2"_s}));
    QCOMPARE(reopened.scoreSheet(0)[3].mid(3), (QStringList{u"-"_s, u"X-"_s, u"0"_s}));

    // A symbol outside the answers, or a part too many, is refused naming the pupil and the task.
    sheet = reopened.scoreSheet(0);
    sheet[1][3] = u"E"_s;
    sheet[2][4] = u"PFP"_s;
    reopened.putScores(0, sheet);
    const ComputeOutcome refused = reopened.compute(0);
    QCOMPARE(refused.badPupilCount, 2);
    QVERIFY(refused.notices.value(0).text.startsWith(
        u"Dla ucznia o kodzie A01, w zadaniu Zad.1 wprowadzono złą odpowiedź „E”!"_s));
    QVERIFY(refused.notices.value(1).text.contains(u"A02, w zadaniu Zad.2"_s));
    QCOMPARE(readBytes(folder + u"/6a/Wybory.tmp"_s), choices);

    // Symbols that would give other points than the answers file holds: the points stay.
    writeBytes(folder + u"/6a/Wybory.tmp"_s, "A01;D;PF;\r\nA02;C;PP;\r\nA03;;X-;\r\nA04;;;\r\n");
    const Outcome damaged = reopened.loadClassPage(0);
    QCOMPARE(damaged.notices.size(), 1);
    QVERIFY(damaged.notices.first().text.contains(u"Wybory.tmp"_s));
    QCOMPARE(reopened.scoreSheet(0)[1].mid(3), (QStringList{u"1"_s, u"2"_s, u"2"_s}));
}

QTEST_GUILESS_MAIN(TestSchoolSession)
#include "tst_schoolsession.moc"

// Two classes of seven: the school analysis gives the "Szkoła" page's mean of the classes with the
// page's very digits, beside the mean of all the pupils.
void TestSchoolSession::schoolPageAndAnalysisAgree()
{
    QTemporaryDir location;
    SchoolSession session;
    session.setLocation(location.path());
    session.chooseTest(fixtures + u"/Setup.ini"_s);
    const QString folder = location.filePath(u"Szkoła"_s);
    QVERIFY(session.setUpNewSchool(folder, setupOf({u"6a"_s, u"6b"_s}, {u"7"_s, u"7"_s}), {7, 7}).ok);
    for (int c = 0; c < 2; ++c) {
        session.loadClassPage(c);
        session.putScores(c, typedSheet(session, c, -1));
        QVERIFY(session.compute(c).ok);
    }
    QVERIFY(session.loadSchoolPage().notices.isEmpty());
    const GridRows &page = session.schoolStandards();
    const auto asShown = [](QString text) { return text.replace(u'.', u','); };
    const QString pageMean = asShown(page.value(page.size() - 2).value(8));
    const QString pageFacility = asShown(page.value(page.size() - 1).value(8));
    QVERIFY(!pageMean.isEmpty() && !pageFacility.isEmpty());

    Outcome outcome;
    const std::optional<StaffMeetingAnalysis> analysis = session.analysis(-1, &outcome, {});
    QVERIFY(analysis);
    const auto rowOf = [](const ReportTable &table, const QString &caption) {
        for (const ReportRow &row : table.rows) {
            if (documentText(row.cells.value(0)) == caption)
                return row.cells;
        }
        return QList<ReportCell>();
    };
    const ReportTable totals = totalsTable(analysis->report);
    QCOMPARE(documentText(rowOf(totals, classMeansCaption()).value(1)), pageMean);
    const QString pupilsMean = documentText(rowOf(totals, meanCaption(true)).value(1));
    // Here the two differ in the hundredths, which is why the analysis names both.
    QVERIFY2(pupilsMean != pageMean, qPrintable(pupilsMean));

    const QList<ReportCell> side =
        rowOf(classesTable(analysis->report, analysis->settings), classMeansCaption());
    QCOMPARE(documentText(side.value(3)), pageMean);
    QCOMPARE(documentText(side.value(8)), pageFacility);
}
