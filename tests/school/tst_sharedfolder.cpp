// Two computers on one school folder, as two sessions on one temporary folder with real files: each
// order of loading, typing and saving; the lock of a class being typed, and one left behind; a
// share that goes away while saving; a school that can only be read.
#include "school/schoolsession.h"
#include "school/sharedfolder.h"
#include "tests/support/filebytes.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString fixtures = QStringLiteral(SONDARYK_ROAD_FIXTURES);

QStringList texts(const Outcome &outcome)
{
    QStringList said;
    for (const Notice &notice : outcome.notices)
        said.append(notice.text);
    return said;
}

// Pupil p's points in every task: the same value, so that two teachers' sheets differ plainly.
GridRows sheetWith(const SchoolSession &session, int classIndex, int points)
{
    GridRows sheet = session.newScoreSheet(classIndex);
    for (int p = 1; p < sheet.size(); ++p) {
        sheet[p][1] = u"K%1"_s.arg(p);
        for (int t = 0; t < session.test().taskCount; ++t)
            sheet[p][t + 3] = QString::number(qMin(points, session.test().taskMaxPoints[t]));
    }
    return sheet;
}

// The first computer sets the school up (two classes of three), the second opens it.
struct TwoComputers {
    QTemporaryDir location;
    QString folder = location.filePath(u"Szkoła"_s);
    SchoolSession first;
    SchoolSession second;

    bool setUp()
    {
        SchoolSetup setup;
        setup.classCount = 2;
        setup.headings = QStringList{u"L.p."_s, u"Klasa"_s, u"Liczba uczniów"_s};
        setup.labels = QStringList{u"6a"_s, u"6b"_s};
        setup.pupilTexts = QStringList{u"3"_s, u"3"_s};
        first.setLocation(location.path());
        first.chooseTest(fixtures + u"/Setup.ini"_s);
        return first.setUpNewSchool(folder, setup, {3, 3}).ok && second.openSchool(folder).ok;
    }
    QString classFile(const QString &name) const { return folder + u"/6a/"_s + name; }
};

} // namespace

class TestSharedFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void noSaveOverwritesAnotherComputers();
    void theSchoolPageAsksToo();
    void aLockSaysWhoTypes();
    void aLockLeftBehindIsTakenOverQuietly();
    void aShareThatGoesAwayWhileSaving();
    void aSchoolForReadingOnly();
    void failuresSayWhy();
};

void TestSharedFolder::noSaveOverwritesAnotherComputers()
{
    TwoComputers school;
    QVERIFY(school.setUp());
    // Both open the class before either saves; the first saves, then the second.
    school.first.loadClassPage(0);
    school.second.loadClassPage(0);
    school.first.putScores(0, sheetWith(school.first, 0, 1));
    QVERIFY(school.first.compute(0).ok);
    const QByteArray firstSaved = readBytes(school.classFile(u"Odpowiedzi.tmp"_s));
    school.second.putScores(0, sheetWith(school.second, 0, 2));
    for (const Outcome &refused :
         {Outcome(school.second.compute(0)), school.second.saveScores(0), school.second.saveClass(0)}) {
        QVERIFY(!refused.ok);
        QVERIFY(
            refused.savedElsewhere.startsWith(u"Wyniki klasy 6a zapisano na innym komputerze (dziś o "_s));
        QCOMPARE(readBytes(school.classFile(u"Odpowiedzi.tmp"_s)), firstSaved);
    }
    QVERIFY(school.second.scoresModified(0));

    // "Zastąpić je moimi": the second's rows are written.
    school.second.keepMine(0);
    QVERIFY(school.second.compute(0).ok);
    const QByteArray secondSaved = readBytes(school.classFile(u"Odpowiedzi.tmp"_s));
    QVERIFY(secondSaved != firstSaved);

    // The first, typing on, is asked in turn; "Wczytać tamte wyniki" shows the second's rows.
    school.first.putScores(0, sheetWith(school.first, 0, 0));
    QVERIFY(!school.first.saveScores(0).savedElsewhere.isEmpty());
    school.first.loadClassPage(0);
    QCOMPARE(school.first.scoreSheet(0), school.second.scoreSheet(0));
    QVERIFY(!school.first.scoresModified(0));
    QCOMPARE(readBytes(school.classFile(u"Odpowiedzi.tmp"_s)), secondSaved);

    // Opened after the other's save, a page saves without a question; the same bytes saved again by
    // another are no change either.
    school.second.loadClassPage(0);
    QVERIFY(school.first.saveScores(0).ok);
    QVERIFY(school.second.saveScores(0).ok);
    // The other class is its own.
    school.first.loadClassPage(1);
    school.first.putScores(1, sheetWith(school.first, 1, 1));
    QVERIFY(school.first.compute(1).ok);
}

void TestSharedFolder::theSchoolPageAsksToo()
{
    TwoComputers school;
    QVERIFY(school.setUp());
    school.first.loadClassPage(0);
    school.first.putScores(0, sheetWith(school.first, 0, 1));
    QVERIFY(school.first.compute(0).ok);
    QVERIFY(texts(school.second.loadSchoolPage()).isEmpty());
    // The first computes the other class while the second's school page is open.
    school.first.loadClassPage(1);
    school.first.putScores(1, sheetWith(school.first, 1, 2));
    QVERIFY(school.first.compute(1).ok);
    const Outcome refused = school.second.saveSchool(QByteArray("PK"));
    QVERIFY(refused.savedElsewhere.startsWith(u"Wyniki klasy 6b zapisano na innym komputerze"_s));
    QVERIFY(!QFileInfo::exists(school.folder + u"/Szkoła/Szkola.tmp"_s));
    // Loaded anew, the page has both classes and saves.
    QVERIFY(texts(school.second.loadSchoolPage()).isEmpty());
    QVERIFY(school.second.saveSchool(QByteArray("PK")).ok);
    // A class folder gone: the page names the classes its figures leave out, and why.
    QVERIFY(QDir(school.folder + u"/6b"_s).removeRecursively());
    QCOMPARE(texts(school.second.loadSchoolPage()),
             QStringList{u"Wyniki szkoły policzono bez klas: 6b (brak katalogu klasy)."_s});
    // A file that holds no results is no one's work: written over without a question.
    QVERIFY(writeBytes(school.classFile(u"Odpowiedzi.tmp"_s), "to nie są wyniki"));
    school.first.putScores(0, sheetWith(school.first, 0, 2));
    QVERIFY(school.first.saveScores(0).ok);
}

void TestSharedFolder::aLockSaysWhoTypes()
{
    TwoComputers school;
    QVERIFY(school.setUp());
    school.first.loadClassPage(0);
    school.second.loadClassPage(0);
    QVERIFY(school.second.typingElsewhere(0).isEmpty());
    QVERIFY(school.first.startTyping(0).isEmpty());
    QVERIFY(school.first.holdsLock(0));
    const QByteArray lock = readBytes(school.classFile(u"Blokada.ini"_s));
    QVERIFY(lock.startsWith("[Kto]\r\nKomputer=" + QSysInfo::machineHostName().toUtf8() + "\r\n"));

    // The second computer opening the class is told who types it, and typing there it is told once.
    school.second.loadClassPage(0);
    const QString asked = school.second.typingElsewhere(0);
    QVERIFY2(asked.startsWith(u"Klasę 6a wpisuje teraz "_s), qPrintable(asked));
    QVERIFY(asked.contains(u" na komputerze %1 od "_s.arg(QSysInfo::machineHostName())));
    QVERIFY(!school.second.startTyping(0).isEmpty());
    QVERIFY(school.second.startTyping(0).isEmpty());
    QCOMPARE(readBytes(school.classFile(u"Blokada.ini"_s)), lock);
    // For reading only: nothing is written on the page.
    school.second.openForReadingOnly(0, asked.section(u'\n', 0, 0));
    QVERIFY(school.second.pageBlock()->chosen);
    QVERIFY(!school.second.saveClass(0).ok);

    // Taken over, the lock is the second's; the first's leaving does not remove it, the second's does.
    school.second.loadClassPage(0);
    school.second.takeOverTyping(0);
    QVERIFY(readBytes(school.classFile(u"Blokada.ini"_s)) != lock);
    QVERIFY(!school.first.typingElsewhere(0).isEmpty());
    school.first.leavePages();
    QVERIFY(QFileInfo::exists(school.classFile(u"Blokada.ini"_s)));
    school.second.putScores(0, sheetWith(school.second, 0, 1));
    QVERIFY(school.second.compute(0).ok);
    QVERIFY(!QFileInfo::exists(school.classFile(u"Blokada.ini"_s)));

    // Left without saving, or on the program's end, the lock goes.
    school.first.loadClassPage(1);
    school.first.startTyping(1);
    QVERIFY(QFileInfo::exists(school.folder + u"/6b/Blokada.ini"_s));
    school.first.loadClassPage(0);
    QVERIFY(!QFileInfo::exists(school.folder + u"/6b/Blokada.ini"_s));
    school.first.startTyping(0);
    school.first.stopAllTyping();
    QVERIFY(!QFileInfo::exists(school.classFile(u"Blokada.ini"_s)));
}

void TestSharedFolder::aLockLeftBehindIsTakenOverQuietly()
{
    TwoComputers school;
    QVERIFY(school.setUp());
    const QDateTime now = QDateTime::currentDateTime();
    Worker ended = thisWorker(u"ended"_s);
    // A process of this computer that no longer runs: a child that has exited.
    QProcess child;
    child.start(u"true"_s);
    QVERIFY(child.waitForFinished());
    ended.process = child.processId() > 0 ? child.processId() : 999999;
    Worker old = thisWorker(u"old"_s);
    old.computer = u"PC-INNY"_s;
    old.since = now.addDays(-2);
    Worker alive = old;
    alive.since = now.addSecs(-60);
    QVERIFY(!isStaleLock(alive, now));
    for (const Worker &left : {ended, old}) {
        QVERIFY(isStaleLock(left, now));
        QVERIFY(writeBytes(school.classFile(u"Blokada.ini"_s), workerNoteBytes(left)));
        school.second.loadClassPage(0);
        QVERIFY(school.second.typingElsewhere(0).isEmpty());
        QVERIFY(school.second.startTyping(0).isEmpty());
        QVERIFY(school.second.holdsLock(0));
        QVERIFY(readWorkerNote(school.second.school(), school.classFile(u"Blokada.ini"_s))->session !=
                left.session);
        school.second.stopAllTyping();
        QVERIFY(!QFileInfo::exists(school.classFile(u"Blokada.ini"_s)));
    }
    // Another computer's lock of a minute ago is someone typing.
    QVERIFY(writeBytes(school.classFile(u"Blokada.ini"_s), workerNoteBytes(alive)));
    school.second.loadClassPage(0);
    QVERIFY(school.second.typingElsewhere(0).contains(u"na komputerze PC-INNY od "_s));
}

void TestSharedFolder::aShareThatGoesAwayWhileSaving()
{
    TwoComputers school;
    QVERIFY(school.setUp());
    school.first.loadClassPage(0);
    const GridRows typed = sheetWith(school.first, 0, 1);
    school.first.putScores(0, typed);
    QVERIFY(school.first.compute(0).ok);
    school.first.putScores(0, sheetWith(school.first, 0, 2));
    // The class folder is removed (the share went away) while the page is open.
    QVERIFY(QDir(school.folder + u"/6a"_s).removeRecursively());
    const ComputeOutcome failed = school.first.compute(0);
    QVERIFY(!failed.ok);
    QVERIFY(failed.savedElsewhere.isEmpty());
    const QString said = texts(failed).join(u'\n');
    QVERIFY2(said.startsWith(u"Nie mogę zapisać pliku! Nie zapisano: Odpowiedzi.tmp"_s), qPrintable(said));
    QVERIFY2(said.contains(u"6a” nie ma: usunięto go albo udział sieciowy z wynikami jest niedostępny."_s),
             qPrintable(said));
    // Nothing lost: the rows are still the page's, unsaved.
    QCOMPARE(school.first.scoreSheet(0), sheetWith(school.first, 0, 2));
    QVERIFY(school.first.scoresModified(0));

    // The other computer opening the school is told, and may make the folder anew.
    QCOMPARE(school.second.missingClassFolders(school.folder), QStringList{u"6a"_s});
    QVERIFY(texts(school.second.loadClassPage(0)).value(0).startsWith(u"Katalogu klasy 6a ("_s));
    QVERIFY(school.second.makeMissingClassFolders().ok);
    QVERIFY(school.second.missingClassFolders(school.folder).isEmpty());
    // Back, the first page's rows are saved: a removed file is nobody's results to ask about.
    QVERIFY(school.first.compute(0).ok);
    school.second.loadClassPage(0);
    QCOMPARE(school.second.scoreSheet(0), sheetWith(school.first, 0, 2));
}

void TestSharedFolder::aSchoolForReadingOnly()
{
    if (::geteuid() != 0)
        QSKIP("mounting a read-only tmpfs needs root (the test command runs this test as root)");
    TwoComputers school;
    QVERIFY(school.setUp());
    school.first.loadClassPage(0);
    school.first.putScores(0, sheetWith(school.first, 0, 1));
    QVERIFY(school.first.compute(0).ok);
    QTemporaryDir mountPoint;
    QCOMPARE(QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"sondaryk-test"_s, mountPoint.path()}), 0);
    const QString copy = mountPoint.filePath(u"Szkoła"_s);
    QCOMPARE(QProcess::execute(u"cp"_s, {u"-a"_s, school.folder, copy}), 0);
    QCOMPARE(QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, mountPoint.path()}), 0);

    SchoolSession reader;
    const Outcome opened = reader.openSchool(copy);
    QVERIFY(opened.ok);
    QVERIFY(reader.readOnly());
    QVERIFY2(texts(opened).value(0).startsWith(u"Szkołę otwarto tylko do odczytu: Katalog „"_s),
             qPrintable(texts(opened).join(u'\n')));
    reader.loadClassPage(0);
    QVERIFY(reader.pageBlock() && reader.pageBlock()->chosen);
    QCOMPARE(reader.scoreSheet(0), school.first.scoreSheet(0));
    QVERIFY(reader.startTyping(0).isEmpty());
    QVERIFY(!reader.holdsLock(0));
    QVERIFY(reader.loadSchoolPage().notices.isEmpty());
    QVERIFY(!QFileInfo::exists(copy + u"/Szkoła/Zadania.tmp"_s));
    QProcess::execute(u"umount"_s, {u"-l"_s, mountPoint.path()});
}

void TestSharedFolder::failuresSayWhy()
{
    QTemporaryDir dir;
    const QString gone = dir.filePath(u"nie ma/plik.tmp"_s);
    QVERIFY(writeFailureCause(gone).startsWith(u"Katalogu „"_s));
    const QString file = dir.filePath(u"plik.tmp"_s);
    QVERIFY(writeFailureCause(file, EROFS).contains(u"jest tylko do odczytu"_s));
    QVERIFY(writeFailureCause(file, EACCES).contains(u"jest tylko do odczytu"_s));
    QVERIFY(writeFailureCause(file, ENOSPC).contains(u"zabrakło miejsca"_s));
    QVERIFY(QDir(dir.path()).mkdir(u"plik.tmp"_s));
    QVERIFY(writeFailureCause(file).startsWith(u"W miejscu pliku „"_s));
    QCOMPARE(folderWriteError(dir.path()), 0);
    QCOMPARE(folderWriteError(dir.filePath(u"nie ma"_s)), ENOENT);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "tst_sharedfolder.moc"
