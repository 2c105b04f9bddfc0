// The results workbook's model: where a new school goes and which test it gets, the school that is
// open with its test, its classes and their typed sheets, what is saved, and the school page's
// figures. The workbook window shows what this holds and hands the teacher's edits back; every
// operation returns what there is to tell the teacher instead of showing it.
#pragma once

#include "analysis/classchoices.h"
#include "analysis/testdefinition.h"
#include "core/progress.h"
#include "files/csvimport.h"
#include "files/gridfile.h"
#include "files/schoolfile.h"
#include "school/outcome.h"
#include "school/schoolfolder.h"
#include "school/sharedfolder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace sessionsteps {
class Writes;
}

// A page whose work file does not fit the test: it is shown empty and nothing is computed or saved
// on it. offeredTest: the school's own Setup.ini holds another test, which the teacher may reopen it
// with.
struct PageBlock {
    QString reasons;
    std::optional<TestDefinition> offeredTest;
    // The teacher chose to only read the page (or the school's folder cannot be written): nothing
    // more to say about it.
    bool chosen = false;
};

// The school there already is where a new school would be set up.
struct ExistingSchool {
    bool hasSchoolFile = false;
    int classCount = 0;
};

// The outcome of Compute on a class's sheet: each wrong pupil's message, and how many there were.
struct ComputeOutcome : Outcome {
    qint32 badPupilCount = 0;
};

// The texts above the grids, also the report's captions.
QString setupPageCaption();
QString classPageCaption(const QString &classLabel);
QString schoolPageCaption();
QString summaryCaption();
// "„nazwa”, data – zadań: 25, punktów: 40"
QString testSummary(const TestDefinition &test);

class SchoolSession
{
public:
    // A session with no school open yet: new schools go into the home folder.
    SchoolSession();

    // Where a new school's folder is made, as chosen on the setup page.
    const QString &location() const { return m_location; }
    void setLocation(const QString &folder) { m_location = folder; }

    // The open school; schoolDirectory() is empty while there is none.
    bool isOpen() const { return !m_folder.root().isEmpty(); }
    const QString &schoolDirectory() const { return m_folder.root(); }
    const SchoolFolder &school() const { return m_folder; }
    const SchoolPaths &paths() const { return m_folder.paths(); }
    int classCount() const { return m_folder.classCount(); }
    const QStringList &classLabels() const { return m_folder.classLabels(); }
    const QList<qint32> &pupilCounts() const { return m_folder.pupilCounts(); }

    // The test the pages are laid out for: the open school's own, before that the one a new school
    // gets.
    const TestDefinition &test() const { return m_test; }
    const TestDefinition &newSchoolTest() const { return m_chosenTest; }
    // The file the test in use is kept in: the school's Setup.ini, or the one chosen for a new school.
    QString testIniPath() const;
    // The file at path is the test of the next new school (and of the pages while none is open); its
    // problems are said.
    Outcome chooseTest(const QString &path);
    // A test as edited (or given by a test of the program) for the next new school, with the bytes
    // of its file; without them it is written out from the definition unless it is the chosen
    // file's test as read.
    void useNewSchoolTest(const TestDefinition &test, const QByteArray &bytes = {});
    // What a new school's Setup.ini holds: the chosen file's own bytes, comments kept, while the test
    // is that file's as read.
    QByteArray newSchoolTestBytes() const;
    // The test file the definition window starts from: the school's own, or the new school's.
    QByteArray definitionBytes() const;
    // Points typed under the school's test keep their meaning: its definition is then only shown.
    bool testLocked() const;
    // The school's Setup.ini replaced by an edited definition; the pages follow it.
    Outcome replaceTest(const QByteArray &windows1250Bytes);

    // Szkola.ini of the open school, or before one of the chosen location, as the setup page shows it.
    SchoolSetup readSchoolFile(Outcome *outcome) const;
    ExistingSchool existingSchoolAt(const QString &folder) const;
    // A new school in folder: its folders, Szkola.ini as the setup page lists the classes, and its
    // copy of the test. Nothing is set up when one of them cannot be made.
    Outcome setUpNewSchool(const QString &folder, const SchoolSetup &setup, const QList<qint32> &counts);
    // A folder holding a school's files gets only a new Szkola.ini (and its test's copy when it had
    // none and its files fit the chosen test).
    Outcome replaceSchoolDescription(const QString &folder, const SchoolSetup &setup,
                                     const QList<qint32> &counts);
    // A saved school opened with its own test, without writing anything but a missing test's copy.
    Outcome openSchool(const QString &folder);
    // The classes whose folders are gone from the school at folder, as its Szkola.ini lists them.
    QStringList missingClassFolders(const QString &folder) const;
    // The open school's missing class folders made anew, empty.
    Outcome makeMissingClassFolders();
    // Nothing can be written in the open school's folder (said when it was opened): every page is
    // for reading only.
    bool readOnly() const { return m_readOnly; }

    // Several computers on one school folder. Typing began on a class page: the class folder's lock
    // says so to other computers. When someone else is typing there (their lock stays), the text
    // to tell the teacher, once a page; empty otherwise.
    QString startTyping(int classIndex);
    // Someone else typing the class loaded: the question to ask, empty when nobody is.
    QString typingElsewhere(int classIndex) const;
    // The teacher takes the class over from whoever typed it: the lock becomes this window's.
    void takeOverTyping(int classIndex);
    // The class page stays for reading only: nothing is written on it.
    void openForReadingOnly(int classIndex, const QString &why);
    // This window's lock removed: the page saved, left, or the program ending.
    void stopTyping(int classIndex);
    void stopAllTyping();
    bool holdsLock(int classIndex) const;
    // The page's files as they are on disk now are taken as read: the teacher's rows replace them
    // (classIndex -1: the school page).
    void keepMine(int classIndex);

    // A class's score sheet laid out for the test ("T" for every pupil) and its summary empty.
    GridRows newScoreSheet(int classIndex) const;
    GridRows newSummary(int classIndex) const;
    // The class page comes into view: its sheet from its answers file, its summary empty.
    Outcome loadClassPage(int classIndex);
    // Open on a class page: the answers file over the sheet as it stands. ok when it was read.
    Outcome reloadScores(int classIndex);
    const GridRows &scoreSheet(int classIndex) const;
    const GridRows &summary(int classIndex) const;
    // The teacher's edits, handed back as the sheet now stands; modified: not yet on disk.
    void putScores(int classIndex, const GridRows &sheet, bool modified = true);
    bool scoresModified(int classIndex) const;
    void markScoresSaved(int classIndex);
    // The setup page is in view: no class or school page is blocked.
    void leavePages()
    {
        m_block.reset();
        stopAllTyping();
    }
    // Why nothing may be written on the page last loaded, with what the teacher may do about it;
    // nullopt when all is well.
    const std::optional<PageBlock> &pageBlock() const { return m_block; }
    QString blockedMessage() const;

    // Compute: checks the class's points, refreshes its summary and, when every point is right,
    // writes its answers and statistics files.
    ComputeOutcome compute(int classIndex);
    qint32 badPupilCount() const { return m_badPupilCount; }
    // The answers file from the sheet as it stands (before the page is left, or the analysis made).
    Outcome saveScores(int classIndex);
    // Save on a class page: answers, the report and the spreadsheet file.
    Outcome saveClass(int classIndex);

    // The school page: every class's statistics beside each other, the school's means, and the
    // school's statistics files.
    Outcome loadSchoolPage();
    const GridRows &schoolTasks() const { return m_schoolTasks; }
    const GridRows &schoolStandards() const { return m_schoolStandards; }
    // Open on the school page: its summary file into the upper grid.
    Outcome reloadSchoolTasks();
    // Save on the school page. The spreadsheet file is made first, so that stopping it leaves every
    // file as it was; then the summary, the report and that file are written.
    std::optional<QByteArray> schoolSpreadsheet(const ProgressReport &progress) const;
    Outcome saveSchool(const std::optional<QByteArray> &spreadsheet);

    // The analysis of class classIndex, or of the school for -1, from the saved files.
    std::optional<StaffMeetingAnalysis> analysis(int classIndex, Outcome *outcome,
                                                 const ProgressReport &progress) const;
    // A class's results in a CSV file, as the import's preview reads it.
    std::optional<CsvTable> readImportFile(const QString &path, QString *problem) const;

    // The routines the work files are read and written by, on the session's sheets.
    Outcome writeGridFile(const GridRows &grid, const QString &path) const;
    // The file's cells over the sheet's; false when it was missing or could not be read, or does not
    // fit (the page is then blocked).
    bool readGridFile(GridRows *grid, const QString &path, Outcome *outcome);
    // A statistics file into two rows of a grid from (firstCol, firstRow); a missing or damaged one
    // leaves them as they are.
    void readGridFileAt(GridRows *grid, int firstCol, int firstRow, const QString &path) const;
    void writeTaskStatistics(qint32 valueCount, const GridRows &grid, const QString &path,
                             Outcome *outcome) const;
    void writeStandardStatistics(qint32 standardCount, const GridRows &grid, const QString &path,
                                 Outcome *outcome) const;
    void writeSchoolStatistics(qint32 valueCount, qint32 classCount, GridRows *grid, const QString &path,
                               Outcome *outcome) const;
    // validateScores over the class's sheet and summary.
    ComputeOutcome validateScores(int classIndex, qint32 pupilCount);
    Outcome writeSchoolFile(const SchoolSetup &setup) const;
    Outcome writeReport(const QString &path, const ReportContent &content) const;

private:
    struct ClassSheets {
        GridRows scores;
        GridRows summary;
        bool modified = false;
        // What the page read or wrote last of its files, to know whether someone saved them since.
        FileStamp answersStamp;
        FileStamp choicesStamp;
        bool locked = false;
        bool lockSaid = false;
    };
    // The question when another computer saved the class's files (or the school's statistics, for
    // -1) since the page read them; empty when nobody did.
    QString savedElsewhere(int classIndex) const;
    // The class's answers are on disk as the page holds them.
    void answersSaved(int classIndex);
    Outcome savedElsewhereOutcome(int classIndex) const;
    // The class's answers file on disk is one of this page's, with its heading: results to load.
    bool holdsResults(int classIndex) const;
    // A statistics or school file the school page could show.
    bool holdsFigures(const QString &path) const;
    void stampClass(int classIndex);
    void stampSchool();
    QString lockPath(int classIndex) const;
    // Why the school page's figures leave classes out when a class folder is gone; nothing else.
    QString leftOutClasses(const QList<bool> &included) const;
    ReportContent reportContent(int classIndex) const;
    // The class's answers file (points: its sheet with the symbols scored) and, for a test with
    // keys, Wybory.tmp beside it.
    WriteStatus writeAnswerFiles(int classIndex, const SheetFiles &sheet,
                                 sessionsteps::Writes &written) const;
    // The symbols chosen, from Wybory.tmp, over the points just read; a damaged file is said and left.
    void readChoicesFile(int classIndex, Outcome *outcome);
    // Save on a page whose file does not fit the test: why nothing was written.
    Outcome refusedOnBlockedPage() const;
    void openAs(const SchoolFolder &folder, const TestDefinition &test);
    bool adoptChosenTest(const SchoolFolder &folder, TestDefinition *schoolTest, Outcome *outcome) const;
    bool makeFolders(const QStringList &paths, Outcome *outcome) const;
    void blockPage(const QStringList &reasons);
    void layOutSchoolGrids();
    ClassSheets &sheets(int classIndex);

    QString m_location;
    SchoolFolder m_folder;
    TestDefinition m_test;
    TestDefinition m_chosenTest;
    QString m_chosenTestPath;
    QByteArray m_chosenBytes;
    // The test as read from m_chosenBytes, to tell whether it was edited since.
    TestDefinition m_chosenFileTest;
    QList<ClassSheets> m_classes;
    // One per session, so that two windows on one computer tell their locks apart.
    QString m_sessionId;
    bool m_readOnly = false;
    // The files the school page read and wrote, as they were then.
    QList<std::pair<QString, FileStamp>> m_schoolStamps;
    GridRows m_schoolTasks;
    GridRows m_schoolStandards;
    std::optional<PageBlock> m_block;
    qint32 m_badPupilCount = 0;
    // The writes of the step under way that gather the files not written, to say them once.
    mutable sessionsteps::Writes *m_gathering = nullptr;
};
