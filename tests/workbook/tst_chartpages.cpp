// "Wykresy" on the workbook's pages: the data the chart window is handed from a class page and
// from the school page, and what the workbook does when the window cannot be opened or is opened
// again.
#include "charts/barchart.h"
#include "charts/tfwykres.h"
#include "tests/workbook/workbooktesting.h"
#include "ui/guarded.h"

#include <QImage>
#include <QtEndian>

using namespace wb;

class TstChartPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpApplication(); }
    void classPageData();
    void schoolPageData();
    void firstChartFails();
    void notFromTheSetupPage();
    void computedClassThroughWykresyButton();
};

namespace {

// Tasks Zad.1, Zad.2, ... with the given maxima, all in standard 1; five standards.
TestDefinition chartTest(const QList<qint32> &maxima = {1, 2, 4, 1})
{
    TestDefinition test = makeTest(maxima, QList<qint32>(maxima.size(), 1));
    test.testName = u"Sprawdzian 2003"_s;
    test.maxTotalPoints = 40;
    test.standardMaxPoints = {6, 2, 3, 4, 5};
    test.standardAbbreviations = {u"St.1"_s, u"St.2"_s, u"St.3"_s, u"St.4"_s, u"St.5"_s};
    return test;
}

QStringList bitmapsIn(const QString &folder)
{
    return QDir(folder).entryList({u"wykr_*.bmp"_s}, QDir::Files, QDir::Name);
}

// A Windows bitmap of the chart's size whose corner is white.
void verifyBitmap(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    QVERIFY2(bytes.startsWith("BM"), qPrintable(path));
    QVERIFY(bytes.size() > 54);
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size()));
    QImage image;
    QVERIFY(image.loadFromData(bytes, "BMP"));
    QCOMPARE(image.size(), QSize(643, 385));
    QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
}

// Fills summary grid rows from 1 on, a row's cells from column 3 joined by ";".
void setSummaryRows(Workbook &wb, const QStringList &rows)
{
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList values = rows[r].split(u';');
        for (int c = 0; c < values.size(); ++c)
            wb.lower()->setCell(3 + c, r + 1, values[c]);
    }
}

QList<QStringList> rowsOf(const QStringList &joined)
{
    QList<QStringList> rows;
    for (const QString &row : joined)
        rows.append(cells(row));
    return rows;
}

} // namespace

void TstChartPages::classPageData()
{
    // The second class, so that the page in view decides label, pupils and folder.
    Workbook wb(chartTest());
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"6b"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.go({u"tab 2"_s}));
    setSummaryRows(wb, {u"2;1;3;4;2;12"_s, u"--;;-;--;--;--"_s, u"7;2;0;4;5;30"_s});

    const charts::ChartData data = wb.window.chartData();
    QCOMPARE(data.mode, charts::Mode::Class);
    QCOMPARE(data.test.testName, u"Sprawdzian 2003"_s);
    QCOMPARE(data.test.taskMaxPoints, (QList<qint32>{1, 2, 4, 1}));
    QCOMPARE(data.classCount, 2);
    QCOMPARE(data.classLabels, (QStringList{u"Klasa VI A"_s, u"6b"_s}));
    QCOMPARE(data.classLabel, u"6b"_s);
    QCOMPARE(data.pupilCount, 3);
    QCOMPARE(data.upperGrid, rowsOf({u"L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3;Zad.4"_s, u"1;;T;;;;"_s,
                                     u"2;;T;;;;"_s, u"3;;T;;;;"_s}));
    QCOMPARE(data.lowerGrid, rowsOf({u"L.p.;Kod ucznia;Ob.;St.1;St.2;St.3;St.4;St.5;Razem"_s,
                                     u"1;;;2;1;3;4;2;12"_s, u"2;;;--;;-;--;--;--"_s, u"3;;;7;2;0;4;5;30"_s}));
    QCOMPARE(data.bitmapFolder, wb.school(u"6b"_s));
    QCOMPARE(data.schoolFolder, wb.school());
}

void TstChartPages::schoolPageData()
{
    // Three classes: 6a and 6b computed, 6c never; the school's rows are the means of the two.
    Workbook wb(chartTest());
    WB_CHECK(wb.accept({u"6a"_s, u"6b"_s, u"6c"_s}, {u"2"_s, u"2"_s, u"2"_s}));
    WB_CHECK(wb.writeClassStatistics(u"6a"_s, "1.00;1.50;3.00;0.50;\r\n1.00;0.75;0.75;0.50;",
                                     "3.25;1.00;2.00;3.00;4.00;13.25;\r\n0.54;0.50;0.67;0.75;0.80;0.33;"));
    WB_CHECK(wb.writeClassStatistics(u"6b"_s, "0.50;0.50;2.00;1.00;\r\n0.50;0.25;0.55;1.00;",
                                     "2.75;2.00;1.00;1.00;2.00;8.75;\r\n0.46;1.00;0.33;0.25;0.40;0.23;"));
    WB_CHECK(wb.go({u"tab 4"_s}));
    QCOMPARE(wb.window.currentPage(), 4);

    const charts::ChartData data = wb.window.chartData();
    QCOMPARE(data.mode, charts::Mode::School);
    QCOMPARE(data.classCount, 3);
    QCOMPARE(data.classLabels, (QStringList{u"6a"_s, u"6b"_s, u"6c"_s}));
    QCOMPARE(data.classLabel, QString());
    QCOMPARE(data.pupilCount, 0);
    QCOMPARE(data.upperGrid,
             rowsOf({u"L.p.;Klasa;;Zad.1;Zad.2;Zad.3;Zad.4"_s, u"1;6a - Śr.;;1.00;1.50;3.00;0.50"_s,
                     u"2;6a - Ła.;;1.00;0.75;0.75;0.50"_s, u"3;6b - Śr.;;0.50;0.50;2.00;1.00"_s,
                     u"4;6b - Ła.;;0.50;0.25;0.55;1.00"_s, u"5;6c - Śr.;;;;;"_s, u"6;6c - Ła.;;;;;"_s,
                     u"7;Szkoła - Śr.;;0.75;1.00;2.50;0.75"_s, u"8;Szkoła - Ła.;;0.75;0.50;0.65;0.75"_s}));
    QCOMPARE(data.lowerGrid,
             rowsOf({u"L.p.;Klasa;;St.1;St.2;St.3;St.4;St.5;Razem"_s,
                     u"1;6a - Śr.;;3.25;1.00;2.00;3.00;4.00;13.25"_s,
                     u"2;6a - Ła.;;0.54;0.50;0.67;0.75;0.80;0.33"_s,
                     u"3;6b - Śr.;;2.75;2.00;1.00;1.00;2.00;8.75"_s,
                     u"4;6b - Ła.;;0.46;1.00;0.33;0.25;0.40;0.23"_s, u"5;6c - Śr.;;;;;;;"_s,
                     u"6;6c - Ła.;;;;;;;"_s, u"7;Szkoła - Śr.;;3.00;1.50;1.50;2.00;3.00;11.00"_s,
                     u"8;Szkoła - Ła.;;0.50;0.75;0.50;0.50;0.60;0.28"_s}));
    QCOMPARE(data.bitmapFolder, wb.school(u"Szkoła"_s));
    QCOMPARE(data.schoolFolder, wb.school());
}

void TstChartPages::firstChartFails()
{
    Workbook wb(chartTest());
    WB_CHECK(wb.accept({u"6a"_s}, {u"2"_s}));
    WB_CHECK(wb.go({u"tab 1"_s}));
    setSummaryRows(wb, {u"1;2;3;4;5;15"_s, u"1;1;1;1;1;x"_s});
    wb.recorder.clear();

    // The window does not open and the workbook stays as it was.
    wb.press("bWykresy");
    QCOMPARE(fWykres, nullptr);
    QCOMPARE(wb.window.findChildren<TfWykres *>().size(), 0);
    QCOMPARE(wb.shownTexts(), QStringList{u"'x' is not a valid floating point value"_s});
    QCOMPARE(wb.errorCount(), 1);
    QCOMPARE(wb.window.currentPage(), 1);
    QCOMPARE(bitmapsIn(wb.school(u"6a"_s)), QStringList());
}

void TstChartPages::notFromTheSetupPage()
{
    Workbook wb(chartTest());
    WB_CHECK(wb.accept({u"6a"_s}, {u"2"_s}));
    WB_CHECK(wb.go({u"tab 0"_s}));
    QCOMPARE(wb.window.currentPage(), 0);
    wb.recorder.clear();
    // The button is disabled there; should the window be asked for all the same, nothing is drawn.
    guarded([&] { wb.window.bWykresyClick(); });
    QCOMPARE(wb.shownTexts(),
             QStringList{u"Wykresy można oglądać tylko na stronie klasy lub na stronie „Szkoła”."_s});
    QCOMPARE(wb.errorCount(), 1);
    QCOMPARE(fWykres, nullptr);
    QCOMPARE(bitmapsIn(wb.school()), QStringList());
    QCOMPARE(bitmapsIn(wb.school(u"6a"_s)), QStringList());
    QCOMPARE(bitmapsIn(wb.school(u"Szkoła"_s)), QStringList());
}

void TstChartPages::computedClassThroughWykresyButton()
{
    Workbook wb(chartTest());
    WB_CHECK(wb.accept({u"6a"_s}, {u"3"_s}));
    WB_CHECK(wb.go({u"tab 1"_s}));
    // Points typed into the score grid, then "Oblicz": the summary holds each pupil's total.
    const QStringList rows{u"A1;T;1;2;4;1"_s, u"A2;N;;;;"_s, u"A3;T;0;1;3;-"_s};
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList values = rows[r].split(u';');
        for (int c = 0; c < values.size(); ++c)
            wb.upper()->setCell(1 + c, r + 1, values[c]);
    }
    wb.press("bOblicz");
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));

    // The button opens a new window, modal over the workbook, on every press.
    QList<TfWykres *> opened;
    QList<QStringList> seen;
    for (int press = 0; press < 2; ++press) {
        QTimer::singleShot(0, &wb.window, [&] {
            opened.append(fWykres);
            if (fWykres) {
                QStringList tabs;
                auto *tabControl = fWykres->findChild<QTabWidget *>(u"tabControl"_s);
                for (int i = 0; i < tabControl->count(); ++i)
                    tabs.append(tabControl->tabText(i));
                seen.append(tabs);
                seen.append(
                    QStringList{QString::number(fWykres->isModal()), QString::number(fWykres->isVisible())});
                QList<QString> values;
                for (const qreal value : fWykres->chart()->values())
                    values.append(QString::number(value));
                seen.append(values);
                fWykres->close();
            }
        });
        wb.button("bWykresy")->click();
    }
    QCOMPARE(opened.size(), 2);
    QVERIFY(opened[0] && opened[1]);
    QCOMPARE(wb.window.findChildren<TfWykres *>().size(), 1);
    QCOMPARE(wb.window.findChildren<TfWykres *>().value(0), fWykres);
    const QStringList tabs{u"W-1"_s, u"W-2"_s, u"W-3"_s, u"W-4"_s, u"W-5"_s, u"W-6"_s};
    const QStringList shown{u"1"_s, u"1"_s};
    const QStringList totals{u"8"_s, u"0"_s, u"4"_s};
    QCOMPARE(seen, (QList<QStringList>{tabs, shown, totals, tabs, shown, totals}));
    QVERIFY(!fWykres->isVisible());
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    WB_CHECK(verifyBitmap(wb.school(u"6a/wykr_1.bmp"_s)));
}

QTEST_MAIN(TstChartPages)
#include "tst_chartpages.moc"
