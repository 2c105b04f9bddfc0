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

QString summaryHeading()
{
    return QStringLiteral("Podsumowanie");
}

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

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

// Which of the figures that may be compared the tests have at all: a row of nothing but "–" says
// nothing, and a chart of it draws nothing.
struct Comparable {
    bool stanine = false;
    bool country = false;
};

Comparable comparableFigures(const QList<SchoolAtTest> &tests)
{
    return {testComparisonHasStanines(tests), testComparisonHasCountry(tests)};
}

const GroupAtTest *withData(const std::optional<GroupAtTest> &group)
{
    return group && group->hasData ? &*group : nullptr;
}

// A group's figures at every test, a row per figure: first those that may be compared, in bold,
// then the points and percentages, which tell how hard each test was. The sheet adds the stanine's
// name under it, the number being the stanine's cell.
ReportTable groupTable(const QList<std::optional<GroupAtTest>> &groups, const QList<SchoolAtTest> &tests,
                       const QString &first, Comparable comparable)
{
    ReportTable table;
    table.header = texts(testHeadings(tests, first));
    const auto addRow = [&](const QString &name, bool lead, const auto &cellOf,
                            ReportOutput output = ReportOutput::Both) {
        QList<ReportCell> cells{lead ? strong(textCell(name)) : textCell(name)};
        for (qsizetype t = 0; t < groups.size(); ++t)
            cells.append(cellOf(groups[t], tests.value(t).maxPoints));
        table.add(cells, output);
    };
    using Group = std::optional<GroupAtTest>;
    // A figure known only when the group sat the test, "–" otherwise.
    const auto sat = [](auto cellOf) {
        return [cellOf](const Group &group, qint32) -> ReportCell {
            const GroupAtTest *g = withData(group);
            return g ? cellOf(*g) : missingCell();
        };
    };
    if (comparable.stanine) {
        addRow(QStringLiteral("Stanin średniej"), true, sat([](const GroupAtTest &g) {
                   return g.stanine ? named(integerCell(*g.stanine), stanineName(*g.stanine)) : missingCell();
               }));
        addRow(
            QStringLiteral("Stanin średniej – opis"), false,
            [](const Group &group, qint32) {
                const GroupAtTest *g = withData(group);
                return g && g->stanine ? textCell(stanineName(*g->stanine)) : ReportCell{};
            },
            ReportOutput::SheetOnly);
    }
    if (comparable.country)
        addRow(QStringLiteral("Różnica od kraju (pkt proc.)"), true, sat([](const GroupAtTest &g) {
                   return g.countryDifference ? differenceCell(*g.countryDifference) : missingCell();
               }));
    addRow(QStringLiteral("Maksymalna liczba punktów"), false,
           [](const Group &, qint32 maxPoints) { return integerCell(maxPoints); });
    addRow(QStringLiteral("Obecni na teście"), false,
           [](const Group &group, qint32) { return group ? integerCell(group->present) : missingCell(); });
    addRow(QStringLiteral("Średnia (pkt)"), false,
           sat([](const GroupAtTest &g) { return decimalCell(g.meanPoints); }));
    addRow(QStringLiteral("Średnia (% maksymalnej liczby punktów)"), false,
           sat([](const GroupAtTest &g) { return g.facility ? shareCell(*g.facility) : missingCell(); }));
    addRow(QStringLiteral("Mediana (pkt)"), false,
           sat([](const GroupAtTest &g) { return decimalCell(g.median); }));
    addRow(QStringLiteral("Uczniowie z co najmniej 80% punktów"), false,
           sat([](const GroupAtTest &g) { return shareCell(g.shareAtLeast80); }));
    addRow(QStringLiteral("Uczniowie z mniej niż 50% punktów"), false,
           sat([](const GroupAtTest &g) { return shareCell(g.shareBelow50); }));
    addRow(QStringLiteral("Łatwość testu"), false,
           sat([](const GroupAtTest &g) { return g.facility ? decimalCell(*g.facility) : missingCell(); }));
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

QString standardsCaveat()
{
    return QStringLiteral("Standard o tym samym opisie składa się w każdym teście z innych zadań, więc "
                          "zmiana jego łatwości pokazuje kierunek, a nie zmierzony postęp.");
}

QString requirementsNote()
{
    return QStringLiteral(
        "Łatwość wymagań o tym samym kodzie w kolejnych testach. Zmiana: od pierwszego testu "
        "z tym wymaganiem do ostatniego, w punktach procentowych; wymaganie sprawdzają "
        "w każdym teście inne zadania, więc zmiana pokazuje kierunek, a nie zmierzony "
        "postęp.");
}

// Said near the top when nothing may be compared, so that the percentages are not read as progress.
QString nothingComparable()
{
    return QStringLiteral(
        "Żaden z tych testów nie ma tabeli staninów ani wyników kraju, więc raport pokazuje "
        "tylko procenty punktów: mówią one, jak trudny był każdy test, a nie to, czy "
        "szkoła wypadła lepiej.");
}

// The caveat above every sheet, and when nothing may be compared, that only percentages follow.
QString leadingWords(const QList<SchoolAtTest> &tests)
{
    if (testComparisonHasStanines(tests) || testComparisonHasCountry(tests))
        return comparisonCaveat();
    return comparisonCaveat() + u' ' + nothingComparable();
}

// One figure that may be compared, as the summary speaks of it; stanin is masculine, różnica feminine.
struct Measure {
    std::optional<int> (*of)(const GroupAtTest &);
    QString name;
    QString rose;
    QString fell;
    QString same;
    bool difference; // written with its sign and "pkt proc."
};

const Measure &stanineMeasure()
{
    static const Measure measure{[](const GroupAtTest &g) { return g.hasData ? g.stanine : std::nullopt; },
                                 QStringLiteral("stanin średniej"),
                                 QStringLiteral("wzrósł"),
                                 QStringLiteral("spadł"),
                                 QStringLiteral("nie zmienił się"),
                                 false};
    return measure;
}

const Measure &countryMeasure()
{
    static const Measure measure{
        [](const GroupAtTest &g) { return g.hasData ? g.countryDifference : std::nullopt; },
        QStringLiteral("różnica od kraju"),
        QStringLiteral("wzrosła"),
        QStringLiteral("spadła"),
        QStringLiteral("nie zmieniła się"),
        true};
    return measure;
}

QString measureValue(const Measure &measure, int value)
{
    return measure.difference ? documentText(differenceCell(value)) : QString::number(value);
}

// The figure at the first test that has it and at the last; none unless two tests have it.
struct Change {
    qsizetype from = 0;
    qsizetype to = 0;
    int first = 0;
    int last = 0;
};

std::optional<Change> changeOf(const QList<std::optional<GroupAtTest>> &groups, const Measure &measure)
{
    std::optional<Change> change;
    for (qsizetype t = 0; t < groups.size(); ++t) {
        const std::optional<int> value = groups[t] ? measure.of(*groups[t]) : std::nullopt;
        if (!value)
            continue;
        if (!change)
            change = Change{t, t, *value, *value};
        change->to = t;
        change->last = *value;
    }
    if (change && change->from == change->to)
        return std::nullopt;
    return change;
}

QString verbOf(const Measure &measure, int by)
{
    return by > 0 ? measure.rose : by < 0 ? measure.fell : measure.same;
}

QString quotedTest(const SchoolAtTest &test)
{
    return QStringLiteral("„%1”").arg(testHeading(test));
}

QString classRowLabel(const QStringList &match)
{
    QStringList labels;
    for (const QString &label : match) {
        if (!label.isEmpty() && !labels.contains(label))
            labels.append(label);
    }
    return labels.join(QStringLiteral(" → "));
}

// Which class rose most and which fell most on the measure, from its first test with it to its last.
QString classesSentence(const TestsComparison &comparison, const Measure &measure)
{
    std::optional<std::pair<qsizetype, Change>> rose;
    std::optional<std::pair<qsizetype, Change>> fell;
    bool anyChange = false;
    for (qsizetype r = 0; r < comparison.classes.size(); ++r) {
        const std::optional<Change> change = changeOf(comparison.classes[r], measure);
        if (!change)
            continue;
        anyChange = true;
        const int by = change->last - change->first;
        if (by > 0 && (!rose || by > rose->second.last - rose->second.first))
            rose = std::pair{r, *change};
        if (by < 0 && (!fell || by < fell->second.last - fell->second.first))
            fell = std::pair{r, *change};
    }
    if (!anyChange)
        return {};
    const QString unit = measure.difference ? QStringLiteral(" pkt proc.") : QString();
    const auto part = [&](const QString &verb, const std::pair<qsizetype, Change> &at) {
        return QStringLiteral("najbardziej %1 w klasie „%2” (z %3 do %4%5)")
            .arg(verb, classRowLabel(comparison.classMatch.value(at.first)),
                 measureValue(measure, at.second.first), measureValue(measure, at.second.last), unit);
    };
    if (!rose && !fell)
        return QStringLiteral("W żadnej klasie %1 %2.").arg(measure.name, measure.same);
    QString sentence = QStringLiteral("Spośród klas ") + measure.name + u' ';
    if (rose && fell)
        sentence += part(measure.rose, *rose) + QStringLiteral(", a ") + part(measure.fell, *fell);
    else if (rose)
        sentence += part(measure.rose, *rose) + QStringLiteral("; w żadnej nie ") + measure.fell;
    else
        sentence += part(measure.fell, *fell) + QStringLiteral("; w żadnej nie ") + measure.rose;
    return sentence + u'.';
}

// What follows from the comparison, in a few sentences: the school's comparable figures from the
// first test that has them to the last, the classes that changed most; or why nothing follows.
QStringList summarySentences(const TestsComparison &comparison)
{
    const QList<SchoolAtTest> &tests = comparison.tests;
    if (tests.size() < 2)
        return {QStringLiteral("Porównanie ma tylko jeden test: dodaj kolejną szkołę, aby zobaczyć zmianę.")};
    QList<std::optional<GroupAtTest>> schools;
    for (const SchoolAtTest &test : tests)
        schools.append(test.school);
    const std::optional<Change> stanine = changeOf(schools, stanineMeasure());
    const std::optional<Change> country = changeOf(schools, countryMeasure());
    const Comparable comparable = comparableFigures(tests);
    if (!stanine && !country) {
        if (!comparable.stanine && !comparable.country)
            return {QStringLiteral("Z samych procentów punktów nie da się powiedzieć, czy szkoła poprawiła "
                                   "wyniki: każdy test miał inną trudność.")};
        return {QStringLiteral("Stanin średniej i różnica od kraju są znane najwyżej dla jednego testu, więc "
                               "nie ma ich z czym porównać, a z samych procentów punktów nie da się "
                               "powiedzieć, czy szkoła poprawiła wyniki.")};
    }

    QStringList sentences;
    if (stanine) {
        const auto withName = [](int value) {
            const QString name = stanineName(value);
            return name.isEmpty() ? QString::number(value) : QStringLiteral("%1 (%2)").arg(value).arg(name);
        };
        const int by = stanine->last - stanine->first;
        if (by == 0)
            sentences.append(
                QStringLiteral("Stanin średniej szkoły nie zmienił się: %1 w teście %2 i w teście %3.")
                    .arg(withName(stanine->first), quotedTest(tests[stanine->from]),
                         quotedTest(tests[stanine->to])));
        else
            sentences.append(QStringLiteral("Stanin średniej szkoły %1 z %2 w teście %3 do %4 w teście %5.")
                                 .arg(verbOf(stanineMeasure(), by), withName(stanine->first),
                                      quotedTest(tests[stanine->from]), withName(stanine->last),
                                      quotedTest(tests[stanine->to])));
    }
    if (country) {
        const QString first = measureValue(countryMeasure(), country->first);
        const QString last = measureValue(countryMeasure(), country->last);
        const int by = country->last - country->first;
        const bool sameTests = stanine && stanine->from == country->from && stanine->to == country->to;
        if (sameTests && by == 0)
            sentences.append(
                QStringLiteral("Różnica od wyniku kraju w tych samych testach nie zmieniła się: %1 pkt proc.")
                    .arg(first));
        else if (sameTests)
            sentences.append(
                QStringLiteral("Różnica od wyniku kraju w tych samych testach %1 z %2 do %3 pkt proc.")
                    .arg(verbOf(countryMeasure(), by), first, last));
        else if (by == 0)
            sentences.append(
                QStringLiteral("Różnica od wyniku kraju nie zmieniła się: %1 pkt proc. w teście %2 i "
                               "w teście %3.")
                    .arg(first, quotedTest(tests[country->from]), quotedTest(tests[country->to])));
        else
            sentences.append(
                QStringLiteral("Różnica od wyniku kraju %1 z %2 pkt proc. w teście %3 do %4 pkt proc. "
                               "w teście %5.")
                    .arg(verbOf(countryMeasure(), by), first, quotedTest(tests[country->from]), last,
                         quotedTest(tests[country->to])));
    }
    const QString classes = classesSentence(comparison, country ? countryMeasure() : stanineMeasure());
    if (!classes.isEmpty())
        sentences.append(classes);
    return sentences;
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
    appendToSheet(&school, groupTable(schools, tests, QString(), comparableFigures(tests)), sheetRowsOnly());
    if (!comparison.standards.isEmpty()) {
        school.rows.append(QList<SheetCell>());
        school.rows.append({sheetText(standardsCaveat())});
        appendToSheet(&school, standardsTable(comparison, QStringLiteral("Łatwość standardów")));
    }
    if (!comparison.requirements.isEmpty()) {
        school.rows.append(QList<SheetCell>());
        school.rows.append({sheetText(requirementsComparisonHeading(), true)});
        school.rows.append({sheetText(requirementsNote())});
        appendToSheet(&school, requirementsTable(comparison));
    }
    school.rows.append(QList<SheetCell>());
    school.rows.append({sheetText(summaryHeading(), true)});
    for (const QString &sentence : summarySentences(comparison))
        school.rows.append({sheetText(sentence)});
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
        appendToSheet(&classes, groupTable(comparison.classes[r], tests, QString(), comparableFigures(tests)),
                      sheetRowsOnly());
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
    for (const ReportRow &row : groupTable(groups, tests, QString(), comparableFigures(tests)).rows) {
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
    const QList<SheetCell> caveat{sheetText(leadingWords(comparison.tests), true)};
    return {schoolSheet(comparison, caveat), classesSheet(comparison, caveat),
            pupilsSheet(comparison, caveat)};
}

bool testComparisonHasStanines(const QList<SchoolAtTest> &tests)
{
    return std::any_of(tests.cbegin(), tests.cend(),
                       [](const SchoolAtTest &test) { return test.school.hasData && test.school.stanine; });
}

bool testComparisonHasCountry(const QList<SchoolAtTest> &tests)
{
    return std::any_of(tests.cbegin(), tests.cend(), [](const SchoolAtTest &test) {
        return test.school.hasData && test.school.countryDifference;
    });
}

QString testComparisonHtml(const TestsComparison &comparison, bool withPupils)
{
    const QList<SchoolAtTest> &tests = comparison.tests;
    const Comparable comparable = comparableFigures(tests);
    QString html =
        QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Porównanie testów</title></head><body>\n"
                       "<h1>Porównanie testów</h1>\n");
    html += QStringLiteral("<p><b>%1</b></p>\n").arg(esc(comparisonCaveat()));
    if (!comparable.stanine && !comparable.country)
        html += QStringLiteral("<p><b>%1</b></p>\n").arg(esc(nothingComparable()));
    for (const SchoolAtTest &test : tests) {
        for (const QString &note : test.notes)
            html += QStringLiteral("<p style=\"background-color: #fff3c4;\">&nbsp;%1: %2&nbsp;</p>\n")
                        .arg(esc(testHeading(test)), esc(note));
    }

    QList<std::optional<GroupAtTest>> schools;
    for (const SchoolAtTest &test : tests)
        schools.append(test.school);
    html +=
        QStringLiteral("<h2>Szkoła w kolejnych testach</h2>\n") +
        documentTableOnly(groupTable(schools, tests, QStringLiteral("Szkoła"), comparable), documentOptions);
    if (comparable.stanine)
        html +=
            QStringLiteral("<p><img src=\"%1\"></p>\n").arg(QLatin1StringView(testComparisonStaninesImage));
    if (comparable.country)
        html +=
            QStringLiteral("<p><img src=\"%1\"></p>\n").arg(QLatin1StringView(testComparisonCountryImage));

    html += QStringLiteral("<h2>Klasy w kolejnych testach</h2>\n");
    for (qsizetype r = 0; r < comparison.classes.size(); ++r) {
        html += QStringLiteral("<h3>%1</h3>\n").arg(esc(classRowLabel(comparison.classMatch.value(r))));
        html += documentTableOnly(
            groupTable(comparison.classes[r], tests, QStringLiteral("Klasa"), comparable), documentOptions);
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
        html += QStringLiteral("<p>%1</p>\n").arg(esc(standardsCaveat())) +
                documentTableOnly(standardsTable(comparison, QStringLiteral("Łatwość standardu")),
                                  documentOptions);
    if (comparison.anyRequirements) {
        html += QStringLiteral("<h2>%1</h2>\n").arg(esc(requirementsComparisonHeading()));
        if (comparison.requirements.isEmpty())
            html += QStringLiteral("<p>Żadne dwa testy nie mają wymagania o tym samym kodzie.</p>\n");
        else
            html += QStringLiteral("<p>%1</p>\n").arg(esc(requirementsNote())) +
                    documentTableOnly(requirementsTable(comparison), documentOptions);
    }
    html += QStringLiteral("<h2>%1</h2>\n<p>%2</p>\n")
                .arg(esc(summaryHeading()), esc(summarySentences(comparison).join(u' ')));
    return html + QStringLiteral("</body></html>\n");
}
