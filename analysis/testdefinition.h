// One edition of the test, read from Setup.ini beside the program.
#pragma once

#include "core/closedanswers.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

class IniFile;

// A requirement of the curriculum a task checks: a general one (code "I") or a specific one
// ("XIII.1") that names the general one it belongs to.
struct Requirement {
    QString code;
    QString description;
    QString general;
};

struct TestDefinition {
    qint32 taskCount = 25;
    qint32 standardCount = 5;
    qint32 maxTotalPoints = 40;
    QString testName = QStringLiteral("Test");
    QString testDate = QStringLiteral("2003-12-12");

    QList<qint32> taskStandards;
    QList<qint32> taskMaxPoints;
    QList<bool> taskClosed;
    QStringList taskLabels;
    // The key of each task; a task without one (every open task) has an empty key.
    QList<TaskKey> taskKeys;

    QList<Requirement> requirements;
    // The codes of the requirements each task checks, as the requirements list spells them.
    QList<QStringList> taskRequirements;

    QList<qint32> standardMaxPoints;
    QStringList standardAbbreviations;
    QStringList standardDescriptions;

    // Counts above these are refused (treated as 0) so that a typo cannot build huge grids.
    static constexpr qint32 maxTaskCount = 200;
    static constexpr qint32 maxStandardCount = 50;
    // A task worth more points is surely a typo; the bound also keeps every sum of points, up to
    // the whole test's, far from the limits of the arithmetic.
    static constexpr qint32 maxTaskPoints = 1000;
    // Standards and the whole test can hold at most every task at its largest.
    static constexpr qint32 maxSumPoints = maxTaskCount * maxTaskPoints;
    static constexpr qint32 maxRequirementCount = 200;

    // The workbook, its files and its charts hold five standards, whatever the test defines.
    static constexpr qint32 countedStandardLimit = 5;
    // The standards whose results are counted everywhere: 1 to this.
    qint32 countedStandardCount() const { return qBound(0, standardCount, countedStandardLimit); }
    // The standard (1 to 5) whose results task t (from 0) counts in, as the grid's standard columns
    // and its "Razem" count it; 0 for a task in no counted standard.
    qint32 countedStandardOf(qsizetype task) const
    {
        const qint32 k = taskStandards.value(task);
        return k >= 1 && k <= countedStandardLimit ? k : 0;
    }

    // Whether task t counts in a pupil's total: not when it belongs to a standard the test defines
    // but the workbook does not count (6 and above), as the grid's "Razem" leaves it out. A task of
    // a standard the test lacks still counts.
    bool countsInTotal(qsizetype task) const
    {
        const qint32 k = taskStandards.value(task);
        return k <= countedStandardLimit || k > standardCount;
    }

    const TaskKey &keyOf(qsizetype task) const
    {
        static const TaskKey none;
        return task >= 0 && task < taskKeys.size() ? taskKeys[task] : none;
    }
    bool isKeyed(qsizetype task) const { return keyOf(task).isKeyed(); }
    bool hasKeys() const
    {
        for (const TaskKey &key : taskKeys)
            if (key.isKeyed())
                return true;
        return false;
    }

    // The requirement with this code, its case aside; -1 for none.
    qsizetype requirementIndex(QStringView code) const
    {
        for (qsizetype i = 0; i < requirements.size(); ++i)
            if (QStringView(requirements[i].code).compare(code, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

    // Polish texts describing what was refused while reading; empty when all was well.
    QStringList problems;
};

// Reads the file at iniPath; a missing file, section or key gives the built-in defaults.
TestDefinition loadTestDefinitionFrom(const QString &iniPath);
TestDefinition loadTestDefinition(const IniFile &ini);

// The definition in the file's own form (Windows-1250, CR LF): what a school keeps when the test
// it was set up with came from no file at all.
QByteArray testDefinitionFileBytes(const TestDefinition &def);

// The problems as one message: a mistyped Setup.ini can hold hundreds, and one box each would
// keep the teacher clicking; the first ten are listed and the rest counted.
QString problemsMessage(const QStringList &problems);

// The codes a task's cell lists, parted by semicolons or commas, trimmed, empty ones left out.
QStringList requirementCodes(QStringView cell);

// Setup.ini in the directory of the program's executable.
QString setupIniPath();
