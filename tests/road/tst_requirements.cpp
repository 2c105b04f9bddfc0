// Requirements on a real X display: a test whose requirements and tasks are pasted into its window, a
// code typed with its semicolon, a standard without tasks refused; a school set up with it, a class
// pasted and computed; the facility of every requirement, what the class and each pupil should revise,
// and the "Analiza" sheet's numbers, all as worked out by hand.
#include "analysis/requirements.h"
#include "analysis/testdefinition.h"
#include "documents/analysissheet.h"
#include "documents/pupilsheets.h"
#include "files/inifile.h"
#include "tests/workbook/workbooktesting.h"

#include "ui_tfdefinicjatestu.h"
#include "workbook/tfdefinicjatestu.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace wb;

namespace {

// The cells of the sheet's line whose first cell is code, after the line that heads the section.
QList<SheetCell> sheetLine(const Sheet &sheet, const QString &section, const QString &code)
{
    bool inSection = false;
    for (const QList<SheetCell> &row : sheet.rows) {
        const QString first = row.isEmpty() ? QString() : row.first().text;
        inSection = inSection || first == section;
        if (inSection && first == code)
            return row;
    }
    return {};
}

void paste(StringGrid *grid, const QString &block)
{
    QGuiApplication::clipboard()->setText(block);
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
}

} // namespace

class TstRequirements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), u"xcb"_s); }
    void requirementsThroughTheWindows();

private:
    void defineTest();
    TestDefinition m_test;
};

// I and II general; I.1 under I, II.3 under II. Z1 and Z2 in standard 1, Z3 and Z4 in standard 2.
void TstRequirements::defineTest()
{
    TfDefinicjaTestu window;
    MessageRecorder recorder;
    window.show();
    Ui::TfDefinicjaTestu *form = window.form();
    WB_CHECK(typeInto(form->eNazwa, u"Próbny – wymagania"_s));
    form->zakladki->setCurrentWidget(form->tsWymagania);
    paste(form->tabelaWymagan,
          u"I\tRozumowanie\t\nI.1\tdodaje ułamki\ti\nII\tGeometria\t\nII.3\toblicza pole "
          "trójkąta\tII\n"_s);
    QCOMPARE(form->tabelaWymagan->rowCount(), 6);
    form->zakladki->setCurrentWidget(form->tsZadania);
    StringGrid *tasks = form->tabelaZadan;
    paste(tasks,
          u"Z1\t1\t1\tZ\t\t\ti.1\nZ2\t2\t1\tZ\t\t\tI, II.3\nZ3\t2\t2\tnie\t\t\tII.3\nZ4\t1\t2\tnie\n"_s);
    QCOMPARE(recorder.texts(), QStringList());
    QCOMPARE(form->seLiczbaStandardow->value(), 2);
    QCOMPARE(tasks->cell(7, 1), u"I.1"_s);
    QCOMPARE(tasks->cell(7, 2), u"I; II.3"_s);
    // A semicolon is typed into the list; an unknown code is refused in its cell.
    WB_CHECK(typeIntoCell(tasks, 7, 4, u"II; I.1"_s));
    WB_CHECK(typeCell(tasks, 7, 3, u"II.3; XIII.1"_s));
    QCOMPARE(
        recorder.texts(),
        QStringList{u"Nie przyjęto wartości:\nZadanie 3, Wymagania: wymagania „XIII.1” nie ma wśród wymagań "
                    "testu (zakładka „Wymagania”); dopisz je tam albo popraw kod."_s});
    QCOMPARE(tasks->cell(7, 3), u"II.3"_s);
    QCOMPARE(tasks->cell(7, 4), u"II; I.1"_s);
    QTest::mouseClick(form->bUzgodnij, Qt::LeftButton);

    // A third standard without a task would make every computation fail: OK says so.
    recorder.clear();
    form->seLiczbaStandardow->setValue(3);
    QTest::mouseClick(form->bOK, Qt::LeftButton);
    QCOMPARE(
        recorder.texts(),
        QStringList{u"Definicji testu nie można jeszcze zapisać:\nStandard 3 (St.3) nie ma żadnego zadania: "
                    "przypisz mu zadania albo zmniejsz liczbę standardów."_s});
    form->seLiczbaStandardow->setValue(2);
    recorder.clear();
    QTest::mouseClick(form->bOK, Qt::LeftButton);
    QCOMPARE(recorder.texts(), QStringList());
    const QByteArray bytes = window.definitionBytes();
    QVERIFY(bytes.startsWith("[Ustawienia]\r\nNazwaTestu=Pr\xF3"
                             "bny \x96 wymagania\r\n"));
    QVERIFY(bytes.contains("LiczbaStandardow=2\r\nMaxLiczbaPunktow=6\r\nLiczbaWymagan=4\r\n"));
    QVERIFY(bytes.contains("[Wymaganie2]\r\nKod=I.1\r\nOpis=dodaje u\xB3"
                           "amki\r\nOgolne=I\r\n"));
    QVERIFY(bytes.contains("ZadanieZamkniete=1\r\nWymagania=I; II.3\r\n"));
    m_test = loadTestDefinition(IniFile::fromBytes(bytes));
}

void TstRequirements::requirementsThroughTheWindows()
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
        u"A01\tT\t1\t2\t2\t1\nA02\tT\t0\t0\t0\t1\nA03\tT\t0\t0\t1\t0\nA04\tN\n"_s);
    wb.upper()->setFocus();
    wb.upper()->setCurrentCell(1, 1);
    QTest::keyClick(wb.upper(), Qt::Key_V, Qt::ControlModifier);
    WB_CHECK(wb.press("bOblicz"));
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(wb.shownTexts().join(u" | "_s), u"Wyniki uczniów zostały zapisane!"_s);

    // By hand, over the three present pupils (task sums Z1 1, Z2 2, Z3 3, Z4 2):
    // I (Z1, Z2, Z4 through I.1; 4 points) 5/12; I.1 (Z1, Z4; 2) 3/6; II (Z2, Z3, Z4; 5) 7/15;
    // II.3 (Z2, Z3; 4) 5/12. Weakest first, a tie in the test's order.
    Outcome outcome;
    const std::optional<StaffMeetingAnalysis> analysis =
        wb.window.session().analysis(0, &outcome, ProgressReport{});
    QVERIFY(analysis);
    const QList<RequirementFigures> &figures = analysis->figures.requirements;
    QStringList order;
    for (const RequirementFigures &f : figures)
        order.append(
            QStringLiteral("%1 %2 %3").arg(f.requirement.code).arg(f.maxPoints).arg(*f.facility, 0, 'f', 4));
    QCOMPARE(order, (QStringList{u"I 4 0.4167"_s, u"II.3 4 0.4167"_s, u"II 5 0.4667"_s, u"I.1 2 0.5000"_s}));

    // The country's facility from the tasks' weighted by their points: II (0.6·2 + 0.4·2 + 0.9·1)/5.
    ComparisonFigures country = ComparisonFigures::emptyFor(test);
    const QList<double> perTask{0.8, 0.6, 0.4, 0.9};
    for (int t = 0; t < 4; ++t)
        country.tasks[t][0] = perTask[t];
    const QList<RequirementFigures> withCountry = requirementFigures(analysis->report.overall, test, country);
    QCOMPARE(qRound(*withCountry[2].country * 1000), 580);

    // The pupils' lists: A01 none below half; A02 II.3, II, I; A03 I and I.1 (0), II, II.3.
    const PupilSheets sheets = pupilSheets(analysis->classes.first(), analysis->report.overall,
                                           analysis->figures, analysis->comparison, test);
    QCOMPARE(sheets.sheets.size(), 3);
    QCOMPARE(sheets.sheets[0].revision,
             QStringList{u"W każdym wymaganiu testu co najmniej połowa punktów."_s});
    QCOMPARE(sheets.sheets[1].revision,
             (QStringList{u"II.3 – oblicza pole trójkąta (0 z 4 punktów)"_s,
                          u"II – Geometria (1 z 5 punktów)"_s, u"I – Rozumowanie (1 z 4 punktów)"_s}));
    QCOMPARE(sheets.sheets[2].revision,
             (QStringList{u"I – Rozumowanie (0 z 4 punktów)"_s, u"I.1 – dodaje ułamki (0 z 2 punktów)"_s,
                          u"II – Geometria (1 z 5 punktów)"_s,
                          u"II.3 – oblicza pole trójkąta (1 z 4 punktów)"_s}));

    // The sheet holds the same figures as numbers; the class's list has the three below one half.
    const Sheet sheet =
        wb.window.session().school().analysisSheets(0, test, wb.window.session().testIniPath()).first();
    const QList<SheetCell> line = sheetLine(sheet, u"Wyniki według wymagań"_s, u"II"_s);
    QCOMPARE(line.value(2).text, u"Z2, Z3, Z4"_s);
    QCOMPARE(line.value(3).number.value_or(-1), 5.0);
    QCOMPARE(qRound(line.value(5).number.value_or(-1) * 100), 47);
    QVERIFY(!sheetLine(sheet, u"Do powtórzenia w klasie"_s, u"II.3"_s).isEmpty());
    QVERIFY(sheetLine(sheet, u"Do powtórzenia w klasie"_s, u"I.1"_s).isEmpty());
}

QTEST_MAIN(TstRequirements)
#include "tst_requirements.moc"
