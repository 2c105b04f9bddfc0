// The workbook's files: the school file and the grid files, between the grids and the disk.
#include "workbook/tfwyniki.h"

#include "core/cp1250.h"
#include "files/gridfile.h"
#include "files/savefile.h"
#include "files/schoolfile.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"

#include <QDir>

namespace {

const QString cannotWrite = QStringLiteral("Nie mogę zapisać pliku!");
const QString cannotRead = QStringLiteral("Nie mogę odczytać pliku!");

QString outsideSchool(const QString &path, const QString &root, bool writing)
{
    return (writing ? QStringLiteral("Nie mogę zapisać pliku:\n%1\nPlik albo jego katalog jest dowiązaniem "
                                     "symbolicznym, które prowadzi poza katalog szkoły (%2). Dla "
                                     "bezpieczeństwa program niczego nie zapisał.")
                    : QStringLiteral("Nie mogę odczytać pliku:\n%1\nPlik albo jego katalog jest dowiązaniem "
                                     "symbolicznym, które prowadzi poza katalog szkoły (%2). Dla "
                                     "bezpieczeństwa program go nie odczytał."))
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(root));
}

} // namespace

WriteStatus TfWyniki::writeInSchool(const QString &path, const QByteArray &bytes)
{
    const WriteResult result = writeFileInside(schoolDirectory, path, bytes);
    if (result.status == WriteStatus::OutsideSchool)
        messages::showFileError(outsideSchool(path, schoolDirectory, true));
    else if (result.status == WriteStatus::Failed)
        messages::showFileError(cannotWrite);
    return result.status;
}

ReadStatus TfWyniki::readFromSchool(const QString &path, QByteArray *bytes, qint64 limit, bool quiet) const
{
    const ReadStatus status = readFileInside(schoolDirectory, path, bytes, limit);
    if (!quiet && status == ReadStatus::OutsideSchool)
        messages::showFileError(outsideSchool(path, schoolDirectory, false));
    else if (!quiet && status == ReadStatus::Failed)
        messages::showFileError(cannotRead);
    return status;
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
    return writeInSchool(path, schoolFileBytes(setup)) == WriteStatus::Ok;
}

void TfWyniki::readSchoolFile(const QString &path)
{
    // Twenty-five classes with the longest labels fit many times over.
    constexpr qint64 largestSchoolFile = 1024 * 1024;
    QByteArray bytes;
    // An unreadable file gives the defaults without a word, as a missing one does; one reached
    // through a symlink out of the school folder is said.
    if (readFromSchool(path, &bytes, largestSchoolFile, true) == ReadStatus::OutsideSchool)
        messages::showFileError(outsideSchool(path, schoolDirectory, false));
    const SchoolFileReader reader(IniFile::fromBytes(bytes));
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
    return writeInSchool(path, gridFileBytes(contentsOf(grid))) == WriteStatus::Ok;
}

bool TfWyniki::readGridFile(StringGrid *grid, const QString &path)
{
    const GridLimits limits = gridLimitsFor(grid->rowCount(), grid->colCount());
    QByteArray bytes;
    if (readFromSchool(path, &bytes, limits.bytes, false) != ReadStatus::Ok)
        return false;
    const std::optional<GridRows> rows = parseGridFileWithin(bytes, limits);
    if (!rows) {
        messages::showFileError(cannotRead);
        return false;
    }
    putRows(grid, *rows, 0, 0);
    grid->clearUndo();
    return true;
}

void TfWyniki::readGridFileAt(StringGrid *grid, int firstCol, int firstRow, const QString &path)
{
    // A statistics file: two lines of one value per column.
    const GridLimits limits = gridLimitsFor(2, grid->colCount() - firstCol);
    QByteArray bytes;
    if (readFromSchool(path, &bytes, limits.bytes, true) != ReadStatus::Ok)
        return;
    if (const std::optional<GridRows> rows = parseGridFileWithin(bytes, limits))
        putRows(grid, *rows, firstCol, firstRow);
}
