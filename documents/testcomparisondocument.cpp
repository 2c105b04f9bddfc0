#include "documents/testcomparisondocument.h"

#include "analysis/analysissettings.h"
#include "analysis/comparison.h"
#include "core/numbers.h"

#include <algorithm>

namespace {

const QString dash = QStringLiteral("–");

// Where groupRows puts the stanine of the mean.
constexpr qsizetype stanineRow = 7;

SheetCell textCell(const QString &text, bool bold = false)
{
    SheetCell cell;
    cell.text = text;
    cell.bold = bold;
    return cell;
}

// A number as the pages print it (text) and as the spreadsheet counts with it.
SheetCell numberCell(double value, int decimals, const QString &shown)
{
    SheetCell cell;
    cell.text = shown;
    cell.number = decimals == 2 ? roundedToHundredths(value) : value;
    cell.decimals = decimals;
    return cell;
}

SheetCell points(double value)
{
    return numberCell(value, 2, polishDecimal(value));
}

// A fraction as whole per cent, from the same hundredths its two-decimal figure shows.
SheetCell percent(double fraction)
{
    const qint64 whole = hundredths(fraction);
    return numberCell(double(whole), 0, QString::number(whole) + u'%');
}

SheetCell whole(qint64 value)
{
    return numberCell(double(value), 0, QString::number(value));
}

QString shownText(const SheetCell &cell)
{
    return cell.text.isEmpty() ? dash : cell.text;
}

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString tableStart()
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                          "style=\"border-collapse: collapse; border-color: #808080;\">\n");
}

QString htmlRow(const QStringList &cells, bool header)
{
    const QString tag = header ? QStringLiteral("th") : QStringLiteral("td");
    QString html = QStringLiteral("<tr>");
    for (qsizetype c = 0; c < cells.size(); ++c)
        html +=
            QStringLiteral("<%1%2>%3</%1>")
                .arg(tag, c > 0 && !header ? QStringLiteral(" align=\"right\"") : QString(), esc(cells[c]));
    html += QStringLiteral("</tr>");
    // A header row repeats on every page its table reaches.
    return header ? QStringLiteral("<thead>") + html + QStringLiteral("</thead>\n") : html + u'\n';
}

QStringList testHeadings(const QList<SchoolAtTest> &tests, const QString &first)
{
    QStringList headings{first};
    for (const SchoolAtTest &test : tests)
        headings.append(testHeading(test));
    return headings;
}

QString rowsTable(const QList<ComparisonRow> &rows, const QList<SchoolAtTest> &tests, const QString &first)
{
    QString html = tableStart() + htmlRow(testHeadings(tests, first), true);
    for (const ComparisonRow &row : rows) {
        QStringList cells{row.name};
        for (const SheetCell &cell : row.cells)
            cells.append(shownText(cell));
        html += htmlRow(cells, false);
    }
    return html + QStringLiteral("</table>\n");
}

QList<SheetCell> sheetHeadings(const QStringList &names)
{
    QList<SheetCell> cells;
    for (const QString &name : names)
        cells.append(textCell(name, true));
    return cells;
}

void appendRows(Sheet *sheet, const QList<ComparisonRow> &rows)
{
    for (const ComparisonRow &row : rows)
        sheet->rows.append(QList<SheetCell>{textCell(row.name)} + row.cells);
}

QList<ComparisonRow> standardRows(const TestsComparison &comparison)
{
    QList<ComparisonRow> rows;
    for (const StandardAcrossTests &standard : comparison.standards) {
        ComparisonRow row{standard.description, {}};
        for (const std::optional<double> &facility : standard.facility)
            row.cells.append(facility ? numberCell(*facility, 2, polishDecimal(*facility)) : SheetCell{});
        rows.append(row);
    }
    return rows;
}

QString pupilChange(const std::optional<double> &change)
{
    if (!change)
        return dash;
    return signedPoints(int(roundedUnits(std::clamp(*change, -100.0, 100.0), 0)));
}

// The first column for the rows' names, then one as wide as each test's heading.
QList<double> testColumnWidths(const QList<SchoolAtTest> &tests)
{
    QList<double> widths{40};
    for (const SchoolAtTest &test : tests)
        widths.append(std::max<qsizetype>(12, testHeading(test).size() + 2));
    return widths;
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

} // namespace

// groupRows, and under the stanine its name as text: the cell above holds the number.
QList<ComparisonRow> sheetRows(const QList<std::optional<GroupAtTest>> &groups,
                               const QList<SchoolAtTest> &tests)
{
    QList<ComparisonRow> rows = groupRows(groups, tests);
    ComparisonRow names{QStringLiteral("Stanin średniej – opis"), {}};
    for (const std::optional<GroupAtTest> &group : groups)
        names.cells.append(group && group->hasData && group->stanine ? textCell(stanineName(*group->stanine))
                                                                     : SheetCell{});
    rows.insert(stanineRow + 1, names);
    return rows;
}

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
    QStringList cells{pupil.classLabel, pupil.code};
    for (qsizetype t = 0; t < testCount; ++t) {
        const std::optional<double> &share = pupil.percentOfMax.value(t);
        const std::optional<double> &rank = pupil.percentile.value(t);
        cells << (share ? polishDecimal(*share, 0) + u'%' : dash) << (rank ? polishDecimal(*rank, 0) : dash);
    }
    cells.append(pupilChange(pupil.change));
    return cells;
}

QString testHeading(const SchoolAtTest &test)
{
    return test.testName + QStringLiteral(", ") + test.testDate;
}

QList<ComparisonRow> groupRows(const QList<std::optional<GroupAtTest>> &groups,
                               const QList<SchoolAtTest> &tests)
{
    QList<ComparisonRow> rows{
        {QStringLiteral("Maksymalna liczba punktów"), {}},
        {QStringLiteral("Obecni na teście"), {}},
        {QStringLiteral("Średnia (pkt)"), {}},
        {QStringLiteral("Średnia (% maksymalnej liczby punktów)"), {}},
        {QStringLiteral("Mediana (pkt)"), {}},
        {QStringLiteral("Uczniowie z co najmniej 80% punktów"), {}},
        {QStringLiteral("Uczniowie z mniej niż 50% punktów"), {}},
        {QStringLiteral("Stanin średniej"), {}},
        {QStringLiteral("Łatwość testu"), {}},
        {QStringLiteral("Różnica od kraju (pkt proc.)"), {}},
    };
    for (qsizetype t = 0; t < groups.size(); ++t) {
        QList<SheetCell> cells(rows.size());
        cells[0] = whole(tests.value(t).maxPoints);
        if (const std::optional<GroupAtTest> &group = groups[t]) {
            cells[1] = whole(group->present);
            if (group->hasData) {
                cells[2] = points(group->meanPoints);
                if (group->facility)
                    cells[3] = percent(*group->facility);
                cells[4] = points(group->median);
                cells[5] = percent(group->shareAtLeast80);
                cells[6] = percent(group->shareBelow50);
                if (group->stanine)
                    cells[7] = numberCell(
                        *group->stanine, 0,
                        QStringLiteral("%1 (%2)").arg(*group->stanine).arg(stanineName(*group->stanine)));
                if (group->facility)
                    cells[8] = numberCell(*group->facility, 2, polishDecimal(*group->facility));
                if (group->countryDifference)
                    cells[9] =
                        numberCell(*group->countryDifference, 0, signedPoints(*group->countryDifference));
            }
        }
        for (qsizetype r = 0; r < rows.size(); ++r)
            rows[r].cells.append(cells[r]);
    }
    return rows;
}

QList<Sheet> testComparisonSheets(const TestsComparison &comparison)
{
    const QList<SchoolAtTest> &tests = comparison.tests;
    QList<std::optional<GroupAtTest>> schools;
    for (const SchoolAtTest &test : tests)
        schools.append(test.school);

    // Above every sheet, as above the window and the printed pages.
    const QList<SheetCell> caveat{textCell(comparisonCaveat(), true)};

    Sheet school = testsSheet(QStringLiteral("Szkoła"), caveat, tests);
    appendRows(&school, sheetRows(schools, tests));
    if (!comparison.standards.isEmpty()) {
        school.rows.append(QList<SheetCell>());
        school.rows.append(sheetHeadings(testHeadings(tests, QStringLiteral("Łatwość standardów"))));
        appendRows(&school, standardRows(comparison));
    }

    Sheet classes = testsSheet(QStringLiteral("Klasy"), caveat, tests, QStringLiteral("Klasa"));
    for (qsizetype r = 0; r < comparison.classes.size(); ++r) {
        QList<SheetCell> labels{textCell(QStringLiteral("Klasa"), true)};
        for (qsizetype t = 0; t < tests.size(); ++t)
            labels.append(textCell(comparison.classMatch.value(r).value(t), true));
        classes.rows.append(labels);
        appendRows(&classes, sheetRows(comparison.classes[r], tests));
        classes.rows.append(QList<SheetCell>());
    }

    Sheet pupils;
    pupils.name = QStringLiteral("Uczniowie");
    pupils.frozenRows = 3;
    pupils.frozenColumns = 2;
    pupils.columnWidths = {16, 14};
    QList<SheetCell> top{textCell(QString(), true), textCell(QString(), true)};
    QList<SheetCell> second = sheetHeadings({QStringLiteral("Klasa"), QStringLiteral("Kod ucznia")});
    for (const SchoolAtTest &test : tests) {
        top << textCell(testHeading(test), true) << SheetCell{};
        second << textCell(QStringLiteral("% maks."), true)
               << textCell(QStringLiteral("Ranga w szkole"), true);
        pupils.columnWidths << 12 << 14;
    }
    top.append(textCell(QString(), true));
    second.append(textCell(QStringLiteral("Zmiana rangi (pkt proc.)"), true));
    pupils.rows << caveat << top << second;
    for (const PupilAcrossTests &pupil : comparison.pupils) {
        QList<SheetCell> cells{textCell(pupil.classLabel), textCell(pupil.code)};
        for (qsizetype t = 0; t < tests.size(); ++t) {
            const std::optional<double> &share = pupil.percentOfMax.value(t);
            const std::optional<double> &rank = pupil.percentile.value(t);
            cells << (share ? numberCell(*share, 0, polishDecimal(*share, 0) + u'%') : SheetCell{})
                  << (rank ? numberCell(*rank, 0, polishDecimal(*rank, 0)) : SheetCell{});
        }
        cells.append(pupil.change ? numberCell(*pupil.change, 0, pupilChange(pupil.change)) : SheetCell{});
        pupils.rows.append(cells);
    }
    return {school, classes, pupils};
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
            rowsTable(groupRows(schools, tests), tests, QStringLiteral("Szkoła"));
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
        html += rowsTable(groupRows(comparison.classes[r], tests), tests, QStringLiteral("Klasa"));
    }

    html += QStringLiteral(
        "<h2>Uczniowie w kolejnych testach</h2>\n<p>Dla każdego testu: procent maksymalnej "
        "liczby punktów i ranga w szkole (procent uczniów z takim samym lub niższym wynikiem). "
        "Zmiana rangi: od pierwszego testu do ostatniego, w punktach procentowych.</p>\n");
    if (withPupils) {
        html += tableStart() + htmlRow(pupilHeadings(tests), true);
        for (const PupilAcrossTests &pupil : comparison.pupils)
            html += htmlRow(pupilCells(pupil, tests.size()), false);
        html += QStringLiteral("</table>\n");
    } else {
        html += QStringLiteral("<p>Tabela uczniów jest w zakładce „Uczniowie”.</p>\n");
    }

    html += QStringLiteral("<h2>Standardy w kolejnych testach</h2>\n");
    if (comparison.standards.isEmpty())
        html += QStringLiteral("<p>Żadne dwa testy nie mają standardu o tym samym opisie.</p>\n");
    else
        html += rowsTable(standardRows(comparison), tests, QStringLiteral("Łatwość standardu"));
    return html + QStringLiteral("</body></html>\n");
}
