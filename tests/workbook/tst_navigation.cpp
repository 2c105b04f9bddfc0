// Moving between the pages with Dalej, Wstecz and the tabs: how each page is rebuilt from the
// school directory's files, and the school summary averaged over the classes.
#include "tests/workbook/workbooktesting.h"

#include <QRegularExpression>

using namespace wb;

class TstNavigation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void classPageLayout_data();
    void classPageLayout();
    void controlsPerPage_data();
    void controlsPerPage();
    void savedAnswersComeBack_data();
    void savedAnswersComeBack();
    void setupPageRebuiltFromSchoolFile_data();
    void setupPageRebuiltFromSchoolFile();
    void schoolPageSameByEveryRoute_data();
    void schoolPageSameByEveryRoute();
    void schoolSummary_data();
    void schoolSummary();
    void schoolPageRebuiltOnEveryVisit();
    void unusableClassStatistics_data();
    void unusableClassStatistics();
    void schoolFilesCannotBeWritten();
    void computeDoesNothingOnSchoolPage();
    void unreadableAnswersFile();
};

namespace {

const QStringList threeLabels{u"Klasa VI A"_s, u"Klasa VI B"_s, u"Klasa VI C"_s};
const QStringList threePupilCounts{u"2"_s, u"3"_s, u"1"_s};

QList<QStringList> classScoreGrid(int pupils)
{
    QList<QStringList> rows{cells(u"L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3"_s)};
    for (int r = 1; r <= pupils; ++r)
        rows.append(cells(u"%1;;T;;;"_s.arg(r)));
    return rows;
}

QList<QStringList> classSummaryGrid(int pupils)
{
    QList<QStringList> rows{cells(u"L.p.;Kod ucznia;Ob.;Czyt.;Pis.;Rozum.;Korz.;Wiedza;Razem"_s)};
    for (int r = 1; r <= pupils; ++r)
        rows.append(cells(u"%1;;;;;;;;"_s.arg(r)));
    return rows;
}

// A class page as it is built when the class has no answers file.
void verifyEmptyClassPage(Workbook &wb, int page)
{
    const int pupils = wb.window.session().pupilCounts().value(page - 1);
    QCOMPARE(wb.window.currentPage(), page);
    QCOMPARE(wb.pages()->currentIndex(), page);
    WB_CHECK(compareGrid(wb.upper(), classScoreGrid(pupils)));
    WB_CHECK(compareGrid(wb.lower(), classSummaryGrid(pupils)));
    QCOMPARE(columnWidths(wb.upper()), QList<int>({25, 70, 25, 35, 35, 35}));
    QCOMPARE(columnWidths(wb.lower()), QList<int>({25, 70, 25, 60, 60, 60, 60, 60, 64}));
    QCOMPARE(wb.upper()->width(), 640);
    QCOMPARE(wb.lower()->width(), 505);
    QCOMPARE(wb.upper()->fixedCols(), 1);
    QCOMPARE(wb.lower()->fixedCols(), 1);
    QVERIFY(wb.upper()->editingEnabled());
    QVERIFY(!wb.lower()->editingEnabled());
    QVERIFY(wb.lower()->isVisible());
    QVERIFY(wb.label("static2")->isVisible());
    QCOMPARE(wb.label("static1")->text(), u"Wyniki uczniów za poszczególne zadania - "_s +
                                              wb.window.session().classLabels().value(page - 1));
}

// Two lines of fields as the school grid shows a class's statistics file.
QList<QStringList> statisticsFields(const QByteArray &file, int columns)
{
    QList<QStringList> rows;
    const QList<QByteArray> lines = file.split('\n');
    for (int line = 0; line < 2; ++line) {
        QStringList fields(columns);
        if (line < lines.size()) {
            const QList<QByteArray> parts = lines[line].split(';');
            for (int k = 0; k + 1 < parts.size() && k < columns; ++k)
                fields[k] = QString::fromLatin1(parts[k]);
        }
        rows.append(fields);
    }
    return rows;
}

// The school grids of three classes: labels, the classes' files as read and the school rows.
QList<QStringList> schoolGrid(bool upper, const QList<QByteArray> &classFiles, const QStringList &schoolRows)
{
    const int columns = upper ? 3 : 6;
    QList<QStringList> rows{upper ? cells(u"L.p.;Klasa;;Zad.1;Zad.2;Zad.3"_s)
                                  : cells(u"L.p.;Klasa;;Czyt.;Pis.;Rozum.;Korz.;Wiedza;Razem"_s)};
    QStringList labels;
    for (const QString &label : threeLabels)
        labels << label + u" - Śr."_s << label + u" - Ła."_s;
    labels << u"Szkoła - Śr."_s << u"Szkoła - Ła."_s;
    QList<QStringList> values;
    for (const QByteArray &file : classFiles)
        values += statisticsFields(file, columns);
    values.append(cells(schoolRows.value(0)));
    values.append(cells(schoolRows.value(1)));
    for (int r = 1; r <= labels.size(); ++r) {
        QStringList row{QString::number(r), labels[r - 1], QString()};
        QStringList rowValues = values[r - 1];
        rowValues.resize(columns);
        rows.append(row + rowValues);
    }
    return rows;
}

void verifySchoolPageControls(Workbook &wb)
{
    QCOMPARE(wb.window.currentPage(), 4);
    QCOMPARE(wb.pages()->currentIndex(), 4);
    QCOMPARE(wb.label("static1")->text(), u"Podsumowanie"_s);
    QVERIFY(wb.button("bWstecz")->isEnabled());
    QVERIFY(!wb.button("bDalej")->isEnabled());
    QVERIFY(wb.button("bWykresy")->isEnabled());
    QVERIFY(wb.lower()->isVisible());
    QVERIFY(wb.label("static2")->isVisible());
    QVERIFY(!wb.upper()->editingEnabled());
}

const QByteArray tasksA = "2.00;1.00;3.00;\r\n0.67;1.00;1.00;";
const QByteArray standardsA = "2.00;1.00;3.00;0.00;0.00;6.00;\r\n1.00;1.00;1.00;0.00;0.00;0.60;";
const QByteArray tasksB = "1.00;0.00;1.50;\r\n0.33;0.00;0.50;";
const QByteArray standardsB = "1.00;0.00;1.50;0.00;0.00;2.50;\r\n0.50;0.00;0.50;0.00;0.00;0.20;";

} // namespace

void TstNavigation::initTestCase()
{
    setUpApplication();
}

void TstNavigation::classPageLayout_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("page");

    QTest::newRow("Dalej from the setup page") << QStringList{u"next"_s} << 1;
    QTest::newRow("Wstecz from class 2") << QStringList{u"next"_s, u"next"_s, u"back"_s} << 1;
    QTest::newRow("tab from the setup page") << QStringList{u"tab 1"_s} << 1;
    QTest::newRow("tab from the school page") << QStringList{u"tab 4"_s, u"tab 1"_s} << 1;
    QTest::newRow("Dalej from class 1") << QStringList{u"next"_s, u"next"_s} << 2;
    QTest::newRow("Wstecz from the school page") << QStringList{u"tab 4"_s, u"back"_s} << 3;
    QTest::newRow("tab from another class") << QStringList{u"tab 2"_s, u"tab 3"_s} << 3;
}

void TstNavigation::classPageLayout()
{
    QFETCH(QStringList, steps);
    QFETCH(int, page);

    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.go(steps));
    WB_CHECK(verifyEmptyClassPage(wb, page));
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstNavigation::controlsPerPage_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QList<bool>>("enabled"); // Wstecz, Dalej, Oblicz, Wykresy
    QTest::addColumn<bool>("summaryShown");

    const QString setup = u"Liczba klas - liczba uczniów w danej klasie"_s;
    const QString classA = u"Wyniki uczniów za poszczególne zadania - Klasa VI A"_s;
    const QString classC = u"Wyniki uczniów za poszczególne zadania - Klasa VI C"_s;
    const QString school = u"Podsumowanie"_s;
    using B = QList<bool>;
    QTest::newRow("accepted setup page")
        << QStringList{} << 0 << setup << B{false, true, false, false} << false;
    QTest::newRow("class 1") << QStringList{u"next"_s} << 1 << classA << B{true, true, true, true} << true;
    QTest::newRow("last class") << QStringList{u"next"_s, u"next"_s, u"next"_s} << 3 << classC
                                << B{true, true, true, true} << true;
    QTest::newRow("setup page by Wstecz")
        << QStringList{u"next"_s, u"back"_s} << 0 << setup << B{false, true, false, false} << false;
    QTest::newRow("setup page by tab")
        << QStringList{u"tab 2"_s, u"tab 0"_s} << 0 << setup << B{false, true, false, false} << false;
    QTest::newRow("school page by Dalej") << QStringList{u"next"_s, u"next"_s, u"next"_s, u"next"_s} << 4
                                          << school << B{true, false, true, true} << true;
    QTest::newRow("school page by tab from a class")
        << QStringList{u"tab 2"_s, u"tab 4"_s} << 4 << school << B{true, false, true, true} << true;
    QTest::newRow("school page by tab from the setup page")
        << QStringList{u"tab 4"_s} << 4 << school << B{true, false, false, true} << true;
    QTest::newRow("school page, setup page in between") << QStringList{u"tab 2"_s, u"tab 0"_s, u"tab 4"_s}
                                                        << 4 << school << B{true, false, false, true} << true;
}

void TstNavigation::controlsPerPage()
{
    QFETCH(QStringList, steps);
    QFETCH(int, page);
    QFETCH(QString, caption);
    QFETCH(QList<bool>, enabled);
    QFETCH(bool, summaryShown);

    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.go(steps));

    QCOMPARE(wb.window.currentPage(), page);
    QCOMPARE(wb.pages()->currentIndex(), page);
    QCOMPARE(wb.label("static1")->text(), caption);
    const QList<bool> actual{wb.button("bWstecz")->isEnabled(), wb.button("bDalej")->isEnabled(),
                             wb.button("bOblicz")->isEnabled(), wb.button("bWykresy")->isEnabled()};
    QCOMPARE(actual, enabled);
    QCOMPARE(wb.lower()->isVisible(), summaryShown);
    QCOMPARE(wb.label("static2")->isVisible(), summaryShown);
    QCOMPARE(wb.upper()->editingEnabled(), page >= 1 && page <= 3);
    // Acceptance cannot be undone, whichever page is in view.
    for (const char *name : {"eLiczbaKlas", "bAkceptuj", "eNazwaKatalogu", "bKatalog"})
        QVERIFY2(!wb.find(name)->isEnabled(), name);
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstNavigation::savedAnswersComeBack_data()
{
    QTest::addColumn<QStringList>("away");

    QTest::newRow("Dalej, then Wstecz") << QStringList{u"next"_s, u"back"_s};
    QTest::newRow("Wstecz, then Dalej") << QStringList{u"back"_s, u"next"_s};
    QTest::newRow("school tab and back") << QStringList{u"tab 4"_s, u"tab 1"_s};
    QTest::newRow("setup tab and back") << QStringList{u"tab 0"_s, u"tab 1"_s};
    QTest::newRow("through every page") << QStringList{u"next"_s, u"next"_s, u"next"_s, u"back"_s,
                                                       u"back"_s, u"back"_s, u"back"_s, u"next"_s};
}

void TstNavigation::savedAnswersComeBack()
{
    QFETCH(QStringList, away);

    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.go({u"next"_s}));
    StringGrid *scores = wb.upper();
    WB_CHECK(typeIntoCell(scores, 1, 1, u"A1"_s));
    WB_CHECK(typeIntoCell(scores, 3, 1, u"2"_s));
    WB_CHECK(typeIntoCell(scores, 5, 1, u"3"_s));
    WB_CHECK(typeIntoCell(scores, 1, 2, u"Żaneta"_s));
    WB_CHECK(typeIntoCell(scores, 2, 2, u"N"_s));
    WB_CHECK(typeIntoCell(scores, 4, 2, u"1"_s));
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(wb.shownTexts(), QStringList{u"Wyniki uczniów zostały zapisane!"_s});

    // Points typed after the save are dropped when the teacher leaves without saving them.
    WB_CHECK(typeIntoCell(scores, 3, 1, u"0"_s));
    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::No};
    WB_CHECK(wb.go(away));
    QCOMPARE(wb.recorder.shown.size(), 1);
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Question);

    QCOMPARE(wb.window.currentPage(), 1);
    WB_CHECK(compareGrid(scores, {cells(u"L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3"_s), cells(u"1;A1;T;2;-;3"_s),
                                  cells(u"2;Żaneta;N;-;1;-"_s)}));
    // The summary waits for Compute on every visit.
    WB_CHECK(compareGrid(wb.lower(), classSummaryGrid(2)));
}

void TstNavigation::setupPageRebuiltFromSchoolFile_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QByteArray>("schoolFile"); // "-" leaves the file as acceptance wrote it; "" removes it
    QTest::addColumn<QString>("count");
    QTest::addColumn<QList<QStringList>>("list");

    const QList<QStringList> asAccepted{cells(u"L.p.;Klasa;Liczba uczniów"_s), cells(u"1;Klasa VI A;2"_s),
                                        cells(u"2;Klasa VI B;3"_s), cells(u"3;Klasa VI C;1"_s)};
    const QByteArray edited =
        build::schoolIni(2, {u"  Klasa 6 Ż  "_s}, {u"20"_s}, {u"Nr"_s, u"Oddział"_s, u"Uczniowie"_s});
    const QList<QStringList> editedList{cells(u"Nr;Oddział;Uczniowie"_s), cells(u"1;Klasa 6 Ż;20"_s),
                                        cells(u"2;Klasa 2;15"_s)};
    const QList<QStringList> defaults{cells(u"L.p.;Klasy;Liczba uczniów"_s), cells(u"1;Klasa 1;15"_s)};

    for (const QString &route : {u"back"_s, u"tab 0"_s}) {
        QTest::addRow("%s, as accepted", qPrintable(route))
            << route << QByteArray("-") << u"3"_s << asAccepted;
        QTest::addRow("%s, file edited", qPrintable(route)) << route << edited << u"2"_s << editedList;
        QTest::addRow("%s, file removed", qPrintable(route)) << route << QByteArray() << u"1"_s << defaults;
    }
}

void TstNavigation::setupPageRebuiltFromSchoolFile()
{
    QFETCH(QString, route);
    QFETCH(QByteArray, schoolFile);
    QFETCH(QString, count);
    QFETCH(QList<QStringList>, list);

    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.go({u"next"_s}));
    if (schoolFile.isEmpty())
        QVERIFY(QFile::remove(wb.school(u"Szkola.ini"_s)));
    else if (schoolFile != "-")
        QVERIFY(writeBytes(wb.school(u"Szkola.ini"_s), schoolFile));
    WB_CHECK(wb.go({route}));

    QCOMPARE(wb.window.currentPage(), 0);
    QCOMPARE(wb.edit("eLiczbaKlas")->text(), count);
    QVERIFY(!wb.edit("eLiczbaKlas")->isEnabled());
    WB_CHECK(compareGrid(wb.upper(), list));
    QCOMPARE(columnWidths(wb.upper()), QList<int>({25, 65, 80}));
    QCOMPARE(wb.upper()->width(), 195);
    QVERIFY(!wb.upper()->editingEnabled());
    QVERIFY(!wb.lower()->isVisible());
    QVERIFY(!wb.label("static2")->isVisible());
    QCOMPARE(wb.label("static1")->text(), u"Liczba klas - liczba uczniów w danej klasie"_s);
    QVERIFY(wb.recorder.shown.isEmpty());

    // The pages made at acceptance stay as they were.
    QCOMPARE(wb.window.pageCount(), 5);
    QCOMPARE(wb.window.session().classLabels(), threeLabels);
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(verifyEmptyClassPage(wb, 1));
}

void TstNavigation::schoolPageSameByEveryRoute_data()
{
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("Dalej from the last class") << QStringList{u"next"_s, u"next"_s, u"next"_s, u"next"_s};
    QTest::newRow("tab from the setup page") << QStringList{u"tab 4"_s};
    QTest::newRow("tab from a class page") << QStringList{u"next"_s, u"tab 4"_s};
    QTest::newRow("twice in a row") << QStringList{u"tab 4"_s, u"back"_s, u"next"_s};
}

void TstNavigation::schoolPageSameByEveryRoute()
{
    QFETCH(QStringList, steps);

    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI A"_s, tasksA, standardsA));
    WB_CHECK(wb.go(steps));

    WB_CHECK(verifySchoolPageControls(wb));
    WB_CHECK(compareGrid(wb.upper(),
                         schoolGrid(true, {tasksA, {}, {}}, {u"2.00;1.00;3.00"_s, u"0.67;1.00;1.00"_s})));
    WB_CHECK(compareGrid(
        wb.lower(), schoolGrid(false, {standardsA, {}, {}},
                               {u"2.00;1.00;3.00;0.00;0.00;6.00"_s, u"1.00;1.00;1.00;0.00;0.00;0.60"_s})));
    QCOMPARE(columnWidths(wb.upper()), QList<int>({25, 95, 0, 35, 35, 35}));
    QCOMPARE(columnWidths(wb.lower()), QList<int>({25, 95, 0, 60, 60, 60, 60, 60, 64}));
    QCOMPARE(wb.upper()->width(), 640);
    QCOMPARE(wb.lower()->width(), 505);
    QCOMPARE(wb.upper()->fixedCols(), 2);
    QCOMPARE(wb.lower()->fixedCols(), 2);
    QCOMPARE(readBytes(wb.school(u"Szkoła/Zadania.tmp"_s)), tasksA);
    QCOMPARE(readBytes(wb.school(u"Szkoła/Standardy.tmp"_s)), standardsA);
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstNavigation::schoolSummary_data()
{
    QTest::addColumn<QList<QByteArray>>("tasks");     // per class; empty: no files
    QTest::addColumn<QList<QByteArray>>("standards"); // per class
    QTest::addColumn<QStringList>("schoolTasks");     // the two school rows of the upper grid
    QTest::addColumn<QStringList>("schoolStandards");
    QTest::addColumn<QByteArray>("tasksFile"); // empty: not written
    QTest::addColumn<QByteArray>("standardsFile");

    QTest::newRow("two of three classes")
        << QList<QByteArray>{tasksA, tasksB, {}} << QList<QByteArray>{standardsA, standardsB, {}}
        << QStringList{u"1.50;0.50;2.25"_s, u"0.50;0.50;0.75"_s}
        << QStringList{u"1.50;0.50;2.25;0.00;0.00;4.25"_s, u"0.75;0.50;0.75;0.00;0.00;0.40"_s}
        << QByteArray("1.50;0.50;2.25;\r\n0.50;0.50;0.75;")
        << QByteArray("1.50;0.50;2.25;0.00;0.00;4.25;\r\n0.75;0.50;0.75;0.00;0.00;0.40;");
    QTest::newRow("only the middle class")
        << QList<QByteArray>{{}, tasksB, {}} << QList<QByteArray>{{}, standardsB, {}}
        << QStringList{u"1.00;0.00;1.50"_s, u"0.33;0.00;0.50"_s}
        << QStringList{u"1.00;0.00;1.50;0.00;0.00;2.50"_s, u"0.50;0.00;0.50;0.00;0.00;0.20"_s} << tasksB
        << standardsB;
    // Each class weighs the same, however many pupils it has.
    QTest::newRow("three classes")
        << QList<QByteArray>{tasksA, tasksB, "0.00;2.00;0.00;\r\n0.00;1.00;0.00;"}
        << QList<QByteArray>{standardsA, standardsB,
                             "0.00;2.00;0.00;0.00;0.00;2.00;\r\n0.00;1.00;0.00;0.00;0.00;0.20;"}
        << QStringList{u"1.00;1.00;1.50"_s, u"0.33;0.67;0.50"_s}
        << QStringList{u"1.00;1.00;1.50;0.00;0.00;3.50"_s, u"0.50;0.67;0.50;0.00;0.00;0.33"_s}
        << QByteArray("1.00;1.00;1.50;\r\n0.33;0.67;0.50;")
        << QByteArray("1.00;1.00;1.50;0.00;0.00;3.50;\r\n0.50;0.67;0.50;0.00;0.00;0.33;");
    QTest::newRow("a hundred points and more")
        << QList<QByteArray>{"246.91;1.00;1.00;\r\n1.00;1.00;1.00;", "0.00;1.00;1.00;\r\n0.00;1.00;1.00;", {}}
        << QList<QByteArray>{standardsA, standardsA, {}}
        << QStringList{u"123.50;1.00;1.00"_s, u"0.50;1.00;1.00"_s}
        << QStringList{u"2.00;1.00;3.00;0.00;0.00;6.00"_s, u"1.00;1.00;1.00;0.00;0.00;0.60"_s}
        << QByteArray("123.46;1.00;1.00;\r\n0.50;1.00;1.00;") << standardsA;
    QTest::newRow("no class computed")
        << QList<QByteArray>{{}, {}, {}} << QList<QByteArray>{{}, {}, {}} << QStringList{u";;"_s, u";;"_s}
        << QStringList{u";;;;;"_s, u";;;;;"_s} << QByteArray() << QByteArray();
}

void TstNavigation::schoolSummary()
{
    QFETCH(QList<QByteArray>, tasks);
    QFETCH(QList<QByteArray>, standards);
    QFETCH(QStringList, schoolTasks);
    QFETCH(QStringList, schoolStandards);
    QFETCH(QByteArray, tasksFile);
    QFETCH(QByteArray, standardsFile);

    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    for (int i = 0; i < 3; ++i) {
        if (!tasks[i].isEmpty())
            WB_CHECK(wb.writeClassStatistics(threeLabels[i], tasks[i], standards[i]));
    }
    WB_CHECK(wb.go({u"next"_s, u"tab 4"_s}));

    WB_CHECK(verifySchoolPageControls(wb));
    WB_CHECK(compareGrid(wb.upper(), schoolGrid(true, tasks, schoolTasks)));
    WB_CHECK(compareGrid(wb.lower(), schoolGrid(false, standards, schoolStandards)));
    if (tasksFile.isEmpty()) {
        QVERIFY(!QFileInfo::exists(wb.school(u"Szkoła/Zadania.tmp"_s)));
        QVERIFY(!QFileInfo::exists(wb.school(u"Szkoła/Standardy.tmp"_s)));
    } else {
        QCOMPARE(readBytes(wb.school(u"Szkoła/Zadania.tmp"_s)), tasksFile);
        QCOMPARE(readBytes(wb.school(u"Szkoła/Standardy.tmp"_s)), standardsFile);
    }
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstNavigation::schoolPageRebuiltOnEveryVisit()
{
    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI A"_s, tasksA, standardsA));
    WB_CHECK(wb.go({u"tab 4"_s}));
    QCOMPARE(wb.upper()->cell(3, 7), u"2.00"_s);

    // Another Compute in class B, then the school page again.
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI B"_s, tasksB, standardsB));
    WB_CHECK(wb.go({u"back"_s, u"next"_s}));
    WB_CHECK(compareGrid(wb.upper(),
                         schoolGrid(true, {tasksA, tasksB, {}}, {u"1.50;0.50;2.25"_s, u"0.50;0.50;0.75"_s})));
    QCOMPARE(readBytes(wb.school(u"Szkoła/Zadania.tmp"_s)), QByteArray("1.50;0.50;2.25;\r\n0.50;0.50;0.75;"));

    // Values typed into the school grids by anyone are gone on the next visit.
    wb.upper()->setCell(3, 1, u"9.99"_s);
    WB_CHECK(wb.go({u"tab 0"_s, u"tab 4"_s}));
    QCOMPARE(wb.upper()->cell(3, 1), u"2.00"_s);
    QCOMPARE(wb.upper()->cell(3, 7), u"1.50"_s);
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstNavigation::unusableClassStatistics_data()
{
    QTest::addColumn<QByteArray>("tasks");
    QTest::addColumn<QByteArray>("standards");

    QTest::newRow("too few values") << QByteArray("2.00;\r\n0.67;") << QByteArray("2.00;1.00;\r\n1.00;");
    QTest::newRow("text") << QByteArray("abc;x;1.00;\r\n0.67;y;1.00;")
                          << QByteArray("a;b;c;d;e;f;\r\ng;h;i;j;k;l;");
    QTest::newRow("decimal comma") << QByteArray("2,00;1,00;3,00;\r\n0,67;1,00;1,00;")
                                   << QByteArray(
                                          "2,00;1,00;3,00;0,00;0,00;6,00;\r\n1,00;1,00;1,00;0,00;0,00;0,60;");
    QTest::newRow("one line") << QByteArray("2.00;1.00;3.00;")
                              << QByteArray("2.00;1.00;3.00;0.00;0.00;6.00;");
    QTest::newRow("empty files") << QByteArray() << QByteArray();
    QTest::newRow("no separators") << QByteArray("2.00 1.00 3.00\r\n") << QByteArray("\r\n\r\n");
    QTest::newRow("infinite values") << QByteArray("inf;nan;1e99;\r\n-inf;nan;1e-99;")
                                     << QByteArray(
                                            "inf;nan;1e99;inf;nan;1e99;\r\ninf;nan;1e99;inf;nan;1e99;");
    const QByteArray huge = "999999999999999999999999999999999999999.5";
    QTest::newRow("beyond single precision")
        << QByteArray(huge + ';' + huge + ';' + huge + ";\r\n" + huge + ';' + huge + ';' + huge + ';')
        << QByteArray(huge + ";1e99;x;y;z;" + huge + ";\r\n" + huge + ";1;1;1;1;" + huge + ';');
}

void TstNavigation::unusableClassStatistics()
{
    QFETCH(QByteArray, tasks);
    QFETCH(QByteArray, standards);

    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI A"_s, tasks, standards));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI B"_s, tasksB, standardsB));
    WB_CHECK(wb.go({u"next"_s, u"tab 4"_s}));

    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    WB_CHECK(verifySchoolPageControls(wb));
    // Class A's rows show its files as they are; no school value is anything but a number.
    WB_CHECK(compareGrid(wb.upper(), schoolGrid(true, {tasks, tasksB, {}},
                                                {wb.upper()->cell(3, 7) + u";"_s + wb.upper()->cell(4, 7) +
                                                     u";"_s + wb.upper()->cell(5, 7),
                                                 wb.upper()->cell(3, 8) + u";"_s + wb.upper()->cell(4, 8) +
                                                     u";"_s + wb.upper()->cell(5, 8)})));
    const QRegularExpression number(u"^(|\\d+\\.\\d\\d)$"_s);
    for (StringGrid *grid : {wb.upper(), wb.lower()}) {
        for (int row : {7, 8}) {
            for (int c = 3; c < grid->colCount(); ++c)
                QVERIFY2(number.match(grid->cell(c, row)).hasMatch(), qPrintable(grid->cell(c, row)));
        }
    }
    // Class B alone supplies every value of task 2, which class A never gives as a number here.
    QCOMPARE(wb.upper()->cell(4, 7), u"0.00"_s);
}

void TstNavigation::schoolFilesCannotBeWritten()
{
    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI A"_s, tasksA, standardsA));
    QVERIFY(QDir(wb.school(u"Szkoła"_s)).removeRecursively());
    QVERIFY(writeBytes(wb.school(u"Szkoła"_s), "not a directory"));
    WB_CHECK(wb.go({u"tab 4"_s}));

    // Both statistics files, said once.
    QCOMPARE(wb.recorder.shown.size(), 1);
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::FileError);
    QCOMPARE(wb.recorder.shown[0].caption, u"File Error"_s);
    QCOMPARE(wb.recorder.shown[0].text.section(u"\n\n"_s, 0, 0),
             u"Nie mogę zapisać pliku! Nie zapisano: Zadania.tmp, Standardy.tmp."_s);
    // The page is built all the same.
    WB_CHECK(verifySchoolPageControls(wb));
    QCOMPARE(wb.upper()->cell(3, 7), u"2.00"_s);
    QCOMPARE(wb.lower()->cell(8, 8), u"0.60"_s);
}

void TstNavigation::computeDoesNothingOnSchoolPage()
{
    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI A"_s, tasksA, standardsA));
    WB_CHECK(wb.go({u"next"_s, u"next"_s, u"next"_s, u"next"_s}));
    QVERIFY(wb.button("bOblicz")->isEnabled());
    const QList<QStringList> upper = gridCells(wb.upper());
    const QList<QStringList> lower = gridCells(wb.lower());

    WB_CHECK(wb.press("bOblicz"));
    QVERIFY(wb.recorder.shown.isEmpty());
    QCOMPARE(gridCells(wb.upper()), upper);
    QCOMPARE(gridCells(wb.lower()), lower);
    QCOMPARE(readBytes(wb.school(u"Klasa VI A/Zadania.tmp"_s)), tasksA);
    QVERIFY(!QFileInfo::exists(wb.school(u"Klasa VI C/Zadania.tmp"_s)));
    QVERIFY(!QFileInfo::exists(wb.school(u"Klasa VI C/Odpowiedzi.tmp"_s)));
    QCOMPARE(wb.window.currentPage(), 4);
}

void TstNavigation::unreadableAnswersFile()
{
    Workbook wb;
    WB_CHECK(wb.accept(threeLabels, threePupilCounts));
    QVERIFY(QDir().mkpath(wb.school(u"Klasa VI B/Odpowiedzi.tmp"_s)));
    WB_CHECK(wb.go({u"tab 2"_s}));

    QCOMPARE(wb.recorder.shown.size(), 1);
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::FileError);
    QCOMPARE(wb.recorder.shown[0].caption, u"File Error"_s);
    QCOMPARE(wb.recorder.shown[0].text, u"Nie mogę odczytać pliku!"_s);
    WB_CHECK(verifyEmptyClassPage(wb, 2));
}

QTEST_MAIN(TstNavigation)
#include "tst_navigation.moc"
