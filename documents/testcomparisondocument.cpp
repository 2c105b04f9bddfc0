#include "documents/testcomparisondocument.h"

#include "analysis/analysissettings.h"
#include "analysis/comparison.h"
#include "core/numbers.h"
#include "documents/reporttable.h"

#include <algorithm>

namespace {

QString requirementsComparisonHeading()
{
    return QStringLiteral("Wymagania w kolejnych testach");
}

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

// Where groupTable puts the stanine of the mean.
constexpr qsizetype stanineRow = 7;

const DocumentOptions documentOptions{true, false};

SheetOptions sheetRowsOnly()
{
    SheetOptions options;
    options.withHeader = false;
    return options;
}

QStringList testHeadings(const QList<SchoolAtTest> &tests, const QString &first)
{
    QStringList headings{first};
    for (const SchoolAtTest &test : tests)
        headings.append(testHeading(test));
    return headings;
}

QList<ReportCell> texts(const QStringList &names)
{
    QList<ReportCell> cells;
    cells.reserve(names.size());
    for (const QString &name : names)
        cells.append(textCell(name));
    return cells;
}

// The figures of a group at one test, in the order of groupTable's rows.
QList<ReportCell> groupCells(const std::optional<GroupAtTest> &group, qint32 maxPoints)
{
    QList<ReportCell> cells(stanineRow + 3, missingCell());
    cells[0] = integerCell(maxPoints);
    if (!group)
        return cells;
    cells[1] = integerCell(group->present);
    if (!group->hasData)
        return cells;
    cells[2] = decimalCell(group->meanPoints);
    if (group->facility)
        cells[3] = shareCell(*group->facility);
    cells[4] = decimalCell(group->median);
    cells[5] = shareCell(group->shareAtLeast80);
    cells[6] = shareCell(group->shareBelow50);
    if (group->stanine)
        cells[7] = named(integerCell(*group->stanine), stanineName(*group->stanine));
    if (group->facility)
        cells[8] = decimalCell(*group->facility);
    if (group->countryDifference)
        cells[9] = differenceCell(*group->countryDifference);
    return cells;
}

// A group's figures at every test, a row per figure; the sheet adds the stanine's name under it,
// the number being the stanine's cell.
ReportTable groupTable(const QList<std::optional<GroupAtTest>> &groups, const QList<SchoolAtTest> &tests,
                       const QString &first)
{
    ReportTable table;
    table.header = texts(testHeadings(tests, first));
    const QStringList names{QStringLiteral("Maksymalna liczba punktów"),
                            QStringLiteral("Obecni na teście"),
                            QStringLiteral("Średnia (pkt)"),
                            QStringLiteral("Średnia (% maksymalnej liczby punktów)"),
                            QStringLiteral("Mediana (pkt)"),
                            QStringLiteral("Uczniowie z co najmniej 80% punktów"),
                            QStringLiteral("Uczniowie z mniej niż 50% punktów"),
                            QStringLiteral("Stanin średniej"),
                            QStringLiteral("Łatwość testu"),
                            QStringLiteral("Różnica od kraju (pkt proc.)")};
    for (const QString &name : names)
        table.add({textCell(name)});
    ReportRow stanineNames{{textCell(QStringLiteral("Stanin średniej – opis"))}, ReportOutput::SheetOnly};
    for (qsizetype t = 0; t < groups.size(); ++t) {
        const std::optional<GroupAtTest> &group = groups[t];
        const QList<ReportCell> cells = groupCells(group, tests.value(t).maxPoints);
        for (qsizetype r = 0; r < cells.size(); ++r)
            table.rows[r].cells.append(cells[r]);
        stanineNames.cells.append(group && group->hasData && group->stanine
                                      ? textCell(stanineName(*group->stanine))
                                      : ReportCell{});
    }
    table.rows.insert(stanineRow + 1, stanineNames);
    return table;
}

ReportTable standardsTable(const TestsComparison &comparison, const QString &first)
{
    ReportTable table;
    table.header = texts(testHeadings(comparison.tests, first));
    for (const StandardAcrossTests &standard : comparison.standards) {
        QList<ReportCell> cells{textCell(standard.description)};
        for (const std::optional<double> &facility : standard.facility)
            cells.append(facility ? decimalCell(*facility) : missingCell());
        table.add(cells);
    }
    return table;
}

// Each shared requirement's facility at each test, and the change from the first test that has it
// to the last, in percentage points.
ReportTable requirementsTable(const TestsComparison &comparison)
{
    ReportTable table;
    QStringList headings = testHeadings(comparison.tests, QStringLiteral("Wymaganie"));
    headings.insert(1, QStringLiteral("Opis"));
    headings.append(QStringLiteral("Zmiana"));
    table.header = texts(headings);
    for (const RequirementAcrossTests &requirement : comparison.requirements) {
        QList<ReportCell> cells{textCell(requirement.code), textCell(requirement.description)};
        std::optional<double> first;
        std::optional<double> last;
        for (const std::optional<double> &facility : requirement.facility) {
            cells.append(facility ? decimalCell(*facility) : missingCell());
            if (facility) {
                first = first ? first : facility;
                last = facility;
            }
        }
        cells.append(first && last ? differenceCell(differenceInPoints(*last, *first)) : missingCell());
        table.add(cells);
    }
    return table;
}

QList<ReportCell> pupilRow(const PupilAcrossTests &pupil, qsizetype testCount)
{
    QList<ReportCell> cells{textCell(pupil.classLabel), textCell(pupil.code)};
    for (qsizetype t = 0; t < testCount; ++t) {
        const std::optional<double> &share = pupil.percentOfMax.value(t);
        const std::optional<double> &rank = pupil.percentile.value(t);
        cells << (share ? percentCell(*share, 0) : missingCell())
              << (rank ? decimalCell(*rank, 0) : missingCell());
    }
    cells.append(pupil.change ? differenceCell(*pupil.change) : missingCell());
    return cells;
}

ReportTable pupilsTable(const TestsComparison &comparison)
{
    ReportTable table;
    table.header = texts(pupilHeadings(comparison.tests));
    for (const PupilAcrossTests &pupil : comparison.pupils)
        table.add(pupilRow(pupil, comparison.tests.size()));
    return table;
}

// The first column for the rows' names, then one as wide as each test's heading.
QList<double> testColumnWidths(const QList<SchoolAtTest> &tests)
{
    QList<double> widths{40};
    for (const SchoolAtTest &test : tests)
        widths.append(std::max<qsizetype>(12, testHeading(test).size() + 2));
    return widths;
}

QList<SheetCell> sheetHeadings(const QStringList &names)
{
    QList<SheetCell> cells;
    for (const QString &name : names)
        cells.append(sheetText(name, true));
    return cells;
}

// A sheet of one column per test: the caveat, then the tests' headings, both kept in view.
Sheet testsSheet(const QString &name, const QList<SheetCell> &caveat, const QList<SchoolAtTest> &tests,
                 const QString &first = {})
{
    Sheet sheet;
    sheet.name = name;
    sheet.frozenRows = 2;
    sheet.frozenColumns = 1;
    sheet.columnWidths = testColumnWidths(tests);
    sheet.rows.append(caveat);
    sheet.rows.append(sheetHeadings(testHeadings(tests, first.isEmpty() ? name : first)));
    return sheet;
}

Sheet schoolSheet(const TestsComparison &comparison, const QList<SheetCell> &caveat)
{
    const QList<SchoolAtTest> &tests = comparison.tests;
    QList<std::optional<GroupAtTest>> schools;
    for (const SchoolAtTest &test : tests)
        schools.append(test.school);
    Sheet school = testsSheet(QStringLiteral("Szkoła"), caveat, tests);
    appendToSheet(&school, groupTable(schools, tests, QString()), sheetRowsOnly());
    if (!comparison.standards.isEmpty()) {
        school.rows.append(QList<SheetCell>());
        appendToSheet(&school, standardsTable(comparison, QStringLiteral("Łatwość standardów")));
    }
    if (!comparison.requirements.isEmpty()) {
        school.rows.append(QList<SheetCell>());
        school.rows.append({sheetText(requirementsComparisonHeading(), true)});
        appendToSheet(&school, requirementsTable(comparison));
    }
    return school;
}

Sheet classesSheet(const TestsComparison &comparison, const QList<SheetCell> &caveat)
{
    const QList<SchoolAtTest> &tests = comparison.tests;
    Sheet classes = testsSheet(QStringLiteral("Klasy"), caveat, tests, QStringLiteral("Klasa"));
    for (qsizetype r = 0; r < comparison.classes.size(); ++r) {
        QList<SheetCell> labels{sheetText(QStringLiteral("Klasa"), true)};
        for (qsizetype t = 0; t < tests.size(); ++t)
            labels.append(sheetText(comparison.classMatch.value(r).value(t), true));
        classes.rows.append(labels);
        appendToSheet(&classes, groupTable(comparison.classes[r], tests, QString()), sheetRowsOnly());
        classes.rows.append(QList<SheetCell>());
    }
    return classes;
}

Sheet pupilsSheet(const TestsComparison &comparison, const QList<SheetCell> &caveat)
{
    Sheet pupils;
    pupils.name = QStringLiteral("Uczniowie");
    pupils.frozenRows = 3;
    pupils.frozenColumns = 2;
    pupils.columnWidths = {16, 14};
    // Two heading rows: each test's name over its two columns.
    QList<SheetCell> top{sheetText(QString(), true), sheetText(QString(), true)};
    QList<SheetCell> second = sheetHeadings({QStringLiteral("Klasa"), QStringLiteral("Kod ucznia")});
    for (const SchoolAtTest &test : comparison.tests) {
        top << sheetText(testHeading(test), true) << SheetCell{};
        second << sheetText(QStringLiteral("% maks."), true)
               << sheetText(QStringLiteral("Ranga w szkole"), true);
        pupils.columnWidths << 12 << 14;
    }
    top.append(sheetText(QString(), true));
    second.append(sheetText(QStringLiteral("Zmiana rangi (pkt proc.)"), true));
    pupils.rows << caveat << top << second;
    appendToSheet(&pupils, pupilsTable(comparison), sheetRowsOnly());
    return pupils;
}

} // namespace

QStringList pupilHeadings(const QList<SchoolAtTest> &tests)
{
    QStringList head{QStringLiteral("Klasa"), QStringLiteral("Kod ucznia")};
    for (const SchoolAtTest &test : tests)
        head << testHeading(test) + QStringLiteral(": % maks.") << QStringLiteral("ranga");
    head.append(QStringLiteral("Zmiana rangi"));
    return head;
}

QStringList pupilCells(const PupilAcrossTests &pupil, qsizetype testCount)
{
    QStringList cells;
    for (const ReportCell &cell : pupilRow(pupil, testCount))
        cells.append(documentText(cell));
    return cells;
}

QString testHeading(const SchoolAtTest &test)
{
    return test.testName + QStringLiteral(", ") + test.testDate;
}

QList<ComparisonRow> groupRows(const QList<std::optional<GroupAtTest>> &groups,
                               const QList<SchoolAtTest> &tests)
{
    QList<ComparisonRow> rows;
    for (const ReportRow &row : groupTable(groups, tests, QString()).rows) {
        if (row.output == ReportOutput::SheetOnly)
            continue;
        ComparisonRow line{row.cells.first().text, {}};
        for (const ReportCell &cell : row.cells.sliced(1)) {
            // The number the sheet holds, with the text the pages print.
            SheetCell shown;
            if (cell.kind != ReportCell::Kind::Missing) {
                shown = sheetCells(cell).first();
                shown.text = documentText(cell);
            }
            line.cells.append(shown);
        }
        rows.append(line);
    }
    return rows;
}

QList<Sheet> testComparisonSheets(const TestsComparison &comparison)
{
    // Above every sheet, as above the window and the printed pages.
    const QList<SheetCell> caveat{sheetText(comparisonCaveat(), true)};
    return {schoolSheet(comparison, caveat), classesSheet(comparison, caveat),
            pupilsSheet(comparison, caveat)};
}

QString testComparisonHtml(const TestsComparison &comparison, bool withCountryChart, bool withPupils)
{
    const QList<SchoolAtTest> &tests = comparison.tests;
    QString html =
        QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Porównanie testów</title></head><body>\n"
                       "<h1>Porównanie testów</h1>\n");
    html += QStringLiteral("<p><b>%1</b></p>\n").arg(esc(comparisonCaveat()));
    for (const SchoolAtTest &test : tests) {
        for (const QString &note : test.notes)
            html += QStringLiteral("<p style=\"background-color: #fff3c4;\">&nbsp;%1: %2&nbsp;</p>\n")
                        .arg(esc(testHeading(test)), esc(note));
    }

    QList<std::optional<GroupAtTest>> schools;
    for (const SchoolAtTest &test : tests)
        schools.append(test.school);
    html += QStringLiteral("<h2>Szkoła w kolejnych testach</h2>\n") +
            documentTableOnly(groupTable(schools, tests, QStringLiteral("Szkoła")), documentOptions);
    html += QStringLiteral("<p><img src=\"%1\"></p>\n").arg(QLatin1StringView(testComparisonStaninesImage));
    if (withCountryChart)
        html +=
            QStringLiteral("<p><img src=\"%1\"></p>\n").arg(QLatin1StringView(testComparisonCountryImage));

    html += QStringLiteral("<h2>Klasy w kolejnych testach</h2>\n");
    for (qsizetype r = 0; r < comparison.classes.size(); ++r) {
        QStringList labels;
        for (const QString &label : comparison.classMatch.value(r)) {
            if (!label.isEmpty() && !labels.contains(label))
                labels.append(label);
        }
        html += QStringLiteral("<h3>%1</h3>\n").arg(esc(labels.join(QStringLiteral(" → "))));
        html += documentTableOnly(groupTable(comparison.classes[r], tests, QStringLiteral("Klasa")),
                                  documentOptions);
    }

    html += QStringLiteral(
        "<h2>Uczniowie w kolejnych testach</h2>\n<p>Dla każdego testu: procent maksymalnej "
        "liczby punktów i ranga w szkole (procent uczniów z takim samym lub niższym wynikiem). "
        "Zmiana rangi: od pierwszego testu do ostatniego, w punktach procentowych.</p>\n");
    if (withPupils) {
        html += documentTableOnly(pupilsTable(comparison), documentOptions);
    } else {
        html += QStringLiteral("<p>Tabela uczniów jest w zakładce „Uczniowie”.</p>\n");
    }

    html += QStringLiteral("<h2>Standardy w kolejnych testach</h2>\n");
    if (comparison.standards.isEmpty())
        html += QStringLiteral("<p>Żadne dwa testy nie mają standardu o tym samym opisie.</p>\n");
    else
        html += documentTableOnly(standardsTable(comparison, QStringLiteral("Łatwość standardu")),
                                  documentOptions);
    if (comparison.anyRequirements) {
        html += QStringLiteral("<h2>%1</h2>\n").arg(esc(requirementsComparisonHeading()));
        if (comparison.requirements.isEmpty())
            html += QStringLiteral("<p>Żadne dwa testy nie mają wymagania o tym samym kodzie.</p>\n");
        else
            html += QStringLiteral(
                        "<p>Łatwość wymagań o tym samym kodzie w kolejnych testach. Zmiana: od pierwszego "
                        "testu z tym wymaganiem do ostatniego, w punktach procentowych; wymaganie "
                        "sprawdzają w każdym teście inne zadania.</p>\n") +
                    documentTableOnly(requirementsTable(comparison), documentOptions);
    }
    return html + QStringLiteral("</body></html>\n");
}
