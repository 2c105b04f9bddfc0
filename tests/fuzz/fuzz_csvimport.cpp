// A class's CSV file as the import reads it: parseCsv (and readImportFile from disk), the layout
// guessed for tests of several sizes, and the rows applied both with the guess and with the first
// row and first points column a teacher may set in the preview. The applied rows are checked
// against what the grid and Compute (checkClassScores) do with them.
#include "analysis/scorecheck.h"
#include "analysis/testdefinition.h"
#include "core/cells.h"
#include "core/cp1250.h"
#include "files/csvimport.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

using fuzz::fail;
using fuzz::require;

// Deterministic numbers from the input, so that each input is read the same way every time.
struct Draws {
    quint32 state;
    quint32 next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint32(n)); }
};

bool isBlank(const QStringList &row)
{
    return std::all_of(row.cbegin(), row.cend(), [](const QString &f) { return f.trimmed().isEmpty(); });
}

// The cell as the grid holds it after the import: only what a cell can take, no blanks around.
// *changes counts the problems the import lists for it: characters dropped, the text cut.
QString cleaned(const QString &raw, int *changes)
{
    QString kept;
    bool dropped = false;
    for (const QChar c : raw) {
        if (isAllowedInCell(c))
            kept += c;
        else
            dropped = true;
    }
    kept = kept.trimmed();
    *changes = int(dropped);
    if (kept.size() > maxCellLength) {
        kept = kept.first(maxCellLength).trimmed();
        ++*changes;
    }
    return kept;
}

QString fieldAt(const QStringList &row, int column)
{
    return column >= 0 && column < row.size() ? row.at(column).trimmed() : QString();
}

// Fields written back as a spreadsheet would, quoted where they need it.
QByteArray csvBytes(const QList<QStringList> &rows, QChar separator)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (QString field : row) {
            if (field.contains(separator) || field.contains(u'"') || field.contains(u'\r') ||
                field.contains(u'\n')) {
                field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
                field = u'"' + field + u'"';
            }
            fields.append(field);
        }
        text += fields.join(separator) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void checkTable(const QByteArray &bytes, const CsvTable &table)
{
    require(table.separator == u';' || table.separator == u'\t' || table.separator == u',', "odd separator");
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    // Valid UTF-8 is exactly what survives decoding and encoding again unchanged.
    const bool validUtf8 = QString::fromUtf8(bytes).toUtf8() == bytes;
    const CsvEncoding encoding = bom         ? CsvEncoding::Utf8Bom
                                 : validUtf8 ? CsvEncoding::Utf8
                                             : CsvEncoding::Windows1250;
    require(table.encoding == encoding, "wrong encoding", encodingName(table.encoding));
    require(!encodingName(table.encoding).isEmpty(), "encoding without a name");

    require(!table.rows.isEmpty() && table.rows.size() <= maxCsvRows, "row count beyond the limit");
    qsizetype cells = 0;
    for (const QStringList &row : table.rows) {
        require(!row.isEmpty() && row.size() <= maxCsvFields, "field count beyond the limit");
        cells += row.size();
    }
    require(cells <= maxCsvCells, "cell count beyond the limit");
    require(!std::all_of(table.rows.cbegin(), table.rows.cend(), isBlank), "a table of blank rows");

    // Written back with quotes where needed and read again: the same fields, when the same
    // separator wins (a text that starts with a BOM of its own would lose it).
    if (table.rows.first().first().startsWith(QChar(0xFEFF)))
        return;
    QString error;
    const std::optional<CsvTable> again = parseCsv(csvBytes(table.rows, table.separator), &error);
    if (again && again->separator == table.separator)
        require(again->rows == table.rows, "fields written back read differently");
}

void checkLayoutShape(const CsvTable &table, const ImportLayout &layout)
{
    require(layout.firstDataRow >= 0 && (layout.firstDataRow == 0 || layout.firstDataRow < table.rows.size()),
            "first row outside the file");
    require(layout.codeColumn == 0 || layout.codeColumn == 1, "code column neither first nor second");
    require(layout.markColumn == -1 || layout.markColumn > layout.codeColumn, "marks before the codes");
    require(layout.firstTaskColumn > std::max(layout.codeColumn, layout.markColumn),
            "points before the codes");
}

// Applies the layout and checks the pupils: one per non-blank row from the first, each a code, a
// mark and one cell per task as the grid can hold them, and every cell Compute would refuse listed.
void checkApplied(const CsvTable &table, const ImportLayout &layout, const QList<qint32> &maxima,
                  TestDefinition &test, TestDefinition &oneTask)
{
    const ImportResult result = applyLayout(table, layout, maxima);
    const qsizetype taskCount = maxima.size();
    require(result.pupils.size() == result.fileRows.size(), "pupils and file rows differ in number");

    QList<int> expectedRows;
    for (qsizetype r = std::max(0, layout.firstDataRow); r < table.rows.size(); ++r) {
        if (!isBlank(table.rows.at(r)))
            expectedRows.append(int(r + 1));
    }
    require(result.fileRows == expectedRows, "not every pupil's row taken once, in order");

    for (const ImportProblem &problem : result.problems) {
        require(result.fileRows.contains(problem.fileRow), "a problem on no pupil's row");
        require(problem.task >= 0 && problem.task <= taskCount, "a problem on no task");
        require(!problem.text.isEmpty(), "a problem without a text");
    }
    // The problems listed for each row and task, counted once: a wide file has thousands.
    QHash<quint64, qsizetype> listedAt;
    for (const ImportProblem &problem : result.problems)
        ++listedAt[quint64(quint32(problem.fileRow)) << 32 | quint32(problem.task)];
    auto problemsAt = [&](int fileRow, int task) {
        return listedAt.value(quint64(quint32(fileRow)) << 32 | quint32(task));
    };

    for (qsizetype p = 0; p < result.pupils.size(); ++p) {
        const QStringList &pupil = result.pupils.at(p);
        const int fileRow = result.fileRows.at(p);
        const QStringList &row = table.rows.at(fileRow - 1);
        require(pupil.size() == taskCount + 2, "a pupil of the wrong width");
        for (const QString &cell : pupil) {
            require(cell == cell.trimmed(), "a cell with blanks around", cell);
            require(asTypedCell(cell) == cell, "a cell the grid would change", cell.left(80));
        }

        qsizetype rowProblems = 0;
        int changes = 0;
        require(pupil.at(0) == cleaned(fieldAt(row, layout.codeColumn), &changes), "wrong code", pupil.at(0));
        rowProblems += changes;
        if (layout.markColumn < 0) {
            require(pupil.at(1) == u"T", "no attendance column, yet not T", pupil.at(1));
        } else {
            require(pupil.at(1) == cleaned(fieldAt(row, layout.markColumn), &changes), "wrong mark",
                    pupil.at(1));
            const QString &mark = pupil.at(1);
            rowProblems += changes;
            rowProblems += !(mark == u"T" || mark == u"N" || mark == u"t" || mark == u"n");
        }
        // A row may also be told that it has filled columns past the points.
        const qsizetype listed = problemsAt(fileRow, 0);
        require(listed >= rowProblems && listed <= rowProblems + 1, "row problems miscounted",
                [listed] { return QString::number(listed); });

        // Compute stops at a pupil's first wrong cell; the cells after it are checked one by one.
        test.taskCount = qint32(taskCount);
        test.taskMaxPoints = maxima;
        const QList<PupilScores> whole =
            checkClassScores(GridRows{{}, QStringList{QString()} + pupil}, 1, test);
        require(whole.size() == 1, "Compute saw no pupil");
        const int firstFault =
            whole.first().fault == PupilScores::Fault::None ? int(taskCount) : whole.first().faultTask;
        // One pupil with one task, its points and maximum set for each task in turn.
        GridRows single{{}, {QString(), pupil.at(0), pupil.at(1), QString()}};
        oneTask.taskMaxPoints = {0};
        for (qsizetype t = 0; t < taskCount; ++t) {
            const QString &points = pupil.at(2 + t);
            require(points == cleaned(fieldAt(row, int(layout.firstTaskColumn + t)), &changes),
                    "wrong points", points);
            bool refused = t == firstFault;
            if (t > firstFault) {
                oneTask.taskMaxPoints[0] = maxima.at(t);
                single[1][3] = points;
                const QList<PupilScores> scores = checkClassScores(single, 1, oneTask);
                refused = scores.first().fault != PupilScores::Fault::None;
            }
            require(problemsAt(fileRow, int(t + 1)) == qsizetype(refused) + qsizetype(changes),
                    "points problems disagree with Compute", points);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<CsvTable> table = parseCsv(bytes, &error);
    require(table.has_value() == error.isEmpty(), "a reason given with a table, or none without one", error);

    // From the disk the same file reads the same.
    static const QString path = fuzz::scratchDir().filePath(QStringLiteral("klasa.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            fail("cannot write the scratch file");
    }
    QString problem;
    const std::optional<CsvTable> read = readImportFile(path, &problem);
    require(read.has_value() == table.has_value() && problem == error, "the file reads otherwise", problem);
    if (!table)
        return 0;
    require(read->rows == table->rows && read->separator == table->separator &&
                read->encoding == table->encoding,
            "the file reads otherwise");
    checkTable(bytes, *table);

    quint32 hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    Draws draws{hash};
    qsizetype widest = 1;
    for (const QStringList &row : table->rows)
        widest = std::max(widest, row.size());

    // Every task in the first standard, so that no task goes uncounted.
    TestDefinition test;
    test.standardCount = 1;
    test.taskStandards = QList<qint32>(TestDefinition::maxTaskCount, 1);
    TestDefinition oneTask = test;
    oneTask.taskCount = 1;
    // Two test sizes per input, one small and one large, drawn from the input: all five for every
    // input would spend the run applying the same rows again.
    constexpr std::array small{0, 1, 5};
    constexpr std::array large{25, 200};
    for (const int taskCount : {small[std::size_t(draws.below(int(small.size())))],
                                large[std::size_t(draws.below(int(large.size())))]}) {
        QList<qint32> maxima;
        for (int t = 0; t < taskCount; ++t) {
            const int kind = draws.below(8);
            maxima.append(kind == 0 ? 0 : kind == 1 ? draws.below(TestDefinition::maxTaskPoints + 1) : kind);
        }
        const ImportLayout guessed = guessLayout(*table, taskCount);
        checkLayoutShape(*table, guessed);
        checkApplied(*table, guessed, maxima, test, oneTask);

        // As the preview's spin boxes allow: the first row 1 to the file's rows, the first points
        // column 1 to the widest row's fields.
        ImportLayout changed = guessed;
        changed.firstDataRow = draws.below(int(table->rows.size()));
        changed.firstTaskColumn = draws.below(int(widest));
        checkApplied(*table, changed, maxima, test, oneTask);
    }
    return 0;
}
