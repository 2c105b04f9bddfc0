// The workbook's files: the school file and the grid files, between the grids and the disk.
#include "tfwyniki.h"

#include "cp1250.h"
#include "gridfile.h"
#include "messages.h"
#include "savefile.h"
#include "schoolfile.h"
#include "stringgrid.h"
#include "ui_tfwyniki.h"

namespace {

const QString cannotWrite = QStringLiteral("Nie mogę zapisać pliku!");
const QString cannotRead = QStringLiteral("Nie mogę odczytać pliku!");

} // namespace

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

namespace {

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

bool TfWyniki::writeSchoolFile(const QString &path)
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
    if (!writeFileAtomically(path, schoolFileBytes(setup))) {
        messages::showFileError(cannotWrite);
        return false;
    }
    return true;
}

void TfWyniki::readSchoolFile(const QString &path)
{
    const SchoolFileReader reader(path);
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
    if (!writeFileAtomically(path, gridFileBytes(contentsOf(grid)))) {
        messages::showFileError(cannotWrite);
        return false;
    }
    return true;
}

bool TfWyniki::readGridFile(StringGrid *grid, const QString &path)
{
    QByteArray bytes;
    switch (readWholeFile(path, &bytes)) {
    case ReadStatus::Missing:
        return false;
    case ReadStatus::Failed:
        messages::showFileError(cannotRead);
        return false;
    case ReadStatus::Ok:
        putRows(grid, parseGridFile(bytes), 0, 0);
        return true;
    }
    return false;
}

void TfWyniki::readGridFileAt(StringGrid *grid, int firstCol, int firstRow, const QString &path)
{
    QByteArray bytes;
    if (readWholeFile(path, &bytes) == ReadStatus::Ok)
        putRows(grid, parseGridFile(bytes), firstCol, firstRow);
}
