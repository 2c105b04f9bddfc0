// Closed tasks answered with letters, on a real X display: a test with keys defined in its window
// (typed and pasted), a school set up with it, a class pasted with the letters its pupils chose,
// computed and saved; the points the key gives, the letters kept, and the table of answers chosen in
// the analysis and its sheet as worked out by hand.
#include "analysis/testdefinition.h"
#include "documents/analysissheet.h"
#include "files/inifile.h"
#include "tests/support/filebytes.h"
#include "tests/workbook/workbooktesting.h"

#include "ui_tfdefinicjatestu.h"
#include "workbook/tfdefinicjatestu.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace wb;

namespace {

// The cells of the sheet's line whose first cell is label, after the line that heads the answers.
QList<SheetCell> choicesLine(const Sheet &sheet, const QString &label)
{
    bool inTable = false;
    for (const QList<SheetCell> &row : sheet.rows) {
        const QString first = row.isEmpty() ? QString() : row.first().text;
        inTable = inTable || first == u"Wybory odpowiedzi w zadaniach zamkniętych"_s;
        if (inTable && first == label)
            return row;
    }
    return {};
}

QList<double> numbers(const QList<SheetCell> &cells)
{
    QList<double> values;
    for (const SheetCell &cell : cells)
        values.append(cell.number ? qRound(*cell.number * 10) / 10.0 : -1);
    return values;
}

} // namespace

class TstClosedTasks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), u"xcb"_s); }
    void lettersThroughTheWindows();

private:
    void defineTest();
    TestDefinition m_test;
};

// Z1: one of A–D, key typed; Z2: two true/false statements, a point each; Z3 to Z5 open; a task in
// each standard.
void TstClosedTasks::defineTest()
{
    TfDefinicjaTestu window;
    MessageRecorder recorder;
    window.show();
    Ui::TfDefinicjaTestu *form = window.form();
    WB_CHECK(typeInto(form->eNazwa, u"Próbny – zamknięte"_s));
    StringGrid *tasks = form->tabelaZadan;
    QGuiApplication::clipboard()->setText(
        u"Z1\t1\t1\tZ\nZ2\t2\t2\tZ\tPF\t\ttak\nZ3\t3\t3\tnie\nZ4\t1\t4\tnie\nZ5\t1\t5\tnie\n"_s);
    tasks->setFocus();
    tasks->setCurrentCell(1, 1);
    QTest::keyClick(tasks, Qt::Key_V, Qt::ControlModifier);
    WB_CHECK(typeIntoCell(tasks, 5, 1, u"B"_s));
    // The answers a key implies are filled in where the teacher sees them.
    QCOMPARE(tasks->cell(6, 1), u"ABCD"_s);
    QCOMPARE(tasks->cell(6, 2), u"PF"_s);
    QTest::mouseClick(form->bUzgodnij, Qt::LeftButton);
    QTest::mouseClick(form->bOK, Qt::LeftButton);
    QCOMPARE(recorder.texts(), QStringList());
    const QByteArray bytes = window.definitionBytes();
    QVERIFY(bytes.contains("ZadanieZamkniete=1\r\nKlucz=B\r\nOdpowiedzi=ABCD\r\n\r\n"));
    QVERIFY(bytes.contains("Klucz=PF\r\nOdpowiedzi=PF\r\nPunktZaCzesc=1\r\n"));
    m_test = loadTestDefinition(IniFile::fromBytes(bytes));
}

void TstClosedTasks::lettersThroughTheWindows()
{
    defineTest();
    if (QTest::currentTestFailed())
        return;
    const TestDefinition &test = m_test;
    QCOMPARE(test.problems, QStringList());
    Workbook wb(test);
    WB_CHECK(wb.accept({u"8a"_s}, {u"4"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    QGuiApplication::clipboard()->setText(
        u"A01\tT\tb\tPF\t0\t1\t0\nA02\tT\tC\tpp\t3\t0\t1\nA03\tT\t\tX-\t0\t0\t0\nA04\tN\n"_s);
    wb.upper()->setFocus();
    wb.upper()->setCurrentCell(1, 1);
    QTest::keyClick(wb.upper(), Qt::Key_V, Qt::ControlModifier);
    WB_CHECK(wb.press("bOblicz"));
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(wb.shownTexts().join(u" | "_s), u"Wyniki uczniów zostały zapisane!"_s);
    QCOMPARE(readBytes(wb.school(u"8a/Odpowiedzi.tmp"_s)),
             QByteArray("L.p.;Kod ucznia;Ob.;Z1;Z2;Z3;Z4;Z5;\r\n1;A01;T;1;2;0;1;0;\r\n2;A02;T;0;1;3;0;1;\r\n"
                        "3;A03;T;-;0;0;0;0;\r\n4;A04;N;-;-;-;-;-;"));
    QCOMPARE(readBytes(wb.school(u"8a/Wybory.tmp"_s)),
             QByteArray("A01;B;PF;;;\r\nA02;C;PP;;;\r\nA03;;X-;;;\r\nA04;;;;;\r\n"));

    // By hand, over the three present pupils: Z1 B 1 of 3, C 1, none 1, facility 1/3; Z2's first
    // statement P 2, unreadable 1; its second P 1, F 1, blank 1; facility 3/6. A02 (5 points) chose
    // wrong in Z1 and Z2's second statement, A01 (4 points) the key: both keys to check.
    Outcome outcome;
    const std::optional<StaffMeetingAnalysis> analysis =
        wb.window.session().analysis(0, &outcome, ProgressReport{});
    QVERIFY(analysis);
    const ChoiceTable &choices = analysis->figures.choices;
    QVERIFY(choices.anyKnown);
    QCOMPARE(choices.symbols, u"ABCDPF"_s);
    QCOMPARE(keysToCheck(choices).size(), 2);
    QVERIFY(
        keysToCheck(choices).first().startsWith(u"Z1 – sprawdź klucz (B): uczniowie, którzy wybrali błędną "
                                                "odpowiedź, mają średnio 5,00 pkt"_s));
    QVERIFY(popularWrongAnswers(choices).isEmpty());
    const Sheet sheet =
        wb.window.session().school().analysisSheets(0, test, wb.window.session().testIniPath()).first();
    QCOMPARE(numbers(choicesLine(sheet, u"Z1"_s).mid(2)),
             (QList<double>{0, 33.3, 33.3, 0, -1, -1, 33.3, 0.3}));
    QVERIFY(choicesLine(sheet, u"Z1"_s).value(3).bold);
    QCOMPARE(numbers(choicesLine(sheet, u"Z2 (część 1)"_s).mid(2)),
             (QList<double>{-1, -1, -1, -1, 66.7, 0, 33.3, 0.5}));
    QCOMPARE(numbers(choicesLine(sheet, u"Z2 (część 2)"_s).mid(2)),
             (QList<double>{-1, -1, -1, -1, 33.3, 33.3, 33.3, -1}));
}

QTEST_MAIN(TstClosedTasks)
#include "tst_closedtasks.moc"
