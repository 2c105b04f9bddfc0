// A school folder on a real disk, without a window: what it reads of its classes and their
// analyses, and that nothing it writes or reads leaves the folder or half-reads a damaged file.
#include "files/statisticsfile.h"
#include "school/recentschools.h"
#include "school/schoolfolder.h"
#include "tests/support/builders.h"
#include "tests/support/filebytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSchoolFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void classResultsOrWhyNot();
    void schoolAnalysisFromWhatCanBeRead();
    void schoolFileAndStatistics();
    void damagedAndOutsideFilesRefused();
    void filesKeptUnderAnotherTest();
    void spreadsheetsMadeAnewFromTheirReports();
    void recentSchools();

private:
    SchoolFolder folder() const { return SchoolFolder(m_dir->path(), m_labels, {2, 2, 1}); }
    QString classFile(int classIndex) const
    {
        return folder().paths().classFile(classIndex, schoolfiles::answers);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    const QStringList m_labels{u"Klasa 8a"_s, u"Klasa 8b"_s, u"Klasa 8c"_s};
    // Three tasks worth 1, 2 and 4 points in standards 1, 1 and 2; the whole test worth 7.
    const TestDefinition m_test = build::testOf({1, 2, 4})
                                      .labelled(u"Zad."_s)
                                      .inStandards(2, {1, 1, 2})
                                      .allClosed()
                                      .total(7)
                                      .standardMaxima({3, 4})
                                      .standardNames({u"Czyt."_s, u"Pis."_s}, {u"Czytanie"_s, u"Pisanie"_s});
};

void TestSchoolFolder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const QString &label : m_labels)
        QVERIFY(QDir(m_dir->path()).mkdir(label));
    QVERIFY(QDir(m_dir->path()).mkdir(u"Szkoła"_s));
    // 8a: both present (7 and 2 points); 8b: no answers file yet; 8c: 3 points in a 1-point task.
    QVERIFY(writeBytes(classFile(0), build::answersFile(3, {u"A1;T;1;2;4"_s, u"A2;T;0;2;0"_s})));
    QVERIFY(writeBytes(classFile(2), build::answersFile(3, {u"C1;T;3;0;0"_s})));
}

void TestSchoolFolder::classResultsOrWhyNot()
{
    QString note;
    const std::optional<ClassResults> a = folder().classResults(0, m_test, &note);
    QVERIFY(a);
    QCOMPARE(a->label, u"Klasa 8a"_s);
    QCOMPARE(a->pupils.size(), 2);
    QCOMPARE(a->pupils[0].code, u"A1"_s);
    QCOMPARE(a->pupils[0].taskPoints, (QList<qint32>{1, 2, 4}));
    QCOMPARE(a->pupils[1].taskPoints, (QList<qint32>{0, 2, 0}));

    QVERIFY(!folder().classResults(1, m_test, &note));
    QVERIFY2(note.contains(u"nie ma jeszcze zapisanych wyników"_s), qPrintable(note));
    note.clear();
    QVERIFY(!folder().classResults(2, m_test, &note));
    QVERIFY2(note.contains(u"Klasa 8c"_s) && note.contains(u"Oblicz"_s), qPrintable(note));

    // Only the classes whose files can be used have a sheet in the school's spreadsheet; 8c's file
    // is whole, so its pupils are listed as the file holds them.
    const QList<ClassSheetInput> sheets = folder().classSheetInputs(m_test);
    QCOMPARE(sheets.size(), 2);
    QCOMPARE(sheets[0].label, u"Klasa 8a"_s);
    QCOMPARE(sheets[1].label, u"Klasa 8c"_s);
    QCOMPARE(sheets[0].answers.size(), 3);
}

void TestSchoolFolder::schoolAnalysisFromWhatCanBeRead()
{
    // The school's own figure for the whole test wins over Setup.ini's; Setup.ini gives the rest.
    const QString comparison = folder().paths().file(schoolfiles::comparison);
    QVERIFY(writeBytes(comparison, "[PorownanieKraj]\r\nTest=0,5\r\n"));
    const QString setup = m_dir->filePath(u"Setup.ini"_s);
    QVERIFY(writeBytes(setup, "[PorownanieKraj]\r\nZadanie1=0,25\r\nTest=0,9\r\n"));

    QStringList problems;
    const std::optional<StaffMeetingAnalysis> school = folder().analysis(-1, m_test, setup, &problems);
    QVERIFY(school);
    QVERIFY(school->report.school);
    // 8b and 8c are left out, each with its reason in the classes' order (they are read several at
    // a time); the school is 8a's two pupils.
    QCOMPARE(school->report.notes.size(), 2);
    QVERIFY(school->report.notes[0].contains(u"Klasa 8b"_s));
    QVERIFY(school->report.notes[1].contains(u"Klasa 8c"_s));
    QCOMPARE(school->classes.size(), 1);
    QCOMPARE(school->report.overall.totals.present, 2);
    QCOMPARE(school->report.overall.totals.mean, 4.5);
    QCOMPARE(school->comparison.wholeTest[0], std::optional<double>(0.5));
    QCOMPARE(school->comparison.tasks[0][0], std::optional<double>(0.25));

    // A class's analysis ranks its pupils among every class that can be read; without the ranks
    // in the school (as Save makes its sheet) no other class is read.
    const std::optional<StaffMeetingAnalysis> a = folder().analysis(0, m_test, setup, &problems);
    QVERIFY(a);
    QCOMPARE(a->schoolClasses.size(), 1);
    QCOMPARE(folder().analysis(0, m_test, setup, &problems, false)->schoolClasses.size(), 0);

    // Cancelled while the classes are read: the step ends, every reader with it.
    int reports = 0;
    QVERIFY_THROWS_EXCEPTION(StepCancelled,
                             folder().analysis(-1, m_test, setup, &problems, true, [&](qint64, qint64) {
                                 if (++reports == 2)
                                     throw StepCancelled(u"Przerwano."_s);
                             }));

    // A class that cannot be analysed says why, and its sheet says it in its place.
    QVERIFY(!folder().analysis(1, m_test, setup, &problems));
    QVERIFY(problems.last().contains(u"Klasa 8b"_s));
    const QList<Sheet> sheet = folder().analysisSheets(1, m_test, setup);
    QCOMPARE(sheet.size(), 1);
}

void TestSchoolFolder::schoolFileAndStatistics()
{
    ReadStatus status = ReadStatus::Ok;
    // No Szkola.ini yet: its defaults, and the folder says it was missing.
    QCOMPARE(folder().readSchoolFile(&status).classCount(), 1);
    QCOMPARE(status, ReadStatus::Missing);

    SchoolSetup setup{3, build::schoolHeadings, m_labels, {u"2"_s, u"2"_s, u"1"_s}};
    QCOMPARE(folder().writeSchoolFile(setup), WriteStatus::Ok);
    QCOMPARE(readBytes(folder().paths().file(schoolfiles::setup)),
             build::schoolIni(3, m_labels, setup.pupilTexts));
    const SchoolFileReader reader = folder().readSchoolFile(&status);
    QCOMPARE(status, ReadStatus::Ok);
    QCOMPARE(reader.classCount(), 3);
    QCOMPARE(reader.label(3), u"Klasa 8c"_s);

    // Only the first valueCount columns are written: the grid may be wider than the test.
    const QString tasks = folder().paths().classFile(0, schoolfiles::taskStatistics);
    QCOMPARE(folder().writeStatistics(tasks, {{3.5f, 1.0f, 2.0f}, {0.5f, 1.0f, 0.25f}}, 2), WriteStatus::Ok);
    QCOMPARE(readBytes(tasks), QByteArray("3.50;1.00;\r\n0.50;1.00;"));
    QCOMPARE(folder().readStatistics(tasks, 2),
             std::optional<GridRows>(GridRows{{u"3.50"_s, u"1.00"_s}, {u"0.50"_s, u"1.00"_s}}));
}

void TestSchoolFolder::damagedAndOutsideFilesRefused()
{
    ReadStatus status = ReadStatus::Ok;
    // Far more rows than a class of two has: refused without being half read.
    QVERIFY(writeBytes(classFile(0), QByteArray(200000, ';')));
    QVERIFY(!folder().readGrid(classFile(0), 3, 6, &status));
    QCOMPARE(status, ReadStatus::Failed);
    QVERIFY(!folder().readStatistics(classFile(0), 6));

    // A class folder linked out of the school: nothing is written there or read from it.
    QTemporaryDir outside;
    QVERIFY(writeBytes(outside.filePath(u"Odpowiedzi.tmp"_s), "obcy plik"));
    QVERIFY(QDir(m_dir->path()).rmdir(u"Klasa 8b"_s));
    QVERIFY(QFile::link(outside.path(), m_dir->filePath(u"Klasa 8b"_s)));
    QCOMPARE(folder().writeGrid(classFile(1), {{u"L.p."_s}}), WriteStatus::OutsideSchool);
    QCOMPARE(readBytes(outside.filePath(u"Odpowiedzi.tmp"_s)), QByteArray("obcy plik"));
    QVERIFY(!folder().readGrid(classFile(1), 3, 6, &status));
    QCOMPARE(status, ReadStatus::OutsideSchool);
    QString note;
    QVERIFY(!folder().classResults(1, m_test, &note));
    QVERIFY2(note.contains(u"dowiązaniem symbolicznym"_s), qPrintable(note));
}

void TestSchoolFolder::filesKeptUnderAnotherTest()
{
    // Under its own test every file fits; a test of two tasks would drop 8a's third, and one of four
    // tasks is not the test the points were typed under.
    QVERIFY(folder().misfits(m_test).isEmpty());
    const QList<FileMisfit> narrower = folder().misfits(build::testOf({1, 2}));
    QCOMPARE(narrower.size(), 2);
    QCOMPARE(narrower[0].path, classFile(0));
    QCOMPARE(narrower[0].heldTasks, 3);
    QCOMPARE(misfitMessage(narrower[0], build::testOf({1, 2}).named(u"Próbny"_s, u"2026-11-20"_s)),
             u"Plik „%1” zawiera wyniki 3 zadań, a test „Próbny” ma 2 zadań."_s.arg(classFile(0)));
    QCOMPARE(folder().misfits(build::testOf({1, 2, 4, 1})).size(), 2);
    // Read for the page, a narrower file leaves cells empty and loses nothing; a wider one would.
    QVERIFY(!folder().gridMisfit(classFile(0), 3, 7, 3));
    QVERIFY(folder().gridMisfit(classFile(0), 3, 5, 3));
    // A pupil beyond the class's size is a misfit; an empty line beyond it is not.
    QVERIFY(writeBytes(classFile(2), build::answersFile(3, {u"C1;T;1;0;0"_s, u"-;T;-;-;-"_s})));
    QVERIFY(!folder().gridMisfit(classFile(2), 2, 6, 3));
    QVERIFY(writeBytes(classFile(2), build::answersFile(3, {u"C1;T;1;0;0"_s, u"C2;N;-;-;-"_s})));
    const std::optional<FileMisfit> extraPupil = folder().gridMisfit(classFile(2), 2, 6, 3);
    QVERIFY(extraPupil);
    QCOMPARE(extraPupil->rowsBeyond, 1);
    QCOMPARE(extraPupil->heldTasks, 0);
    // The analysis leaves such a class out rather than count wrong figures.
    QString note;
    QVERIFY(!folder().classResults(0, build::testOf({1, 2}), &note));
    QVERIFY2(note.contains(u"zawiera wyniki 3 zadań"_s), qPrintable(note));

    QVERIFY(holdsSchoolFiles(m_dir->path()));
    QTemporaryDir empty;
    QVERIFY(QDir(empty.path()).mkpath(u"Szkoła"_s));
    QVERIFY(!holdsSchoolFiles(empty.path()));
}

void TestSchoolFolder::spreadsheetsMadeAnewFromTheirReports()
{
    const QString spreadsheet = folder().paths().classFile(0, schoolfiles::classSpreadsheet);
    const QString report = folder().paths().classFile(0, schoolfiles::classReport);
    QVERIFY(writeBytes(spreadsheet, "zapisany wcześniej"));
    // Without its report, or with one cut short, the file cannot be made as Save made it: it stays.
    QCOMPARE(folder().refreshAnalysisSheets(m_test), QStringList());
    QCOMPARE(readBytes(spreadsheet), QByteArray("zapisany wcześniej"));
    ReportContent content;
    content.testName = u"Próbny"_s;
    content.firstCaption = u"Wyniki uczniów:"_s;
    content.firstGrid = {{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Zad.1"_s},
                         {u"1"_s, u"A1"_s, u"T"_s, u"1"_s}};
    content.secondCaption = u"Wyniki uczniów - podsumowanie:"_s;
    QVERIFY(writeBytes(report, reportBytes(content).chopped(2)));
    QCOMPARE(folder().refreshAnalysisSheets(m_test), QStringList());
    QCOMPARE(readBytes(spreadsheet), QByteArray("zapisany wcześniej"));

    // With it, the file is made anew; a class or the school without a spreadsheet file gets none.
    QVERIFY(writeBytes(report, reportBytes(content)));
    QCOMPARE(folder().refreshAnalysisSheets(m_test), QStringList());
    QVERIFY(readBytes(spreadsheet).startsWith("PK"));
    QVERIFY(!QFile::exists(folder().paths().classFile(1, schoolfiles::classSpreadsheet)));
    const QString school = folder().paths().schoolFile(schoolfiles::schoolSpreadsheet);
    QVERIFY(!QFile::exists(school));

    // A file that cannot be replaced is named, relative to the school folder.
    QVERIFY(writeBytes(folder().paths().schoolFile(schoolfiles::schoolReport), reportBytes(content)));
    QVERIFY(QDir().mkdir(school));
    QCOMPARE(folder().refreshAnalysisSheets(m_test), QStringList{u"Szkoła/Podsumowanie wyników.xlsx"_s});
}

void TestSchoolFolder::recentSchools()
{
    QTemporaryDir settingsDir;
    const QString settings = settingsDir.filePath(u"Sondaryk.conf"_s);
    QTemporaryDir schools;
    QStringList folders;
    for (int i = 0; i < 10; ++i) {
        folders.append(schools.filePath(u"Szkoła %1"_s.arg(i)));
        QVERIFY(QDir().mkpath(folders.last()));
        QVERIFY(writeBytes(folders.last() + u"/Szkola.ini"_s, build::schoolIni(1, {}, {}, {})));
    }
    QVERIFY(recentschools::load(settings).isEmpty());
    for (const QString &folder : std::as_const(folders))
        recentschools::remember(settings, folder);
    // Newest first, at most eight; opened again, a school moves to the top once.
    QCOMPARE(recentschools::remember(settings, folders[5] + u"/"_s),
             (QStringList{folders[5], folders[9], folders[8], folders[7], folders[6], folders[4], folders[3],
                          folders[2]}));
    QCOMPARE(recentschools::load(settings).size(), recentschools::maxKept);

    // A school gone is said once and left out of the list kept.
    QVERIFY(QFile::remove(folders[8] + u"/Szkola.ini"_s));
    QVERIFY(QDir(folders[3]).removeRecursively());
    const recentschools::Checked checked = recentschools::checkAndPrune(settings);
    QCOMPARE(checked.missing, (QStringList{folders[8], folders[3]}));
    QCOMPARE(checked.existing.size(), 6);
    QCOMPARE(recentschools::load(settings), checked.existing);
    QVERIFY(recentschools::checkAndPrune(settings).missing.isEmpty());
}

QTEST_GUILESS_MAIN(TestSchoolFolder)
#include "tst_schoolfolder.moc"
