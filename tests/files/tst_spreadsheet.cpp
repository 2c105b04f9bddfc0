// The XLSX copies of the reports: the sheets made from a report, and the files read back by
// LibreOffice, where every figure must arrive as a number and every code as text. What LibreOffice
// reads is compared by value and type only: its style names change from one version to the next.
#include "core/cp1250.h"
#include "files/spreadsheet.h"
#include "files/zipentries.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>
#include <clocale>
#include <limits>
#include <locale.h>
#include <map>

#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace {

// A sheet's cells in short: "" nothing, "#1.50" a number shown with two decimals, "*text" bold;
// trailing empty cells and rows dropped.
using Cells = QList<QStringList>;

struct SheetView {
    QString name;
    Cells cells;
    int frozenRows = -1;
    int frozenColumns = -1;
};

template <typename List> void trimTrailingEmpty(List &list)
{
    while (!list.isEmpty() && list.last().isEmpty())
        list.removeLast();
}

QString notation(bool bold, const QString &plain)
{
    return bold && !plain.isEmpty() ? u'*' + plain : plain;
}

QList<SheetView> viewOf(const QList<Sheet> &sheets)
{
    QList<SheetView> views;
    for (const Sheet &sheet : sheets) {
        SheetView view{sheet.name, {}, sheet.frozenRows, sheet.frozenColumns};
        for (const QList<SheetCell> &row : sheetRows(sheet)) {
            QStringList &cells = view.cells.emplace_back();
            for (const SheetCell &cell : row)
                cells.append(
                    notation(cell.bold, cell.number ? u'#' + QString::number(*cell.number, 'f', cell.decimals)
                                                    : cell.text));
            trimTrailingEmpty(cells);
        }
        trimTrailingEmpty(view.cells);
        views.append(view);
    }
    return views;
}

// The same cells without the bold marker, as the read-back shows them.
QList<SheetView> withoutBold(QList<SheetView> views)
{
    for (SheetView &view : views) {
        for (QStringList &row : view.cells) {
            for (QString &cell : row) {
                if (cell.startsWith(u'*'))
                    cell.remove(0, 1);
            }
        }
    }
    return views;
}

// ---- Flat ODS, as LibreOffice writes it ----

QString attribute(const QXmlStreamReader &reader, const char *name)
{
    return reader.attributes().value(QLatin1StringView(name)).toString();
}

int repeatCount(const QXmlStreamReader &reader, const char *name)
{
    // Trailing empty rows and cells come repeated to the end of the sheet; ours are far fewer.
    const int count = attribute(reader, name).toInt();
    return qBound(1, count, 64);
}

struct FodsReader {
    QXmlStreamReader xml;
    QList<SheetView> sheets;

    QString cell()
    {
        const QString type = attribute(xml, "office:value-type");
        const QString value = attribute(xml, "office:value");
        QString text;
        while (xml.readNextStartElement()) {
            if (xml.qualifiedName() == u"text:p")
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else
                xml.skipCurrentElement();
        }
        if (type == u"float") {
            // The decimals shown, whatever the decimal separator of LibreOffice's locale.
            const qsizetype point = qMax(text.lastIndexOf(u','), text.lastIndexOf(u'.'));
            const int decimals = point < 0 ? 0 : int(text.size() - point - 1);
            const double number = value.toDouble();
            QString shown = QString::number(number, 'f', decimals);
            if (shown.toDouble() != number)
                shown += u" ("_s + value + u')'; // more in the cell than it shows
            return u'#' + shown;
        }
        if (type == u"string")
            return text;
        return type.isEmpty() ? QString() : u'?' + type;
    }

    void rows(SheetView &sheet)
    {
        while (xml.readNextStartElement()) {
            if (xml.qualifiedName() != u"table:table-row") {
                xml.skipCurrentElement();
                continue;
            }
            const int repeated = repeatCount(xml, "table:number-rows-repeated");
            QStringList cells;
            while (xml.readNextStartElement()) {
                const int cellRepeated = repeatCount(xml, "table:number-columns-repeated");
                const QString text = cell();
                for (int i = 0; i < cellRepeated; ++i)
                    cells.append(text);
            }
            trimTrailingEmpty(cells);
            for (int i = 0; i < repeated; ++i)
                sheet.cells.append(cells);
        }
    }

    QList<SheetView> read(const QByteArray &bytes)
    {
        xml.addData(bytes);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.qualifiedName() == u"table:table") {
                SheetView sheet;
                sheet.name = attribute(xml, "table:name");
                rows(sheet);
                trimTrailingEmpty(sheet.cells);
                sheets.append(sheet);
            }
        }
        return sheets;
    }
};

// The panes a sheet of the XLSX file keeps frozen, read from the file itself: LibreOffice converting
// without a window writes no view settings. False when the sheet cannot be read.
bool readFrozenPanes(const QString &unzip, const QString &xlsx, int sheet, SheetView *view)
{
    QProcess process;
    process.start(unzip, {u"-p"_s, xlsx, u"xl/worksheets/sheet%1.xml"_s.arg(sheet)});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return false;
    QXmlStreamReader xml(process.readAllStandardOutput());
    view->frozenRows = 0;
    view->frozenColumns = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"pane" &&
            attribute(xml, "state") == u"frozen") {
            view->frozenRows = attribute(xml, "ySplit").toInt();
            view->frozenColumns = attribute(xml, "xSplit").toInt();
        }
    }
    return !xml.hasError();
}

void compareViews(const QList<SheetView> &actual, const QList<SheetView> &expected, bool panes = true)
{
    QStringList actualNames;
    QStringList expectedNames;
    for (const SheetView &sheet : actual)
        actualNames.append(sheet.name);
    for (const SheetView &sheet : expected)
        expectedNames.append(sheet.name);
    QCOMPARE(actualNames, expectedNames);
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const SheetView &a = actual.at(i);
        const SheetView &e = expected.at(i);
        QCOMPARE(a.cells.size(), e.cells.size());
        for (qsizetype r = 0; r < e.cells.size(); ++r) {
            if (a.cells.at(r) != e.cells.at(r))
                qWarning().noquote() << e.name << "row" << r + 1 << ":" << a.cells.at(r) << "expected"
                                     << e.cells.at(r);
            QCOMPARE(a.cells.at(r), e.cells.at(r));
        }
        if (panes) {
            QCOMPARE(a.frozenRows, e.frozenRows);
            QCOMPARE(a.frozenColumns, e.frozenColumns);
        }
    }
}

// ---- The reports ----

const QString testTitle = u"*Wyniki uczniów z testu Sprawdzian 2024"_s;
const QString testDateLine = u"Data: 2024-04-09"_s;

ReportContent classReport()
{
    ReportContent report;
    report.testName = u"Sprawdzian 2024"_s;
    report.testDate = u"2024-04-09"_s;
    report.firstCaption = u"Wyniki uczniów za poszczególne zadania - Klasa VI A"_s;
    report.firstGrid = {{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"1"_s, u"2"_s, u"Zad.3"_s},
                        {u"1"_s, u"A1"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s},
                        {u"2"_s, u"Łucja"_s, u"N"_s, QString(), QString(), QString()},
                        {u"3"_s, u"007"_s, u"t"_s, u"12"_s, QString(), u"3"_s}};
    report.secondCaption = u"Wyniki uczniów za poszczególne standardy"_s;
    report.secondGrid = {{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Czyt."_s, u"Pis."_s, u"Rozum."_s,
                          u"Korz."_s, u"Wyk."_s, u"Razem"_s},
                         {u"1"_s, u"A1"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s, u"0"_s, u"0"_s, u"3"_s},
                         {u"2"_s, u"Łucja"_s, u"N"_s, u"--"_s, u"--"_s, u"--"_s, u"--"_s, u"--"_s, u"--"_s},
                         {u"3"_s, u"007"_s, u"t"_s, u"12"_s, u"0"_s, u"3"_s, u"0"_s, u"0"_s, u"15"_s}};
    return report;
}

QList<SheetView> expectedClassWorkbook()
{
    return {{u"Zadania"_s,
             {{testTitle},
              {testDateLine},
              {u"*Wyniki uczniów za poszczególne zadania - Klasa VI A"_s},
              {u"*L.p."_s, u"*Kod ucznia"_s, u"*Ob."_s, u"*1"_s, u"*2"_s, u"*Zad.3"_s},
              {u"#1"_s, u"A1"_s, u"T"_s, u"#2"_s, u"#1"_s, u"#0"_s},
              {u"#2"_s, u"Łucja"_s, u"N"_s},
              {u"#3"_s, u"007"_s, u"t"_s, u"#12"_s, QString(), u"#3"_s}},
             4,
             2},
            {u"Podsumowanie"_s,
             {{testTitle},
              {testDateLine},
              {u"*Wyniki uczniów za poszczególne standardy"_s},
              {u"*L.p."_s, u"*Kod ucznia"_s, u"*Ob."_s, u"*Czyt."_s, u"*Pis."_s, u"*Rozum."_s, u"*Korz."_s,
               u"*Wyk."_s, u"*Razem"_s},
              {u"#1"_s, u"A1"_s, u"T"_s, u"#2"_s, u"#1"_s, u"#0"_s, u"#0"_s, u"#0"_s, u"#3"_s},
              {u"#2"_s, u"Łucja"_s, u"N"_s},
              {u"#3"_s, u"007"_s, u"t"_s, u"#12"_s, u"#0"_s, u"#3"_s, u"#0"_s, u"#0"_s, u"#15"_s}},
             4,
             2}};
}

ReportContent schoolReport()
{
    ReportContent report;
    report.testName = u"Sprawdzian 2024"_s;
    report.testDate = u"2024-04-09"_s;
    report.firstCaption = u"Podsumowanie"_s;
    const QString none;
    report.firstGrid = {{u"L.p."_s, u"Nr. zadania"_s, none, u"1"_s, u"2"_s, u"3"_s},
                        {u"1"_s, u"Klasa VI A - Śr."_s, none, u"1.67"_s, u"0.50"_s, u"123.50"_s},
                        {u"2"_s, u"Klasa VI A - Ła."_s, none, u"0.83"_s, u"0.25"_s, u"0.12"_s},
                        {u"3"_s, u"Klasa VI B - Śr."_s, none, none, none, none},
                        {u"4"_s, u"Klasa VI B - Ła."_s, none, none, none, none},
                        {u"5"_s, u"Szkoła - Śr."_s, none, u"1.67"_s, u"0.50"_s, u"123.50"_s},
                        {u"6"_s, u"Szkoła - Ła."_s, none, u"0.83"_s, u"0.25"_s, u"0.12"_s}};
    report.secondCaption = u"Wyniki za poszczególne standardy"_s;
    report.secondGrid = {{u"L.p."_s, u"Nr. zadania"_s, none, u"Czyt."_s, u"Pis."_s, u"Razem"_s},
                         {u"1"_s, u"Klasa VI A - Śr."_s, none, u"3.00"_s, u"1.50"_s, u"12.25"_s},
                         {u"2"_s, u"Klasa VI A - Ła."_s, none, u"0.75"_s, u"0.38"_s, u"0.31"_s}};
    return report;
}

QList<ClassSheetInput> schoolClasses()
{
    const GridRows headings{{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"1"_s, u"2"_s, u"3"_s}};
    return {{u"Klasa VI A"_s, headings + GridRows{{u"1"_s, u"A1"_s, u"T"_s, u"2"_s, u"1"_s, u"-"_s},
                                                  {u"2"_s, u"Łucja"_s, u"N"_s, u"-"_s, u"-"_s, u"-"_s}}},
            {u"Klasa VI/B"_s, headings + GridRows{{u"1"_s, u"-"_s, u"T"_s, u"0"_s, u"1"_s, u"3"_s}}},
            {u"klasa vi a"_s, headings}};
}

QList<SheetView> expectedSchoolWorkbook()
{
    const QStringList classHeadings{u"*L.p."_s, u"*Kod ucznia"_s, u"*Ob."_s, u"*1"_s, u"*2"_s, u"*3"_s};
    return {{u"Podsumowanie"_s,
             {{testTitle},
              {testDateLine},
              {u"*Podsumowanie"_s},
              {u"*L.p."_s, u"*Nr. zadania"_s, u"*1"_s, u"*2"_s, u"*3"_s},
              {u"#1"_s, u"Klasa VI A - Śr."_s, u"#1.67"_s, u"#0.50"_s, u"#123.50"_s},
              {u"#2"_s, u"Klasa VI A - Ła."_s, u"#0.83"_s, u"#0.25"_s, u"#0.12"_s},
              {u"#3"_s, u"Klasa VI B - Śr."_s},
              {u"#4"_s, u"Klasa VI B - Ła."_s},
              {u"#5"_s, u"Szkoła - Śr."_s, u"#1.67"_s, u"#0.50"_s, u"#123.50"_s},
              {u"#6"_s, u"Szkoła - Ła."_s, u"#0.83"_s, u"#0.25"_s, u"#0.12"_s},
              {},
              {u"*Wyniki za poszczególne standardy"_s},
              {u"*L.p."_s, u"*Nr. zadania"_s, u"*Czyt."_s, u"*Pis."_s, u"*Razem"_s},
              {u"#1"_s, u"Klasa VI A - Śr."_s, u"#3.00"_s, u"#1.50"_s, u"#12.25"_s},
              {u"#2"_s, u"Klasa VI A - Ła."_s, u"#0.75"_s, u"#0.38"_s, u"#0.31"_s}},
             4,
             2},
            {u"Klasa VI A"_s,
             {classHeadings, {u"#1"_s, u"A1"_s, u"T"_s, u"#2"_s, u"#1"_s}, {u"#2"_s, u"Łucja"_s, u"N"_s}},
             1,
             2},
            {u"Klasa VI-B"_s, {classHeadings, {u"#1"_s, QString(), u"T"_s, u"#0"_s, u"#1"_s, u"#3"_s}}, 1, 2},
            {u"klasa vi a (2)"_s, {classHeadings}, 1, 2}};
}

struct Converted {
    QList<SheetView> sheets;
};

// The workbook as the library alone writes it when it is given every cell: the bytes the program's
// files have always had.
QByteArray libraryAlone(const QList<Sheet> &sheets)
{
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(u"alone.xlsx"_s));
    const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const locale_t previous = uselocale(cLocale);
    lxw_workbook *workbook = workbook_new(path.constData());
    lxw_doc_properties properties{};
    properties.created = time_t(qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong());
    workbook_set_properties(workbook, &properties);
    std::map<std::pair<int, bool>, lxw_format *> formats;
    for (const Sheet &sheet : sheets) {
        lxw_worksheet *worksheet = workbook_add_worksheet(workbook, sheet.name.toUtf8().constData());
        for (qsizetype c = 0; c < sheet.columnWidths.size(); ++c) {
            if (sheet.columnWidths.at(c) > 0)
                worksheet_set_column(worksheet, lxw_col_t(c), lxw_col_t(c), sheet.columnWidths.at(c),
                                     nullptr);
        }
        const QList<QList<SheetCell>> rows = sheetRows(sheet);
        for (qsizetype r = 0; r < rows.size(); ++r) {
            for (qsizetype c = 0; c < rows.at(r).size(); ++c) {
                const SheetCell &cell = rows.at(r).at(c);
                const std::pair<int, bool> key{cell.number ? cell.decimals : -1, cell.bold};
                lxw_format *format = nullptr;
                if (key != std::pair<int, bool>{-1, false}) {
                    lxw_format *&known = formats[key];
                    if (!known) {
                        known = workbook_add_format(workbook);
                        if (cell.bold)
                            format_set_bold(known);
                        if (cell.number)
                            format_set_num_format(known, cell.decimals == 0 ? "0" : "0.00");
                    }
                    format = known;
                }
                QByteArray text = cell.text.toUtf8();
                text.replace(QByteArrayView("\0", 1), QByteArrayView());
                if (cell.number)
                    worksheet_write_number(worksheet, lxw_row_t(r), lxw_col_t(c), *cell.number, format);
                else if (!text.isEmpty())
                    worksheet_write_string(worksheet, lxw_row_t(r), lxw_col_t(c), text.constData(), format);
            }
        }
        if (sheet.frozenRows > 0 || sheet.frozenColumns > 0)
            worksheet_freeze_panes(worksheet, lxw_row_t(sheet.frozenRows), lxw_col_t(sheet.frozenColumns));
    }
    workbook_close(workbook);
    uselocale(previous);
    freelocale(cLocale);
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sheets of every shape the program writes: headings and figures given cell by cell, a class's
// grid long enough for many blocks of rows and many packed pieces, and sheets with one cell or none.
QList<Sheet> sheetsOfEveryShape()
{
    const auto text = [](const QString &content, bool bold = false) {
        SheetCell cell;
        cell.text = content;
        cell.bold = bold;
        return cell;
    };
    const auto number = [](double value, int decimals = 0) {
        SheetCell cell;
        cell.number = value;
        cell.decimals = decimals;
        return cell;
    };
    Sheet summary;
    summary.name = u"Podsumowanie"_s;
    summary.rows = {{text(u"Wyniki uczniów z testu <Próba> & \"druga\""_s, true)},
                    {},
                    {text(u" z odstępem "_s), text(u"a\u0000b"_s), text(u"\u0000"_s), text(QString()),
                     text(u"Łatwość"_s, true)},
                    {number(0.57, 2), number(-3), number(1e20), number(0.1 + 0.2, 2), number(1.5e-7, 2),
                     number(123456789012345.0), number(-0.0), number(2.5), number(99999.99, 2)}};
    summary.frozenRows = 4;
    summary.frozenColumns = 2;
    summary.columnWidths = {5, 24, 0, 8};

    Sheet pupils;
    pupils.name = u"Klasa VI A"_s;
    pupils.gridTextColumns = {1, 2};
    QStringList heading{u"L.p."_s, u"Kod"_s, u"Płeć"_s};
    for (int t = 1; t <= 120; ++t)
        heading.append(u"Z%1"_s.arg(t));
    pupils.grid.append(heading);
    const QStringList odd{u""_s, u" "_s, u"-"_s, u"--"_s, u"12"_s, u"-3"_s, u"0.50"_s, u"1e5"_s, u"0,50"_s};
    for (int p = 1; p <= 700; ++p) {
        QStringList row;
        // Rows 40 to 69 hold nothing: a block of 16 rows with no cells, and rows without any.
        if (p >= 40 && p < 70) {
            pupils.grid.append(QStringList(p % 2 ? 5 : 0, u" "_s));
            continue;
        }
        // Later rows start further right now and then, and end sooner.
        row << (p % 37 == 0 ? QString() : QString::number(p)) << u"U%1"_s.arg(p % 300)
            << (p % 3 ? u"T"_s : u"N"_s);
        const int length = 120 - (p * 7) % 50;
        for (int t = 0; t < length; ++t)
            row << ((p + t) % 29 == 0 ? odd.at((p + t) % odd.size()) : QString::number((p * t) % 10));
        pupils.grid.append(row);
    }
    pupils.frozenRows = 1;
    pupils.frozenColumns = 2;
    pupils.columnWidths = {5, 14, 5, 7, 7};

    Sheet lone;
    lone.name = u"Jedna"_s;
    lone.rows = {{}, {}, {text(QString()), text(QString()), number(7)}};
    Sheet empty;
    empty.name = u"Pusta"_s;
    empty.frozenColumns = 2;
    return {summary, pupils, lone, empty};
}

} // namespace

class TstSpreadsheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void reportCell_data();
    void reportCell();
    void sheetName_data();
    void sheetName();
    void classWorkbookSheets();
    void schoolWorkbookSheets();
    void readBackInLibreOffice_data();
    void readBackInLibreOffice();
    void refusedWorkbooks_data();
    void refusedWorkbooks();
    void temporaryFilesStayPrivate();
    void localeLeftAsItWas();
    void programsFilesAgreeWithItsReports_data();
    void programsFilesAgreeWithItsReports();
    void packedCellsAreTheLibrarysOwn();
    void stoppedWhilePacking();
    void deflatedInPiecesAsAWhole();

private:
    QTemporaryDir m_folder;
    QString m_notConverted; // why LibreOffice gave no files
    bool m_skipped = false;
    bool m_panesRead = false; // unzip at hand
    QHash<QString, QList<SheetView>> m_converted;
};

void TstSpreadsheet::initTestCase()
{
    // The program runs under a Polish locale, whose decimal comma must not reach the files.
    std::setlocale(LC_ALL, "pl_PL.UTF-8");

    QVERIFY(m_folder.isValid());
    QString error;
    const std::optional<QByteArray> classBytes = xlsxBytes(classWorkbook(classReport()), &error);
    QVERIFY2(classBytes, qPrintable(error));
    const std::optional<QByteArray> schoolBytes =
        xlsxBytes(schoolWorkbook(schoolReport(), schoolClasses()), &error);
    QVERIFY2(schoolBytes, qPrintable(error));
    QVERIFY(classBytes->startsWith("PK\x03\x04"));

    const QStringList names{u"klasa"_s, u"szkola"_s};
    for (const QString &name : names) {
        QFile file(m_folder.filePath(name + u".xlsx"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(name == u"klasa" ? *classBytes : *schoolBytes) > 0);
    }

    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty()) {
        m_skipped = true;
        return;
    }
    // One start of LibreOffice for both files, with a profile of its own.
    QProcess process;
    process.setProgram(soffice);
    process.setArguments(
        {u"--headless"_s, u"--norestore"_s,
         u"-env:UserInstallation="_s + QUrl::fromLocalFile(m_folder.filePath(u"lo"_s)).toString(),
         u"--convert-to"_s, u"fods"_s, u"--outdir"_s, m_folder.path(), m_folder.filePath(u"klasa.xlsx"_s),
         m_folder.filePath(u"szkola.xlsx"_s)});
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        m_notConverted = u"soffice did not finish within 120 s"_s;
        return;
    }
    for (const QString &name : names) {
        QFile fods(m_folder.filePath(name + u".fods"_s));
        if (!fods.open(QIODevice::ReadOnly)) {
            m_notConverted =
                u"soffice wrote no %1.fods: "_s.arg(name) + QString::fromLocal8Bit(process.readAll());
            return;
        }
        FodsReader reader;
        m_converted[name] = reader.read(fods.readAll());
        if (reader.xml.hasError())
            m_notConverted = name + u".fods: "_s + reader.xml.errorString();
    }

    const QString unzip = QStandardPaths::findExecutable(u"unzip"_s);
    m_panesRead = !unzip.isEmpty();
    for (const QString &name : names) {
        QList<SheetView> &sheets = m_converted[name];
        for (qsizetype i = 0; m_panesRead && i < sheets.size(); ++i)
            QVERIFY(readFrozenPanes(unzip, m_folder.filePath(name + u".xlsx"_s), int(i + 1), &sheets[i]));
    }
}

void TstSpreadsheet::reportCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kind"); // "empty", "number" or "text"
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("decimals");

    QTest::newRow("nothing") << QString() << u"empty"_s << 0.0 << 0;
    QTest::newRow("blank of the report") << u" "_s << u"empty"_s << 0.0 << 0;
    QTest::newRow("empty in a grid file") << u"-"_s << u"empty"_s << 0.0 << 0;
    QTest::newRow("absent pupil's sum") << u"--"_s << u"empty"_s << 0.0 << 0;

    QTest::newRow("whole number") << u"12"_s << u"number"_s << 12.0 << 0;
    QTest::newRow("negative") << u"-3"_s << u"number"_s << -3.0 << 0;
    QTest::newRow("largest of 32 bits") << u"2147483647"_s << u"number"_s << 2147483647.0 << 0;
    QTest::newRow("statistics value") << u"0.50"_s << u"number"_s << 0.5 << 2;
    QTest::newRow("large statistics value") << u"123.46"_s << u"number"_s << 123.46 << 2;
    QTest::newRow("negative decimal") << u"-1.25"_s << u"number"_s << -1.25 << 2;

    QTest::newRow("decimal comma") << u"0,50"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("one decimal") << u"1.5"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("three decimals") << u"1.500"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("no whole part") << u".50"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("pupil code") << u"A1"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("task label") << u"Zad.1"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("plus sign") << u"+5"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("leading blank") << u" 5"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("hexadecimal") << u"$A"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("beyond 32 bits") << u"2147483648"_s << u"text"_s << 0.0 << 0;
    QTest::newRow("three dashes") << u"---"_s << u"text"_s << 0.0 << 0;
}

void TstSpreadsheet::reportCell()
{
    QFETCH(QString, text);
    QFETCH(QString, kind);
    QFETCH(double, number);
    QFETCH(int, decimals);

    const SheetCell cell = ::reportCell(text);
    QVERIFY(!cell.bold);
    if (kind == u"empty") {
        QVERIFY(!cell.number);
        QVERIFY(cell.text.isEmpty());
    } else if (kind == u"number") {
        QVERIFY(cell.number);
        QCOMPARE(*cell.number, number);
        QCOMPARE(cell.decimals, decimals);
    } else {
        QVERIFY(!cell.number);
        QCOMPARE(cell.text, text);
    }
}

void TstSpreadsheet::sheetName_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("name");

    const QString long40 = u"Klasa szósta A – grupa językowa, angielski"_s;
    QTest::newRow("plain") << u"Klasa VI A"_s << QStringList() << u"Klasa VI A"_s;
    QTest::newRow("taken") << u"Klasa VI A"_s << QStringList{u"Klasa VI A"_s} << u"Klasa VI A (2)"_s;
    QTest::newRow("taken in other case")
        << u"Klasa VI A"_s << QStringList{u"KLASA vi a"_s} << u"Klasa VI A (2)"_s;
    QTest::newRow("Polish letters in other case")
        << u"Klasa Ś"_s << QStringList{u"klasa ś"_s} << u"Klasa Ś (2)"_s;
    QTest::newRow("second copy taken too")
        << u"VI A"_s << QStringList{u"VI A"_s, u"VI A (2)"_s} << u"VI A (3)"_s;
    QTest::newRow("forbidden characters")
        << u"VI/A: grupa [1]*?\\"_s << QStringList() << u"VI-A- grupa -1----"_s;
    QTest::newRow("too long") << long40 << QStringList() << long40.left(31);
    QTest::newRow("too long and taken")
        << long40 << QStringList{long40.left(31)} << long40.left(27) + u" (2)"_s;
    QTest::newRow("blank where shortened")
        << u"Klasa szósta A, grupa językowa  X"_s << QStringList() << u"Klasa szósta A, grupa językowa"_s;
    QTest::newRow("apostrophes at the ends") << u"'Klasa'"_s << QStringList() << u"Klasa"_s;
    QTest::newRow("line break and tab") << u"Klasa\tVI\r\nA"_s << QStringList() << u"Klasa VI A"_s;
    QTest::newRow("empty") << QString() << QStringList() << u"Arkusz"_s;
    QTest::newRow("only apostrophes") << u"' '"_s << QStringList{u"Arkusz"_s} << u"Arkusz (2)"_s;
    QTest::newRow("reserved by Excel") << u"history"_s << QStringList() << u"history (2)"_s;
    QTest::newRow("character outside the basic plane kept whole")
        << QString(30, u'x') + u"😀"_s << QStringList() << QString(30, u'x');
}

void TstSpreadsheet::sheetName()
{
    QFETCH(QString, wanted);
    QFETCH(QStringList, taken);
    QFETCH(QString, name);

    QCOMPARE(::sheetName(wanted, taken), name);
    // The library and the spreadsheet take it as well.
    Sheet sheet;
    sheet.name = name;
    QString error;
    QVERIFY2(xlsxBytes({sheet}, &error), qPrintable(error));
}

void TstSpreadsheet::classWorkbookSheets()
{
    compareViews(viewOf(classWorkbook(classReport())), expectedClassWorkbook());
}

void TstSpreadsheet::schoolWorkbookSheets()
{
    const QList<Sheet> sheets = schoolWorkbook(schoolReport(), schoolClasses());
    compareViews(viewOf(sheets), expectedSchoolWorkbook());
    // The hidden column is gone from the widths too: the label column is the wide one.
    QCOMPARE(sheets.first().columnWidths.size(), 5);
    QVERIFY(sheets.first().columnWidths.at(1) > sheets.first().columnWidths.at(2));
}

void TstSpreadsheet::readBackInLibreOffice_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("class") << u"klasa"_s;
    QTest::newRow("school") << u"szkola"_s;
}

void TstSpreadsheet::readBackInLibreOffice()
{
    QFETCH(QString, file);
    if (m_skipped)
        QSKIP("LibreOffice (soffice) is not installed: the files cannot be read back");
    QVERIFY2(m_notConverted.isEmpty(), qPrintable(m_notConverted));

    compareViews(m_converted.value(file),
                 withoutBold(file == u"klasa" ? expectedClassWorkbook() : expectedSchoolWorkbook()),
                 m_panesRead);
    if (!QTest::currentTestFailed() && !m_panesRead)
        QSKIP("unzip is not installed: the frozen panes were not checked");
}

void TstSpreadsheet::refusedWorkbooks_data()
{
    QTest::addColumn<QList<Sheet>>("sheets");
    QTest::addColumn<QString>("reason");

    const auto named = [](const QString &name) {
        Sheet sheet;
        sheet.name = name;
        return sheet;
    };
    const auto text = [](const QString &content) {
        SheetCell cell;
        cell.text = content;
        return cell;
    };
    const auto withCell = [&](const SheetCell &cell) {
        Sheet sheet = named(u"Zadania"_s);
        sheet.rows = {{text(u"A1"_s), cell}};
        return sheet;
    };
    SheetCell notANumber;
    notANumber.number = std::numeric_limits<double>::quiet_NaN();

    QTest::newRow("no sheets") << QList<Sheet>() << u"ani jednego arkusza"_s;
    QTest::newRow("no name") << QList<Sheet>{named(u"A"_s), named(u" "_s)} << u"arkusz nr 2 nie ma nazwy"_s;
    QTest::newRow("forbidden character") << QList<Sheet>{named(u"VI/A"_s)} << u"niedozwolony znak"_s;
    QTest::newRow("too long") << QList<Sheet>{named(QString(32, u'a'))} << u"dłuższa niż 31"_s;
    QTest::newRow("apostrophe first") << QList<Sheet>{named(u"'VI A"_s)} << u"apostrofem"_s;
    QTest::newRow("same name in other case")
        << QList<Sheet>{named(u"Klasa Ś"_s), named(u"klasa ś"_s)} << u"tę samą nazwę „klasa ś”"_s;
    QTest::newRow("text too long") << QList<Sheet>{withCell(text(QString(40000, u'x')))}
                                   << u"arkusz „Zadania”: komórka B1: tekst jest dłuższy"_s;
    QTest::newRow("not a number") << QList<Sheet>{withCell(notANumber)} << u"komórka B1: liczba"_s;
}

void TstSpreadsheet::refusedWorkbooks()
{
    QFETCH(QList<Sheet>, sheets);
    QFETCH(QString, reason);

    QString error;
    QVERIFY(!xlsxBytes(sheets, &error));
    QVERIFY2(error.startsWith(u"Nie mogę zapisać skoroszytu XLSX: "_s), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(!xlsxBytes(sheets, nullptr)); // no place for the reason is no reason to crash
}

void TstSpreadsheet::temporaryFilesStayPrivate()
{
    const QByteArray oldTemporary = qgetenv("TMPDIR");
    const auto restore = qScopeGuard([&] {
        if (oldTemporary.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", oldTemporary);
    });
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QList<Sheet> sheets = classWorkbook(classReport());

    // Written in a folder of its own under the temporary folder, and nothing left behind.
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    QString error;
    QVERIFY2(xlsxBytes(sheets, &error), qPrintable(error));
    QCOMPARE(QDir(temporary.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());

    // Without a usable temporary folder there is no file, and a reason instead of a crash; and no
    // folder anywhere else (Qt's fallback would be the root of the file system).
    const QString notAFolder = temporary.filePath(u"plik"_s);
    QFile file(notAFolder);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    for (const QString &broken : {notAFolder, temporary.filePath(u"brak"_s)}) {
        qputenv("TMPDIR", QFile::encodeName(broken));
        QVERIFY(!xlsxBytes(sheets, &error));
        QCOMPARE(error, u"Nie mogę zapisać skoroszytu XLSX: nie można utworzyć folderu tymczasowego."_s);
    }
    QCOMPARE(QDir(temporary.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"plik"_s});
}

void TstSpreadsheet::localeLeftAsItWas()
{
    if (QByteArrayView(std::localeconv()->decimal_point) != ",")
        QSKIP("no Polish locale on this machine");
    QString error;
    QVERIFY2(xlsxBytes(classWorkbook(classReport()), &error), qPrintable(error));
    // The C locale was the writer's alone: the rest of the program keeps its decimal comma.
    QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
}

void TstSpreadsheet::programsFilesAgreeWithItsReports_data()
{
    // What the program wrote on the whole road (its fixtures, which that test holds it to).
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("spreadsheet");
    QTest::addColumn<QStringList>("sheets"); // the sheets that hold the report's grids
    QTest::newRow("class") << u"Klasa VI A"_s << u"Wyniki uczniów.csv"_s << u"Wyniki uczniów.xlsx"_s
                           << QStringList{u"Zadania"_s, u"Podsumowanie"_s};
    QTest::newRow("school") << u"Szkoła"_s << u"Podsumowanie wyników.csv"_s << u"Podsumowanie wyników.xlsx"_s
                            << QStringList{u"Podsumowanie"_s};
}

void TstSpreadsheet::programsFilesAgreeWithItsReports()
{
    QFETCH(QString, folder);
    QFETCH(QString, report);
    QFETCH(QString, spreadsheet);
    QFETCH(QStringList, sheets);
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed: the files cannot be read back");
    const QString fixtures = QStringLiteral(SONDARYK_ROAD_FIXTURES) + u'/' + folder + u'/';

    // Every figure of the report, in its order: the grids' cells that are numbers (codes and marks
    // are text).
    QFile csv(fixtures + report);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QStringList figures;
    bool inGrid = false;
    for (const QString &line : cp1250::decode(csv.readAll()).split(u"\r\n"_s)) {
        const QStringList cells = line.split(u';');
        if (cells.size() < 2) {
            inGrid = false;
            continue;
        }
        if (!inGrid) { // the grid's heading row
            inGrid = true;
            continue;
        }
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const SheetCell cell = ::reportCell(cells[c]);
            if (c != 1 && c != 2 && cell.number)
                figures.append(QString::number(*cell.number, 'f', cell.decimals));
        }
    }
    QVERIFY(figures.size() > 20);

    // The same figures, in the same order, as number cells that LibreOffice Calc reads.
    const QString copy = m_folder.filePath(folder.left(1) + u".xlsx"_s);
    QFile::remove(copy);
    QVERIFY(QFile::copy(fixtures + spreadsheet, copy));
    QProcess process;
    process.start(soffice,
                  {u"--headless"_s, u"--norestore"_s,
                   u"-env:UserInstallation="_s + QUrl::fromLocalFile(m_folder.filePath(u"lo"_s)).toString(),
                   u"--convert-to"_s, u"fods"_s, u"--outdir"_s, m_folder.path(), copy});
    QVERIFY(process.waitForFinished(120000));
    QFile fods(m_folder.filePath(folder.left(1) + u".fods"_s));
    QVERIFY2(fods.open(QIODevice::ReadOnly), "LibreOffice wrote no file");
    FodsReader reader;
    const QList<SheetView> views = reader.read(fods.readAll());
    QStringList numbers;
    for (const QString &name : sheets) {
        const auto view =
            std::find_if(views.begin(), views.end(), [&](const SheetView &v) { return v.name == name; });
        QVERIFY2(view != views.end(), qPrintable(u"no sheet "_s + name));
        for (const QStringList &row : view->cells) {
            for (const QString &cell : row) {
                if (cell.startsWith(u'#'))
                    numbers.append(cell.mid(1));
            }
        }
    }
    QCOMPARE(numbers, figures);
}

void TstSpreadsheet::packedCellsAreTheLibrarysOwn()
{
    // The cells are packed beside the library; the file must be the one the library writes alone.
    const QByteArray oldEpoch = qgetenv("SOURCE_DATE_EPOCH");
    const auto restore = qScopeGuard([&] { qputenv("SOURCE_DATE_EPOCH", oldEpoch); });
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    const QList<Sheet> sheets = sheetsOfEveryShape();
    QString error;
    const std::optional<QByteArray> packed = xlsxBytes(sheets, &error);
    QVERIFY2(packed, qPrintable(error));
    const QByteArray alone = libraryAlone(sheets);
    QVERIFY(!alone.isEmpty());
    for (int i = 1; i <= sheets.size(); ++i) {
        const QByteArray entry = "xl/worksheets/sheet" + QByteArray::number(i) + ".xml";
        QCOMPARE(zipentries::inflated(*packed, entry), zipentries::inflated(alone, entry));
    }
    QCOMPARE(zipentries::inflated(*packed, "xl/sharedStrings.xml"),
             zipentries::inflated(alone, "xl/sharedStrings.xml"));
    QCOMPARE(zipentries::inflated(*packed, "xl/styles.xml"), zipentries::inflated(alone, "xl/styles.xml"));
    QVERIFY(*packed == alone);
}

void TstSpreadsheet::stoppedWhilePacking()
{
    QList<Sheet> sheets = sheetsOfEveryShape();
    for (int i = 0; i < 6; ++i) {
        Sheet copy = sheets.at(1);
        copy.name += u" (%1)"_s.arg(i + 2);
        sheets.append(copy);
    }
    // Stopped once the cells are being packed: the step ends with the user's words and the
    // packers are all ended before it does.
    qint64 reports = 0;
    const ProgressReport stopHalfway = [&](qint64 done, qint64 total) {
        ++reports;
        if (done * 2 >= total)
            throw StepCancelled(u"Przerwano."_s);
    };
    QVERIFY_THROWS_EXCEPTION(StepCancelled, xlsxBytes(sheets, nullptr, stopHalfway));
    QVERIFY(reports > 1);

    qint64 last = -1;
    bool steady = true;
    const ProgressReport watch = [&](qint64 done, qint64 total) {
        steady = steady && done >= last && done <= total;
        last = done;
    };
    QVERIFY(xlsxBytes(sheets, nullptr, watch));
    QVERIFY(steady);
    QCOMPARE(last, qint64(1000));
}

void TstSpreadsheet::deflatedInPiecesAsAWhole()
{
    // A sheet is packed piece by piece as it is made; the library packs it whole.
    QByteArray xml;
    for (int r = 1; r <= 20000; ++r)
        xml += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) + "\"><v>" +
               QByteArray::number((r * 7919) % 1000) + "</v></c></row>";
    const zipentries::Deflated whole = zipentries::deflated(xml);
    for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(4096), qsizetype(300000)}) {
        zipentries::Deflater deflater;
        for (qsizetype at = 0; at < xml.size(); at += piece)
            deflater.add(QByteArrayView(xml).sliced(at, qMin(piece, xml.size() - at)));
        const zipentries::Deflated pieces = deflater.finish();
        QCOMPARE(pieces.data, whole.data);
        QCOMPARE(pieces.crc, whole.crc);
        QCOMPARE(pieces.size, xml.size());
    }

    // A damaged archive is never patched.
    const std::optional<QByteArray> file = xlsxBytes(sheetsOfEveryShape(), nullptr);
    QVERIFY(file);
    const QHash<QByteArray, zipentries::Deflated> replacement{{"xl/styles.xml", whole}};
    QVERIFY(zipentries::withEntries(*file, replacement));
    QVERIFY(!zipentries::withEntries(file->first(file->size() - 1), replacement));
    QByteArray wrongOffset = *file;
    wrongOffset[wrongOffset.size() - 6] = char(wrongOffset.at(wrongOffset.size() - 6) + 1);
    QVERIFY(!zipentries::withEntries(wrongOffset, replacement));
    QVERIFY(!zipentries::withEntries(*file, {{"xl/brak.xml", whole}}));
    QCOMPARE(zipentries::inflated(*zipentries::withEntries(*file, replacement), "xl/styles.xml"), xml);
}

QTEST_GUILESS_MAIN(TstSpreadsheet)
#include "tst_spreadsheet.moc"
