// The session's pages: a class's sheets, Compute and Save, the school page, and the routines that
// read and write the work files on them.
#include "school/schoolsession.h"

#include "analysis/classchoices.h"
#include "analysis/classstatistics.h"
#include "analysis/schoolstatistics.h"
#include "analysis/scorecheck.h"
#include "core/cells.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "files/choicesfile.h"
#include "files/inifile.h"
#include "files/report.h"
#include "files/spreadsheet.h"
#include "school/sessionsteps.h"

#include <QDir>
#include <QFileInfo>

using namespace sessionsteps;

namespace {
QString wrongAnswerMessage(const QString &code, const PupilScores &pupil, const TestDefinition &test)
{
    const TaskKey &key = test.keyOf(pupil.faultTask);
    return QStringLiteral("Dla ucznia o kodzie %1, w zadaniu %2 wprowadzono złą odpowiedź „%3”! Zadanie "
                          "ma części: %4, a każdą z nich odpowiada się jedną z liter %5 (X – znak "
                          "nieczytelny, - – brak odpowiedzi w części).")
        .arg(code, test.taskLabels.value(pupil.faultTask), pupil.faultText.trimmed())
        .arg(key.parts())
        .arg(key.answers);
}
} // namespace

SchoolSession::ClassSheets &SchoolSession::sheets(int classIndex)
{
    if (classIndex < 0 || classIndex >= m_classes.size())
        throw SondarykError(QStringLiteral("Nie ma klasy nr %1.").arg(classIndex + 1));
    return m_classes[classIndex];
}

GridRows SchoolSession::newScoreSheet(int classIndex) const
{
    const int pupils = pupilCounts().value(classIndex);
    GridRows sheet = emptyGrid(m_test.taskCount + 3, pupils + 1);
    sheet[0][0] = QStringLiteral("L.p.");
    sheet[0][1] = QStringLiteral("Kod ucznia");
    sheet[0][2] = QStringLiteral("Ob.");
    for (int t = 0; t < m_test.taskCount; ++t)
        sheet[0][t + 3] = m_test.taskLabels.value(t);
    for (int r = 1; r <= pupils; ++r)
        sheet[r][2] = QStringLiteral("T");
    return sheet;
}

GridRows SchoolSession::newSummary(int classIndex) const
{
    GridRows summary = emptyGrid(9, pupilCounts().value(classIndex) + 1);
    summary[0][0] = QStringLiteral("L.p.");
    summary[0][1] = QStringLiteral("Kod ucznia");
    summary[0][2] = QStringLiteral("Ob.");
    // Five standard columns whatever the test says; a missing standard leaves its heading empty.
    for (int k = 0; k < 5; ++k)
        summary[0][k + 3] = m_test.standardAbbreviations.value(k);
    summary[0][8] = QStringLiteral("Razem");
    return summary;
}

Outcome SchoolSession::loadClassPage(int classIndex)
{
    stopAllTyping();
    ClassSheets &page = sheets(classIndex);
    page.scores = newScoreSheet(classIndex);
    page.summary = newSummary(classIndex);
    m_block.reset();
    Outcome outcome;
    const QString folder = paths().classFolder(classIndex);
    if (!QFileInfo(folder).isDir())
        outcome.message(QStringLiteral("Katalogu klasy %1 („%2”) nie ma: usunięto go albo udział sieciowy z "
                                       "wynikami jest niedostępny. Wyniki tej klasy można wpisać, ale "
                                       "zapisać dopiero wtedy, gdy katalog znów będzie dostępny.")
                            .arg(classLabels().value(classIndex), QDir::toNativeSeparators(folder)));
    if (readGridFile(&page.scores, paths().classFile(classIndex, schoolfiles::answers), &outcome))
        readChoicesFile(classIndex, &outcome);
    page.modified = false;
    page.lockSaid = false;
    stampClass(classIndex);
    if (m_readOnly && !m_block)
        openForReadingOnly(classIndex, QStringLiteral("Katalog szkoły jest tylko do odczytu."));
    return outcome;
}

Outcome SchoolSession::reloadScores(int classIndex)
{
    ClassSheets &page = sheets(classIndex);
    Outcome outcome;
    // A missing or unreadable file leaves the typed points in the grid, still unsaved.
    outcome.ok = readGridFile(&page.scores, paths().classFile(classIndex, schoolfiles::answers), &outcome);
    if (outcome.ok) {
        readChoicesFile(classIndex, &outcome);
        page.modified = false;
        stampClass(classIndex);
        stopTyping(classIndex);
    }
    return outcome;
}

const GridRows &SchoolSession::scoreSheet(int classIndex) const
{
    return const_cast<SchoolSession *>(this)->sheets(classIndex).scores;
}

const GridRows &SchoolSession::summary(int classIndex) const
{
    return const_cast<SchoolSession *>(this)->sheets(classIndex).summary;
}

void SchoolSession::putScores(int classIndex, const GridRows &sheet, bool modified)
{
    ClassSheets &page = sheets(classIndex);
    page.scores = sheet;
    page.modified = page.modified || modified;
}

bool SchoolSession::scoresModified(int classIndex) const
{
    return classIndex >= 0 && classIndex < m_classes.size() && m_classes[classIndex].modified;
}

void SchoolSession::markScoresSaved(int classIndex)
{
    sheets(classIndex).modified = false;
    stopTyping(classIndex);
}

void SchoolSession::answersSaved(int classIndex)
{
    markScoresSaved(classIndex);
    stampClass(classIndex);
}

void SchoolSession::blockPage(const QStringList &reasons)
{
    PageBlock block;
    block.reasons = reasons.join(u'\n');
    // The school's own test may have been put back since it was opened: it is offered.
    ReadStatus status = ReadStatus::Ok;
    const std::optional<QByteArray> own = m_folder.ownTestBytes(&status);
    const TestDefinition ownTest = own ? loadTestDefinition(IniFile::fromBytes(*own)) : TestDefinition{};
    if (own && (ownTest.taskCount != m_test.taskCount || ownTest.testName != m_test.testName))
        block.offeredTest = ownTest;
    m_block = block;
}

QString SchoolSession::blockedMessage() const
{
    if (!m_block)
        return QString();
    const QString locked = QStringLiteral("%1\n\nNa tej stronie nic nie zostanie zapisane ani obliczone, aby "
                                          "nie utracić wyników z tego pliku.")
                               .arg(m_block->reasons);
    if (m_block->offeredTest)
        return locked + QStringLiteral("\n\nOtworzyć szkołę z jej własnym testem (%1, plik "
                                       "Setup.ini w katalogu szkoły)?")
                            .arg(m_block->offeredTest->testName);
    return locked + QStringLiteral("\n\nSprawdź plik Setup.ini w katalogu szkoły (test, z którym "
                                   "ją założono) albo opuść tę stronę.");
}

ComputeOutcome SchoolSession::compute(int classIndex)
{
    if (m_block)
        return {};
    ComputeOutcome checked = validateScores(classIndex, pupilCounts().value(classIndex));
    if (checked.badPupilCount != 0 || checked.error)
        return checked;
    if (const QString question = savedElsewhere(classIndex); !question.isEmpty()) {
        checked.ok = false;
        checked.savedElsewhere = question;
        return checked;
    }
    ComputeOutcome outcome = run<ComputeOutcome>(
        m_gathering, schoolDirectory(), true, [&](Writes &written, ComputeOutcome &result) {
            const SchoolPaths &files = paths();
            const SheetFiles sheet =
                sheetFiles(scoreSheet(classIndex), pupilCounts().value(classIndex), m_test);
            const WriteStatus saved = writeAnswerFiles(classIndex, sheet, written);
            result.ok = saved == WriteStatus::Ok;
            if (saved == WriteStatus::Ok)
                answersSaved(classIndex);
            // The statistics would lead out of the school folder the same way; it has been said once.
            if (saved == WriteStatus::OutsideSchool)
                return;
            writeTaskStatistics(m_test.taskCount, sheet.points,
                                files.classFile(classIndex, schoolfiles::taskStatistics), &result);
            // The summary has five standard columns whatever the test defines.
            writeStandardStatistics(5, summary(classIndex),
                                    files.classFile(classIndex, schoolfiles::standardStatistics), &result);
        });
    checked.append(outcome);
    checked.ok = outcome.ok;
    checked.error = outcome.error;
    return checked;
}

ComputeOutcome SchoolSession::validateScores(int classIndex, qint32 pupilCount)
{
    ClassSheets &page = sheets(classIndex);
    m_badPupilCount = 0;
    ComputeOutcome outcome;
    int badPupils = 0;
    try {
        for (const PupilScores &pupil : checkClassScores(page.scores, pupilCount, m_test)) {
            const int r = pupil.row;
            if (pupil.fault == PupilScores::Fault::NotANumber)
                throw ConvertError(pupil.faultText);
            if (pupil.fault == PupilScores::Fault::WrongAnswer) {
                outcome.message(wrongAnswerMessage(page.scores[r].value(1), pupil, m_test));
                ++badPupils;
            }
            if (pupil.fault == PupilScores::Fault::OutOfRange) {
                outcome.message(QStringLiteral("Dla ucznia o kodzie ") + page.scores[r].value(1) +
                                QStringLiteral(", w zadaniu ") + m_test.taskLabels.value(pupil.faultTask) +
                                QStringLiteral(" wprowadzono złą liczbę punktów!"));
                ++badPupils;
            }
            // From the first pupil with a wrong value on, no summary row is refreshed.
            if (badPupils != 0) {
                m_badPupilCount = badPupils;
                continue;
            }
            QStringList &row = page.summary[r];
            row[1] = page.scores[r].value(1);
            row[2] = page.scores[r].value(2);
            const bool present = isPresentMark(row[2]);
            for (int k = 0; k < 5; ++k)
                row[3 + k] =
                    present ? QString::number(pupil.standards[std::size_t(k)]) : QStringLiteral("--");
            row[8] = present ? QString::number(pupil.total) : QStringLiteral("--");
        }
    } catch (...) {
        outcome.ok = false;
        outcome.error = std::current_exception();
    }
    outcome.badPupilCount = m_badPupilCount;
    return outcome;
}

void SchoolSession::writeTaskStatistics(qint32 valueCount, const GridRows &grid, const QString &path,
                                        Outcome *outcome) const
{
    QList<qint32> maxima;
    for (int t = 0; t < valueCount; ++t)
        maxima.append(m_test.taskMaxPoints.value(t));
    Writes written(m_gathering, schoolDirectory(), outcome, true);
    written(m_folder.writeStatistics(path, gridStatistics(grid, 3, maxima), valueCount), path);
    written.finish();
}

void SchoolSession::writeStandardStatistics(qint32 standardCount, const GridRows &grid, const QString &path,
                                            Outcome *outcome) const
{
    // A standard the test does not define has no maximum, and its column is never written.
    QList<qint32> maxima;
    for (int k = 0; k < standardCount; ++k)
        maxima.append(m_test.standardMaxPoints.value(k, 1));
    maxima.append(m_test.maxTotalPoints);
    Writes written(m_gathering, schoolDirectory(), outcome, true);
    written(m_folder.writeStatistics(path, gridStatistics(grid, 3, maxima), standardCount + 1), path);
    written.finish();
}

Outcome SchoolSession::saveScores(int classIndex)
{
    if (Outcome elsewhere = savedElsewhereOutcome(classIndex); !elsewhere.ok)
        return elsewhere;
    Outcome outcome =
        run<Outcome>(m_gathering, schoolDirectory(), false, [&](Writes &written, Outcome &result) {
            result.ok =
                writeAnswerFiles(classIndex,
                                 sheetFiles(scoreSheet(classIndex), pupilCounts().value(classIndex), m_test),
                                 written) == WriteStatus::Ok;
        });
    if (outcome.ok)
        answersSaved(classIndex);
    return outcome;
}

ReportContent SchoolSession::reportContent(int classIndex) const
{
    ReportContent content;
    content.testName = m_test.testName;
    content.testDate = m_test.testDate;
    const bool school = classIndex < 0;
    content.firstCaption = school ? schoolPageCaption() : classPageCaption(classLabels().value(classIndex));
    content.firstGrid =
        school ? m_schoolTasks
               : sheetFiles(scoreSheet(classIndex), pupilCounts().value(classIndex), m_test).points;
    content.secondCaption = summaryCaption();
    content.secondGrid = school ? m_schoolStandards : summary(classIndex);
    return content;
}

Outcome SchoolSession::refusedOnBlockedPage() const
{
    Outcome refused;
    refused.ok = false;
    refused.message(m_block->reasons + QStringLiteral("\n\nNic nie zostało zapisane."));
    return refused;
}

Outcome SchoolSession::saveClass(int classIndex)
{
    if (m_block)
        return refusedOnBlockedPage();
    if (Outcome elsewhere = savedElsewhereOutcome(classIndex); !elsewhere.ok)
        return elsewhere;
    return run<Outcome>(m_gathering, schoolDirectory(), true, [&](Writes &written, Outcome &outcome) {
        const WriteStatus saved = writeAnswerFiles(
            classIndex, sheetFiles(scoreSheet(classIndex), pupilCounts().value(classIndex), m_test), written);
        if (saved == WriteStatus::Ok)
            answersSaved(classIndex);
        outcome.ok = false;
        // The reports would lead out of the school folder the same way; it has been said once.
        if (saved == WriteStatus::OutsideSchool)
            return;
        const QString reportPath = paths().classFile(classIndex, schoolfiles::classReport);
        const bool report = written(m_folder.writeReport(reportPath, reportContent(classIndex)), reportPath);
        const QString spreadsheetPath = paths().classFile(classIndex, schoolfiles::classSpreadsheet);
        const bool spreadsheet =
            written(m_folder.writeSpreadsheet(spreadsheetPath,
                                              classWorkbook(reportContent(classIndex)) +
                                                  m_folder.analysisSheets(classIndex, m_test, testIniPath())),
                    spreadsheetPath);
        // Success is confirmed only when every file is on disk.
        outcome.ok = saved == WriteStatus::Ok && report && spreadsheet;
        if (outcome.ok)
            outcome.message(QStringLiteral("Wyniki uczniów zostały zapisane!"));
    });
}

void SchoolSession::layOutSchoolGrids()
{
    // The labels captured when the school was opened say which classes exist, whatever Szkola.ini
    // says now.
    const int classes = classCount();
    const int rows = 2 * classes + 3;
    m_schoolTasks = emptyGrid(m_test.taskCount + 3, rows);
    m_schoolStandards = emptyGrid(9, rows);
    for (int t = 0; t < m_test.taskCount; ++t)
        m_schoolTasks[0][t + 3] = m_test.taskLabels.value(t);
    for (int k = 0; k < 5; ++k)
        m_schoolStandards[0][k + 3] = m_test.standardAbbreviations.value(k);
    m_schoolStandards[0][8] = QStringLiteral("Razem");
    for (GridRows *grid : {&m_schoolTasks, &m_schoolStandards}) {
        (*grid)[0][0] = QStringLiteral("L.p.");
        // The rows are the classes; the school's files keep their own heading (withSchoolFileHeading).
        (*grid)[0][1] = QStringLiteral("Klasa");
        for (int i = 0; i < classes; ++i) {
            (*grid)[2 * i + 1][1] = classLabels()[i] + QStringLiteral(" - Śr.");
            (*grid)[2 * i + 2][1] = classLabels()[i] + QStringLiteral(" - Ła.");
        }
        (*grid)[rows - 2][1] = QStringLiteral("Szkoła - Śr.");
        (*grid)[rows - 1][1] = QStringLiteral("Szkoła - Ła.");
    }
}

Outcome SchoolSession::loadSchoolPage()
{
    stopAllTyping();
    layOutSchoolGrids();
    m_block.reset();
    const int classes = classCount();
    QStringList misfits;
    QList<bool> included;
    for (int i = 0; i < classes; ++i) {
        included.append(m_folder.readStatistics(paths().classFile(i, schoolfiles::taskStatistics),
                                                m_test.taskCount) != std::nullopt);
        for (const auto &[grid, name] : {std::pair{&m_schoolTasks, schoolfiles::taskStatistics},
                                         std::pair{&m_schoolStandards, schoolfiles::standardStatistics}}) {
            const QString path = paths().classFile(i, name);
            const int columns = int(grid->value(0).size());
            if (const std::optional<FileMisfit> misfit = m_folder.gridMisfit(path, 2, columns - 3, 0))
                misfits.append(misfitMessage(*misfit, m_test));
            else
                readGridFileAt(grid, 3, 2 * i + 1, path);
        }
    }
    // The school's figures would be made without those classes and written over its files.
    if (!misfits.isEmpty()) {
        blockPage(misfits);
        return {};
    }
    Outcome loaded = run<Outcome>(m_gathering, schoolDirectory(), true, [&](Writes &, Outcome &outcome) {
        writeSchoolStatistics(m_test.taskCount, classes, &m_schoolTasks,
                              paths().schoolFile(schoolfiles::taskStatistics), &outcome);
        // Five standards and the whole test, as in every class's file.
        writeSchoolStatistics(6, classes, &m_schoolStandards,
                              paths().schoolFile(schoolfiles::standardStatistics), &outcome);
    });
    if (const QString leftOut = leftOutClasses(included); !leftOut.isEmpty())
        loaded.message(leftOut);
    stampSchool();
    if (m_readOnly) {
        PageBlock block;
        block.reasons = QStringLiteral("Katalog szkoły jest tylko do odczytu.");
        block.chosen = true;
        m_block = block;
    }
    return loaded;
}

void SchoolSession::writeSchoolStatistics(qint32 valueCount, qint32 classes, GridRows *grid,
                                          const QString &path, Outcome *outcome) const
{
    const int lastRow = int(grid->size()) - 1;
    const int columns = int(grid->value(0).size());
    QList<ClassColumnValues> values;
    for (int c = 3; c < columns; ++c) {
        ClassColumnValues column;
        for (int i = 0; i < classes; ++i) {
            column.hasStatistics.append(!isEmptyCell((*grid)[2 * i + 1][3]));
            column.averages.append((*grid)[2 * i + 1][c]);
            column.facilities.append((*grid)[2 * i + 2][c]);
        }
        values.append(column);
    }
    const QList<SchoolValue> means = schoolMeans(values);
    for (int j = 0; j < means.size(); ++j) {
        (*grid)[lastRow - 1][j + 3] = means[j].known ? formatSchoolValue(means[j].average) : QString();
        (*grid)[lastRow][j + 3] = means[j].known ? formatSchoolValue(means[j].facility) : QString();
    }
    // A school for reading only shows its figures; its files stay as they are.
    if (const std::optional<QByteArray> bytes = schoolStatisticsFile(means, valueCount);
        bytes && !m_readOnly) {
        Writes written(m_gathering, schoolDirectory(), outcome, true);
        written(m_folder.write(path, *bytes), path);
        written.finish();
    }
}

Outcome SchoolSession::reloadSchoolTasks()
{
    Outcome outcome;
    outcome.ok = readGridFile(&m_schoolTasks, paths().schoolFile(schoolfiles::schoolSummary), &outcome);
    if (!m_schoolTasks.isEmpty() && m_schoolTasks[0].size() > 1)
        m_schoolTasks[0][1] = QStringLiteral("Klasa");
    // What was just read is what this page now holds.
    if (outcome.ok)
        stampSchool();
    return outcome;
}

std::optional<QByteArray> SchoolSession::schoolSpreadsheet(const ProgressReport &progress) const
{
    const QList<ClassSheetInput> classes = m_folder.classSheetInputs(m_test, progressPart(progress, 0, 200));
    const QList<Sheet> sheets = schoolWorkbook(reportContent(-1), classes, progressPart(progress, 200, 250)) +
                                m_folder.analysisSheets(-1, m_test, testIniPath());
    return xlsxBytes(sheets, nullptr, progressPart(progress, 250, 1000));
}

Outcome SchoolSession::saveSchool(const std::optional<QByteArray> &spreadsheet)
{
    if (m_block)
        return refusedOnBlockedPage();
    if (Outcome elsewhere = savedElsewhereOutcome(-1); !elsewhere.ok)
        return elsewhere;
    Outcome saved =
        run<Outcome>(m_gathering, schoolDirectory(), true, [&](Writes &written, Outcome &outcome) {
            outcome.ok = false;
            const QString summaryPath = paths().schoolFile(schoolfiles::schoolSummary);
            const WriteStatus saved = m_folder.writeGrid(summaryPath, withSchoolFileHeading(m_schoolTasks));
            written(saved, summaryPath);
            if (saved == WriteStatus::OutsideSchool)
                return;
            ReportContent content = reportContent(-1);
            content.firstGrid = withSchoolFileHeading(content.firstGrid);
            content.secondGrid = withSchoolFileHeading(content.secondGrid);
            const QString reportPath = paths().schoolFile(schoolfiles::schoolReport);
            const bool report = written(m_folder.writeReport(reportPath, content), reportPath);
            const QString spreadsheetPath = paths().schoolFile(schoolfiles::schoolSpreadsheet);
            const bool written_ =
                written(spreadsheet ? m_folder.write(spreadsheetPath, *spreadsheet) : WriteStatus::Failed,
                        spreadsheetPath);
            outcome.ok = saved == WriteStatus::Ok && report && written_;
            if (outcome.ok)
                outcome.message(QStringLiteral("Wyniki zostały zapisane!"));
        });
    if (saved.ok)
        stampSchool();
    return saved;
}

std::optional<StaffMeetingAnalysis> SchoolSession::analysis(int classIndex, Outcome *outcome,
                                                            const ProgressReport &progress) const
{
    QStringList problems;
    std::optional<StaffMeetingAnalysis> made =
        m_folder.analysis(classIndex, m_test, testIniPath(), &problems, true, progress);
    for (const QString &problem : std::as_const(problems))
        outcome->message(problem);
    outcome->ok = made.has_value();
    return made;
}

std::optional<CsvTable> SchoolSession::readImportFile(const QString &path, QString *problem) const
{
    return ::readImportFile(path, problem);
}

WriteStatus SchoolSession::writeAnswerFiles(int classIndex, const SheetFiles &sheet, Writes &written) const
{
    const QString answers = paths().classFile(classIndex, schoolfiles::answers);
    const WriteStatus saved = m_folder.writeGrid(answers, sheet.points);
    written(saved, answers);
    // A test without keys keeps exactly the files it always had.
    if (saved != WriteStatus::Ok || !m_test.hasKeys())
        return saved;
    const QString choices = paths().classFile(classIndex, schoolfiles::choices);
    const WriteStatus chosen = m_folder.write(choices, choicesFileBytes(sheet.choices));
    written(chosen, choices);
    return chosen;
}

void SchoolSession::readChoicesFile(int classIndex, Outcome *outcome)
{
    if (!m_test.hasKeys())
        return;
    GridRows &sheet = sheets(classIndex).scores;
    QString problem;
    const std::optional<ClassChoices> choices = m_folder.classChoices(classIndex, m_test, sheet, &problem);
    if (choices)
        putChoices(&sheet, *choices, m_test);
    else if (!problem.isEmpty())
        outcome->message(problem);
}

Outcome SchoolSession::writeGridFile(const GridRows &grid, const QString &path) const
{
    return run<Outcome>(m_gathering, schoolDirectory(), false, [&](Writes &written, Outcome &outcome) {
        outcome.ok = written(m_folder.writeGrid(path, grid), path);
    });
}

bool SchoolSession::readGridFile(GridRows *grid, const QString &path, Outcome *outcome)
{
    const qsizetype rows = grid->size();
    const qsizetype columns = grid->value(0).size();
    // A file kept under another test, or for more pupils, is not half-loaded: saving the page
    // would destroy what did not fit.
    if (const std::optional<FileMisfit> misfit = m_folder.gridMisfit(path, rows, columns, 3)) {
        blockPage({misfitMessage(*misfit, m_test)});
        return false;
    }
    ReadStatus status = ReadStatus::Ok;
    const std::optional<GridRows> read = m_folder.readGrid(path, rows, columns, &status);
    if (!read) {
        readFailure(status, path, schoolDirectory(), outcome);
        return false;
    }
    putRows(grid, *read, 0, 0);
    return true;
}

void SchoolSession::readGridFileAt(GridRows *grid, int firstCol, int firstRow, const QString &path) const
{
    if (const std::optional<GridRows> rows = m_folder.readStatistics(path, grid->value(0).size() - firstCol))
        putRows(grid, *rows, firstCol, firstRow);
}

Outcome SchoolSession::writeSchoolFile(const SchoolSetup &setup) const
{
    return run<Outcome>(m_gathering, schoolDirectory(), false, [&](Writes &written, Outcome &outcome) {
        outcome.ok = written(m_folder.writeSchoolFile(setup), paths().file(schoolfiles::setup));
    });
}

Outcome SchoolSession::writeReport(const QString &path, const ReportContent &content) const
{
    return run<Outcome>(m_gathering, schoolDirectory(), false, [&](Writes &written, Outcome &outcome) {
        outcome.ok = written(m_folder.writeReport(path, content), path);
    });
}
