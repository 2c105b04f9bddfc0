// The toolbar's Open and Save on every kind of page, the reports, and the question that keeps
// typed points from being lost when the teacher leaves a class page.
#include "tests/workbook/workbooktesting.h"

#include "school/schoolsession.h"

#include <QProcess>
#include <QTabBar>

using namespace wb;

class TstOpenSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void anotherComputerSavedTheClass();
    void anotherComputerTypesTheClass();
    void saveClassPage_data();
    void saveClassPage();
    void saveSchoolPage();
    void saveThenOpenSchoolPage();
    void openClassPage_data();
    void openClassPage();
    void setupPageBeforeAcceptance_data();
    void setupPageBeforeAcceptance();
    void acceptAfterOpen();
    void failedSave_data();
    void failedSave();
    void unsavedPointsQuestion_data();
    void unsavedPointsQuestion();
    void noQuestion_data();
    void noQuestion();
    void answerYesButFileCannotBeWritten_data();
    void answerYesButFileCannotBeWritten();
    void pointBeingTyped_data();
    void pointBeingTyped();
    void closedWhileTyping();
};

namespace {

const QByteArray reportTop = "Wyniki uczni\xF3w z testu Test\r\nData: 2003-12-12\r\n\r\n";
const QByteArray summaryCaptionBytes = "\r\nWyniki uczni\xF3w - podsumowanie:\r\n";
const QByteArray tasksA = "2.00;1.00;3.00;\r\n0.67;1.00;1.00;";
const QByteArray standardsA = "2.00;1.00;3.00;0.00;0.00;6.00;\r\n1.00;1.00;1.00;0.00;0.00;0.60;";

int questionCount(const Workbook &wb)
{
    int count = 0;
    for (const auto &message : wb.recorder.shown)
        count += message.kind == messages::Kind::Question ? 1 : 0;
    return count;
}

QStringList entries(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

void TstOpenSave::initTestCase()
{
    setUpApplication();
}

void TstOpenSave::saveClassPage_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("testName");
    QTest::addColumn<QStringList>("pupils");
    QTest::addColumn<bool>("computed");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<QByteArray>("report");

    const QByteArray scoreLines =
        "L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3;\r\n1;A1;T;1;0;2;\r\n2; ;T;1;1; ;\r\n";
    const QByteArray summaryHeading = "L.p.;Kod ucznia;Ob.;Czyt.;Pis.;Rozum.;Korz.;Wiedza;Razem;\r\n";
    const QByteArray emptySummary = "1; ; ; ; ; ; ; ; ;\r\n2; ; ; ; ; ; ; ; ;\r\n";
    const QByteArray classCaption = "Wyniki uczni\xF3w za poszczeg\xF3lne zadania - Klasa VI A\r\n";

    QTest::newRow("before Compute") << u"Klasa VI A"_s << u"Test"_s
                                    << QStringList{u"A1;T;1;0;2"_s, u";T;1;1;"_s} << false
                                    << build::answersFile(3, {u"A1;T;1;0;2"_s, u";T;1;1;"_s})
                                    << reportTop + classCaption + scoreLines + summaryCaptionBytes +
                                           summaryHeading + emptySummary;
    QTest::newRow("after Compute") << u"Klasa VI A"_s << u"Test"_s
                                   << QStringList{u"A1;T;1;0;2"_s, u";T;1;1;"_s} << true
                                   << build::answersFile(3, {u"A1;T;1;0;2"_s, u";T;1;1;"_s})
                                   << reportTop + classCaption + scoreLines + summaryCaptionBytes +
                                          summaryHeading + "1;A1;T;1;0;2;0;0;3;\r\n2; ;T;1;1;0;0;0;2;\r\n";
    QTest::newRow("points out of range, absent pupil")
        << u"Klasa VI A"_s << u"Test"_s << QStringList{u"A1;N;5;-3;x"_s, u"B2;T;-;;"_s} << false
        << build::answersFile(3, {u"A1;N;5;-3;x"_s, u"B2;T;-;;"_s})
        << reportTop + classCaption +
               "L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3;\r\n1;A1;N;5;-3;x;\r\n2;B2;T;-; ; ;\r\n" +
               summaryCaptionBytes + summaryHeading + emptySummary;
    QTest::newRow("Polish texts")
        << u"Klasa VI Ż"_s << u"Sprawdzian szóstoklasisty"_s
        << QStringList{u"Łukasz;T;1;0;2"_s, u"Ćma;N;;;"_s} << false
        << build::answersFile(3, {u"Łukasz;T;1;0;2"_s, u"Ćma;N;;;"_s})
        << QByteArray(
               "Wyniki uczni\xF3w z testu Sprawdzian sz\xF3stoklasisty\r\nData: 2003-12-12\r\n\r\n"
               "Wyniki uczni\xF3w za poszczeg\xF3lne zadania - Klasa VI \xAF\r\n"
               "L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3;\r\n1;\xA3ukasz;T;1;0;2;\r\n2;\xC6ma;N; ; ; ;\r\n") +
               summaryCaptionBytes + summaryHeading + emptySummary;
}

// Another computer on the same school folder, as a second session: it saves the class while the
// window's page is open. The window asks before writing anything, and does what the teacher chose.
void TstOpenSave::anotherComputerSavedTheClass()
{
    Workbook wb(makeTest());
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"2"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    SchoolSession other;
    QVERIFY(other.openSchool(wb.school()).ok);
    other.loadClassPage(0);
    const QStringList ours{u"A1;T;1;0;2"_s, u"B2;T;0;0;0"_s};
    WB_CHECK(typeScores(wb.upper(), ours));
    QVERIFY(QFileInfo::exists(wb.school(u"Klasa VI A/Blokada.ini"_s)));
    QVERIFY(other.typingElsewhere(0).startsWith(u"Klasę Klasa VI A wpisuje teraz "_s));
    GridRows theirs = other.newScoreSheet(0);
    theirs[1][1] = u"Z9"_s;
    theirs[1][3] = u"1"_s;
    other.putScores(0, theirs);
    QVERIFY(other.compute(0).ok);
    const QString answers = wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s);
    const QByteArray theirFile = readBytes(answers);

    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::Cancel};
    WB_CHECK(wb.press("bOblicz"));
    QCOMPARE(wb.recorder.shown.size(), 1);
    const messages::Message question = wb.recorder.shown[0];
    QVERIFY2(question.text.startsWith(u"Wyniki klasy Klasa VI A zapisano na innym komputerze (dziś o "_s),
             qPrintable(question.text));
    QCOMPARE(question.yesText, u"Wczytać tamte wyniki"_s);
    QCOMPARE(question.noText, u"Zastąpić je moimi"_s);
    QVERIFY(question.buttons.testFlag(QMessageBox::Cancel));
    QCOMPARE(readBytes(answers), theirFile);

    // "Zastąpić je moimi": the page's rows are written, and the lock goes.
    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::No};
    WB_CHECK(wb.press("bOblicz"));
    QCOMPARE(wb.recorder.shown.size(), 1);
    QCOMPARE(readBytes(answers), build::answersFile(3, ours));
    QVERIFY(!QFileInfo::exists(wb.school(u"Klasa VI A/Blokada.ini"_s)));

    // The other saves again; "Wczytać tamte wyniki" on Zapisz shows its rows and writes nothing.
    other.keepMine(0);
    QVERIFY(other.compute(0).ok);
    WB_CHECK(typeIntoCell(wb.upper(), 3, 2, u"1"_s));
    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::Yes};
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(wb.recorder.shown.size(), 1);
    QCOMPARE(wb.upper()->cell(1, 1), u"Z9"_s);
    QVERIFY(wb.upper()->cell(3, 2) != u"1"_s);
    QCOMPARE(readBytes(answers), theirFile);
    QVERIFY(!QFileInfo::exists(wb.school(u"Klasa VI A/Wyniki uczniów.csv"_s)));
}

// Another computer typing the class when the window's page opens: read it only, or take it over.
void TstOpenSave::anotherComputerTypesTheClass()
{
    Workbook wb(makeTest());
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"2"_s}));
    SchoolSession other;
    QVERIFY(other.openSchool(wb.school()).ok);
    other.loadClassPage(0);
    QVERIFY(other.startTyping(0).isEmpty());

    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::Yes};
    WB_CHECK(wb.go({u"next"_s}));
    QCOMPARE(wb.recorder.shown.size(), 1);
    const messages::Message question = wb.recorder.shown[0];
    QVERIFY2(question.text.startsWith(u"Klasę Klasa VI A wpisuje teraz "_s), qPrintable(question.text));
    QCOMPARE(question.yesText, u"Tylko do odczytu"_s);
    QCOMPARE(question.noText, u"Przejmij"_s);
    QVERIFY(!wb.upper()->editingEnabled());
    QVERIFY(!wb.button("bOblicz")->isEnabled());

    // Back again, taken over: the page can be typed, and the lock is the window's.
    WB_CHECK(wb.go({u"next"_s}));
    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::No};
    WB_CHECK(wb.go({u"back"_s}));
    QCOMPARE(wb.recorder.shown.size(), 1);
    QVERIFY(wb.upper()->editingEnabled());
    QVERIFY(wb.button("bOblicz")->isEnabled());
    QVERIFY(other.typingElsewhere(0).startsWith(u"Klasę Klasa VI A wpisuje teraz "_s));
    // Leaving the page gives the class free.
    WB_CHECK(wb.go({u"next"_s}));
    QVERIFY(!QFileInfo::exists(wb.school(u"Klasa VI A/Blokada.ini"_s)));
}

void TstOpenSave::saveClassPage()
{
    QFETCH(QString, label);
    QFETCH(QString, testName);
    QFETCH(QStringList, pupils);
    QFETCH(bool, computed);
    QFETCH(QByteArray, answers);
    QFETCH(QByteArray, report);

    TestDefinition test = makeTest();
    test.testName = testName;
    Workbook wb(test);
    WB_CHECK(wb.accept({label, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(typeScores(wb.upper(), pupils));
    if (computed) {
        WB_CHECK(wb.press("bOblicz"));
        QVERIFY(wb.recorder.shown.isEmpty());
    }
    const QList<QStringList> before = gridCells(wb.upper());
    WB_CHECK(wb.press("sbZapisz"));

    QCOMPARE(wb.shownTexts(), QStringList{u"Wyniki uczniów zostały zapisane!"_s});
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Plain);
    QCOMPARE(readBytes(wb.school(label + u"/Odpowiedzi.tmp"_s)), answers);
    QCOMPARE(readBytes(wb.school(label + u"/Wyniki uczniów.csv"_s)), report);
    QCOMPARE(gridCells(wb.upper()), before);
    // Nothing of the other class's or the school's.
    QCOMPARE(entries(wb.school(u"Klasa VI B"_s)), QStringList());
    QCOMPARE(entries(wb.school(u"Szkoła"_s)), QStringList());
}

void TstOpenSave::saveSchoolPage()
{
    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI A"_s, tasksA, standardsA));
    WB_CHECK(wb.go({u"tab 3"_s}));
    WB_CHECK(wb.press("sbZapisz"));

    QCOMPARE(wb.shownTexts(), QStringList{u"Wyniki zostały zapisane!"_s});
    QCOMPARE(readBytes(wb.school(u"Szkoła/Szkola.tmp"_s)),
             QByteArray("L.p.;Nr. zadania;-;Zad.1;Zad.2;Zad.3;\r\n"
                        "1;Klasa VI A - \x8Cr.;-;2.00;1.00;3.00;\r\n"
                        "2;Klasa VI A - \xA3"
                        "a.;-;0.67;1.00;1.00;\r\n"
                        "3;Klasa VI B - \x8Cr.;-;-;-;-;\r\n"
                        "4;Klasa VI B - \xA3"
                        "a.;-;-;-;-;\r\n"
                        "5;Szko\xB3"
                        "a - \x8Cr.;-;2.00;1.00;3.00;\r\n"
                        "6;Szko\xB3"
                        "a - \xA3"
                        "a.;-;0.67;1.00;1.00;"));
    QCOMPARE(readBytes(wb.school(u"Szkoła/Podsumowanie wyników.csv"_s)),
             reportTop +
                 QByteArray("Podsumowanie\r\n"
                            "L.p.;Nr. zadania; ;Zad.1;Zad.2;Zad.3;\r\n"
                            "1;Klasa VI A - \x8Cr.; ;2.00;1.00;3.00;\r\n"
                            "2;Klasa VI A - \xA3"
                            "a.; ;0.67;1.00;1.00;\r\n"
                            "3;Klasa VI B - \x8Cr.; ; ; ; ;\r\n"
                            "4;Klasa VI B - \xA3"
                            "a.; ; ; ; ;\r\n"
                            "5;Szko\xB3"
                            "a - \x8Cr.; ;2.00;1.00;3.00;\r\n"
                            "6;Szko\xB3"
                            "a - \xA3"
                            "a.; ;0.67;1.00;1.00;\r\n") +
                 summaryCaptionBytes +
                 QByteArray("L.p.;Nr. zadania; ;Czyt.;Pis.;Rozum.;Korz.;Wiedza;Razem;\r\n"
                            "1;Klasa VI A - \x8Cr.; ;2.00;1.00;3.00;0.00;0.00;6.00;\r\n"
                            "2;Klasa VI A - \xA3"
                            "a.; ;1.00;1.00;1.00;0.00;0.00;0.60;\r\n"
                            "3;Klasa VI B - \x8Cr.; ; ; ; ; ; ; ;\r\n"
                            "4;Klasa VI B - \xA3"
                            "a.; ; ; ; ; ; ; ;\r\n"
                            "5;Szko\xB3"
                            "a - \x8Cr.; ;2.00;1.00;3.00;0.00;0.00;6.00;\r\n"
                            "6;Szko\xB3"
                            "a - \xA3"
                            "a.; ;1.00;1.00;1.00;0.00;0.00;0.60;\r\n"));
    // Save leaves the class files alone.
    QCOMPARE(entries(wb.school(u"Klasa VI A"_s)), QStringList({u"Standardy.tmp"_s, u"Zadania.tmp"_s}));
    QCOMPARE(entries(wb.school(u"Klasa VI B"_s)), QStringList());
}

void TstOpenSave::saveThenOpenSchoolPage()
{
    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI A"_s, tasksA, standardsA));
    WB_CHECK(wb.go({u"next"_s, u"next"_s, u"next"_s}));
    const QList<QStringList> upper = gridCells(wb.upper());
    const QList<QStringList> lower = gridCells(wb.lower());
    WB_CHECK(wb.press("sbZapisz"));

    for (int r = 1; r < wb.upper()->rowCount(); ++r)
        for (int c = 3; c < wb.upper()->colCount(); ++c)
            wb.upper()->setCell(c, r, u"9.99"_s);
    wb.recorder.clear();
    WB_CHECK(wb.press("sbOtworz"));

    QVERIFY(wb.recorder.shown.isEmpty());
    // Empty cells went to the file as "-" and come back so.
    QList<QStringList> expected = upper;
    for (QStringList &row : expected)
        for (QString &cell : row)
            cell = cell.isEmpty() ? u"-"_s : cell;
    QCOMPARE(gridCells(wb.upper()), expected);
    QCOMPARE(gridCells(wb.lower()), lower);
    QCOMPARE(wb.window.currentPage(), 3);
}

void TstOpenSave::openClassPage_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: none
    QTest::addColumn<QList<QStringList>>("grid");

    QTest::newRow("file covers part of the grid")
        << QByteArray("Nr;Kod;Obecny;Z1;Z2;Z3;\r\n1;A1;N;2;-;1;\r\n2;B2;t;")
        << QList<QStringList>{cells(u"Nr;Kod;Obecny;Z1;Z2;Z3"_s), cells(u"1;A1;N;2;-;1"_s),
                              cells(u"2;B2;t;;1;"_s), cells(u"3;C3;T;;;"_s)};
    QTest::newRow("no file") << QByteArray()
                             << QList<QStringList>{cells(u"L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3"_s),
                                                   cells(u"1;;T;1;;"_s), cells(u"2;;T;;1;"_s),
                                                   cells(u"3;C3;T;;;"_s)};
}

void TstOpenSave::openClassPage()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<QStringList>, grid);

    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    if (!file.isEmpty())
        QVERIFY(writeBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s), file));
    WB_CHECK(typeIntoCell(wb.upper(), 3, 1, u"1"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 4, 2, u"1"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 1, 3, u"C3"_s));
    WB_CHECK(wb.press("sbOtworz"));

    QVERIFY(wb.recorder.shown.isEmpty());
    WB_CHECK(compareGrid(wb.upper(), grid));
    QCOMPARE(wb.window.currentPage(), 1);
}

void TstOpenSave::setupPageBeforeAcceptance_data()
{
    QTest::addColumn<QString>("fileAt"); // relative to the chosen location; empty: no file
    QTest::addColumn<QString>("count");
    QTest::addColumn<QList<QStringList>>("list");

    const QList<QStringList> defaults{cells(u"L.p.;Klasy;Liczba uczniów"_s), cells(u"1;Klasa 1;15"_s)};
    QTest::newRow("school file at the location")
        << u"Szkola.ini"_s << u"3"_s
        << QList<QStringList>{cells(u"L.p.;Klasa;Liczba uczniów"_s), cells(u"1;Klasa VI Ż;20"_s),
                              cells(u"2;Klasa VI B;21"_s), cells(u"3;Klasa 3;15"_s)};
    QTest::newRow("school file only under the typed name") << u"Szkola1/Szkola.ini"_s << u"1"_s << defaults;
    QTest::newRow("no school file") << QString() << u"1"_s << defaults;
}

void TstOpenSave::setupPageBeforeAcceptance()
{
    QFETCH(QString, fileAt);
    QFETCH(QString, count);
    QFETCH(QList<QStringList>, list);

    Workbook wb;
    if (!fileAt.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(wb.path(fileAt)).path()));
        // Three classes, but sections for only two of them.
        QVERIFY(writeBytes(wb.path(fileAt),
                           build::schoolIni(3, {u"Klasa VI Ż"_s, u"Klasa VI B"_s}, {u"20"_s, u"21"_s})));
    }
    WB_CHECK(wb.chooseLocation(wb.location.path()));
    WB_CHECK(typeInto(wb.edit("eLiczbaKlas"), u"2"_s));
    WB_CHECK(typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
    const QStringList before = entries(wb.location.path());

    WB_CHECK(wb.press("sbZapisz"));
    QVERIFY(wb.recorder.shown.isEmpty());
    QCOMPARE(entries(wb.location.path()), before);

    WB_CHECK(wb.press("sbOtworz"));
    QVERIFY(wb.recorder.shown.isEmpty());
    QCOMPARE(entries(wb.location.path()), before);
    QCOMPARE(wb.edit("eLiczbaKlas")->text(), count);
    QCOMPARE(wb.window.classCount(), count.toInt());
    WB_CHECK(compareGrid(wb.upper(), list));
    QCOMPARE(columnWidths(wb.upper()), QList<int>({25, 65, 80}));
    QCOMPARE(wb.label("static1")->text(), u"Liczba klas - liczba uczniów w danej klasie"_s);
    QVERIFY(!wb.lower()->isVisible());
    QVERIFY(!wb.label("static2")->isVisible());
    QVERIFY(wb.upper()->editingEnabled());
    QVERIFY(wb.button("bAkceptuj")->isEnabled());
    QCOMPARE(wb.window.pageCount(), 1);
}

void TstOpenSave::acceptAfterOpen()
{
    Workbook wb;
    const QByteArray schoolFile = build::schoolIni(2, {u"Klasa 6a"_s, u"Klasa 6b"_s}, {u"24"_s, u"25"_s});
    QVERIFY(writeBytes(wb.path(u"Szkola.ini"_s), schoolFile));
    WB_CHECK(wb.chooseLocation(wb.location.path()));
    WB_CHECK(wb.press("sbOtworz"));
    WB_CHECK(typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
    WB_CHECK(wb.press("bAkceptuj"));

    QVERIFY(wb.recorder.shown.isEmpty());
    QCOMPARE(wb.window.session().classLabels(), QStringList({u"Klasa 6a"_s, u"Klasa 6b"_s}));
    QCOMPARE(wb.window.session().pupilCounts(), QList<qint32>({24, 25}));
    QCOMPARE(readBytes(wb.school(u"Szkola.ini"_s)), schoolFile);
    QVERIFY(QFileInfo(wb.school(u"Klasa 6b"_s)).isDir());
}

void TstOpenSave::failedSave_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("blocked");     // replaced by a regular file, or made a directory
    QTest::addColumn<QStringList>("written"); // what is still written
    QTest::addColumn<QString>("message");     // one, whatever number of files failed

    const QString one = u"Nie mogę zapisać pliku!"_s;
    QTest::newRow("class directory gone")
        << 1 << u"Klasa VI A"_s << QStringList()
        << one + u" Nie zapisano: Odpowiedzi.tmp, Wyniki uczniów.csv, Wyniki uczniów.xlsx."_s;
    QTest::newRow("class report blocked")
        << 1 << u"Klasa VI A/Wyniki uczniów.csv"_s << QStringList{u"Klasa VI A/Odpowiedzi.tmp"_s} << one;
    QTest::newRow("class answers blocked")
        << 1 << u"Klasa VI A/Odpowiedzi.tmp"_s << QStringList{u"Klasa VI A/Wyniki uczniów.csv"_s} << one;
    QTest::newRow("school directory gone")
        << 3 << u"Szkoła"_s << QStringList()
        << one + u" Nie zapisano: Szkola.tmp, Podsumowanie wyników.csv, Podsumowanie wyników.xlsx."_s;
    QTest::newRow("school report blocked")
        << 3 << u"Szkoła/Podsumowanie wyników.csv"_s << QStringList{u"Szkoła/Szkola.tmp"_s} << one;
    QTest::newRow("school grid file blocked")
        << 3 << u"Szkoła/Szkola.tmp"_s << QStringList{u"Szkoła/Podsumowanie wyników.csv"_s} << one;
}

void TstOpenSave::failedSave()
{
    QFETCH(int, page);
    QFETCH(QString, blocked);
    QFETCH(QStringList, written);
    QFETCH(QString, message);

    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.go({u"tab %1"_s.arg(page)}));
    const QString path = wb.school(blocked);
    if (QFileInfo(path).isDir()) {
        QVERIFY(QDir(path).removeRecursively());
        QVERIFY(writeBytes(path, "not a directory"));
    } else {
        QVERIFY(QDir().mkpath(path));
    }
    WB_CHECK(wb.press("sbZapisz"));

    QCOMPARE(wb.recorder.shown.size(), 1);
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::FileError);
    QCOMPARE(wb.recorder.shown[0].caption, u"File Error"_s);
    QCOMPARE(wb.recorder.shown[0].text.section(u"\n\n"_s, 0, 0), message);
    for (const QString &file : std::as_const(written))
        QVERIFY2(QFileInfo(wb.school(file)).isFile(), qPrintable(file));
}

void TstOpenSave::unsavedPointsQuestion_data()
{
    QTest::addColumn<QString>("leave"); // a step of Workbook::go, or "close"
    QTest::addColumn<int>("target");    // the page reached; -1 the window closed
    QTest::addColumn<int>("answer");

    const QList<std::pair<QString, int>> ways{
        {u"next"_s, 2}, {u"back"_s, 0}, {u"tab 0"_s, 0}, {u"tab 3"_s, 3}, {u"close"_s, -1}};
    for (const auto &[leave, target] : ways) {
        QTest::addRow("%s, yes", qPrintable(leave)) << leave << target << int(QMessageBox::Yes);
        QTest::addRow("%s, no", qPrintable(leave)) << leave << target << int(QMessageBox::No);
        QTest::addRow("%s, cancel", qPrintable(leave)) << leave << target << int(QMessageBox::Cancel);
    }
}

void TstOpenSave::unsavedPointsQuestion()
{
    QFETCH(QString, leave);
    QFETCH(int, target);
    QFETCH(int, answer);

    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(typeIntoCell(wb.upper(), 3, 1, u"2"_s));
    const QString answers = wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s);

    wb.recorder.answers = {QMessageBox::StandardButton(answer)};
    if (leave == u"close"_s)
        wb.window.close();
    else
        WB_CHECK(wb.go({leave}));

    QCOMPARE(wb.recorder.shown.size(), 1);
    const messages::Message question = wb.recorder.shown[0];
    QCOMPARE(question.kind, messages::Kind::Question);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY2(question.text.contains(u"Klasa VI A"_s), qPrintable(question.text));

    if (answer == QMessageBox::Cancel) {
        QVERIFY(wb.window.isVisible());
        QCOMPARE(wb.window.currentPage(), 1);
        QCOMPARE(wb.pages()->currentIndex(), 1);
        QCOMPARE(wb.label("static1")->text(), u"Wyniki uczniów za poszczególne zadania - Klasa VI A"_s);
        QCOMPARE(wb.upper()->cell(3, 1), u"2"_s);
        QVERIFY(!QFileInfo::exists(answers));
        // The points are still unsaved: leaving again asks again.
        wb.recorder.answers = {QMessageBox::Cancel};
        WB_CHECK(wb.go({u"next"_s}));
        QCOMPARE(questionCount(wb), 2);
        QCOMPARE(wb.window.currentPage(), 1);
        return;
    }

    if (answer == QMessageBox::Yes)
        QCOMPARE(readBytes(answers), build::answersFile(3, {u";T;2;;"_s, u";T;;;"_s}));
    else
        QVERIFY(!QFileInfo::exists(answers));
    if (target < 0) {
        QVERIFY(!wb.window.isVisible());
        return;
    }
    QCOMPARE(wb.window.currentPage(), target);
    QCOMPARE(wb.pages()->currentIndex(), target);
    WB_CHECK(wb.go({u"tab 1"_s}));
    QCOMPARE(wb.upper()->cell(3, 1), answer == QMessageBox::Yes ? u"2"_s : QString());
    QCOMPARE(questionCount(wb), 1);
}

void TstOpenSave::noQuestion_data()
{
    QTest::addColumn<QString>("before"); // what the teacher does after typing a point
    QTest::addColumn<QString>("leave");
    QTest::addColumn<bool>("asked");

    for (const QString &leave : {u"next"_s, u"tab 0"_s, u"close"_s}) {
        QTest::addRow("page just built, %s", qPrintable(leave)) << u"nothing typed"_s << leave << false;
        QTest::addRow("after Open, %s", qPrintable(leave)) << u"open"_s << leave << false;
        QTest::addRow("after Compute, %s", qPrintable(leave)) << u"compute"_s << leave << false;
        QTest::addRow("after Save, %s", qPrintable(leave)) << u"save"_s << leave << false;
        QTest::addRow("same text typed again, %s", qPrintable(leave)) << u"same text"_s << leave << false;
        QTest::addRow("edit cancelled, %s", qPrintable(leave)) << u"escape"_s << leave << false;
        QTest::addRow("after a refused Compute, %s", qPrintable(leave))
            << u"refused compute"_s << leave << true;
        QTest::addRow("typed after Save, %s", qPrintable(leave)) << u"typed after save"_s << leave << true;
        QTest::addRow("Open finding no file, %s", qPrintable(leave))
            << u"open without file"_s << leave << true;
    }
}

void TstOpenSave::noQuestion()
{
    QFETCH(QString, before);
    QFETCH(QString, leave);
    QFETCH(bool, asked);

    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    StringGrid *scores = wb.upper();
    if (before == u"same text"_s) {
        WB_CHECK(typeIntoCell(scores, 2, 1, u"T"_s));
    } else if (before == u"escape"_s) {
        scores->setFocus();
        scores->setCurrentCell(1, 3);
        typeText(scores, u"2"_s);
        QWidget *editor = scores->indexWidget(scores->currentIndex());
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!scores->indexWidget(scores->currentIndex()));
        QCOMPARE(scores->cell(3, 1), QString());
    } else if (before != u"nothing typed"_s) {
        if (before == u"open"_s)
            WB_CHECK(wb.press("sbZapisz")); // a file for Open to read
        WB_CHECK(typeIntoCell(scores, 3, 1, before == u"refused compute"_s ? u"3"_s : u"2"_s));
        if (before == u"open"_s || before == u"open without file"_s)
            WB_CHECK(wb.press("sbOtworz"));
        else if (before == u"compute"_s || before == u"refused compute"_s)
            WB_CHECK(wb.press("bOblicz"));
        else if (before == u"save"_s || before == u"typed after save"_s)
            WB_CHECK(wb.press("sbZapisz"));
        if (before == u"typed after save"_s)
            WB_CHECK(typeIntoCell(scores, 4, 2, u"1"_s));
    }
    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::No};
    if (leave == u"close"_s)
        wb.window.close();
    else
        WB_CHECK(wb.go({leave}));

    QCOMPARE(questionCount(wb), asked ? 1 : 0);
    QCOMPARE(wb.recorder.shown.size(), asked ? 1 : 0);
    if (leave == u"close"_s)
        QVERIFY(!wb.window.isVisible());
    else
        QCOMPARE(wb.window.currentPage(), leave == u"next"_s ? 2 : 0);
}

void TstOpenSave::answerYesButFileCannotBeWritten_data()
{
    QTest::addColumn<QString>("leave");

    QTest::newRow("Dalej") << u"next"_s;
    QTest::newRow("Wstecz") << u"back"_s;
    QTest::newRow("tab") << u"tab 3"_s;
    QTest::newRow("close") << u"close"_s;
}

void TstOpenSave::answerYesButFileCannotBeWritten()
{
    QFETCH(QString, leave);

    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(typeIntoCell(wb.upper(), 3, 1, u"2"_s));
    QVERIFY(QDir(wb.school(u"Klasa VI A"_s)).removeRecursively());
    QVERIFY(writeBytes(wb.school(u"Klasa VI A"_s), "not a directory"));

    wb.recorder.answers = {QMessageBox::Yes};
    if (leave == u"close"_s)
        wb.window.close();
    else
        WB_CHECK(wb.go({leave}));

    QCOMPARE(wb.recorder.shown.size(), 2);
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Question);
    QCOMPARE(wb.recorder.shown[1].kind, messages::Kind::FileError);
    QCOMPARE(wb.recorder.shown[1].text.section(u"\n\n"_s, 0, 0), u"Nie mogę zapisać pliku!"_s);
    // Nothing is lost: the teacher stays with the points on screen.
    QVERIFY(wb.window.isVisible());
    QCOMPARE(wb.window.currentPage(), 1);
    QCOMPARE(wb.pages()->currentIndex(), 1);
    QCOMPARE(wb.upper()->cell(3, 1), u"2"_s);
}

void TstOpenSave::pointBeingTyped_data()
{
    QTest::addColumn<QString>("action"); // with the cell's editor still open
    QTest::addColumn<int>("questions");
    QTest::addColumn<QStringList>("notices");
    QTest::addColumn<QString>("cellAfter"); // score cell (3, 1) of the page then in view; "-" none

    QTest::newRow("Save") << u"save"_s << 0 << QStringList{u"Wyniki uczniów zostały zapisane!"_s} << u"2"_s;
    QTest::newRow("tab of another class") << u"tab 2"_s << 1 << QStringList() << QString();
    QTest::newRow("tab of the school page") << u"tab 3"_s << 1 << QStringList() << QString();
    QTest::newRow("tab of the setup page") << u"tab 0"_s << 1 << QStringList() << u"-"_s;
    QTest::newRow("close box") << u"close"_s << 1 << QStringList() << u"-"_s;
    QTest::newRow("Dalej") << u"next"_s << 1 << QStringList() << QString();
}

void TstOpenSave::pointBeingTyped()
{
    QFETCH(QString, action);
    QFETCH(int, questions);
    QFETCH(QStringList, notices);
    QFETCH(QString, cellAfter);

    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    wb.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&wb.window));
    StringGrid *grid = wb.upper();
    grid->setFocus();
    grid->setCurrentCell(1, 3);
    typeText(grid, u"2"_s); // and no Enter
    QVERIFY(grid->indexWidget(grid->currentIndex()));

    wb.recorder.answers = {QMessageBox::Yes};
    QTabBar *tabs = wb.pages()->tabBar();
    if (action == u"save"_s)
        QTest::mouseClick(wb.button("sbZapisz"), Qt::LeftButton);
    else if (action == u"next"_s)
        QTest::mouseClick(wb.button("bDalej"), Qt::LeftButton);
    else if (action == u"close"_s)
        wb.window.close();
    else
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(action.mid(4).toInt()).center());
    // The teacher goes on elsewhere.
    if (wb.window.isVisible())
        wb.button("bWstecz")->setFocus();
    QTest::qWait(20);

    QCOMPARE(questionCount(wb), questions);
    QStringList others;
    for (const auto &message : std::as_const(wb.recorder.shown))
        if (message.kind != messages::Kind::Question)
            others.append(message.text);
    QCOMPARE(others, notices);
    QCOMPARE(readBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s)),
             build::answersFile(3, {u";T;2;;"_s, u";T;;;"_s}));
    if (cellAfter != u"-"_s)
        QCOMPARE(grid->cell(3, 1), cellAfter);
    // Nothing typed for class A may reach the page now in view.
    QVERIFY(!wb.window.scoresModified() || wb.window.currentPage() == 1);
}

// The window is taken down while a cell is being edited (the program ends with the workbook open).
static int destroyWhileTyping()
{
    MessageRecorder recorder;
    QTemporaryDir location;
    auto *window = new TfWyniki;
    window->session().useNewSchoolTest(makeTest());
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return 2;
    ui::folderChooser = [&](QWidget *, const QString &, const QString &) { return location.path(); };
    window->bKatalogClick();
    window->findChild<QLineEdit *>(u"eLiczbaKlas"_s)->setText(u"1"_s);
    window->tabela1()->setCell(2, 1, u"2"_s);
    window->findChild<QLineEdit *>(u"eNazwaKatalogu"_s)->setText(u"Szkola1"_s);
    window->bAkceptujClick();
    window->bDalejClick();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return 3;
    StringGrid *grid = window->tabela1();
    grid->setFocus();
    grid->setCurrentCell(1, 3);
    typeText(grid, u"2"_s);
    if (!grid->indexWidget(grid->currentIndex()))
        return 4;
    delete window;
    return 0;
}

void TstOpenSave::closedWhileTyping()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--destroy-while-typing"_s});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--destroy-while-typing") == 0) {
        setUpApplication();
        return destroyWhileTyping();
    }
    TstOpenSave test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_opensave.moc"
