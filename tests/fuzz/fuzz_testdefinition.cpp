// A test definition file as a school folder or the user's folder holds it, read as the program
// reads a school's test, and then taken through every later step: the class grid laid out for it,
// an empty class's grid file written and fitted again, Compute on an empty class and on a class at
// full marks, the analysis settings, and the definition window's model of the same bytes.
#include "analysis/analysissettings.h"
#include "analysis/classstatistics.h"
#include "analysis/requirements.h"
#include "analysis/scorecheck.h"
#include "analysis/testdefinition.h"
#include "analysis/testdefinitionfile.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "files/gridfile.h"
#include "files/inifile.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace {

using fuzz::require;
using fuzz::scratchFileWith;

constexpr int pupilCount = 3;

void checkLimits(const TestDefinition &test)
{
    require(test.taskCount >= 0 && test.taskCount <= TestDefinition::maxTaskCount, "task count out of range");
    require(test.maxTotalPoints >= 0 && test.maxTotalPoints <= TestDefinition::maxSumPoints,
            "test maximum out of range");
    require(test.taskLabels.size() == test.taskCount && test.taskMaxPoints.size() == test.taskCount &&
                test.taskStandards.size() == test.taskCount && test.taskClosed.size() == test.taskCount,
            "task lists do not match the task count");
    require(test.countedStandardCount() >= 0 &&
                test.countedStandardCount() <= TestDefinition::countedStandardLimit,
            "counted standards out of range");
    for (int t = 0; t < test.taskCount; ++t) {
        require(test.taskMaxPoints[t] >= 0 && test.taskMaxPoints[t] <= TestDefinition::maxTaskPoints,
                "task maximum out of range");
        const qint32 k = test.countedStandardOf(t);
        require(k >= 0 && k <= TestDefinition::countedStandardLimit, "counted standard out of range");
        // A task counted in a standard is counted in the total too.
        require(k == 0 || test.countsInTotal(t), "a task of a counted standard is left out of the total");
    }
}

// Every requirement kept has a plain code of its own and a general one that is listed; every task's
// codes are among them; a pupil at full marks has nothing to revise, one with nothing everything.
void checkRequirements(const TestDefinition &test)
{
    require(test.requirements.size() <= TestDefinition::maxRequirementCount, "too many requirements");
    require(test.taskRequirements.size() == test.taskCount, "task requirements do not match the task count");
    for (qsizetype r = 0; r < test.requirements.size(); ++r) {
        const Requirement &requirement = test.requirements[r];
        require(!requirement.code.isEmpty() && !requirement.code.contains(u';') &&
                    !requirement.code.contains(u','),
                "a requirement's code is empty or holds a separator");
        require(test.requirementIndex(requirement.code) == r, "a requirement's code is repeated");
        require(requirement.general.isEmpty() || (test.requirementIndex(requirement.general) >= 0 &&
                                                  requirement.general != requirement.code),
                "a requirement names a general one that is not listed");
    }
    for (const QStringList &codes : test.taskRequirements)
        for (const QString &code : codes)
            require(test.requirementIndex(code) >= 0, "a task names an unknown requirement");
    const QList<QList<qsizetype>> tasks = requirementTasks(test);
    PupilResult pupil;
    pupil.present = true;
    for (int t = 0; t < test.taskCount; ++t)
        pupil.taskPoints.append(test.taskMaxPoints[t]);
    require(revisionList(pupil, test, tasks).isEmpty(), "full marks and still something to revise");
    pupil.taskPoints.fill(0);
    qsizetype withPoints = 0;
    for (const QList<qsizetype> &own : tasks) {
        qint64 max = 0;
        for (const qsizetype t : own) {
            require(t >= 0 && t < test.taskCount, "a requirement's task out of range");
            max += test.taskMaxPoints[t];
        }
        withPoints += max > 0 ? 1 : 0;
    }
    require(revisionList(pupil, test, tasks).size() == qMin<qsizetype>(withPoints, 8),
            "no points and not everything to revise");
}

// The class page as the workbook lays it out: headings and task labels above, one row per pupil
// with the attendance mark, and the tasks' cells empty or at their maxima.
GridRows classGrid(const TestDefinition &test, bool fullMarks)
{
    GridRows rows;
    QStringList headings{QStringLiteral("L.p."), QStringLiteral("Kod ucznia"), QStringLiteral("Ob.")};
    headings.append(test.taskLabels);
    rows.append(headings);
    for (int r = 1; r <= pupilCount; ++r) {
        QStringList cells{QString::number(r), QString(), QStringLiteral("T")};
        for (int t = 0; t < test.taskCount; ++t)
            cells.append(fullMarks ? QString::number(test.taskMaxPoints[t]) : QString());
        rows.append(cells);
    }
    return rows;
}

void checkCompute(const GridRows &rows, const TestDefinition &test, bool fullMarks)
{
    const QList<PupilScores> pupils = checkClassScores(rows, pupilCount, test);
    require(pupils.size() == pupilCount, "Compute: a pupil was lost");
    qint64 expected = 0;
    std::array<qint64, TestDefinition::countedStandardLimit> standards{};
    for (int t = 0; t < test.taskCount && fullMarks; ++t) {
        if (const qint32 k = test.countedStandardOf(t)) {
            standards[std::size_t(k - 1)] += test.taskMaxPoints[t];
            expected += test.taskMaxPoints[t];
        }
    }
    for (const PupilScores &pupil : pupils) {
        require(pupil.present && pupil.fault == PupilScores::Fault::None, "Compute: a sound cell refused",
                pupil.faultText);
        require(pupil.taskPoints.size() == test.taskCount, "Compute: tasks left unchecked");
        require(pupil.standards == standards && pupil.total == expected, "Compute: wrong sums");
        require(pupil.total >= 0 && pupil.total <= TestDefinition::maxSumPoints,
                "Compute: a total beyond the test's bounds");
    }

    bool anyZeroMaximum = false;
    for (const qint32 points : test.taskMaxPoints)
        anyZeroMaximum = anyZeroMaximum || points == 0;
    try {
        const StatisticsLines lines = gridStatistics(rows, 3, test.taskMaxPoints);
        require(lines.averages.size() == test.taskCount && lines.facilities.size() == test.taskCount,
                "statistics: a column was lost");
        for (int t = 0; t < test.taskCount; ++t) {
            require(lines.averages[t] == (fullMarks ? float(test.taskMaxPoints[t]) : 0.0f),
                    "statistics: wrong average");
            require(lines.facilities[t] == (fullMarks ? 1.0f : 0.0f), "statistics: wrong facility");
        }
    } catch (const SondarykError &) {
        // A maximum of 0 is the only division the statistics cannot make here.
        require(anyZeroMaximum, "statistics: a division failed without a zero maximum");
    }
}

void checkGridFile(const TestDefinition &test)
{
    const qsizetype columns = test.taskCount + 3;
    for (const bool fullMarks : {false, true}) {
        const GridRows rows = classGrid(test, fullMarks);
        checkCompute(rows, test, fullMarks);
        // The class's file as it is written, and read again when the school is opened.
        const QByteArray bytes = gridFileBytes(rows);
        const std::optional<GridRows> parsed =
            parseGridFileWithin(bytes, gridLimitsFor(pupilCount + 1, columns));
        require(parsed.has_value(), "grid file: the class's own file is refused as too large");
        const GridFit fit = gridFit(*parsed, pupilCount + 1, columns);
        require(fit.exact, "grid file: the class's own file does not fit its grid",
                QStringLiteral("%1 to %2 fields for %3").arg(fit.narrowest).arg(fit.widest).arg(columns));
        checkCompute(*parsed, test, fullMarks);
    }
}

void checkAnalysisSettings(const IniFile &ini, const QString &path)
{
    const AnalysisSettings settings = loadAnalysisSettingsFrom(path);
    for (std::size_t i = 0; i < settings.bandBounds.size(); ++i) {
        const double b = settings.bandBounds[i];
        require(b > 0.0 && b <= 1.0 && (i == 0 || b > settings.bandBounds[i - 1]), "band bounds unusable");
    }
    QStringList problems;
    const int threshold = comparisonThreshold(ini, &problems);
    require(threshold >= 1 && threshold <= 100 && threshold == settings.comparisonThreshold,
            "comparison threshold: the readers disagree");
    const QList<double> pupils = loadPupilStanineBounds(ini, &problems);
    require(pupils == settings.pupilStanineBounds, "pupils' stanines: the readers disagree");
    require(pupils.isEmpty() || pupils.size() == 9, "pupils' stanine table of the wrong size");
}

// The definition window opens the same bytes; what it would write reads back as the program read
// the file.
void checkDefinitionModel(const QByteArray &bytes, const TestDefinition &test)
{
    QStringList problems;
    const TestDefinitionFile definition = readTestDefinitionFile(bytes, &problems);
    require(definition.tasks.size() == test.taskCount, "definition window: another task count");
    if (!definitionProblems(definition).isEmpty())
        return;
    const QByteArray written = testDefinitionFileBytes(definition);
    const TestDefinition again = loadTestDefinition(IniFile::fromBytes(written));
    require(again.problems.isEmpty(), "definition window: a whole definition reads back with problems",
            again.problems.join(u'\n'));
    require(again.taskCount == test.taskCount && again.taskLabels == test.taskLabels &&
                again.taskMaxPoints == test.taskMaxPoints,
            "definition window: the tasks read back otherwise");
    require(again.requirements.size() == test.requirements.size() &&
                again.taskRequirements == test.taskRequirements,
            "definition window: the requirements read back otherwise");
    // With the sums in agreement, a class at full marks scores exactly the test's maximum.
    if (checkSums(definition).mismatches.isEmpty()) {
        const QList<PupilScores> full = checkClassScores(classGrid(again, true), pupilCount, again);
        require(full.first().total == again.maxTotalPoints, "full marks differ from the test's maximum");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = scratchFileWith(bytes);
    const IniFile ini = IniFile::fromBytes(bytes);
    const TestDefinition test = loadTestDefinition(ini);
    checkLimits(test);
    checkRequirements(test);
    checkGridFile(test);
    checkAnalysisSettings(ini, path);
    checkDefinitionModel(bytes, test);
    return 0;
}
