// The analysis report as a document: what a class's and a school's report hold, and that no text
// typed by a teacher can change the document's markup.
#include "analysis/analysisreport.h"
#include "documents/analysisdocument.h"
#include "documents/reporttable.h"
#include "tests/support/builders.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

TestDefinition smallTest()
{
    return build::testOf({1, 2})
        .labelled(u"Zad."_s)
        .inStandards(2, {1, 2})
        .closed({true, false})
        .total(3)
        .named(u"Sprawdzian"_s, u"2026-04-01"_s)
        .standardMaxima({1, 2})
        .standardNames({u"Czyt."_s, u"pisanie"_s}, {u"czytanie"_s, u"pisanie"_s});
}

// The document's text without its markup, as a reader sees it.
QString visibleText(const QString &html)
{
    QString text = html;
    text.remove(QRegularExpression(u"<[^>]*>"_s));
    return text.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&amp;"_s, u"&"_s);
}

} // namespace

class TstAnalysisDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classReport();
    void schoolReport();
    void noPresentPupil();
    void typedTextStaysText();
    void oneTableBothWays();
};

void TstAnalysisDocument::classReport()
{
    const TestDefinition test = smallTest();
    const AnalysisSettings settings;
    const AnalysisReport report =
        analyseClass(build::classOf(u"Klasa VI A"_s, u"U"_s, {{1, 2}, {0, 1}, {1, 0}}), test, settings);
    const QString html = analysisHtml(report, test, settings);
    const QString text = visibleText(html);

    QCOMPARE(analysisTitle(report), u"Analiza wyników – Klasa VI A"_s);
    QVERIFY(text.contains(u"Sprawdzian: 2026-04-01"_s));
    // Totals 3, 1 and 1: mean 1,67, median 1, mode 1, range 2.
    QVERIFY(text.contains(u"Średnia1,67"_s));
    QVERIFY(text.contains(u"Mediana1,00"_s));
    QVERIFY(text.contains(u"Dominanta1"_s));
    QVERIFY(text.contains(u"Rozstęp2"_s));
    // Zad.1: 2 of 3 pupils, 0,67, moderately difficult; standard "pisanie" shown once, not twice.
    QVERIFY(text.contains(u"Zad.1Czyt.10,670,67umiarkowanie trudne"_s));
    QVERIFY(text.contains(u"pisanie21,000,50umiarkowanie trudny"_s));
    QVERIFY(!text.contains(u"pisanie (pisanie)"_s));
    QVERIFY(text.contains(u"czytanie (Czyt.)"_s));
    QVERIFY(html.contains(u"<img src=\"histogram.png\" width=\"643\" height=\"385\">"_s));
    // Pupil 2 has 0 of 1 in reading; in writing pupil 2's one half is not below it, pupil 3's 0 is.
    QVERIFY(text.contains(u"czytanie12 – U2 (0,00)"_s));
    QVERIFY(text.contains(u"pisanie13 – U3 (0,00)"_s));
    // A class report has no class-by-class part.
    QVERIFY(!text.contains(u"Klasy obok siebie"_s));
    for (const QString &sentence : report.sentences)
        QVERIFY2(text.contains(sentence), qPrintable(sentence));
}

void TstAnalysisDocument::schoolReport()
{
    const TestDefinition test = smallTest();
    AnalysisSettings settings;
    settings.stanineBounds = {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4};
    const QList<ClassResults> classes{build::classOf(u"Klasa VI A"_s, u"U"_s, {{1, 2}}),
                                      build::classOf(u"Klasa VI B"_s, u"U"_s, {{0, 0}, {1, 1}, {0, 1}})};
    const AnalysisReport report =
        analyseSchool(classes, {u"Klasa „Klasa VI C” nie ma jeszcze zapisanych wyników."_s}, test, settings);
    const QString text = visibleText(analysisHtml(report, test, settings));

    QCOMPARE(analysisTitle(report), u"Analiza wyników – szkoła"_s);
    QVERIFY(text.contains(u"Klasa „Klasa VI C” nie ma jeszcze zapisanych wyników."_s));
    // Four pupils with 3, 0, 2 and 1 points: the pupils' mean is 1,50, the classes' means 3 and 1.
    QVERIFY(text.contains(u"Średnia wszystkich uczniów szkoły1,50"_s));
    // The "Szkoła" page's figure, and why it differs.
    QVERIFY(text.contains(u"Średnia ze średnich klas2,00"_s));
    QVERIFY(text.contains(u"średnie klas zaokrąglone do dwóch miejsc po przecinku"_s));
    QVERIFY(text.contains(u"Klasy obok siebie"_s));
    QVERIFY(text.contains(u"Klasa VI A11"_s));
    QVERIFY(text.contains(u"Klasa VI B33"_s));
    QVERIFY(text.contains(u"Szkoła (wszyscy uczniowie)44"_s));
    QVERIFY(text.contains(u"Stanin średniej4 (niżej średni)"_s));
    // School lists name each class before its pupils.
    QVERIFY(text.contains(u"Klasa VI B: 1 – U1 (0,00)"_s));
}

void TstAnalysisDocument::noPresentPupil()
{
    const TestDefinition test = smallTest();
    const AnalysisSettings settings;
    const AnalysisReport report = analyseClass(
        build::classOf(u"Klasa VI A"_s, u"U"_s, {{0, 0}, {0, 0}}, {false, false}), test, settings);
    const QString text = visibleText(analysisHtml(report, test, settings));
    QVERIFY(text.contains(u"Obecni na teście0"_s));
    QVERIFY(text.contains(u"Średniabrak danych"_s));
    QVERIFY(text.contains(u"Zad.1Czyt.1brak danychbrak danychbrak danych"_s));
    QVERIFY(
        !text.contains(QRegularExpression(u"\\b(nan|inf)\\b"_s, QRegularExpression::CaseInsensitiveOption)));
}

void TstAnalysisDocument::typedTextStaysText()
{
    TestDefinition test = smallTest();
    test.testName = u"<b>Test</b> & co"_s;
    const AnalysisSettings settings;
    ClassResults results = build::classOf(u"VI <i>A</i>"_s, u"U"_s, {{0, 0}});
    results.pupils[0].code = u"<img src=x>"_s;
    const QString html = analysisHtml(analyseClass(results, test, settings), test, settings);
    QVERIFY(!html.contains(u"<b>Test"_s));
    QVERIFY(!html.contains(u"<i>A"_s));
    QVERIFY(!html.contains(u"<img src=x>"_s));
    QVERIFY(html.contains(u"&lt;b&gt;Test&lt;/b&gt; &amp; co"_s));
    QVERIFY(html.contains(u"&lt;img src=x&gt;"_s));
}

// One table written both ways: the same figures in the document's words and as the sheet's numbers,
// each output with only its own columns and lines.
void TstAnalysisDocument::oneTableBothWays()
{
    ReportTable table;
    table.heading = u"Tabela"_s;
    table.header = {textCell(u"Nazwa"_s), textCell(u"Na papierze"_s), textCell(u"Wynik"_s), integerCell(2),
                    textCell(u"W arkuszu"_s)};
    table.columns = {ReportOutput::Both, ReportOutput::DocumentOnly, ReportOutput::Both, ReportOutput::Both,
                     ReportOutput::SheetOnly};
    table.add({coloured(textCell(u"a < b"_s), u"#ffffff"_s), textCell(u"lista"_s), decimalCell(0.625),
               shareCell(0.625), textCell(u"tak"_s)});
    table.add({textCell(u"brak"_s), textCell(u"–"_s), noDataCell(), missingCell(),
               named(integerCell(5), u"średni"_s)});
    table.add({textCell(u"dominanty"_s), ReportCell{}, integersCell({2, 7}), differenceCell(-3)});
    table.add({textCell(u"uczeń"_s)}, ReportOutput::SheetOnly);

    QCOMPARE(
        documentTable(table),
        u"<h2>Tabela</h2>\n"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
        "style=\"border-collapse: collapse; border-color: #808080;\">\n"
        "<thead><tr><th>Nazwa</th><th>Na papierze</th><th>Wynik</th><th>2</th></tr></thead>\n"
        "<tr><td bgcolor=\"#ffffff\">a &lt; b</td><td>lista</td><td align=\"right\">0,62</td>"
        "<td align=\"right\">62%</td></tr>\n"
        "<tr><td>brak</td><td>–</td><td align=\"right\">brak danych</td><td align=\"right\">–</td></tr>\n"
        "<tr><td>dominanty</td><td></td><td align=\"right\">2; 7</td><td align=\"right\">−3</td></tr>\n"
        "</table>\n"_s);

    Sheet sheet;
    SheetOptions options;
    options.captionsBeside = true;
    appendToSheet(&sheet, table, options);
    QStringList rows;
    for (const QList<SheetCell> &row : sheet.rows) {
        QStringList cells;
        for (const SheetCell &cell : row)
            cells.append(cell.number
                             ? u"#"_s + QString::number(*cell.number) + u'/' + QString::number(cell.decimals)
                             : cell.text + (cell.bold ? u"*"_s : QString()));
        rows.append(cells.join(u'|'));
    }
    QCOMPARE(rows, (QStringList{u""_s, u"Tabela*"_s, u"Nazwa*|Wynik*|#2/0|W arkuszu*"_s,
                                u"a < b|#0.62/2|#62/0|tak"_s, u"brak|||#5/0|średni"_s,
                                u"dominanty|#2/0|#7/0|#-3/0"_s, u"uczeń"_s}));
    // Without its figures' names, and a share as the fraction the document's per cent stands for.
    options.captionsBeside = false;
    options.sharesAsFractions = true;
    options.skipNoDataLines = true;
    sheet.rows.clear();
    appendToSheet(&sheet, table, options);
    QCOMPARE(sheet.rows.size(), 6);
    QCOMPARE(sheet.rows[3].value(2).number, std::optional<double>(0.62));
    QCOMPARE(sheet.rows[3].value(2).decimals, 2);
    QCOMPARE(sheet.rows[4].value(0).text, u"dominanty"_s);
}

QTEST_GUILESS_MAIN(TstAnalysisDocument)
#include "tst_analysisdocument.moc"
