// The workbook's school session without any window: a school set up, typed, computed and saved
// gives the whole road's files byte for byte, and what an operation has to say comes out in order.
#include "core/errors.h"
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
    QCOMPARE(
        texts(computed),
        QStringList{u"Nie mogę zapisać pliku! Nie zapisano: Odpowiedzi.tmp, Zadania.tmp, Standardy.tmp."_s});
    QCOMPARE(computed.notices.first().kind, Notice::Kind::FileError);
    QVERIFY(session.scoresModified(0));
    // Alone, the same failure is said as one file's.
    const Outcome saved = session.saveScores(0);
    QVERIFY(!saved.ok);
    QCOMPARE(texts(saved), QStringList{u"Nie mogę zapisać pliku!"_s});
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

QTEST_GUILESS_MAIN(TestSchoolSession)
#include "tst_schoolsession.moc"
