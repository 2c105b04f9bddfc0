#include "files/csvimport.h"

#include "core/cells.h"
#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/savefile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// ---- Reading the file ----

enum class ScanStatus { Ok, UnclosedQuote, TooManyRows, TooManyFields, TooManyCells };

struct ScanResult {
    ScanStatus status = ScanStatus::Ok;
    qsizetype row = 0; // where the scan stopped, from 0
};

// Splits text into records of fields: a field that begins with a quotation mark runs to the
// closing one ("" inside stands for one, separators and line breaks are kept); whatever follows it
// up to the separator is kept too, as spreadsheets do. CR LF, LF and CR end a record; a final line
// break starts none. onField(QString) gets every field, onRowEnd() every end of a record. The counts
// are checked against the limits only when `limited`: a count alone costs no memory.
template <typename OnField, typename OnRowEnd>
ScanResult scanRecords(QStringView text, QChar separator, bool limited, OnField onField, OnRowEnd onRowEnd)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    qsizetype rows = 0;
    qsizetype fields = 0;
    qsizetype cells = 0;
    while (true) {
        QString field;
        if (i < n && text.at(i) == u'"') {
            ++i;
            while (true) {
                if (i >= n)
                    return {ScanStatus::UnclosedQuote, rows};
                if (text.at(i) == u'"') {
                    if (i + 1 < n && text.at(i + 1) == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                const qsizetype start = i;
                while (i < n && text.at(i) != u'"')
                    ++i;
                field += text.mid(start, i - start);
            }
        }
        const qsizetype start = i;
        while (i < n && text.at(i) != separator && text.at(i) != u'\r' && text.at(i) != u'\n')
            ++i;
        field += text.mid(start, i - start);
        if (++fields > maxCsvFields && limited)
            return {ScanStatus::TooManyFields, rows};
        if (++cells > maxCsvCells && limited)
            return {ScanStatus::TooManyCells, rows};
        onField(std::move(field));
        if (i < n && text.at(i) == separator) {
            ++i;
            continue;
        }
        onRowEnd();
        fields = 0;
        if (++rows > maxCsvRows && limited)
            return {ScanStatus::TooManyRows, rows};
        if (i >= n)
            break;
        if (text.at(i) == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        ++i;
        if (i >= n)
            break;
    }
    return {ScanStatus::Ok, rows};
}

QString scanProblem(const ScanResult &result)
{
    switch (result.status) {
    case ScanStatus::Ok:
        break;
    case ScanStatus::UnclosedQuote:
        return u"Cudzysłów otwarty w wierszu %1 pliku nie został zamknięty. Popraw plik w arkuszu "
               u"kalkulacyjnym i zapisz go ponownie."_s.arg(result.row + 1);
    case ScanStatus::TooManyRows:
        return u"Plik ma więcej niż %1 wierszy, więc nie zawiera wyników jednej klasy."_s.arg(maxCsvRows);
    case ScanStatus::TooManyFields:
        return u"Wiersz %1 pliku ma więcej niż %2 pól, więc plik nie zawiera wyników jednej klasy."_s
            .arg(result.row + 1)
            .arg(maxCsvFields);
    case ScanStatus::TooManyCells:
        return u"Plik ma więcej niż %1 pól, więc nie zawiera wyników jednej klasy."_s.arg(maxCsvCells);
    }
    return {};
}

bool isBlankField(const QString &field)
{
    return field.trimmed().isEmpty();
}

bool isBlankRow(const QStringList &row)
{
    return std::all_of(row.cbegin(), row.cend(), isBlankField);
}

// How well the separator splits the rows: how many rows that are not blank have the most common
// number of fields, when that number is above one; -1 when a quotation mark is left open with it.
qsizetype separatorScore(QStringView text, QChar separator)
{
    std::map<qsizetype, qsizetype> rowsWithCount;
    qsizetype fields = 0;
    bool blank = true;
    const ScanResult result = scanRecords(
        text, separator, false,
        [&](QString field) {
            ++fields;
            blank = blank && isBlankField(field);
        },
        [&] {
            if (!blank)
                ++rowsWithCount[fields];
            fields = 0;
            blank = true;
        });
    if (result.status != ScanStatus::Ok)
        return -1;
    qsizetype best = 0;
    for (const auto &[count, rows] : rowsWithCount) {
        if (count > 1)
            best = qMax(best, rows);
    }
    return best;
}

// ---- Reading the cells ----

// A count of points as anyone might type it, right or wrong: "2", "-1", "2,5", "2.0".
bool looksNumeric(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+'))
        ++i;
    qsizetype digits = 0;
    bool separatorSeen = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() >= u'0' && c.unicode() <= u'9') {
            ++digits;
        } else if ((c == u',' || c == u'.') && !separatorSeen) {
            separatorSeen = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

bool isWholeNumberText(const QString &text)
{
    return looksNumeric(text) && !text.contains(u',') && !text.contains(u'.');
}

bool isMark(const QString &text)
{
    return text == u"T" || text == u"N" || text == u"t" || text == u"n";
}

QString cellAt(const QStringList &row, qsizetype column)
{
    return column >= 0 && column < row.size() ? row.at(column).trimmed() : QString();
}

struct CellCounts {
    qsizetype numbers = 0;
    qsizetype marks = 0;
    qsizetype texts = 0; // neither empty, nor a number, nor a mark
    qsizetype blanks = 0;
};

void count(CellCounts &counts, const QString &cell)
{
    if (isBlankCell(cell))
        ++counts.blanks;
    else if (looksNumeric(cell))
        ++counts.numbers;
    else if (isMark(cell))
        ++counts.marks;
    else
        ++counts.texts;
}

// The first column from `from` at which each task's column holds mostly what its task takes (symbols
// in a keyed task's, points in the others'), when some task is keyed; -1 otherwise. Letters
// make a column look like names, so without this the points would be guessed to start too late.
qsizetype firstFittingColumn(const QList<const QStringList *> &data, qsizetype from, qsizetype columns,
                             int taskCount, const QList<TaskKey> &keys)
{
    if (std::none_of(keys.begin(), keys.end(), [](const TaskKey &key) { return key.isKeyed(); }))
        return -1;
    // A typo here and there must not move the points: most of a column's cells will do.
    const auto fits = [&](qsizetype column, const TaskKey &key) {
        qsizetype filled = 0;
        qsizetype refused = 0;
        for (const QStringList *row : data) {
            const QString cell = cellAt(*row, column).trimmed();
            if (isBlankCell(cell))
                continue;
            ++filled;
            const bool taken = key.isKeyed() ? readClosedCell(cell, key).kind != ClosedCell::Kind::Refused
                                             : looksNumeric(cell);
            refused += taken ? 0 : 1;
        }
        return refused * 2 <= filled;
    };
    for (qsizetype c = from; c + taskCount <= columns; ++c) {
        bool all = true;
        for (int t = 0; t < taskCount && all; ++t)
            all = fits(c + t, keys.value(t));
        if (all)
            return c;
    }
    return -1;
}

// Task numbers over the point columns ("Kod;1;2;3"): whole numbers 1, 2, 3, ... in order.
bool numbersTheTasks(const QStringList &row, int taskCount)
{
    qint32 expected = 1;
    for (qsizetype c = 1; c < row.size(); ++c) {
        const QString cell = row.at(c).trimmed();
        if (!looksNumeric(cell))
            continue;
        if (!isWholeNumberText(cell) || parseInteger(cell) != expected)
            return false;
        ++expected;
    }
    const qint32 numbers = expected - 1;
    return numbers >= 3 || (numbers >= 2 && numbers == taskCount);
}

// Columns holding numbers in at least as many rows as texts: points and row numbers. The pupils
// outnumber the heading rows, so the headings do not decide.
QList<bool> numericColumns(const QList<QStringList> &rows)
{
    QList<CellCounts> counts;
    for (const QStringList &row : rows) {
        if (counts.size() < row.size())
            counts.resize(row.size());
        for (qsizetype c = 0; c < row.size(); ++c)
            count(counts[c], row.at(c).trimmed());
    }
    QList<bool> numeric;
    for (const CellCounts &column : counts)
        numeric.append(column.numbers > 0 && column.numbers >= column.texts);
    return numeric;
}

// A pupil's row: no text where the numbers are (as a heading or a title has), and a number or an
// attendance mark (a row with a code alone may be a title); not the tasks' numbers.
bool isPupilRow(const QStringList &row, const QList<bool> &numeric, int taskCount)
{
    if (numbersTheTasks(row, taskCount))
        return false;
    bool numberOrMark = false;
    for (qsizetype c = 0; c < row.size(); ++c) {
        const QString cell = row.at(c).trimmed();
        if (isBlankCell(cell))
            continue;
        if (isMark(cell)) {
            numberOrMark = true;
        } else if (numeric.value(c)) {
            if (!looksNumeric(cell))
                return false;
            numberOrMark = true;
        }
    }
    return numberOrMark;
}

CellCounts columnCounts(const QList<const QStringList *> &rows, qsizetype column)
{
    CellCounts counts;
    for (const QStringList *row : rows)
        count(counts, cellAt(*row, column));
    return counts;
}

// ---- Checking the cells ----

// The same rule as typing into the grid: these would break the program's lines and fields, or
// cannot be written in its code page at all.
bool isStorable(QChar c)
{
    return c != u';' && c.category() != QChar::Other_Control && cp1250::canEncode(c);
}

// The text without the characters the program's files cannot hold; those dropped, described for
// the teacher, go to *dropped (each once).
QString storableText(const QString &text, QStringList *dropped)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (!pair && isStorable(c)) {
            kept += c;
            continue;
        }
        QString described;
        if (pair) {
            described = u"„"_s + text.mid(i, 2) + u"”"_s;
            ++i;
        } else if (c.category() == QChar::Other_Control) {
            described =
                u"znak sterujący U+"_s + QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
        } else {
            described = u"„"_s + c + u"”"_s;
        }
        if (!dropped->contains(described))
            dropped->append(described);
    }
    return kept;
}

QString droppedProblem(const QStringList &dropped)
{
    return u"Usunięto znaki, których pliki programu nie mogą zawierać: %1."_s.arg(dropped.join(u", "_s));
}

QString pointsProblem(const QString &text, qint32 maximum)
{
    // Compute reads an empty cell, one blank and "-" as 0 points.
    if (text.isEmpty() || text == u"-")
        return {};
    const std::optional<qint32> points = parseInteger(text);
    if (!points)
        return u"„%1” nie jest całkowitą liczbą punktów."_s.arg(text);
    if (*points < 0)
        return u"Liczba punktów „%1” jest ujemna."_s.arg(text);
    if (*points > maximum)
        return u"%1 pkt to więcej, niż można dostać za to zadanie (najwyżej %2 pkt)."_s.arg(*points).arg(
            maximum);
    return {};
}

// Why the bytes are no CSV file of a class, judged before they are decoded; "" when they may be.
QString refusalOf(const QByteArray &bytes)
{
    // Decided by the size alone, before a byte is looked at.
    if (bytes.size() > maxCsvBytes) {
        constexpr qsizetype megabyte = 1024 * 1024;
        const qsizetype megabytes = (bytes.size() + megabyte / 2) / megabyte;
        const QString size = megabytes > maxCsvBytes / megabyte
                                 ? u"%1 MB"_s.arg(megabytes)
                                 : u"ponad %1 MB"_s.arg(maxCsvBytes / megabyte);
        return u"Plik ma %1, a plik z wynikami klasy może mieć najwyżej %2 MB. Wybierz plik CSV z "
               u"wynikami jednej klasy."_s.arg(size)
                   .arg(maxCsvBytes / megabyte);
    }
    if (bytes.startsWith("PK\x03\x04"))
        return u"To jest skoroszyt (XLSX albo ODS), a nie plik CSV. Zapisz arkusz w arkuszu "
               u"kalkulacyjnym jako CSV i wybierz ten plik."_s;
    if (bytes.startsWith("\xD0\xCF\x11\xE0"))
        return u"To jest skoroszyt programu Excel (XLS), a nie plik CSV. Zapisz arkusz jako CSV i "
               u"wybierz ten plik."_s;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return u"Plik jest zapisany w kodowaniu UTF-16. Zapisz go w arkuszu kalkulacyjnym jako CSV "
               u"w kodowaniu UTF-8 albo Windows-1250."_s;

    const QString binary = u"To nie jest plik tekstowy CSV, tylko plik z danymi binarnymi. Wybierz plik "
                           u"CSV zapisany w arkuszu kalkulacyjnym."_s;
    if (bytes.contains('\0'))
        return binary;
    qsizetype controls = 0;
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A)
            ++controls;
    }
    if (controls > 4 && controls * 50 > bytes.size()) // a stray one is only dropped from its cell
        return binary;
    return {};
}

// The text of the bytes, in the encoding they are in: UTF-8 (with or without its mark) or else
// Windows-1250.
QString decodedCsv(const QByteArray &bytes, CsvEncoding *encoding)
{
    const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom)) {
        *encoding = CsvEncoding::Utf8Bom;
        return QString::fromUtf8(bytes.mid(bom.size()));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    *encoding = CsvEncoding::Utf8;
    if (!utf8.hasError())
        return text;
    *encoding = CsvEncoding::Windows1250;
    return cp1250::decode(bytes);
}

} // namespace

std::optional<CsvTable> parseCsv(const QByteArray &bytes, QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<CsvTable> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (const QString refusal = refusalOf(bytes); !refusal.isEmpty())
        return fail(refusal);

    CsvTable table;
    const QString text = decodedCsv(bytes, &table.encoding);
    if (text.trimmed().isEmpty())
        return fail(u"Plik jest pusty."_s);

    // Preference on a tie: ';' (what a Polish spreadsheet writes), then tab, then ','.
    constexpr std::array<char16_t, 3> separators{u';', u'\t', u','};
    qsizetype bestScore = -1;
    for (const char16_t separator : separators) {
        const qsizetype score = separatorScore(text, QChar(separator));
        if (score > bestScore) {
            bestScore = score;
            table.separator = QChar(separator);
        }
    }
    if (bestScore < 0)
        table.separator = u';'; // none reads the file: its own reason below

    QStringList row;
    const ScanResult result = scanRecords(
        text, table.separator, true, [&](QString field) { row.append(std::move(field)); },
        [&] {
            table.rows.append(row);
            row.clear();
        });
    if (result.status != ScanStatus::Ok)
        return fail(scanProblem(result));
    if (std::all_of(table.rows.cbegin(), table.rows.cend(), isBlankRow))
        return fail(u"Plik nie zawiera żadnych danych: wszystkie jego wiersze są puste."_s);
    return table;
}

QString encodingName(CsvEncoding encoding)
{
    switch (encoding) {
    case CsvEncoding::Utf8:
        return u"UTF-8"_s;
    case CsvEncoding::Utf8Bom:
        return u"UTF-8 (z BOM)"_s;
    case CsvEncoding::Windows1250:
        return u"Windows-1250"_s;
    }
    return {};
}

ImportLayout guessLayout(const CsvTable &table, int taskCount, const QList<TaskKey> &keys)
{
    ImportLayout layout;
    const QList<QStringList> &rows = table.rows;

    const QList<bool> numeric = numericColumns(rows);
    qsizetype first = -1;
    for (qsizetype r = 0; r < rows.size() && first < 0; ++r) {
        if (isPupilRow(rows.at(r), numeric, taskCount))
            first = r;
    }
    if (first < 0)
        return layout;
    layout.firstDataRow = int(first);

    QList<const QStringList *> data;
    qsizetype columns = 0;
    for (qsizetype r = first; r < rows.size(); ++r) {
        if (isBlankRow(rows.at(r)))
            continue;
        data.append(&rows.at(r));
        columns = qMax(columns, rows.at(r).size());
    }

    // A row number first ("L.p.") is followed by the codes.
    const CellCounts firstColumn = columnCounts(data, 0);
    if (firstColumn.numbers == qsizetype(data.size()) && columns > 1) {
        bool allWhole = true;
        for (const QStringList *row : data)
            allWhole = allWhole && isWholeNumberText(cellAt(*row, 0));
        const CellCounts second = columnCounts(data, 1);
        if (allWhole && second.texts * 2 > qsizetype(data.size()))
            layout.codeColumn = 1;
    }

    // The attendance marks, if any, come before the points (a column of names may come between).
    for (qsizetype c = layout.codeColumn + 1; c < columns; ++c) {
        const CellCounts counts = columnCounts(data, c);
        if (counts.numbers > 0)
            break;
        if (counts.marks > 0 && counts.texts == 0) {
            layout.markColumn = int(c);
            break;
        }
    }

    const qsizetype after = qMax(layout.codeColumn, layout.markColumn) + 1;
    if (const qsizetype symbols = firstFittingColumn(data, after, columns, taskCount, keys); symbols >= 0) {
        layout.firstTaskColumn = int(symbols);
        return layout;
    }
    layout.firstTaskColumn = int(after);
    for (qsizetype c = after; c < columns; ++c) {
        const CellCounts counts = columnCounts(data, c);
        if (counts.texts * 2 < qsizetype(data.size())) {
            layout.firstTaskColumn = int(c);
            break;
        }
    }
    return layout;
}

ImportResult applyLayout(const CsvTable &table, const ImportLayout &layout, const QList<qint32> &taskMaxima,
                         const QList<TaskKey> &keys)
{
    ImportResult result;
    const qsizetype taskCount = taskMaxima.size();
    for (qsizetype r = qMax(0, layout.firstDataRow); r < table.rows.size(); ++r) {
        const QStringList &row = table.rows.at(r);
        if (isBlankRow(row))
            continue;
        const int fileRow = int(r + 1);
        const auto problem = [&](qsizetype task, const QString &text) {
            result.problems.append({fileRow, int(task), text});
        };
        // Cleaned of what the files cannot hold, with a problem for what was dropped, and cut to
        // what a cell holds: the grid would cut it unseen, after the preview showed it whole.
        const auto cell = [&](qsizetype column, qsizetype task) {
            QStringList dropped;
            QString text = storableText(cellAt(row, column), &dropped).trimmed();
            if (!dropped.isEmpty())
                problem(task, droppedProblem(dropped));
            if (text.size() > maxCellLength) {
                text = text.first(maxCellLength).trimmed();
                problem(task, u"Tekst komórki był dłuższy niż %1 znaków; skrócono go."_s.arg(maxCellLength));
            }
            return text;
        };

        QStringList pupil;
        pupil.append(cell(layout.codeColumn, 0));
        if (layout.markColumn < 0) {
            pupil.append(u"T"_s);
        } else {
            const QString mark = cell(layout.markColumn, 0);
            if (mark.isEmpty())
                problem(0, u"Brak oznaczenia obecności (T albo N): uczeń będzie liczony jako nieobecny."_s);
            else if (!isMark(mark))
                problem(0, u"Obecność „%1” nie jest oznaczeniem T ani N."_s.arg(mark));
            pupil.append(mark);
        }
        for (qsizetype t = 0; t < taskCount; ++t) {
            const QString points = cell(layout.firstTaskColumn + t, t + 1);
            const TaskKey key = keys.value(t);
            const ClosedCell chosen = key.isKeyed() ? readClosedCell(points, key) : ClosedCell{};
            if (chosen.kind == ClosedCell::Kind::Refused)
                problem(t + 1, u"Odpowiedź „%1” nie pasuje do zadania: części %2, odpowiedzi %3."_s.arg(
                                   points, QString::number(key.parts()), key.answers));
            else if (chosen.kind == ClosedCell::Kind::Points)
                if (const QString why = pointsProblem(points, taskMaxima.at(t)); !why.isEmpty())
                    problem(t + 1, why);
            pupil.append(points);
        }
        for (qsizetype c = qMax<qsizetype>(layout.firstTaskColumn + taskCount, 0); c < row.size(); ++c) {
            if (c != layout.codeColumn && c != layout.markColumn && !isBlankField(row.at(c))) {
                problem(0, u"Za punktami ostatniego zadania są jeszcze wypełnione kolumny; pominięto je."_s);
                break;
            }
        }
        result.pupils.append(pupil);
        result.fileRows.append(fileRow);
    }
    return result;
}

QString classSizeProblem(qsizetype pupilCount, qint32 classSize)
{
    if (pupilCount <= classSize)
        return {};
    const qint32 size = qMax(0, classSize);
    return u"Plik zawiera wyniki %1 %2, a klasa ma %3 %4. Popraw plik albo liczbę uczniów klasy."_s
        .arg(pupilCount)
        .arg(pupilCount == 1 ? u"ucznia"_s : u"uczniów"_s)
        .arg(size)
        .arg(size == 1 ? u"ucznia"_s : u"uczniów"_s);
}

std::optional<CsvTable> readImportFile(const QString &path, QString *problem)
{
    const QFileInfo info(path);
    // Refused by its size at once: a class's results take kilobytes.
    if (info.isFile() && info.size() > maxCsvBytes) {
        *problem = QStringLiteral("Plik %1 ma %2 MB, a plik wyników jednej klasy ma najwyżej %3 MB. Wybierz "
                                  "właściwy plik.")
                       .arg(QDir::toNativeSeparators(path))
                       .arg(info.size() / (1024 * 1024))
                       .arg(maxCsvBytes / (1024 * 1024));
        return std::nullopt;
    }
    QByteArray bytes;
    if (readWholeFile(path, &bytes, maxCsvBytes) != ReadStatus::Ok) {
        *problem = QStringLiteral("Nie mogę odczytać pliku!");
        return std::nullopt;
    }
    return parseCsv(bytes, problem);
}
