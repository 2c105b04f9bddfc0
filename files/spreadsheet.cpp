#include "files/spreadsheet.h"

#include "core/cells.h"
#include "core/numbers.h"
#include "files/zipentries.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <ctime>
#include <locale.h>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype maxSheetNameLength = 31;
constexpr int headingLineCount = 3; // title, date, caption

bool isAsciiDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return true;
}

// Cells of blanks only, as well as "-" and an absent pupil's "--", hold no figure.
bool isBlankText(const QString &text)
{
    return text.trimmed().isEmpty() || isBlankCell(text) || text == u"--";
}

SheetCell textCell(const QString &text, bool bold = false)
{
    SheetCell cell;
    if (!isBlankText(text))
        cell.text = text;
    cell.bold = bold;
    return cell;
}

// A grid's cell: the heading row bold and always text, the columns listed in textColumns (codes,
// marks, class labels) text, every other cell read as a figure.
SheetCell gridCell(const QString &text, qsizetype row, qsizetype column, const QList<qsizetype> &textColumns)
{
    if (row == 0)
        return textCell(text, true);
    if (textColumns.contains(column))
        return textCell(text);
    return reportCell(text);
}

void appendGrid(Sheet &sheet, const GridRows &grid, const QList<qsizetype> &textColumns,
                qsizetype droppedColumn = -1)
{
    sheet.rows.reserve(sheet.rows.size() + grid.size());
    for (qsizetype r = 0; r < grid.size(); ++r) {
        QList<SheetCell> cells;
        cells.reserve(grid.at(r).size());
        for (qsizetype c = 0; c < grid.at(r).size(); ++c) {
            if (c != droppedColumn)
                cells.append(gridCell(grid.at(r).at(c), r, c, textColumns));
        }
        sheet.rows.append(std::move(cells));
    }
}

void appendHeadingLines(Sheet &sheet, const ReportContent &report, const QString &caption)
{
    sheet.rows.append({textCell(u"Wyniki uczniów z testu "_s + report.testName, true)});
    sheet.rows.append({textCell(u"Data: "_s + report.testDate)});
    sheet.rows.append({textCell(caption, true)});
}

qsizetype columnCount(const GridRows &grid)
{
    qsizetype count = 0;
    for (const QStringList &row : grid)
        count = qMax(count, row.size());
    return count;
}

// The first widths as given, every further column of the grid `rest` wide.
QList<double> widths(QList<double> first, qsizetype columns, double rest)
{
    while (first.size() < columns)
        first.append(rest);
    return first;
}

// A class grid (L.p., code, mark, figures) under the report's heading lines.
Sheet classReportSheet(const QString &name, const ReportContent &report, const QString &caption,
                       const GridRows &grid, double figureWidth)
{
    Sheet sheet;
    sheet.name = name;
    appendHeadingLines(sheet, report, caption);
    appendGrid(sheet, grid, {1, 2});
    sheet.frozenRows = headingLineCount + (grid.isEmpty() ? 0 : 1); // down to the grid's headings
    sheet.frozenColumns = 2;
    sheet.columnWidths = widths({5, 14, 5}, columnCount(grid), figureWidth);
    return sheet;
}

// ---- Writing through libxlsxwriter ----

// libxlsxwriter prints numbers with snprintf, which follows the locale: under a Polish one 0.5
// would reach the file as "0,5", which no spreadsheet reads. This thread uses the C locale while
// the workbook is written.
class CLocaleScope
{
public:
    CLocaleScope() : m_locale(newlocale(LC_ALL_MASK, "C", locale_t(nullptr)))
    {
        if (m_locale)
            m_previous = uselocale(m_locale);
    }
    ~CLocaleScope()
    {
        if (m_locale) {
            uselocale(m_previous);
            freelocale(m_locale);
        }
    }
    CLocaleScope(const CLocaleScope &) = delete;
    CLocaleScope &operator=(const CLocaleScope &) = delete;
    bool active() const { return m_locale != locale_t(nullptr); }

private:
    locale_t m_locale;
    locale_t m_previous = locale_t(nullptr);
};

QString libraryReason(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return u"zabrakło pamięci"_s;
    case LXW_ERROR_CREATING_XLSX_FILE:
        return u"nie można utworzyć pliku"_s;
    case LXW_ERROR_CREATING_TMPFILE:
        return u"nie można utworzyć pliku tymczasowego"_s;
    case LXW_ERROR_READING_TMPFILE:
        return u"nie można odczytać pliku tymczasowego"_s;
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return u"błąd przy pakowaniu pliku"_s;
    case LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED:
        return u"nazwa arkusza jest dłuższa niż 31 znaków"_s;
    case LXW_ERROR_INVALID_SHEETNAME_CHARACTER:
        return u"nazwa arkusza zawiera niedozwolony znak: [ ] : * ? / \\"_s;
    case LXW_ERROR_SHEETNAME_START_END_APOSTROPHE:
        return u"nazwa arkusza zaczyna się albo kończy apostrofem"_s;
    case LXW_ERROR_SHEETNAME_ALREADY_USED:
        return u"arkusz o tej nazwie już jest w skoroszycie"_s;
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return u"tekst jest dłuższy niż 32 767 znaków"_s;
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return u"komórka leży poza arkuszem"_s;
    default:
        return u"błąd biblioteki libxlsxwriter nr %1"_s.arg(int(error));
    }
}

QByteArray columnLetters(qsizetype column)
{
    QByteArray letters;
    for (qsizetype n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(char('A' + (n - 1) % 26));
    return letters;
}

QString cellReference(qsizetype row, qsizetype column)
{
    return QString::fromLatin1(columnLetters(column)) + QString::number(row + 1);
}

QString inSheet(const Sheet &sheet, const QString &what)
{
    return u"arkusz „%1”: %2"_s.arg(sheet.name, what);
}

// A cell's format slot: by decimals (none for text, then 0 to 30) and boldness; -1 for none.
constexpr int formatSlotCount = 64;

int formatSlot(const SheetCell &cell)
{
    const int decimals = cell.number ? qBound(0, cell.decimals, 30) : -1;
    if (decimals < 0 && !cell.bold)
        return -1;
    return 2 * (decimals + 1) + (cell.bold ? 1 : 0);
}

// The cell formats, each made once: libxlsxwriter keeps every format it is given until the end.
class Formats
{
public:
    explicit Formats(lxw_workbook *workbook) : m_workbook(workbook) {}

    // False when the library has no memory left for another format.
    bool get(const SheetCell &cell, lxw_format **format)
    {
        const int slot = formatSlot(cell);
        if (slot < 0) {
            *format = nullptr;
            return true;
        }
        lxw_format *&known = m_formats[std::size_t(slot)];
        if (known) {
            *format = known;
            return true;
        }
        lxw_format *made = workbook_add_format(m_workbook);
        if (!made)
            return false;
        if (cell.bold)
            format_set_bold(made);
        if (cell.number) {
            const int decimals = qBound(0, cell.decimals, 30);
            const QByteArray pattern =
                decimals == 0 ? QByteArray("0") : QByteArray("0.") + QByteArray(decimals, '0');
            format_set_num_format(made, pattern.constData());
        }
        known = made;
        *format = made;
        return true;
    }

    // The style number each used format has in the file, by slot.
    std::array<int, formatSlotCount> styles() const
    {
        std::array<int, formatSlotCount> styles{};
        for (std::size_t slot = 0; slot < m_formats.size(); ++slot) {
            if (m_formats[slot] && m_formats[slot]->xf_index > 0)
                styles[slot] = m_formats[slot]->xf_index;
        }
        return styles;
    }

private:
    lxw_workbook *m_workbook;
    std::array<lxw_format *, formatSlotCount> m_formats{};
};

// What makes the sheets unwritable before the library is asked; empty when nothing does.
QString sheetsProblem(const QList<Sheet> &sheets)
{
    if (sheets.isEmpty())
        return u"skoroszyt nie ma ani jednego arkusza"_s;
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        const Sheet &sheet = sheets.at(i);
        if (sheet.name.trimmed().isEmpty())
            return u"arkusz nr %1 nie ma nazwy"_s.arg(i + 1);
        // The library compares names in ASCII only; a spreadsheet refuses "Ś" beside "ś" as well.
        for (qsizetype j = 0; j < i; ++j) {
            if (sheets.at(j).name.compare(sheet.name, Qt::CaseInsensitive) == 0)
                return u"dwa arkusze mają tę samą nazwę „%1”"_s.arg(sheet.name);
        }
        const qsizetype rowCount = sheet.rows.size() + sheet.grid.size();
        if (rowCount > LXW_ROW_MAX)
            return inSheet(sheet,
                           u"ma %1 wierszy, a arkusz mieści najwyżej %2"_s.arg(rowCount).arg(LXW_ROW_MAX));
        const auto tooWide = [&](qsizetype cells) {
            return inSheet(
                sheet,
                u"wiersz ma %1 komórek, a arkusz mieści najwyżej %2 kolumn"_s.arg(cells).arg(LXW_COL_MAX));
        };
        for (const QList<SheetCell> &row : sheet.rows) {
            if (row.size() > LXW_COL_MAX)
                return tooWide(row.size());
        }
        for (const QStringList &row : sheet.grid) {
            if (row.size() > LXW_COL_MAX)
                return tooWide(row.size());
        }
    }
    return {};
}

// What the cells need from the library's part of the file: the shared strings' numbers, in the
// order the strings were first written, and the formats' style numbers.
struct SheetLayout {
    QByteArray dimension = "A1"; // the cells' range; "A1" when there are none
    // Each block of 16 rows spans the columns from its leftmost cell to its rightmost.
    QList<std::pair<qsizetype, qsizetype>> spans;
};

struct Packing {
    QHash<QByteArray, quint32> strings;
    std::array<int, formatSlotCount> styles{};
    QList<SheetLayout> sheets;
};

// A text cell's bytes as written: a C string ends at the first NUL, so the cell keeps what the user
// could see. Empty when there is nothing to write.
QByteArray textBytes(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    if (utf8.contains('\0'))
        utf8.replace(QByteArrayView("\0", 1), QByteArrayView());
    return utf8;
}

// Calls f(row, column, cell) for every cell of the sheet in the order it is written: row by row,
// left to right.
template <typename F> void forEachCell(const Sheet &sheet, F &&f)
{
    for (qsizetype r = 0; r < sheet.rows.size(); ++r) {
        const QList<SheetCell> &row = sheet.rows.at(r);
        for (qsizetype c = 0; c < row.size(); ++c)
            f(r, c, row.at(c));
    }
    for (qsizetype g = 0; g < sheet.grid.size(); ++g) {
        const QStringList &row = sheet.grid.at(g);
        const qsizetype r = sheet.rows.size() + g;
        for (qsizetype c = 0; c < row.size(); ++c)
            f(r, c, gridCell(row.at(c), g, c, sheet.gridTextColumns));
    }
}

// The library is given the sheet, its columns, panes and text cells; the numbers are packed beside
// it. The formats are numbered in the order the cells are written, as the library numbers them.
// Empty when the sheet is written.
QString writeSheet(lxw_workbook *workbook, Formats &formats, const Sheet &sheet, Packing &packing)
{
    const QByteArray name = sheet.name.toUtf8();
    const lxw_error nameError = workbook_validate_sheet_name(workbook, name.constData());
    if (nameError != LXW_NO_ERROR)
        return inSheet(sheet, libraryReason(nameError));
    lxw_worksheet *worksheet = workbook_add_worksheet(workbook, name.constData());
    if (!worksheet)
        return inSheet(sheet, u"nie można dodać arkusza"_s);

    for (qsizetype c = 0; c < qMin<qsizetype>(sheet.columnWidths.size(), LXW_COL_MAX); ++c) {
        const double width = sheet.columnWidths.at(c);
        if (!(width > 0) || !std::isfinite(width))
            continue;
        const auto column = static_cast<lxw_col_t>(c);
        const lxw_error error = worksheet_set_column(worksheet, column, column, qMin(width, 255.0), nullptr);
        if (error != LXW_NO_ERROR)
            return inSheet(sheet, libraryReason(error));
    }

    QString problem;
    SheetLayout layout;
    qsizetype firstRow = -1, lastRow = -1, firstColumn = -1, lastColumn = -1;
    forEachCell(sheet, [&](qsizetype r, qsizetype c, const SheetCell &cell) {
        if (!problem.isEmpty())
            return;
        lxw_format *format = nullptr;
        if (!formats.get(cell, &format)) {
            problem = inSheet(sheet, libraryReason(LXW_ERROR_MEMORY_MALLOC_FAILED));
            return;
        }
        if (cell.number) {
            if (!std::isfinite(*cell.number)) {
                problem = inSheet(sheet, u"komórka %1: liczba nie jest skończona"_s.arg(cellReference(r, c)));
                return;
            }
        } else {
            if (cell.text.isEmpty())
                return;
            const QByteArray utf8 = textBytes(cell.text);
            if (utf8.isEmpty())
                return;
            const lxw_error error = worksheet_write_string(
                worksheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), utf8.constData(), format);
            if (error != LXW_NO_ERROR) {
                problem = inSheet(sheet, u"komórka %1: %2"_s.arg(cellReference(r, c), libraryReason(error)));
                return;
            }
            if (!packing.strings.contains(utf8))
                packing.strings.insert(utf8, quint32(packing.strings.size()));
        }
        if (format)
            lxw_format_get_xf_index(format);

        const qsizetype block = r / 16;
        if (layout.spans.size() <= block)
            layout.spans.resize(block + 1, {-1, -1});
        auto &[left, right] = layout.spans[block];
        left = left < 0 ? c : qMin(left, c);
        right = qMax(right, c);
        firstRow = firstRow < 0 ? r : firstRow;
        lastRow = r;
        firstColumn = firstColumn < 0 ? c : qMin(firstColumn, c);
        lastColumn = qMax(lastColumn, c);
    });
    if (!problem.isEmpty())
        return problem;
    if (firstRow >= 0) {
        layout.dimension = columnLetters(firstColumn) + QByteArray::number(firstRow + 1);
        if (firstRow != lastRow || firstColumn != lastColumn)
            layout.dimension += ':' + columnLetters(lastColumn) + QByteArray::number(lastRow + 1);
    }
    packing.sheets.append(std::move(layout));

    if (sheet.frozenRows > 0 || sheet.frozenColumns > 0) {
        worksheet_freeze_panes(worksheet,
                               static_cast<lxw_row_t>(qBound(0, sheet.frozenRows, LXW_ROW_MAX - 1)),
                               static_cast<lxw_col_t>(qBound(0, sheet.frozenColumns, LXW_COL_MAX - 1)));
    }
    return {};
}

QString writeWorkbook(const QString &path, const QString &temporaryFolder, const QList<Sheet> &sheets,
                      Packing &packing, const ProgressReport &progress)
{
    const QByteArray fileName = QFile::encodeName(path);
    QByteArray folder = QFile::encodeName(temporaryFolder);
    lxw_workbook_options options{};
    options.tmpdir = folder.data(); // the library's own temporary files stay in our folder too
    lxw_workbook *workbook = workbook_new_opt(fileName.constData(), &options);
    if (!workbook)
        return libraryReason(LXW_ERROR_MEMORY_MALLOC_FAILED);

    // The document's date is now, unless SOURCE_DATE_EPOCH (the usual variable for files that must
    // come out the same every time) gives one: then the same sheets give the same bytes.
    lxw_doc_properties properties{};
    bool fixed = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&fixed);
    properties.created = fixed && epoch > 0 ? time_t(epoch) : std::time(nullptr);
    workbook_set_properties(workbook, &properties);

    Formats formats(workbook);
    QString problem;
    try {
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            reportProgress(progress, i, sheets.size());
            problem = writeSheet(workbook, formats, sheets[i], packing);
            if (!problem.isEmpty())
                break;
        }
    } catch (...) {
        // Stopped: the workbook is freed and nothing of it is kept.
        workbook_close(workbook);
        throw;
    }
    packing.styles = formats.styles();
    // Closing frees the workbook, also after a failure; the half-made file goes with the folder.
    const lxw_error closed = workbook_close(workbook);
    if (problem.isEmpty() && closed != LXW_NO_ERROR)
        problem = libraryReason(closed);
    return problem;
}

// ---- The cells, packed beside the library ----

void appendNumber(QByteArray &out, qint64 value)
{
    char digits[24];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr - digits);
}

// A number as printf's "%.16G" prints it, which the library uses, whatever the locale.
void appendFigure(QByteArray &out, double value)
{
    if (value == std::trunc(value) && std::abs(value) < 1e15 && !(value == 0 && std::signbit(value))) {
        appendNumber(out, qint64(value));
        return;
    }
    char digits[40];
    const std::to_chars_result result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 16);
    for (char *c = digits; c < result.ptr; ++c) {
        if (*c == 'e')
            *c = 'E';
    }
    out.append(digits, result.ptr - digits);
}

// The sheet's <sheetData> element, as the library writes it: rows holding cells only, each with its
// block's span.
void writeSheetData(const Sheet &sheet, const Packing &packing, const SheetLayout &layout,
                    zipentries::Deflater &deflater, const std::atomic<bool> &stop)
{
    if (layout.spans.isEmpty()) {
        deflater.add("<sheetData/>");
        return;
    }
    constexpr qsizetype pieceSize = 256 * 1024;
    QByteArray out;
    out.reserve(pieceSize + 64 * 1024);
    out.append("<sheetData>");
    QList<QByteArray> letters;
    qsizetype currentRow = -1;
    QByteArray rowNumber;
    forEachCell(sheet, [&](qsizetype r, qsizetype c, const SheetCell &cell) {
        QByteArray utf8;
        if (!cell.number) {
            if (cell.text.isEmpty())
                return;
            utf8 = textBytes(cell.text);
            if (utf8.isEmpty())
                return;
        }
        if (r != currentRow) {
            if (currentRow >= 0)
                out.append("</row>");
            if (out.size() >= pieceSize) {
                if (stop.load(std::memory_order_relaxed))
                    throw StepCancelled(QString());
                deflater.add(out);
                out.truncate(0);
            }
            currentRow = r;
            rowNumber = QByteArray::number(r + 1);
            const auto [left, right] = layout.spans.at(r / 16);
            out.append("<row r=\"").append(rowNumber).append("\" spans=\"");
            appendNumber(out, left + 1);
            out.append(':');
            appendNumber(out, right + 1);
            out.append("\">");
        }
        while (letters.size() <= c)
            letters.append(columnLetters(letters.size()));

        out.append("<c r=\"").append(letters.at(c)).append(rowNumber).append('"');
        if (const int slot = formatSlot(cell); slot >= 0 && packing.styles[std::size_t(slot)] > 0) {
            out.append(" s=\"");
            appendNumber(out, packing.styles[std::size_t(slot)]);
            out.append('"');
        }
        if (cell.number) {
            out.append("><v>");
            appendFigure(out, *cell.number);
        } else {
            out.append(" t=\"s\"><v>");
            appendNumber(out, packing.strings.value(utf8));
        }
        out.append("</v></c>");
    });
    out.append("</row></sheetData>");
    deflater.add(out);
}

// The library's sheet around its dimension and its cells; nullopt when it is not laid out as
// expected.
struct SheetFrame {
    QByteArrayView beforeDimension;
    QByteArrayView beforeData;
    QByteArrayView afterData;
};

std::optional<SheetFrame> sheetFrame(QByteArrayView written)
{
    static constexpr QByteArrayView dimensionStart = "<dimension ref=\"";
    static constexpr QByteArrayView emptyData = "<sheetData/>";
    static constexpr QByteArrayView dataEnd = "</sheetData>";
    const qsizetype ref = written.indexOf(dimensionStart);
    if (ref < 0)
        return std::nullopt;
    const qsizetype refStart = ref + dimensionStart.size();
    const qsizetype refEnd = written.indexOf('"', refStart);
    const qsizetype dataStart = refEnd < 0 ? -1 : written.indexOf("<sheetData", refEnd);
    if (dataStart < 0)
        return std::nullopt;
    qsizetype after = -1;
    if (written.sliced(dataStart).startsWith(emptyData)) {
        after = dataStart + emptyData.size();
    } else if (const qsizetype end = written.indexOf(dataEnd, dataStart); end >= 0) {
        after = end + dataEnd.size();
    }
    if (after < 0)
        return std::nullopt;
    return SheetFrame{written.first(refStart), written.sliced(refEnd, dataStart - refEnd),
                      written.sliced(after)};
}

// Every sheet's cells put into the library's file, the sheets packed side by side on the
// machine's cores. Empty when it is done; progress is told of each sheet packed.
QString packSheets(QByteArray &zip, const QList<Sheet> &sheets, const Packing &packing,
                   const ProgressReport &progress)
{
    // Each packer writes only its own sheet's places; the library's file is only read meanwhile.
    const QByteArray &written = zip;
    std::vector<std::optional<zipentries::Deflated>> packed(std::size_t(sheets.size()));
    std::vector<QString> problems(std::size_t(sheets.size()));
    std::atomic<qsizetype> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    qsizetype done = 0;
    const auto work = [&] {
        for (qsizetype i = next++; i < sheets.size() && !stop; i = next++) {
            try {
                const QByteArray entry = "xl/worksheets/sheet" + QByteArray::number(i + 1) + ".xml";
                const std::optional<QByteArray> library = zipentries::inflated(written, entry);
                const std::optional<SheetFrame> frame = library ? sheetFrame(*library) : std::nullopt;
                if (!frame) {
                    problems[std::size_t(i)] =
                        inSheet(sheets.at(i), u"biblioteka zapisała arkusz w nieznanej postaci"_s);
                } else {
                    zipentries::Deflater deflater;
                    deflater.add(frame->beforeDimension);
                    deflater.add(packing.sheets.at(i).dimension);
                    deflater.add(frame->beforeData);
                    writeSheetData(sheets.at(i), packing, packing.sheets.at(i), deflater, stop);
                    deflater.add(frame->afterData);
                    packed[std::size_t(i)] = deflater.finish();
                }
            } catch (const StepCancelled &) {
                return;
            } catch (const std::length_error &) {
                problems[std::size_t(i)] =
                    inSheet(sheets.at(i), u"arkusz jest za duży na plik XLSX (ponad 4 GB)"_s);
            } catch (...) {
                problems[std::size_t(i)] =
                    inSheet(sheets.at(i), libraryReason(LXW_ERROR_MEMORY_MALLOC_FAILED));
            }
            const std::lock_guard lock(mutex);
            ++done;
            finished.notify_one();
        }
    };

    const qsizetype workerCount = qBound<qsizetype>(1, qsizetype(std::thread::hardware_concurrency()),
                                                    qMin<qsizetype>(4, sheets.size()));
    std::vector<std::thread> workers;
    workers.reserve(std::size_t(workerCount));
    for (qsizetype w = 0; w < workerCount; ++w) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error &) {
            break; // the threads started do the work
        }
    }
    if (workers.empty())
        work(); // no thread to be had: the sheets are packed here, one after another
    const auto joinAll = [&] {
        for (std::thread &worker : workers)
            worker.join();
    };
    try {
        std::unique_lock lock(mutex);
        for (;;) {
            const qsizetype sofar = done;
            lock.unlock();
            reportProgress(progress, sofar, sheets.size()); // may throw StepCancelled
            lock.lock();
            if (sofar == sheets.size())
                break;
            finished.wait_for(lock, std::chrono::milliseconds(40), [&] { return done > sofar; });
        }
    } catch (...) {
        stop = true;
        joinAll();
        throw;
    }
    joinAll();
    for (const QString &problem : problems) {
        if (!problem.isEmpty())
            return problem;
    }

    QHash<QByteArray, zipentries::Deflated> replacements;
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        if (!packed[std::size_t(i)])
            return inSheet(sheets.at(i), u"nie można spakować arkusza"_s);
        replacements.insert("xl/worksheets/sheet" + QByteArray::number(i + 1) + ".xml",
                            std::move(*packed[std::size_t(i)]));
    }
    std::optional<QByteArray> whole = zipentries::withEntries(zip, replacements);
    if (!whole)
        return u"biblioteka zapisała plik w nieznanej postaci"_s;
    zip = std::move(*whole);
    return {};
}

} // namespace

std::optional<QByteArray> xlsxBytes(const QList<Sheet> &sheets, QString *error,
                                    const ProgressReport &progress)
{
    const auto fail = [error](const QString &reason) -> std::optional<QByteArray> {
        if (error)
            *error = u"Nie mogę zapisać skoroszytu XLSX: "_s + reason + u'.';
        return std::nullopt;
    };
    if (const QString problem = sheetsProblem(sheets); !problem.isEmpty())
        return fail(problem);

    // An unusable TMPDIR makes Qt's temporary path empty, and QTemporaryDir would then make its
    // folder at the root of the file system.
    const QString temporaryRoot = QDir::tempPath();
    if (temporaryRoot.isEmpty())
        return fail(u"nie można utworzyć folderu tymczasowego"_s);
    QTemporaryDir folder(temporaryRoot + u"/Sondaryk-xlsx-XXXXXX"_s);
    if (!folder.isValid())
        return fail(u"nie można utworzyć folderu tymczasowego"_s);
    const QString path = folder.filePath(u"skoroszyt.xlsx"_s);
    // The library is given the workbook but the numbers, which it would hold cell by cell until
    // the end; they are packed into its file afterwards.
    Packing packing;
    {
        const CLocaleScope cLocale;
        if (!cLocale.active())
            return fail(u"nie można ustawić zapisu liczb z kropką dziesiętną"_s);
        if (const QString problem =
                writeWorkbook(path, folder.path(), sheets, packing, progressPart(progress, 0, 200));
            !problem.isEmpty())
            return fail(problem);
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(u"nie można odczytać zapisanego pliku"_s);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.isEmpty())
        return fail(u"nie można odczytać zapisanego pliku"_s);
    if (const QString problem = packSheets(bytes, sheets, packing, progressPart(progress, 200, 1000));
        !problem.isEmpty())
        return fail(problem);
    return bytes;
}

QString sheetName(const QString &wanted, const QStringList &taken)
{
    QString name;
    name.reserve(wanted.size());
    for (const QChar c : wanted) {
        if (u"[]:*?/\\"_s.contains(c))
            name += u'-';
        else if (c.category() == QChar::Other_Control)
            name += u' ';
        else
            name += c;
    }
    // Blanks and apostrophes at the ends are dropped, also where a shortened name now ends.
    const auto trimEnds = [](QString text) {
        qsizetype begin = 0;
        qsizetype end = text.size();
        while (begin < end && (text.at(begin) == u'\'' || text.at(begin).isSpace()))
            ++begin;
        while (end > begin && (text.at(end - 1) == u'\'' || text.at(end - 1).isSpace()))
            --end;
        return text.mid(begin, end - begin);
    };
    name = trimEnds(name.simplified());
    if (name.isEmpty())
        name = u"Arkusz"_s;

    const auto shortened = [&](qsizetype length) {
        if (name.size() <= length)
            return name;
        if (name.at(length - 1).isHighSurrogate()) // never half a character
            --length;
        return trimEnds(name.left(length));
    };
    const auto isTaken = [&](const QString &candidate) {
        // Reserved by Excel for its own sheet of changes.
        if (candidate.compare(u"History"_s, Qt::CaseInsensitive) == 0)
            return true;
        for (const QString &other : taken) {
            if (candidate.compare(other, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };

    QString candidate = shortened(maxSheetNameLength);
    for (int n = 2; isTaken(candidate); ++n) {
        const QString suffix = u" (%1)"_s.arg(n);
        candidate = shortened(maxSheetNameLength - suffix.size()) + suffix;
    }
    return candidate;
}

SheetCell reportCell(const QString &text)
{
    // Points are most often one digit: a class sheet of a large school has millions of them.
    if (text.size() == 1 && text.front().unicode() >= u'0' && text.front().unicode() <= u'9') {
        SheetCell cell;
        cell.text = text;
        cell.number = double(text.front().unicode() - u'0');
        return cell;
    }
    SheetCell cell = textCell(text);
    if (cell.text.isEmpty())
        return cell;
    const QStringView body = text.startsWith(u'-') ? QStringView(text).mid(1) : QStringView(text);
    if (isAsciiDigits(body)) {
        if (const std::optional<qint32> value = parseInteger(text))
            cell.number = double(*value);
        return cell;
    }
    // Exactly the statistics files' "%4.2f" form; anything else may be a code or a label.
    const qsizetype point = body.indexOf(u'.');
    if (point > 0 && body.size() - point == 3 && isAsciiDigits(body.left(point)) &&
        isAsciiDigits(body.mid(point + 1))) {
        if (const std::optional<double> value = parseDecimal(text)) {
            cell.number = *value;
            cell.decimals = 2;
        }
    }
    return cell;
}

QList<QList<SheetCell>> sheetRows(const Sheet &sheet)
{
    Sheet whole;
    whole.rows = sheet.rows;
    appendGrid(whole, sheet.grid, sheet.gridTextColumns);
    return whole.rows;
}

QList<Sheet> classWorkbook(const ReportContent &report)
{
    return {classReportSheet(u"Zadania"_s, report, report.firstCaption, report.firstGrid, 7),
            classReportSheet(u"Podsumowanie"_s, report, report.secondCaption, report.secondGrid, 9)};
}

QList<Sheet> schoolWorkbook(const ReportContent &schoolReport, const QList<ClassSheetInput> &classes,
                            const ProgressReport &progress)
{
    // Column 2 of both school grids is hidden on screen and always empty.
    constexpr qsizetype hiddenColumn = 2;
    Sheet summary;
    summary.name = u"Podsumowanie"_s;
    appendHeadingLines(summary, schoolReport, schoolReport.firstCaption);
    appendGrid(summary, schoolReport.firstGrid, {1}, hiddenColumn);
    summary.frozenRows = headingLineCount + (schoolReport.firstGrid.isEmpty() ? 0 : 1);
    summary.frozenColumns = 2;
    summary.rows.append(QList<SheetCell>());
    summary.rows.append({textCell(schoolReport.secondCaption, true)});
    appendGrid(summary, schoolReport.secondGrid, {1}, hiddenColumn);
    const qsizetype summaryColumns =
        qMax(columnCount(schoolReport.firstGrid), columnCount(schoolReport.secondGrid)) - 1;
    summary.columnWidths = widths({5, 24}, summaryColumns, 8);

    QList<Sheet> sheets;
    sheets.reserve(classes.size() + 1);
    sheets.append(std::move(summary));
    QStringList taken{sheets.first().name};
    for (qsizetype i = 0; i < classes.size(); ++i) {
        const ClassSheetInput &input = classes.at(i);
        Sheet sheet;
        const QString wanted = input.label.trimmed().isEmpty() ? u"Klasa %1"_s.arg(i + 1) : input.label;
        sheet.name = sheetName(wanted, taken);
        taken.append(sheet.name);
        sheet.grid = input.answers;
        sheet.gridTextColumns = {1, 2};
        sheet.frozenRows = input.answers.isEmpty() ? 0 : 1;
        sheet.frozenColumns = 2;
        sheet.columnWidths = widths({5, 14, 5}, columnCount(input.answers), 7);
        sheets.append(std::move(sheet));
        reportProgress(progress, i + 1, classes.size());
    }
    return sheets;
}
