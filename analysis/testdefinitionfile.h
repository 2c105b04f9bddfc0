// A whole test definition file (Setup.ini's layout) as the definition window edits it: every
// value as the teacher sees it, so that a file with a mistyped value can still be opened, shown and
// corrected; sections the window does not edit are carried through as they stood.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>

struct DefinitionTask {
    QString label;
    QString points = QStringLiteral("1");
    QString standard = QStringLiteral("1");
    // "tak" or "nie" once accepted.
    QString closed = QStringLiteral("tak");
    // A closed task's key (one symbol per part, empty for none), the symbols each part may be answered
    // with (empty: those the key implies), and "tak" when each right part gives a point.
    QString key;
    QString answers;
    QString pointPerPart = QStringLiteral("nie");
    // The codes of the requirements the task checks, "I; XIII.1".
    QString requirements;
};

struct DefinitionStandard {
    QString abbreviation;
    QString description;
    QString points = QStringLiteral("0");
};

struct DefinitionRequirement {
    QString code;
    QString description;
    // The general requirement's code, for a specific requirement.
    QString general;
};

struct TestDefinitionFile {
    // The workbook counts five standards, so the window edits at most five.
    static constexpr int maxStandards = 5;

    QString name;
    QString date;
    QList<DefinitionTask> tasks;
    // The standards the test has, 1 to maxStandards; those beyond keep their texts but are not written.
    int standardCount = maxStandards;
    std::array<DefinitionStandard, maxStandards> standards;
    QList<DefinitionRequirement> requirements;
    QString maxTotalPoints = QStringLiteral("0");

    // The optional sections; a section whose fields are all empty is absent from the file.
    // [PrzedzialyLatwosci] Trudne, UmiarkowanieTrudne, Latwe, BardzoLatwe.
    std::array<QString, 4> bandBounds;
    // [Staniny] and [StaninyUczniow] Stanin1 to Stanin9.
    std::array<QString, 9> stanines;
    std::array<QString, 9> pupilStanines;
    // [Porownanie] Prog.
    QString comparisonThreshold;

    // The comment lines above the first section, those above each of the sections above (by the
    // section's name in lower case), every other section (its heading and lines) and the comments
    // that end the file, written back as they were read.
    QStringList preamble;
    QMap<QString, QStringList> sectionComments;
    QList<QStringList> otherSections;
    QStringList epilogue;
};

enum class TaskColumn { Label, Points, Standard, Closed, Key, Answers, Requirements, PointPerPart };
inline constexpr int taskColumnCount = 8;
enum class StandardColumn { Abbreviation, Description, Points };
enum class RequirementColumn { Code, Description, General };
inline constexpr int requirementColumnCount = 3;
enum class OptionalField { BandBound, Stanine, Threshold };

// A new definition: one task per given count, labelled "Zad.1", "Zad.2", …, standards "St.1" … and
// sums that agree.
TestDefinitionFile newTestDefinitionFile(int taskCount);

// The standard count raised to the highest standard a task is put in (never lowered): a teacher who
// puts a task in standard 3 means the test to have it.
void fitStandardCount(TestDefinitionFile *definition);

// Reads the file's bytes by the rules of loadTestDefinitionFrom (absent keys give its defaults);
// what cannot be used is kept as text, for the window to show and the teacher to correct, and what
// cannot even be kept (a task count beyond the limit) is told in *problems.
TestDefinitionFile readTestDefinitionFile(const QByteArray &windows1250Bytes,
                                          QStringList *problems = nullptr);
// The definition as Setup.ini's Windows-1250 text with CR LF line ends. Characters the code page
// cannot hold become "?" (definitionProblems refuses them first).
// The example tests open with a comment saying they are examples, not official figures; a test saved
// from one is the school's own and goes without it.
void dropExampleNote(TestDefinitionFile *definition);
QByteArray testDefinitionFileBytes(const TestDefinitionFile &definition);

// The tasks grown (with "Zad.N", 1 point, standard 1, closed) or cut to count, kept within
// 0..TestDefinition::maxTaskCount.
void setTaskCount(TestDefinitionFile *definition, int count);

// A cell's text as accepted (trimmed, "Z" and the like as "tak"), or an empty text with *problem set
// to a Polish sentence saying why it is refused.
QString acceptedTaskCell(TaskColumn column, const QString &text, QString *problem);
QString acceptedStandardCell(StandardColumn column, const QString &text, QString *problem);
// A task's requirements as accepted: every code among the definition's requirements, spelt as they
// are, joined by "; "; an unknown code refuses the cell.
QString acceptedRequirementsCell(const TestDefinitionFile &definition, const QString &text, QString *problem);
QString acceptedRequirementCell(RequirementColumn column, const QString &text, QString *problem);
// The standard count: a whole number from 1 to TestDefinitionFile::maxStandards.
QString acceptedStandardCount(const QString &text, QString *problem);
// An optional field may be empty (the section is then absent, if all of it is).
QString acceptedOptionalField(OptionalField field, const QString &text, QString *problem);
// The test's name or date: a single line the file's code page holds; the name may not be empty.
QString acceptedName(const QString &text, QString *problem);
QString acceptedDate(const QString &text, QString *problem);
// The test's maximum: a whole number from 0 to TestDefinition::maxSumPoints.
QString acceptedTotal(const QString &text, QString *problem);

// The sums of the tasks' points, whole and per standard, against the maxima the file states.
struct SumsCheck {
    int taskSum = 0;
    std::array<int, TestDefinitionFile::maxStandards> standardSums{};
    // "Suma punktów zadań: 40 (standardy: 10, 10, 8, 4, 8)."
    QString summary;
    // One Polish sentence per maximum that differs from its sum, with both numbers.
    QStringList mismatches;
};
SumsCheck checkSums(const TestDefinitionFile &definition);
// The test's and the standards' maxima set to the sums of their tasks.
void reconcileSums(TestDefinitionFile *definition);

// Everything that keeps the definition from being written, as Polish sentences; empty when it can
// be written. The sums are not among them: a file whose maxima differ still reads.
QStringList definitionProblems(const TestDefinitionFile &definition);

// What a pasted block did.
struct TaskPaste {
    int cellsChanged = 0;
    int tasksAdded = 0;
    // Rows beyond TestDefinition::maxTaskCount and columns beyond the last.
    int rowsLeftOut = 0;
    int columnsLeftOut = 0;
    // "Zadanie 3, Punkty: …" for every cell refused; those cells keep their text.
    QStringList refused;
};
// Puts a block copied from a spreadsheet (rows of cells in the order of the columns: label, points,
// standard, closed, key, answers, requirements, point per part) into the tasks from task firstTask (from 0)
// and column firstColumn onwards, adding tasks as the block needs, up to the limit.
TaskPaste pasteTasks(TestDefinitionFile *definition, const QList<QStringList> &rows, int firstTask,
                     TaskColumn firstColumn);

// The column names the window and the messages use: "Etykieta", "Punkty", "Standard", "Zamknięte";
// "Skrót", "Opis", "Punkty".
QString taskColumnName(TaskColumn column);
// The text of a task's column.
QString &taskCell(DefinitionTask &task, TaskColumn column);
const QString &taskCell(const DefinitionTask &task, TaskColumn column);
QString standardColumnName(StandardColumn column);
// "Kod", "Opis", "Ogólne".
QString requirementColumnName(RequirementColumn column);
QString &requirementCell(DefinitionRequirement &requirement, RequirementColumn column);

// What a pasted block of requirements did: rows are added as needed, up to the limit.
struct RequirementPaste {
    int cellsChanged = 0;
    int rowsAdded = 0;
    int rowsLeftOut = 0;
    int columnsLeftOut = 0;
    QStringList refused;
};
RequirementPaste pasteRequirements(TestDefinitionFile *definition, const QList<QStringList> &rows,
                                   int firstRow, RequirementColumn firstColumn);
