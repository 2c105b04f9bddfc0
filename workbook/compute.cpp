// Compute: checks a class's points, fills its summary and writes its statistics files.
#include "workbook/tfwyniki.h"

#include "analysis/classstatistics.h"
#include "analysis/scorecheck.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"

#include "core/errors.h"

void TfWyniki::bObliczClick()
{
    tabela1()->commitOpenEditor();
    if (!isClassPage(currentPage) || !m_blocked.isEmpty())
        return;
    const int classIndex = currentPage - 1;
    validateScores(pupilCounts.value(classIndex));
    if (badPupilCount != 0)
        return;
    const SchoolPaths files = paths();
    const WriteFailures failures(this);
    const QString answers = files.classFile(classIndex, schoolfiles::answers);
    const WriteStatus saved = school().writeGrid(answers, contentsOf(tabela1()));
    written(saved, answers);
    if (saved == WriteStatus::Ok)
        markScoresSaved();
    // The statistics would lead out of the school folder the same way; it has been said once.
    if (saved == WriteStatus::OutsideSchool)
        return;
    writeClassStatistics(files.classFile(classIndex, schoolfiles::taskStatistics),
                         files.classFile(classIndex, schoolfiles::standardStatistics));
}

void TfWyniki::validateScores(qint32 pupilCount)
{
    StringGrid *scores = tabela1();
    StringGrid *summary = tabela2();
    badPupilCount = 0;
    int badPupils = 0;
    for (const PupilScores &pupil : checkClassScores(contentsOf(scores), pupilCount, test)) {
        const int r = pupil.row;
        if (pupil.fault == PupilScores::Fault::NotANumber)
            throw ConvertError(pupil.faultText);
        if (pupil.fault == PupilScores::Fault::OutOfRange) {
            messages::showMessage(QStringLiteral("Dla ucznia o kodzie ") + scores->cell(1, r) +
                                  QStringLiteral(", w zadaniu ") + test.taskLabels.value(pupil.faultTask) +
                                  QStringLiteral(" wprowadzono złą liczbę punktów!"));
            ++badPupils;
        }
        // From the first pupil with a wrong value on, no summary row is refreshed.
        if (badPupils != 0) {
            badPupilCount = badPupils;
            continue;
        }
        summary->setCell(1, r, scores->cell(1, r));
        summary->setCell(2, r, scores->cell(2, r));
        const bool present = isPresentMark(summary->cell(2, r));
        for (int k = 0; k < 5; ++k)
            summary->setCell(
                3 + k, r, present ? QString::number(pupil.standards[std::size_t(k)]) : QStringLiteral("--"));
        summary->setCell(8, r, present ? QString::number(pupil.total) : QStringLiteral("--"));
    }
}

void TfWyniki::writeClassStatistics(const QString &taskPath, const QString &standardPath)
{
    const SchoolFolder folder = school();
    QList<qint32> taskMaxima;
    for (int t = 0; t < test.taskCount; ++t)
        taskMaxima.append(test.taskMaxPoints.value(t));
    const StatisticsLines tasks = gridStatistics(contentsOf(tabela1()), 3, taskMaxima);
    written(folder.writeStatistics(taskPath, tasks, test.taskCount), taskPath);
    // Always the five standard columns and the whole test, so that every class file lines up with
    // the school grid whatever number of standards the test defines; a standard the test does not
    // define has no maximum, and its column is never written.
    QList<qint32> maxima;
    for (int k = 0; k < 5; ++k)
        maxima.append(test.standardMaxPoints.value(k, 1));
    maxima.append(test.maxTotalPoints);
    written(folder.writeStatistics(standardPath, gridStatistics(contentsOf(tabela2()), 3, maxima), 6),
            standardPath);
}
