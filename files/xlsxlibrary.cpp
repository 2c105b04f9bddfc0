// The adapter around libxlsxwriter: the library writes the file's parts around the cells, in the C
// locale, with the formats made once; its words for a failure are Polish here.
#include "files/spreadsheet.h"

#include "files/xlsxcells.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cmath>
#include <ctime>
#include <locale.h>

using namespace Qt::StringLiterals;
using namespace xlsx;

namespace {

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
    return QString::fromLatin1(columnLetters(column)) + QString::number(row + 1);
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

// The widths the sheet gives its columns; empty when the library took them.
QString setColumnWidths(lxw_worksheet *worksheet, const Sheet &sheet)
{
    for (qsizetype c = 0; c < qMin<qsizetype>(sheet.columnWidths.size(), LXW_COL_MAX); ++c) {
        const double width = sheet.columnWidths.at(c);
        if (!(width > 0) || !std::isfinite(width))
            continue;
        const auto column = static_cast<lxw_col_t>(c);
        const lxw_error error = worksheet_set_column(worksheet, column, column, qMin(width, 255.0), nullptr);
        if (error != LXW_NO_ERROR)
            return inSheet(sheet, libraryReason(error));
    }
    return {};
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

    if (const QString problem = setColumnWidths(worksheet, sheet); !problem.isEmpty())
        return problem;

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

} // namespace

QByteArray xlsx::columnLetters(qsizetype column)
{
    QByteArray letters;
    for (qsizetype n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(char('A' + (n - 1) % 26));
    return letters;
}

QString xlsx::inSheet(const Sheet &sheet, const QString &what)
{
    return u"arkusz „%1”: %2"_s.arg(sheet.name, what);
}

QString xlsx::outOfMemory()
{
    return libraryReason(LXW_ERROR_MEMORY_MALLOC_FAILED);
}

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
