// The semicolon grid files of a school directory as the workbook reads them: parseGridFile, then
// TfWyniki::readGridFile and readStatisticsAt placing the rows into its grids, and the school page's
// statistics built from what the classes' statistics files put into the grid.
#include "analysis/testdefinition.h"
#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/gridfile.h"
#include "files/report.h"
#include "tests/fuzz/fuzzsupport.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "workbook/tfwyniki.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

using fuzz::fail;
using fuzz::require;

TfWyniki *workbook = nullptr;
QTemporaryDir *scratch = nullptr;
QStringList *shown = nullptr;

void checkParsed(const QByteArray &bytes, const GridRows &rows)
{
    // One row per line, a final line feed ending the last line rather than starting another.
    const qsizetype lines = bytes.count('\n') + (!bytes.isEmpty() && !bytes.endsWith('\n') ? 1 : 0);
    require(rows.size() == lines && rows.size() <= bytes.size(), "row count is not the line count");

    qsizetype lineStart = 0;
    for (const QStringList &fields : rows) {
        qsizetype lineEnd = bytes.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = bytes.size();
        const QByteArray line = bytes.sliced(lineStart, lineEnd - lineStart);
        require(fields.size() == line.count(';'), "field count is not the semicolon count");
        // Everything up to the line's last ";" comes back byte for byte.
        if (!fields.isEmpty()) {
            const QByteArray kept = line.first(line.lastIndexOf(';') + 1);
            require(cp1250::encode(fields.join(u';') + u';') == kept, "fields do not give back the line");
        }
        lineStart = lineEnd + 1;
    }

    // Written and read again: the same cells, empty ones and one blank written as "-". A last row
    // without cells writes nothing, so it is not read back.
    GridRows expected = rows;
    for (QStringList &fields : expected) {
        for (QString &cell : fields) {
            if (cell.isEmpty() || cell == u" ")
                cell = QStringLiteral("-");
        }
    }
    if (!expected.isEmpty() && expected.last().isEmpty())
        expected.removeLast();
    require(parseGridFile(gridFileBytes(rows)) == expected, "grid file round trip");
}

// The grid after resetGrid, then the rows put at (firstCol, firstRow): fields beyond the grid are
// dropped, cells the file does not reach keep what they had.
void checkGrid(const StringGrid *grid, const GridRows &rows, int firstCol, int firstRow, int cols, int height)
{
    require(grid->colCount() == cols && grid->rowCount() == height, "reading changed the grid's shape");
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < cols; ++c) {
            QString want = c == 0 && r > 0 ? QString::number(r) : QString();
            const int j = r - firstRow;
            const int k = c - firstCol;
            if (j >= 0 && k >= 0 && j < rows.size() && k < rows[j].size())
                want = rows[j][k];
            require(grid->cell(c, r) == want, "grid cell", QStringLiteral("(%1, %2)").arg(c).arg(r));
        }
    }
}

void writeScratch(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the scratch file");
}

void resetGrid(StringGrid *grid, int cols, int rows)
{
    grid->clearCells();
    workbook->resetGrid(grid, cols, rows, 640);
}

// Statistics files of up to four classes (the same file each time) on the school page's lower
// grid, and the school's averages written from them.
void checkSchoolStatistics(const QString &path, int classes)
{
    StringGrid *grid = workbook->tabela2();
    const int rows = 2 * classes + 3;
    resetGrid(grid, 9, rows);
    for (int i = 0; i < classes; ++i)
        workbook->readStatisticsAt(grid, 3, 2 * i + 1, path);

    // The averages can only be written back as numbers while the sum stays within a float.
    bool withinFloat = true;
    for (int r = 1; r <= 2 * classes; ++r) {
        for (int c = 3; c < 9; ++c) {
            const std::optional<double> value = parseDecimal(grid->cell(c, r));
            if (value && std::fabs(*value) > double(std::numeric_limits<float>::max()) / 8)
                withinFloat = false;
        }
    }

    const QString out = scratch->filePath(QStringLiteral("Standardy.tmp"));
    QFile::remove(out);
    workbook->writeSchoolStatistics(6, classes, grid, out);
    if (!QFile::exists(out))
        return; // some column had no value: nothing is written
    QFile file(out);
    require(file.open(QIODevice::ReadOnly), "cannot read the school statistics");
    const GridRows written = parseGridFile(file.readAll());
    require(written.size() == 2 && written[0].size() == 6 && written[1].size() == 6,
            "school statistics of the wrong shape");
    if (!withinFloat)
        return;
    for (const QStringList &line : written) {
        for (const QString &field : line)
            require(parseDecimal(field.trimmed()).has_value(), "school statistics not a number", field);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the whole run: the workbook and its grids are built once, like the program's.
    new QApplication(*argc, *argv);
    shown = new QStringList;
    messages::setPresenter([](const messages::Message &message) {
        shown->append(message.text);
        return QMessageBox::Ok;
    });
    scratch = new QTemporaryDir;
    require(scratch->isValid(), "no temporary directory");
    // The user's own settings and tests are never touched by the fuzzer.
    QStandardPaths::setTestModeEnabled(true);
    workbook = new TfWyniki;
    // The scratch folder is the school's, so that its files may be read at all.
    workbook->schoolDirectory = scratch->path();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const GridRows rows = parseGridFile(bytes);
    checkParsed(bytes, rows);
    // The same bytes as a page's report, read back before its spreadsheet file is made anew.
    if (const std::optional<ReportContent> report = parseReport(bytes))
        require(reportBytes(*report) == bytes, "a report read back does not give its bytes");

    const QString path = scratch->filePath(QStringLiteral("Odpowiedzi.tmp"));
    writeScratch(path, bytes);

    // The grid's shape and the place of the rows follow from the bytes, so that each input is
    // read the same way every time yet the inputs try many shapes.
    quint32 hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    const int cols = 1 + int(hash % 30);
    const int height = 1 + int((hash >> 5) % 30);
    const int firstCol = int((hash >> 10) % 4);
    const int firstRow = int((hash >> 12) % 4);

    StringGrid *upper = workbook->tabela1();
    resetGrid(upper, cols, height);
    shown->clear();
    // A file far beyond the grid's shape is refused, with the file error, and the grid kept; one
    // whose lines are wider than the grid, or with pupils beyond its rows, is not half-loaded and
    // the page says which file does not fit.
    const bool withinLimits = parseGridFileWithin(bytes, gridLimitsFor(height, cols)).has_value();
    const std::optional<GridRows> wide = parseGridFileWithin(
        bytes, gridLimitsFor(std::max(height, 1000), std::max(cols, TestDefinition::maxTaskCount + 3)));
    const bool misfit = wide && !gridFit(*wide, height, cols).fits;
    const bool loaded = withinLimits && !misfit;
    require(workbook->readGridFile(upper, path) == loaded, "readGridFile and the limits disagree");
    if (misfit)
        require(shown->size() == 1 && shown->first().startsWith(QStringLiteral("Plik „")),
                "a file that does not fit is not said:", shown->join(u'|'));
    else
        require(*shown ==
                    (withinLimits ? QStringList() : QStringList{QStringLiteral("Nie mogę odczytać pliku!")}),
                "unexpected message box:", shown->join(u'|'));
    checkGrid(upper, loaded ? rows : GridRows(), 0, 0, cols, height);

    resetGrid(upper, cols, height);
    const bool statisticsWithin = parseGridFileWithin(bytes, gridLimitsFor(2, cols - firstCol)).has_value();
    const qsizetype messagesBefore = shown->size();
    workbook->readStatisticsAt(upper, firstCol, firstRow, path);
    checkGrid(upper, statisticsWithin ? rows : GridRows(), firstCol, firstRow, cols, height);
    require(shown->size() == messagesBefore, "readStatisticsAt showed a message", shown->join(u'|'));

    checkSchoolStatistics(path, 1 + int((hash >> 14) % 4));
    require(shown->size() == messagesBefore, "the school statistics showed a message", shown->join(u'|'));
    // What the grids queued for the event loop (repaints) runs now, as it would in the program.
    QCoreApplication::processEvents();
    return 0;
}
