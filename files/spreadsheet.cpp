#include "files/spreadsheet.h"

#include "core/cells.h"
#include "core/numbers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <array>
#include <cmath>
#include <ctime>
#include <locale.h>
#include <utility>

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

QString cellReference(qsizetype row, qsizetype column)
{
    QString letters;
    for (qsizetype n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(char16_t(u'A' + (n - 1) % 26)));
    return letters + QString::number(row + 1);
}

QString inSheet(const Sheet &sheet, const QString &what)
{
    return u"arkusz „%1”: %2"_s.arg(sheet.name, what);
}

// The cell formats, each made once: libxlsxwriter keeps every format it is given until the end.
class Formats
{
public:
    explicit Formats(lxw_workbook *workbook) : m_workbook(workbook) {}

    // False when the library has no memory left for another format.
    bool get(const SheetCell &cell, lxw_format **format)
    {
        const int decimals = cell.number ? qBound(0, cell.decimals, 30) : -1;
        if (decimals < 0 && !cell.bold) {
            *format = nullptr;
            return true;
        }
        lxw_format *&known = m_formats[std::size_t(decimals + 1)][cell.bold ? 1 : 0];
        if (known) {
            *format = known;
            return true;
        }
        lxw_format *made = workbook_add_format(m_workbook);
        if (!made)
            return false;
        if (cell.bold)
            format_set_bold(made);
        if (decimals >= 0) {
            const QByteArray pattern =
                decimals == 0 ? QByteArray("0") : QByteArray("0.") + QByteArray(decimals, '0');
            format_set_num_format(made, pattern.constData());
        }
        known = made;
        *format = made;
        return true;
    }

private:
    lxw_workbook *m_workbook;
    // By decimals (none for text, then 0 to 30) and boldness.
    std::array<std::array<lxw_format *, 2>, 32> m_formats{};
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

// Empty when the cell is written, or has nothing to write.
QString writeCell(lxw_worksheet *worksheet, Formats &formats, const Sheet &sheet, qsizetype r, qsizetype c,
                  const SheetCell &cell)
{
    lxw_format *format = nullptr;
    if (!formats.get(cell, &format))
        return inSheet(sheet, libraryReason(LXW_ERROR_MEMORY_MALLOC_FAILED));
    const auto rowIndex = static_cast<lxw_row_t>(r);
    const auto columnIndex = static_cast<lxw_col_t>(c);
    lxw_error error = LXW_NO_ERROR;
    if (cell.number) {
        if (!std::isfinite(*cell.number))
            return inSheet(sheet, u"komórka %1: liczba nie jest skończona"_s.arg(cellReference(r, c)));
        error = worksheet_write_number(worksheet, rowIndex, columnIndex, *cell.number, format);
    } else {
        // A C string ends at the first NUL; the cell keeps what the user could see.
        if (cell.text.isEmpty())
            return {};
        QByteArray utf8 = cell.text.toUtf8();
        if (utf8.contains('\0')) {
            utf8.replace(QByteArrayView("\0", 1), QByteArrayView());
            if (utf8.isEmpty())
                return {};
        }
        error = worksheet_write_string(worksheet, rowIndex, columnIndex, utf8.constData(), format);
    }
    if (error != LXW_NO_ERROR)
        return inSheet(sheet, u"komórka %1: %2"_s.arg(cellReference(r, c), libraryReason(error)));
    return {};
}

QString writeSheet(lxw_workbook *workbook, Formats &formats, const Sheet &sheet)
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

    for (qsizetype r = 0; r < sheet.rows.size(); ++r) {
        const QList<SheetCell> &row = sheet.rows.at(r);
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (QString problem = writeCell(worksheet, formats, sheet, r, c, row.at(c)); !problem.isEmpty())
                return problem;
        }
    }
    for (qsizetype g = 0; g < sheet.grid.size(); ++g) {
        const QStringList &row = sheet.grid.at(g);
        const qsizetype r = sheet.rows.size() + g;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const SheetCell cell = gridCell(row.at(c), g, c, sheet.gridTextColumns);
            if (QString problem = writeCell(worksheet, formats, sheet, r, c, cell); !problem.isEmpty())
                return problem;
        }
    }

    if (sheet.frozenRows > 0 || sheet.frozenColumns > 0) {
        worksheet_freeze_panes(worksheet,
                               static_cast<lxw_row_t>(qBound(0, sheet.frozenRows, LXW_ROW_MAX - 1)),
                               static_cast<lxw_col_t>(qBound(0, sheet.frozenColumns, LXW_COL_MAX - 1)));
    }
    return {};
}

QString writeWorkbook(const QString &path, const QString &temporaryFolder, const QList<Sheet> &sheets,
                      const ProgressReport &progress)
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
        // Each sheet's cells are stored, then closing writes and zips them all: about as long again.
        const qint64 steps = 2 * sheets.size();
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            reportProgress(progress, i, steps);
            problem = writeSheet(workbook, formats, sheets[i]);
            if (!problem.isEmpty())
                break;
        }
        reportProgress(progress, sheets.size(), steps);
    } catch (...) {
        // Stopped: the workbook is freed and nothing of it is kept.
        workbook_close(workbook);
        throw;
    }
    // Closing frees the workbook, also after a failure; the half-made file goes with the folder.
    const lxw_error closed = workbook_close(workbook);
    if (problem.isEmpty() && closed != LXW_NO_ERROR)
        problem = libraryReason(closed);
    return problem;
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
    {
        const CLocaleScope cLocale;
        if (!cLocale.active())
            return fail(u"nie można ustawić zapisu liczb z kropką dziesiętną"_s);
        if (const QString problem = writeWorkbook(path, folder.path(), sheets, progress); !problem.isEmpty())
            return fail(problem);
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(u"nie można odczytać zapisanego pliku"_s);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.isEmpty())
        return fail(u"nie można odczytać zapisanego pliku"_s);
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
