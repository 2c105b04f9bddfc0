// The semicolon grid files of a school directory as the workbook reads them: parseGridFile, then
// the school session's readGridFile and readGridFileAt placing the rows into its sheets, and the
// school page's statistics built from what the classes' statistics files put into the sheet.
#include "analysis/testdefinition.h"
#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/gridfile.h"
#include "files/report.h"
#include "files/schoolfile.h"
#include "school/schoolsession.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QString>

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

SchoolSession *session = nullptr;

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

// An empty sheet of cols × height cells, its rows numbered.
GridRows emptySheet(int cols, int height)
{
    GridRows sheet(height, QStringList(cols));
    for (int r = 1; r < height; ++r)
        sheet[r][0] = QString::number(r);
    return sheet;
}

QString cellOf(const GridRows &sheet, int c, int r)
{
    return sheet[r][c];
}

// The empty sheet, then the rows put at (firstCol, firstRow): fields beyond the sheet are dropped,
// cells the file does not reach keep what they had.
void checkGrid(const GridRows &grid, const GridRows &rows, int firstCol, int firstRow, int cols, int height)
{
    require(grid.size() == height &&
                std::all_of(grid.begin(), grid.end(),
                            [cols](const QStringList &row) { return row.size() == cols; }),
            "reading changed the sheet's shape");
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < cols; ++c) {
            QString want = c == 0 && r > 0 ? QString::number(r) : QString();
            const int j = r - firstRow;
            const int k = c - firstCol;
            if (j >= 0 && k >= 0 && j < rows.size() && k < rows[j].size())
                want = rows[j][k];
            require(cellOf(grid, c, r) == want, "grid cell",
                    [c, r] { return QStringLiteral("(%1, %2)").arg(c).arg(r); });
        }
    }
}

void writeScratch(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the scratch file");
}

// Statistics files of up to four classes (the same file each time) on the school page's lower
// grid, and the school's averages written from them.
void checkSchoolStatistics(const QString &path, int classes)
{
    const int rows = 2 * classes + 3;
    GridRows grid = emptySheet(9, rows);
    for (int i = 0; i < classes; ++i)
        session->readGridFileAt(&grid, 3, 2 * i + 1, path);

    // The averages can only be written back as numbers while the sum stays within a float.
    bool withinFloat = true;
    for (int r = 1; r <= 2 * classes; ++r) {
        for (int c = 3; c < 9; ++c) {
            const std::optional<double> value = parseDecimal(cellOf(grid, c, r));
            if (value && std::fabs(*value) > double(std::numeric_limits<float>::max()) / 8)
                withinFloat = false;
        }
    }

    static const QString out = fuzz::scratchDir().filePath(QStringLiteral("Standardy.tmp"));
    QFile::remove(out);
    Outcome outcome;
    session->writeSchoolStatistics(6, classes, &grid, out, &outcome);
    require(outcome.notices.isEmpty(), "the school statistics said something");
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
    new QCoreApplication(*argc, *argv);
    // The user's own settings and tests are never touched by the fuzzer.
    QStandardPaths::setTestModeEnabled(true);
    // The scratch folder is a school's, so that its files may be read at all.
    SchoolSetup setup;
    setup.classCount = 1;
    setup.headings =
        QStringList{QStringLiteral("L.p."), QStringLiteral("Klasa"), QStringLiteral("Liczba uczniów")};
    setup.labels = QStringList{QStringLiteral("A")};
    setup.pupilTexts = QStringList{QStringLiteral("1")};
    writeScratch(fuzz::scratchDir().filePath(QStringLiteral("Szkola.ini")), schoolFileBytes(setup));
    session = new SchoolSession;
    require(session->openSchool(fuzz::scratchDir().path()).ok, "the scratch school does not open");
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

    static const QString path = fuzz::scratchDir().filePath(QStringLiteral("Odpowiedzi.tmp"));
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

    GridRows upper = emptySheet(cols, height);
    Outcome outcome;
    // A file far beyond the grid's shape is refused, with the file error, and the grid kept; one
    // whose lines are wider than the grid, or with pupils beyond its rows, is not half-loaded and
    // the page says which file does not fit.
    const bool withinLimits = parseGridFileWithin(bytes, gridLimitsFor(height, cols)).has_value();
    const std::optional<GridRows> wide = parseGridFileWithin(
        bytes, gridLimitsFor(std::max(height, 1000), std::max(cols, TestDefinition::maxTaskCount + 3)));
    const bool misfit = wide && !gridFit(*wide, height, cols).fits;
    const bool loaded = withinLimits && !misfit;
    require(session->readGridFile(&upper, path, &outcome) == loaded, "readGridFile and the limits disagree");
    QStringList shown;
    for (const Notice &notice : std::as_const(outcome.notices))
        shown.append(notice.text);
    if (misfit)
        require(shown.isEmpty() && session->pageBlock() &&
                    session->pageBlock()->reasons.startsWith(QStringLiteral("Plik „")),
                "a file that does not fit is not said:", session->blockedMessage());
    else
        require(shown ==
                    (withinLimits ? QStringList() : QStringList{QStringLiteral("Nie mogę odczytać pliku!")}),
                "unexpected message box:", shown.join(u'|'));
    session->leavePages();
    checkGrid(upper, loaded ? rows : GridRows(), 0, 0, cols, height);

    upper = emptySheet(cols, height);
    const bool statisticsWithin = parseGridFileWithin(bytes, gridLimitsFor(2, cols - firstCol)).has_value();
    session->readGridFileAt(&upper, firstCol, firstRow, path);
    checkGrid(upper, statisticsWithin ? rows : GridRows(), firstCol, firstRow, cols, height);

    checkSchoolStatistics(path, 1 + int((hash >> 14) % 4));
    return 0;
}
