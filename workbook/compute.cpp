// Compute: checks a class's points, fills its summary and writes its statistics files.
#include "workbook/tfwyniki.h"

#include "analysis/scorecheck.h"
#include "files/gridfile.h"
#include "files/savefile.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"
#include "workbook/classstatistics.h"

#include "core/errors.h"

namespace {

QByteArray statisticsBytes(const StatisticsLines &lines, int valueCount)
{
    const int count = std::min<int>(valueCount, int(lines.averages.size()));
    return statisticsFileBytes(lines.averages.mid(0, count), lines.facilities.mid(0, count));
}

} // namespace

void TfWyniki::bObliczClick()
{
    tabela1()->commitOpenEditor();
    if (!isClassPage(currentPage))
        return;
    const int classIndex = currentPage - 1;
    validateScores(pupilCounts.value(classIndex));
    if (badPupilCount != 0)
        return;
    const SchoolPaths files = paths();
    const WriteStatus saved = writeInSchool(files.classFile(classIndex, schoolfiles::answers),
                                            gridFileBytes(contentsOf(tabela1())));
    if (saved == WriteStatus::Ok)
        markScoresSaved();
    // The statistics would lead out of the school folder the same way; it has been said once.
    if (saved == WriteStatus::OutsideSchool)
        return;
    writeTaskStatistics(test.taskCount, tabela1(), files.classFile(classIndex, schoolfiles::taskStatistics));
    writeStandardStatistics(test.standardCount, tabela2(),
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

void TfWyniki::writeTaskStatistics(qint32 valueCount, StringGrid *grid, const QString &path)
{
    QList<bool> present;
    for (int r = 1; r < grid->rowCount(); ++r)
        present.append(isPresentMark(grid->cell(2, r)));
    QList<QList<qint32>> points;
    QList<qint32> maxima;
    for (int c = 3; c < grid->colCount(); ++c) {
        QList<qint32> column;
        for (int r = 1; r < grid->rowCount(); ++r)
            column.append(present[r - 1] ? cellAsInteger(grid, c, r) : 0);
        points.append(column);
        maxima.append(test.taskMaxPoints.value(c - 3));
    }
    writeInSchool(path, statisticsBytes(columnStatistics(points, present, maxima), valueCount));
}

void TfWyniki::writeStandardStatistics(qint32 standards, StringGrid *grid, const QString &path)
{
    QList<bool> present;
    for (int r = 1; r < grid->rowCount(); ++r)
        present.append(isPresentMark(grid->cell(2, r)));
    QList<QList<qint32>> points;
    QList<qint32> maxima;
    for (int c = 3; c <= 8; ++c) {
        QList<qint32> column;
        for (int r = 1; r < grid->rowCount(); ++r)
            column.append(present[r - 1] ? cellAsInteger(grid, c, r) : 0);
        points.append(column);
        // A standard the test does not define has no maximum: its column is never written.
        maxima.append(c == 8 ? test.maxTotalPoints : test.standardMaxPoints.value(c - 3, 1));
    }
    // Always the five standard columns and the whole test, so that every class file lines up with
    // the school grid whatever number of standards the test defines.
    Q_UNUSED(standards);
    writeInSchool(path, statisticsBytes(columnStatistics(points, present, maxima), 6));
}
