// The chart window handed a class page's and the school page's data: every chart's bars, axis,
// titles and bitmap file, and what happens when a value or a file is not as expected.
#include "tests/charts/chartstesting.h"
#include "ui/guarded.h"
#include "ui_tfwykres.h"

#include <QChartView>
#include <QTabBar>
#include <QValueAxis>

using namespace ct;

class TstChartWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void classCharts_data();
    void classCharts();
    void schoolCharts_data();
    void schoolCharts();
    void onlyViewedChartsLeaveFiles_data();
    void onlyViewedChartsLeaveFiles();
    void classWithoutPupils();
    void schoolRowNotANumber_data();
    void schoolRowNotANumber();
    void schoolWithoutStatistics();
    void noTasks();
    void fewerStandards_data();
    void fewerStandards();
    void firstChartFails_data();
    void firstChartFails();
    void folderCannotBeWritten();
};

namespace {

const QString footer = u"Sprawdzian 2003: 2003-12-12"_s;

// The school page of three classes on four tasks: 6a and 6b computed, 6c never, and the school's
// rows the means of the two.
charts::ChartData threeClasses(const School &school, const TestDefinition &test)
{
    return school.schoolPage(
        test,
        {u"1.00;1.50;3.00;0.50"_s, u"1.00;0.75;0.75;0.50"_s, u"0.50;0.50;2.00;1.00"_s,
         u"0.50;0.25;0.55;1.00"_s, QString(), QString(), u"0.75;1.00;2.50;0.75"_s, u"0.75;0.50;0.65;0.75"_s},
        {u"3.25;1.00;2.00;3.00;4.00;13.25"_s, u"0.54;0.50;0.67;0.75;0.80;0.33"_s,
         u"2.75;2.00;1.00;1.00;2.00;8.75"_s, u"0.46;1.00;0.33;0.25;0.40;0.23"_s, QString(), QString(),
         u"3.00;1.50;1.50;2.00;3.00;11.00"_s, u"0.50;0.75;0.50;0.50;0.60;0.28"_s});
}

void selectTab(TfWykres &window, int index)
{
    if (index != tabsOf(&window)->currentIndex())
        tabsOf(&window)->setCurrentIndex(index);
}

} // namespace

void TstChartWindow::initTestCase()
{
    setUpApplication();
}

void TstChartWindow::classCharts_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QList<float>>("values");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("increment");
    QTest::addColumn<QString>("title");

    const QString standard = u"Liczba punktów za standard: "_s;
    QTest::newRow("W-1") << 0 << QList<float>{12, 0, 30} << 40.0 << 5.0
                         << u"Wyniki z testu dla poszczególnych uczniów"_s;
    QTest::newRow("W-2") << 1 << QList<float>{2, 0, 7} << 6.0 << 1.0 << standard + u"Czytanie"_s;
    QTest::newRow("W-3") << 2 << QList<float>{1, 0, 2} << 2.0 << 1.0 << standard + u"Pisanie"_s;
    QTest::newRow("W-4") << 3 << QList<float>{3, 0, 0} << 3.0 << 1.0 << standard + u"Rozumowanie"_s;
    QTest::newRow("W-5") << 4 << QList<float>{4, 0, 4} << 4.0 << 1.0
                         << standard + u"Korzystanie z informacji"_s;
    QTest::newRow("W-6") << 5 << QList<float>{2, 0, 5} << 5.0 << 1.0
                         << standard + u"Wykorzystywanie wiedzy"_s;
}

void TstChartWindow::classCharts()
{
    QFETCH(int, tab);
    QFETCH(QList<float>, values);
    QFETCH(double, maximum);
    QFETCH(double, increment);
    QFETCH(QString, title);

    // The second class, so that the class in view decides labels, titles and folders.
    School school({u"Klasa VI A"_s, u"6b"_s});
    // Pupil 2 is absent or not computed: every missing-value form; pupil 3 is above W-2's maximum.
    TfWykres window(
        school.classPage(makeTest(), 1, 3, {u"2;1;3;4;2;12"_s, u"--;;-;--;--;--"_s, u"7;2;0;4;5;30"_s}));
    QCOMPARE(window.windowTitle(), u"Wizualizacja wyników"_s);
    QCOMPARE(tabTexts(&window), (QStringList{u"W-1"_s, u"W-2"_s, u"W-3"_s, u"W-4"_s, u"W-5"_s, u"W-6"_s}));
    QCOMPARE(tabsOf(&window)->currentIndex(), 0);
    selectTab(window, tab);

    const BarChart *chart = window.chart();
    QCOMPARE(window.findChild<QChartView *>(u"Chart1"_s)->chart(), chart);
    QCOMPARE(barValues(chart), values);
    QCOMPARE(chart->labels(), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(chart->maximum(), maximum);
    QCOMPARE(chart->increment(), increment);
    QCOMPARE(chart->valueAxis()->min(), 0.0);
    QCOMPARE(chart->titleText(), title);
    QCOMPARE(chart->bottomTitle(), u"Numer ucznia [6b]"_s);
    QCOMPARE(chart->leftTitle(), u"Liczba punktów"_s);
    QCOMPARE(chart->footer(), footer);
    QCOMPARE(chart->labelAngle(), 0);
    QVERIFY2(school.recorder.shown.isEmpty(), qPrintable(school.recorder.texts().join(u" | "_s)));

    const QString file = u"wykr_%1.bmp"_s.arg(tab + 1);
    QStringList expectedFiles{u"wykr_1.bmp"_s};
    if (tab != 0)
        expectedFiles.append(file);
    expectedFiles.sort();
    QCOMPARE(bitmapsIn(school.classFolder(1)), expectedFiles);
    CT_CHECK(verifyBitmap(school.classFolder(1) + u'/' + file));
    QCOMPARE(bitmapsIn(school.classFolder(0)), QStringList());
    QCOMPARE(bitmapsIn(school.schoolFolder()), QStringList());
}

void TstChartWindow::schoolCharts_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QList<float>>("values");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("increment");
    QTest::addColumn<QString>("title");

    const QString average = u"Średnia liczba punktów za standard: "_s;
    const QString facility = u"Łatwość standardu: "_s;
    // The tasks' maxima are 1, 2, 4 and 1: the average chart runs to 4.
    QTest::newRow("W-1") << 0 << QList<float>{0.75f, 1, 2.5f, 0.75f} << 4.0 << 1.0
                         << u"Średnia liczba punktów za poszczególne umiejętności (dla szkoły)"_s;
    QTest::newRow("W-2") << 1 << QList<float>{0.75f, 0.5f, 0.65f, 0.75f} << 1.0 << 0.1
                         << u"Łatwość poszczególnych umiejętności (dla szkoły)"_s;
    // 6c has no statistics: a bar of 0, and the school's bar follows.
    QTest::newRow("W-3") << 2 << QList<float>{3.25f, 2.75f, 0, 3} << 6.0 << 1.0 << average + u"Czytanie"_s;
    QTest::newRow("W-4") << 3 << QList<float>{0.54f, 0.46f, 0, 0.5f} << 1.0 << 0.1
                         << facility + u"Czytanie"_s;
    QTest::newRow("W-5") << 4 << QList<float>{1, 2, 0, 1.5f} << 2.0 << 1.0 << average + u"Pisanie"_s;
    QTest::newRow("W-6") << 5 << QList<float>{0.5f, 1, 0, 0.75f} << 1.0 << 0.1 << facility + u"Pisanie"_s;
    QTest::newRow("W-7") << 6 << QList<float>{2, 1, 0, 1.5f} << 3.0 << 1.0 << average + u"Rozumowanie"_s;
    QTest::newRow("W-8") << 7 << QList<float>{0.67f, 0.33f, 0, 0.5f} << 1.0 << 0.1
                         << facility + u"Rozumowanie"_s;
    QTest::newRow("W-9") << 8 << QList<float>{3, 1, 0, 2} << 4.0 << 1.0
                         << average + u"Korzystanie z informacji"_s;
    QTest::newRow("W-10") << 9 << QList<float>{0.75f, 0.25f, 0, 0.5f} << 1.0 << 0.1
                          << facility + u"Korzystanie z informacji"_s;
    QTest::newRow("W-11") << 10 << QList<float>{4, 2, 0, 3} << 5.0 << 1.0
                          << average + u"Wykorzystywanie wiedzy"_s;
    QTest::newRow("W-12") << 11 << QList<float>{0.8f, 0.4f, 0, 0.6f} << 1.0 << 0.1
                          << facility + u"Wykorzystywanie wiedzy"_s;
    QTest::newRow("W-13") << 12 << QList<float>{13.25f, 8.75f, 0, 11} << 40.0 << 5.0
                          << u"Średnia liczba punktów z całego testu"_s;
    QTest::newRow("W-14") << 13 << QList<float>{0.33f, 0.23f, 0, 0.28f} << 1.0 << 0.1 << u"Łatwość testu"_s;
}

void TstChartWindow::schoolCharts()
{
    QFETCH(int, tab);
    QFETCH(QList<float>, values);
    QFETCH(double, maximum);
    QFETCH(double, increment);
    QFETCH(QString, title);

    School school({u"6a"_s, u"6b"_s, u"6c"_s});
    TfWykres window(threeClasses(school, makeTest({1, 2, 4, 1})));
    QStringList tabs;
    for (int i = 1; i <= 14; ++i)
        tabs.append(u"W-%1"_s.arg(i));
    QCOMPARE(tabTexts(&window), tabs);
    // Every chart is reached from "W-1", whose labels are written upwards.
    selectTab(window, tab);

    const BarChart *chart = window.chart();
    const bool taskChart = tab < 2;
    QCOMPARE(barValues(chart), values);
    QCOMPARE(chart->labels(), taskChart ? (QStringList{u"Zad.1"_s, u"Zad.2"_s, u"Zad.3"_s, u"Zad.4"_s})
                                        : (QStringList{u"6a"_s, u"6b"_s, u"6c"_s, u"Szkoła"_s}));
    QCOMPARE(chart->maximum(), maximum);
    QCOMPARE(chart->increment(), increment);
    QCOMPARE(chart->valueAxis()->min(), 0.0);
    QCOMPARE(chart->titleText(), title);
    QCOMPARE(chart->bottomTitle(), taskChart ? u"Numer zadania"_s : u"Klasa / szkoła"_s);
    QCOMPARE(chart->leftTitle(), u"Liczba punktów"_s);
    QCOMPARE(chart->footer(), footer);
    QCOMPARE(chart->labelAngle(), taskChart ? 90 : 0);
    QVERIFY2(school.recorder.shown.isEmpty(), qPrintable(school.recorder.texts().join(u" | "_s)));

    const QString file = u"wykr_%1.bmp"_s.arg(tab + 1);
    QStringList expectedFiles{u"wykr_1.bmp"_s};
    if (tab != 0)
        expectedFiles.append(file);
    expectedFiles.sort();
    QCOMPARE(bitmapsIn(school.schoolFolder()), expectedFiles);
    CT_CHECK(verifyBitmap(school.schoolFolder() + u'/' + file));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(bitmapsIn(school.classFolder(i)), QStringList());
}

void TstChartWindow::onlyViewedChartsLeaveFiles_data()
{
    QTest::addColumn<bool>("schoolMode");
    QTest::newRow("class") << false;
    QTest::newRow("school") << true;
}

void TstChartWindow::onlyViewedChartsLeaveFiles()
{
    QFETCH(bool, schoolMode);
    School school({u"6a"_s, u"6b"_s, u"6c"_s});
    const TestDefinition test = makeTest({1, 2, 4, 1});
    const charts::ChartData data =
        schoolMode ? threeClasses(school, test)
                   : school.classPage(test, 0, 2, {u"1;2;3;4;5;15"_s, u"--;--;--;--;--;--"_s});
    const QString folder = schoolMode ? school.schoolFolder() : school.classFolder(0);
    const QString path1 = folder + u"/wykr_1.bmp"_s;
    const QString path5 = folder + u"/wykr_5.bmp"_s;
    const QString path6 = folder + u"/wykr_6.bmp"_s;
    // Files of an earlier session.
    QVERIFY(writeBytes(path5, "earlier wykr_5"));
    QVERIFY(writeBytes(path1, QByteArray(1000000, 'x')));

    TfWykres window(data);
    // Opening draws "W-1" at once and replaces its file whole.
    QCOMPARE(bitmapsIn(folder), (QStringList{u"wykr_1.bmp"_s, u"wykr_5.bmp"_s}));
    CT_CHECK(verifyBitmap(path1));
    const QByteArray first = readBytes(path1);

    QTabBar *bar = tabsOf(&window)->tabBar();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Every tab in sight, side by side.
    QVERIFY2(bar->tabRect(bar->count() - 1).right() < bar->width(),
             qPrintable(QString::number(bar->width())));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(5).center());
    QCOMPARE(tabsOf(&window)->currentIndex(), 5);
    CT_CHECK(verifyBitmap(path6));
    QCOMPARE(readBytes(path5), QByteArray("earlier wykr_5"));
    QCOMPARE(bitmapsIn(folder), (QStringList{u"wykr_1.bmp"_s, u"wykr_5.bmp"_s, u"wykr_6.bmp"_s}));

    // A click on the tab in view is no change: nothing is drawn.
    QVERIFY(writeBytes(path6, "changed"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(5).center());
    QCOMPARE(readBytes(path6), QByteArray("changed"));

    // Coming back draws the chart again: the same picture, written anew.
    QVERIFY(writeBytes(path1, "changed"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QCOMPARE(tabsOf(&window)->currentIndex(), 0);
    QCOMPARE(readBytes(path1), first);
    QVERIFY2(school.recorder.shown.isEmpty(), qPrintable(school.recorder.texts().join(u" | "_s)));
    window.hide();
}

void TstChartWindow::classWithoutPupils()
{
    School school({u"6a"_s});
    // A class that has no pupils (as a school file may say), its grids still of two rows.
    TfWykres window(school.classPage(makeTest(), 0, 0, {}, 2));
    for (int tab = 0; tab < 6; ++tab) {
        selectTab(window, tab);
        QCOMPARE(window.chart()->values(), QList<qreal>());
        QVERIFY(!window.chart()->titleText().isEmpty());
        QCOMPARE(window.chart()->bottomTitle(), u"Numer ucznia [6a]"_s);
        QCOMPARE(window.chart()->leftTitle(), u"Liczba punktów"_s);
        CT_CHECK(verifyBitmap(school.classFolder(0) + u"/wykr_%1.bmp"_s.arg(tab + 1)));
    }
    QCOMPARE(bitmapsIn(school.classFolder(0)).size(), 6);
    QVERIFY(school.recorder.shown.isEmpty());
}

void TstChartWindow::schoolRowNotANumber_data()
{
    QTest::addColumn<QString>("cell");
    QTest::newRow("letters") << u"abc"_s;
    QTest::newRow("decimal comma") << u"3,00"_s;
    QTest::newRow("absent pupil's mark") << u"--"_s;
}

void TstChartWindow::schoolRowNotANumber()
{
    QFETCH(QString, cell);
    School school({u"6a"_s, u"6b"_s, u"6c"_s});
    charts::ChartData data = threeClasses(school, makeTest({1, 2, 4, 1}));
    data.lowerGrid[data.lowerGrid.size() - 2][3] = cell;

    TfWykres window(data);
    selectTab(window, 2);
    // The drawing ends at the school's bar: the classes' bars stay, titles and file do not come.
    QCOMPARE(school.errors(), QStringList{u"'%1' is not a valid floating point value"_s.arg(cell)});
    QCOMPARE(barValues(window.chart()), (QList<float>{3.25f, 2.75f, 0}));
    QCOMPARE(window.chart()->labels(), (QStringList{u"6a"_s, u"6b"_s, u"6c"_s}));
    QCOMPARE(window.chart()->titleText(),
             u"Średnia liczba punktów za poszczególne umiejętności (dla szkoły)"_s);
    QCOMPARE(window.chart()->bottomTitle(), u"Numer zadania"_s);
    QCOMPARE(bitmapsIn(school.schoolFolder()), QStringList{u"wykr_1.bmp"_s});

    // The facility chart of the same standard reads another row and is drawn.
    school.recorder.clear();
    selectTab(window, 3);
    QVERIFY(school.recorder.shown.isEmpty());
    QCOMPARE(bitmapsIn(school.schoolFolder()), (QStringList{u"wykr_1.bmp"_s, u"wykr_4.bmp"_s}));
}

void TstChartWindow::schoolWithoutStatistics()
{
    School school({u"6a"_s, u"6b"_s});
    TfWykres window(school.schoolPage(makeTest({1, 2, 4, 1}), {}, {}));
    QCOMPARE(barValues(window.chart()), (QList<float>{0, 0, 0, 0}));
    selectTab(window, 1);
    QCOMPARE(barValues(window.chart()), (QList<float>{0, 0, 0, 0}));
    QVERIFY(school.recorder.shown.isEmpty());
    for (int tab = 2; tab < 14; ++tab) {
        school.recorder.clear();
        selectTab(window, tab);
        QCOMPARE(school.errors(), QStringList{u"'' is not a valid floating point value"_s});
        QCOMPARE(barValues(window.chart()), (QList<float>{0, 0}));
    }
    QCOMPARE(bitmapsIn(school.schoolFolder()), (QStringList{u"wykr_1.bmp"_s, u"wykr_2.bmp"_s}));
}

void TstChartWindow::noTasks()
{
    School school({u"6a"_s});
    TfWykres window(school.schoolPage(makeTest({}), {}, {}));
    QCOMPARE(window.chart()->values(), QList<qreal>());
    QCOMPARE(window.chart()->maximum(), 0.0);
    QCOMPARE(window.chart()->bottomTitle(), u"Numer zadania"_s);
    CT_CHECK(verifyBitmap(school.schoolFolder() + u"/wykr_1.bmp"_s));
}

void TstChartWindow::fewerStandards_data()
{
    QTest::addColumn<bool>("schoolMode");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<QString>("title");

    QTest::newRow("class, standard 3")
        << false << 3 << true << 3.0 << u"Liczba punktów za standard: Rozumowanie"_s;
    QTest::newRow("class, standard 4") << false << 4 << false << 0.0 << u"Liczba punktów za standard: "_s;
    QTest::newRow("class, standard 5") << false << 5 << false << 0.0 << u"Liczba punktów za standard: "_s;
    QTest::newRow("school, standard 3") << true << 7 << true << 1.0 << u"Łatwość standardu: Rozumowanie"_s;
    QTest::newRow("school, standard 4")
        << true << 8 << false << 0.0 << u"Średnia liczba punktów za standard: "_s;
    QTest::newRow("school, standard 5") << true << 11 << false << 1.0 << u"Łatwość standardu: "_s;
    QTest::newRow("school, whole test")
        << true << 12 << true << 40.0 << u"Średnia liczba punktów z całego testu"_s;
}

void TstChartWindow::fewerStandards()
{
    QFETCH(bool, schoolMode);
    QFETCH(int, tab);
    QFETCH(bool, drawn);
    QFETCH(double, maximum);
    QFETCH(QString, title);

    // A test of three standards: the charts of standards 4 and 5 have nothing to show.
    School school({u"6a"_s, u"6b"_s, u"6c"_s});
    const TestDefinition test = makeTest({1, 2, 4, 1}, 3);
    TfWykres window(schoolMode ? threeClasses(school, test)
                               : school.classPage(test, 0, 2, {u"1;2;3;4;5;15"_s, u"1;1;1;1;1;5"_s}));
    selectTab(window, tab);
    QCOMPARE(window.chart()->titleText(), title);
    QCOMPARE(window.chart()->values().isEmpty(), !drawn);
    QCOMPARE(window.chart()->maximum(), maximum);
    const QString folder = schoolMode ? school.schoolFolder() : school.classFolder(0);
    CT_CHECK(verifyBitmap(folder + u"/wykr_%1.bmp"_s.arg(tab + 1)));
    QVERIFY(school.recorder.shown.isEmpty());
}

void TstChartWindow::firstChartFails_data()
{
    QTest::addColumn<QString>("total");
    QTest::addColumn<bool>("folderRemoved");
    QTest::addColumn<QString>("error");

    QTest::newRow("a total that is no number")
        << u"x"_s << false << u"'x' is not a valid floating point value"_s;
}

void TstChartWindow::firstChartFails()
{
    QFETCH(QString, total);
    QFETCH(bool, folderRemoved);
    QFETCH(QString, error);

    School school({u"6a"_s});
    const charts::ChartData data =
        school.classPage(makeTest(), 0, 2, {u"1;2;3;4;5;15"_s, u"1;1;1;1;1;"_s + total});
    if (folderRemoved)
        QVERIFY(QDir(school.classFolder(0)).removeRecursively());

    // The failure goes to whoever opens the window, which is not made.
    bool made = false;
    guarded([&] {
        TfWykres window(data);
        made = true;
    });
    QVERIFY(!made);
    QCOMPARE(fWykres, nullptr);
    QCOMPARE(school.errors().size(), 1);
    QVERIFY2(school.errors().value(0).startsWith(error), qPrintable(school.errors().value(0)));
    if (!folderRemoved)
        QCOMPARE(bitmapsIn(school.classFolder(0)), QStringList());
}

void TstChartWindow::folderCannotBeWritten()
{
    // The class folder is gone (or read-only, or full): every chart is still shown and can be
    // printed, and the teacher is told once that it was not saved.
    School school({u"6a"_s});
    const charts::ChartData data = school.classPage(makeTest(), 0, 2, {u"1;2;3;4;5;15"_s, u"1;1;1;1;1;5"_s});
    QVERIFY(QDir(school.classFolder(0)).removeRecursively());

    QList<QList<qreal>> drawn;
    TfWykres window(data);
    for (int tab = 0; tab < 6; ++tab) {
        window.form()->tabControl->setCurrentIndex(tab);
        drawn.append(window.chart()->values());
    }
    QCOMPARE(drawn.size(), 6);
    QCOMPARE(drawn[0], (QList<qreal>{15, 5}));
    QCOMPARE(drawn[5], (QList<qreal>{5, 1}));
    // Said once the window is there, not before it opens.
    QVERIFY(school.recorder.shown.isEmpty());
    window.show();
    QTRY_COMPARE(school.recorder.shown.size(), 1);
    QCOMPARE(school.recorder.shown[0].kind, messages::Kind::FileError);
    QVERIFY2(school.recorder.shown[0].text.startsWith(
                 u"Wykres jest pokazany, ale nie został zapisany do pliku "_s),
             qPrintable(school.recorder.shown[0].text));
    QVERIFY(!QFileInfo::exists(school.classFolder(0)));
}

QTEST_MAIN(TstChartWindow)
#include "tst_chartwindow.moc"
