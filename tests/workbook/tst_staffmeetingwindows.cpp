// The staff meeting's windows: the comparison figures typed and pasted, refused when they are no
// facility, kept in Porownanie.ini and shown in the analysis; and the pupils' sheets written.
#include "tests/workbook/workbooktesting.h"
#include "ui_tfanaliza.h"
#include "ui_tfporownanie.h"
#include "workbook/tfanaliza.h"
#include "workbook/tfporownanie.h"

#include <QClipboard>
#include <QTextDocument>

using namespace wb;

class TstStaffMeetingWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpApplication(); }
    void comparisonGrid();
    void analysisWithComparisonAndSheets();
};

void TstStaffMeetingWindows::comparisonGrid()
{
    MessageRecorder recorder;
    QTemporaryDir school;
    const TestDefinition test = makeTest({2, 1, 3});
    const QString path = school.filePath(u"Porownanie.ini"_s);
    TfPorownanie window(ComparisonFigures::emptyFor(test), test, path, SchoolFolder(school.path(), {}, {}));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    StringGrid *grid = window.grid();
    // Rows: three tasks, five standards, the whole test; columns: the four areas.
    QCOMPARE(grid->rowCount(), 1 + 3 + 5 + 1);
    QCOMPARE(grid->cell(0, 9), u"Cały test"_s);
    QCOMPARE(grid->cell(2, 0), u"województwo"_s);

    WB_CHECK(typeIntoCell(grid, 1, 1, u"0,62"_s));
    QCOMPARE(grid->cell(1, 1), u"0,62"_s);
    grid->setFocus();
    grid->setCurrentCell(1, 2);
    QTest::keyClick(grid, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
    QVERIFY(editor);
    editor->setText(u"1,5"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid->isEditing());
    // Refused, said, and the cell has its last good value back.
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY2(recorder.shown[0].text.contains(u"1,5"_s), qPrintable(recorder.shown[0].text));
    QCOMPARE(grid->cell(1, 2), QString());

    // A pasted block with two bad values: one message for both, the good ones kept.
    recorder.clear();
    QApplication::clipboard()->setText(u"0,5\t57%\nabc\t0,4\n0,3\t2\n"_s);
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY(recorder.shown[0].text.contains(u"abc"_s));
    QCOMPARE(grid->cell(1, 1), u"0,50"_s);
    QCOMPARE(grid->cell(2, 1), u"0,57"_s);
    QCOMPARE(grid->cell(1, 2), QString());
    QCOMPARE(grid->cell(2, 3), QString());

    recorder.clear();
    click(window.form()->bZapisz);
    QVERIFY(recorder.shown.isEmpty());
    const QByteArray written = readBytes(path);
    QVERIFY(written.startsWith("[PorownanieKraj]\r\nZadanie1=0.5\r\nZadanie2=\r\nZadanie3=0.3\r\n"));
    QVERIFY(written.contains("[PorownanieWojewodztwo]\r\nZadanie1=0.57\r\nZadanie2=0.4\r\nZadanie3=\r\n"));
    QCOMPARE(window.figures().tasks[0][1], std::optional<double>(0.57));
}

void TstStaffMeetingWindows::analysisWithComparisonAndSheets()
{
    Workbook wb(makeTest({2, 1, 3}));
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    QVERIFY(writeBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s),
                       build::answersFile(3, {u"A1;T;2;1;3"_s, u"A2;T;1;0;1"_s, u"A3;N;;;"_s})));
    QVERIFY(writeBytes(wb.school(u"Porownanie.ini"_s), "[PorownanieKraj]\r\nZadanie1=0,9\r\nTest=0.5\r\n"));
    WB_CHECK(wb.go({u"next"_s}));
    wb.recorder.clear();
    bool checked = false;
    WB_CHECK(whileModalOpen(
        [&](QWidget *modal) {
            auto *analysis = qobject_cast<TfAnaliza *>(modal);
            QVERIFY(analysis);
            const ComparisonTable &table = analysis->figures().comparison;
            // Task 1: 3 of 4 points, 0.75 against 0.90: 15 points below the country, marked.
            QCOMPARE(table.tasks[0].differences[0], std::optional<int>(-15));
            QVERIFY(table.tasks[0].marked);
            const QString text = analysis->document()->toPlainText();
            QVERIFY(text.contains(u"Co najmniej 5 punktów procentowych poniżej kraju: Zad.1."_s));
            QVERIFY(text.contains(u"Alfa Cronbacha"_s));
            QVERIFY(analysis->form()->bKartyUczniow->isVisible());
            click(analysis->form()->bKartyUczniow);
            checked = true;
        },
        [&] { wb.press("sbAnaliza"); }));
    QVERIFY(checked);
    QCOMPARE(wb.shownTexts().size(), 1);
    QVERIFY(wb.shownTexts()[0].startsWith(u"Karty wyników uczniów zostały zapisane w pliku:"_s));
    const QByteArray pdf = readBytes(wb.school(u"Klasa VI A/Karty wyników uczniów.pdf"_s));
    QVERIFY(pdf.startsWith("%PDF"));
    // Two present pupils: two A4 pages.
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 2);

    // The school's analysis has no pupils' sheets.
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(whileModalOpen(
        [&](QWidget *modal) {
            auto *analysis = qobject_cast<TfAnaliza *>(modal);
            QVERIFY(analysis);
            QVERIFY(!analysis->form()->bKartyUczniow->isVisible());
            QVERIFY(analysis->form()->bDanePorownawcze->isEnabled());
        },
        [&] { wb.press("sbAnaliza"); }));
}

QTEST_MAIN(TstStaffMeetingWindows)
#include "tst_staffmeetingwindows.moc"
