// Between the grids and the school folder: the pages' cells go to and come from its files, and a
// file the folder could not write or read is said once.
#include "workbook/tfwyniki.h"

#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"

namespace {

const QString cannotWrite = QStringLiteral("Nie mogę zapisać pliku!");
const QString cannotRead = QStringLiteral("Nie mogę odczytać pliku!");

// Fields beyond the grid's shape are dropped: no one reads them.
void putRows(StringGrid *grid, const GridRows &rows, int firstCol, int firstRow)
{
    for (int j = 0; j < rows.size(); ++j) {
        const int row = firstRow + j;
        if (row >= grid->rowCount())
            break;
        const QStringList &fields = rows[j];
        for (int k = 0; k < fields.size(); ++k) {
            const int col = firstCol + k;
            if (col >= grid->colCount())
                break;
            grid->setCell(col, row, fields[k]);
        }
    }
}

} // namespace

SchoolFolder TfWyniki::school() const
{
    return SchoolFolder(schoolDirectory, classLabels, pupilCounts);
}

bool TfWyniki::written(WriteStatus status, const QString &path) const
{
    if (status == WriteStatus::OutsideSchool)
        messages::showFileError(outsideSchoolMessage(path, schoolDirectory, true));
    else if (status == WriteStatus::Failed)
        messages::showFileError(cannotWrite);
    return status == WriteStatus::Ok;
}

void TfWyniki::showReadFailure(ReadStatus status, const QString &path) const
{
    if (status == ReadStatus::OutsideSchool)
        messages::showFileError(outsideSchoolMessage(path, schoolDirectory, false));
    else if (status == ReadStatus::Failed)
        messages::showFileError(cannotRead);
}

GridRows TfWyniki::contentsOf(const StringGrid *grid)
{
    GridRows rows;
    rows.reserve(grid->rowCount());
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        cells.reserve(grid->colCount());
        for (int c = 0; c < grid->colCount(); ++c)
            cells.append(grid->cell(c, r));
        rows.append(cells);
    }
    return rows;
}

bool TfWyniki::writeSchoolFile()
{
    SchoolSetup setup;
    setup.classCount = classCount;
    StringGrid *list = tabela1();
    for (int c = 0; c < 3; ++c)
        setup.headings.append(list->cell(c, 0));
    for (int n = 1; n <= classCount; ++n) {
        setup.labels.append(list->cell(1, n));
        setup.pupilTexts.append(list->cell(2, n));
    }
    return written(school().writeSchoolFile(setup), paths().file(schoolfiles::setup));
}

void TfWyniki::readSchoolFile()
{
    ReadStatus status = ReadStatus::Ok;
    const SchoolFileReader reader = school().readSchoolFile(&status);
    // An unreadable file gives the defaults without a word, as a missing one does; one reached
    // through a symlink out of the school folder is said.
    if (status == ReadStatus::OutsideSchool)
        showReadFailure(status, paths().file(schoolfiles::setup));
    classCount = reader.classCount();
    // The edit's change handler keeps the count within 1 to 25 and lays the list out.
    ui->eLiczbaKlas->setText(QString::number(classCount));
    if (classCount < 1)
        classCount = 1;
    StringGrid *list = tabela1();
    resetGrid(list, 3, classCount + 1, 195);
    for (int c = 0; c < 3; ++c)
        list->setCell(c, 0, reader.heading(c));
    for (int n = 1; n <= classCount; ++n) {
        list->setCell(1, n, reader.label(n));
        list->setCell(2, n, reader.pupilsText(n));
    }
}

bool TfWyniki::writeGridFile(StringGrid *grid, const QString &path)
{
    return written(school().writeGrid(path, contentsOf(grid)), path);
}

bool TfWyniki::readGridFile(StringGrid *grid, const QString &path)
{
    ReadStatus status = ReadStatus::Ok;
    const std::optional<GridRows> rows = school().readGrid(path, grid->rowCount(), grid->colCount(), &status);
    if (!rows) {
        showReadFailure(status, path);
        return false;
    }
    putRows(grid, *rows, 0, 0);
    grid->clearUndo();
    return true;
}

void TfWyniki::readStatisticsAt(StringGrid *grid, int firstCol, int firstRow, const QString &path)
{
    if (const std::optional<GridRows> rows = school().readStatistics(path, grid->colCount() - firstCol))
        putRows(grid, *rows, firstCol, firstRow);
}
