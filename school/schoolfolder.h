// One school folder and everything in it: the paths of its files, Szkola.ini, the work files read
// and written through the one writer without ever leaving the folder, a class's results and the
// analyses made from them. Windows hold one and call it; nothing here shows a message.
#pragma once

#include "core/progress.h"

#include "analysis/analysisreport.h"
#include "analysis/analysissettings.h"
#include "analysis/classchoices.h"
#include "analysis/classstatistics.h"
#include "analysis/comparison.h"
#include "analysis/staffmeeting.h"
#include "analysis/testdefinition.h"
#include "core/progress.h"
#include "files/gridfile.h"
#include "files/report.h"
#include "files/savefile.h"
#include "files/schoolfile.h"
#include "files/schoolpaths.h"
#include "files/spreadsheet.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Everything an analysis of a class or of the school is made of.
struct StaffMeetingAnalysis {
    AnalysisSettings settings;
    QList<ClassResults> classes;
    QList<ClassResults> schoolClasses; // for a class: every class, to rank its pupils in the school
    AnalysisReport report;
    ComparisonFigures comparison;
    StaffMeetingFigures figures;
};

// A work file that does not fit the test it would be read under: loading it would drop tasks or
// pupils, and saving the page would then destroy them.
struct FileMisfit {
    QString path;
    qsizetype heldTasks = 0;  // tasks the file holds (when its width is wrong)
    qsizetype rowsBeyond = 0; // lines with results beyond the class's pupils
};

class SchoolFolder
{
public:
    SchoolFolder() = default;
    SchoolFolder(const QString &root, const QStringList &classLabels, const QList<qint32> &pupilCounts);

    const QString &root() const { return m_paths.root; }
    const SchoolPaths &paths() const { return m_paths; }
    const QStringList &classLabels() const { return m_paths.classLabels; }
    const QList<qint32> &pupilCounts() const { return m_pupilCounts; }
    int classCount() const { return int(m_paths.classLabels.size()); }

    // Every file of the folder goes through these two: replaced whole or not at all, and never
    // through a symlink that leads out of the folder.
    WriteStatus write(const QString &path, const QByteArray &bytes) const;
    ReadStatus read(const QString &path, QByteArray *bytes, qint64 limit) const;

    WriteStatus writeSchoolFile(const SchoolSetup &setup) const;
    // Szkola.ini as read, its defaults when it is missing or cannot be read; *status says which.
    SchoolFileReader readSchoolFile(ReadStatus *status) const;

    WriteStatus writeGrid(const QString &path, const GridRows &rows) const;
    // The rows of a grid file kept for a grid of rows × columns cells. Nullopt with *status when
    // it is missing or cannot be read, and with Failed when it is far larger than such a grid.
    std::optional<GridRows> readGrid(const QString &path, qsizetype rows, qsizetype columns,
                                     ReadStatus *status) const;

    WriteStatus writeReport(const QString &path, const ReportContent &content) const;
    // Failed as well when the sheets cannot be made into a spreadsheet file.
    WriteStatus writeSpreadsheet(const QString &path, const QList<Sheet> &sheets) const;

    // The first valueCount columns of the lines.
    WriteStatus writeStatistics(const QString &path, const StatisticsLines &lines, int valueCount) const;
    // A statistics file of columns values, or nullopt when it is missing or damaged.
    std::optional<GridRows> readStatistics(const QString &path, qsizetype columns) const;

    // A class's answers file, checked as Compute checks the page; nullopt with a note for the
    // teacher when it is missing, unreadable or holds values Compute would refuse.
    std::optional<ClassResults> classResults(int classIndex, const TestDefinition &test, QString *note) const;
    // Every class's results, in order, read several at a time (each class is its own files): what
    // classResults gives, with the notes of the classes in order. fileRead is called on this
    // thread, once per class read; when it throws, the reading stops and the exception goes on.
    QList<std::optional<ClassResults>> allClassResults(const TestDefinition &test, QStringList *notes,
                                                       const std::function<void()> &fileRead) const;
    // The symbols the class's pupils chose, from Wybory.tmp read against the points of its answers
    // file (pointRows, headings in row 0). Nullopt when it is missing (the symbols are unknown) or,
    // with a Polish *problem, when it cannot be read or does not belong to those points.
    std::optional<ClassChoices> classChoices(int classIndex, const TestDefinition &test,
                                             const GridRows &pointRows, QString *problem) const;
    // Every class's pupils from its answers file, for the school's spreadsheet; a class without
    // one, or with a damaged one, has no sheet of its own.
    // progress is told of each class read.
    QList<ClassSheetInput> classSheetInputs(const TestDefinition &test,
                                            const ProgressReport &progress = {}) const;

    // The analysis of class classIndex (from 0), or of the school for -1, from the saved files,
    // with the school's comparison figures (Setup.ini's for what the school has not entered).
    // Nullopt when the class's file cannot be used. *problems: what Setup.ini and the comparison
    // figures could not give, and why the class could not be used. rankInSchool: a class's pupils
    // are ranked among every class of the school too. progress is told of each class's file read.
    std::optional<StaffMeetingAnalysis> analysis(int classIndex, const TestDefinition &test,
                                                 const QString &setupIniPath, QStringList *problems,
                                                 bool rankInSchool = true,
                                                 const ProgressReport &progress = {}) const;
    // The "Analiza" sheet of class classIndex, or of the school for -1; a note in its place when
    // the class cannot be analysed.
    QList<Sheet> analysisSheets(int classIndex, const TestDefinition &test,
                                const QString &setupIniPath) const;
    // The report at path as the workbook's Save wrote it, for grids of at most rows × columns;
    // nullopt when it is missing, unreadable or not such a report.
    std::optional<ReportContent> readReport(const QString &path, qsizetype rows, qsizetype columns) const;
    // Every spreadsheet file of the school that exists, made anew with its "Analiza" sheet from
    // the figures as they are now (the comparison figures, Setup.ini beside the folder's files).
    // Its other sheets come from the report the same Save wrote beside it, and for the school from
    // the classes' answers files, as Save makes them; a file whose report cannot be read is left as
    // it is. The files that could not be written, relative to the folder. All are made before any is
    // written: stopped by its progress report, it leaves every file as it was.
    QStringList refreshAnalysisSheets(const TestDefinition &test, const ProgressReport &progress = {}) const;

    // The test the school was set up with, Setup.ini at the top of the folder.
    QString testFile() const { return m_paths.file(schoolfiles::test); }
    // Its bytes, or nullopt with *status when it is missing, unreadable or leads out of the folder.
    std::optional<QByteArray> ownTestBytes(ReadStatus *status) const;
    // Whether any class has its points on disk: the test they were typed under must stay.
    bool hasResults() const;
    // The work files there not kept under a test of the same number of tasks, or for more pupils:
    // a school is never given a test its files were not typed under.
    QList<FileMisfit> misfits(const TestDefinition &test) const;
    // Whether a grid file of the folder fits a grid of rows × columns without leaving anything out
    // (exact: with every line as wide as the grid); a missing or unreadable one fits.
    std::optional<FileMisfit> gridMisfit(const QString &path, qsizetype rows, qsizetype columns,
                                         qsizetype firstTaskColumn, bool exact = false) const;

private:
    SchoolPaths m_paths;
    QList<qint32> m_pupilCounts;
};

// Why a work file cannot be read under the test, in Polish, naming the file and both task counts.
QString misfitMessage(const FileMisfit &misfit, const TestDefinition &test);

// Whether the folder already holds a school, or files of one: its Szkola.ini, its test, or a
// class's or the school's work files in a folder of it.
bool holdsSchoolFiles(const QString &folder);

// The Polish message for a file refused because it, or its folder, is a symlink out of root.
QString outsideSchoolMessage(const QString &path, const QString &root, bool writing);
