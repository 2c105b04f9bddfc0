// The comparison of tests as the teacher reads it: led by what may be compared (the stanine of the
// mean, the difference from the country), or by one sentence saying there is nothing of the kind;
// no picture of nothing; and a summary in words at the end, the same on the pages and in the sheet.
#include "documents/testcomparisondocument.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

GroupAtTest group(const QString &label, double facility, std::optional<int> stanine = {},
                  std::optional<int> country = {})
{
    GroupAtTest g;
    g.label = label;
    g.pupils = 20;
    g.present = 20;
    g.hasData = true;
    g.meanPoints = 20 * facility;
    g.facility = facility;
    g.median = g.meanPoints;
    g.stanine = stanine;
    g.countryDifference = country;
    if (country)
        g.countryFacility = facility - *country / 100.0;
    return g;
}

SchoolAtTest test(const QString &name, const QString &date, const GroupAtTest &school,
                  const QList<GroupAtTest> &classes)
{
    SchoolAtTest t;
    t.folder = u"/szkoły/"_s + name;
    t.testName = name;
    t.testDate = date;
    t.maxPoints = 20;
    t.school = school;
    t.classes = classes;
    return t;
}

TestsComparison compared(const QList<SchoolAtTest> &tests)
{
    return compareTests(tests, matchClassesByLabel(tests));
}

// The document's text without its markup, as a reader sees it.
QString visibleText(const QString &html)
{
    QString text = html;
    text.remove(QRegularExpression(u"<[^>]*>"_s));
    return text.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&amp;"_s, u"&"_s);
}

// The text after the last heading "Podsumowanie".
QString summaryOf(const QString &text)
{
    const qsizetype at = text.lastIndexOf(u"Podsumowanie"_s);
    return at < 0 ? QString() : text.mid(at + 12).trimmed();
}

// The Szkoła sheet's cells, a line per row, joined by " | ", each number as the sheet holds it.
QStringList schoolSheetLines(const TestsComparison &comparison)
{
    QStringList lines;
    for (const QList<SheetCell> &row : testComparisonSheets(comparison).value(0).rows) {
        QStringList cells;
        for (const SheetCell &cell : row)
            cells.append(cell.number ? QString::number(*cell.number) : cell.text);
        lines.append(cells.join(u" | "_s));
    }
    return lines;
}

const QString nothingComparable =
    u"Żaden z tych testów nie ma tabeli staninów ani wyników kraju, więc raport pokazuje tylko procenty "
    u"punktów: mówią one, jak trudny był każdy test, a nie to, czy szkoła wypadła lepiej."_s;

} // namespace

class TstTestComparisonDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nothingToCompare();
    void comparableFiguresLead();
    void summaryInWords();
    void sameNamedStandards();
};

void TstTestComparisonDocument::nothingToCompare()
{
    const TestsComparison comparison = compared(
        {test(u"Próbny"_s, u"2025-11-20"_s, group(u"Szkoła"_s, 0.64), {group(u"Klasa 7a"_s, 0.64)}),
         test(u"Egzamin"_s, u"2026-05-14"_s, group(u"Szkoła"_s, 0.72), {group(u"Klasa 7a"_s, 0.72)})});
    const QString html = testComparisonHtml(comparison);
    const QString text = visibleText(html);

    // Said once, above the percentages, and no row or picture of what none of the tests has.
    QCOMPARE(text.count(nothingComparable), 1);
    QVERIFY(text.indexOf(nothingComparable) < text.indexOf(u"Średnia (% maksymalnej liczby punktów)"_s));
    QVERIFY(text.contains(u"64%"_s) && text.contains(u"72%"_s));
    QVERIFY(!html.contains(QLatin1StringView(testComparisonStaninesImage)));
    QVERIFY(!html.contains(QLatin1StringView(testComparisonCountryImage)));
    QVERIFY(!text.contains(u"Stanin średniej"_s));
    QVERIFY(!text.contains(u"Różnica od kraju"_s));
    QCOMPARE(summaryOf(text),
             u"Z samych procentów punktów nie da się powiedzieć, czy szkoła poprawiła wyniki: "
             u"każdy test miał inną trudność."_s);

    // The sheet says the same above its figures and at its end.
    const QStringList lines = schoolSheetLines(comparison);
    QVERIFY2(lines.value(0).endsWith(nothingComparable), qPrintable(lines.value(0)));
    QCOMPARE(lines.mid(lines.size() - 2),
             (QStringList{u"Podsumowanie"_s, u"Z samych procentów punktów nie da się powiedzieć, czy szkoła "
                                             u"poprawiła wyniki: każdy test miał inną trudność."_s}));

    // With the country's figure in one test only, its row and its picture are there, the stanine's not.
    const TestsComparison oneCountry =
        compared({test(u"Próbny"_s, u"2025-11-20"_s, group(u"Szkoła"_s, 0.64, {}, 14), {}),
                  test(u"Egzamin"_s, u"2026-05-14"_s, group(u"Szkoła"_s, 0.72), {})});
    const QString one = testComparisonHtml(oneCountry);
    QVERIFY(!one.contains(QLatin1StringView(testComparisonStaninesImage)));
    QVERIFY(one.contains(QLatin1StringView(testComparisonCountryImage)));
    QVERIFY(!visibleText(one).contains(nothingComparable));
    QVERIFY(summaryOf(visibleText(one))
                .startsWith(u"Stanin średniej i różnica od kraju są znane najwyżej dla "
                            u"jednego testu"_s));
}

void TstTestComparisonDocument::comparableFiguresLead()
{
    const TestsComparison comparison =
        compared({test(u"Próbny 1"_s, u"2025-11-20"_s, group(u"Szkoła"_s, 0.64, 6, 14), {}),
                  test(u"Próbny 2"_s, u"2026-03-10"_s, group(u"Szkoła"_s, 0.55), {}),
                  test(u"Egzamin"_s, u"2026-05-14"_s, group(u"Szkoła"_s, 0.72, 7, 12), {})});
    const QString html = testComparisonHtml(comparison);
    const QString text = visibleText(html);
    const qsizetype school = text.indexOf(u"Szkoła w kolejnych testach"_s);
    const qsizetype stanine = text.indexOf(u"Stanin średniej"_s, school);
    const qsizetype country = text.indexOf(u"Różnica od kraju (pkt proc.)"_s, school);
    const qsizetype percent = text.indexOf(u"Średnia (% maksymalnej liczby punktów)"_s, school);
    QVERIFY(school >= 0 && stanine > school && country > stanine && percent > country);
    QVERIFY(text.indexOf(u"6 (wyżej średni)"_s, stanine) < percent);
    QVERIFY(text.indexOf(u"+14"_s, country) < percent);
    QVERIFY(!text.contains(nothingComparable));
    QVERIFY(html.contains(QLatin1StringView(testComparisonStaninesImage)));
    QVERIFY(html.contains(QLatin1StringView(testComparisonCountryImage)));

    // The sheet in the same order, the stanine's name under its number.
    const QStringList lines = schoolSheetLines(comparison);
    QCOMPARE(lines.mid(2, 4), (QStringList{u"Stanin średniej | 6 |  | 7"_s,
                                           u"Stanin średniej – opis | wyżej średni |  | wysoki"_s,
                                           u"Różnica od kraju (pkt proc.) | 14 |  | 12"_s,
                                           u"Maksymalna liczba punktów | 20 | 20 | 20"_s}));
}

void TstTestComparisonDocument::summaryInWords()
{
    // 7a rose by 9 points against the country, 7b fell by 10; the school's stanine stayed.
    const TestsComparison comparison =
        compared({test(u"Próbny"_s, u"2025-11-20"_s, group(u"Szkoła"_s, 0.60, 5, 4),
                       {group(u"Klasa 7a"_s, 0.5, 4, -6), group(u"Klasa 7b"_s, 0.7, 6, 14),
                        group(u"Klasa 7c"_s, 0.6)}),
                  test(u"Egzamin"_s, u"2026-05-14"_s, group(u"Szkoła"_s, 0.62, 5, 3),
                       {group(u"Klasa 7a"_s, 0.6, 5, 3), group(u"Klasa 7b"_s, 0.6, 4, 4),
                        group(u"Klasa 7c"_s, 0.6)})});
    const QString summary =
        u"Stanin średniej szkoły nie zmienił się: 5 (średni) w teście „Próbny, 2025-11-20” i w teście "
        u"„Egzamin, 2026-05-14”. Różnica od wyniku kraju w tych samych testach spadła z +4 do +3 pkt proc. "
        u"Spośród klas różnica od kraju najbardziej wzrosła w klasie „Klasa 7a” (z −6 do +3 pkt proc.), a "
        u"najbardziej spadła w klasie „Klasa 7b” (z +14 do +4 pkt proc.)."_s;
    QCOMPARE(summaryOf(visibleText(testComparisonHtml(comparison))), summary);
    const QStringList lines = schoolSheetLines(comparison);
    QCOMPARE(lines.mid(lines.indexOf(u"Podsumowanie"_s) + 1).join(u' '), summary);

    // Stanines alone: the school's rise, and the classes by their stanines.
    const TestsComparison stanines = compared(
        {test(u"Próbny"_s, u"2025-11-20"_s, group(u"Szkoła"_s, 0.60, 5), {group(u"Klasa 7a"_s, 0.5, 4)}),
         test(u"Egzamin"_s, u"2026-05-14"_s, group(u"Szkoła"_s, 0.62, 6), {group(u"Klasa 7a"_s, 0.6, 6)})});
    QCOMPARE(summaryOf(visibleText(testComparisonHtml(stanines))),
             u"Stanin średniej szkoły wzrósł z 5 (średni) w teście „Próbny, 2025-11-20” do 6 (wyżej średni) "
             u"w teście „Egzamin, 2026-05-14”. Spośród klas stanin średniej najbardziej wzrósł w klasie "
             u"„Klasa 7a” (z 4 do 6); w żadnej nie spadł."_s);
}

void TstTestComparisonDocument::sameNamedStandards()
{
    QList<SchoolAtTest> tests{test(u"Próbny"_s, u"2025-11-20"_s, group(u"Szkoła"_s, 0.6, 5), {}),
                              test(u"Egzamin"_s, u"2026-05-14"_s, group(u"Szkoła"_s, 0.7, 6), {})};
    for (SchoolAtTest &t : tests) {
        t.standardDescriptions = {u"czytanie"_s};
        t.standardFacilities = {0.5};
    }
    const QString text = visibleText(testComparisonHtml(compared(tests)));
    const QString caveat =
        u"Standard o tym samym opisie składa się w każdym teście z innych zadań, więc zmiana "
        u"jego łatwości pokazuje kierunek, a nie zmierzony postęp."_s;
    // Between the heading and the table.
    const qsizetype heading = text.indexOf(u"Standardy w kolejnych testach"_s);
    const qsizetype said = text.indexOf(caveat);
    QVERIFY(heading >= 0 && said > heading && text.indexOf(u"Łatwość standardu"_s, heading) > said);
    QVERIFY(schoolSheetLines(compared(tests)).contains(caveat));
}

QTEST_GUILESS_MAIN(TstTestComparisonDocument)
#include "tst_testcomparisondocument.moc"
