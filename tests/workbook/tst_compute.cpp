// "Oblicz" on a class page: the check of every typed value, the summary grid and the class's
// answers and statistics files.
#include "tests/workbook/workbooktesting.h"

using namespace wb;

class TstCompute : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void computeWritesFiles_data();
    void computeWritesFiles();
    void pointsChecked_data();
    void pointsChecked();
    void faultyPupils_data();
    void faultyPupils();
    void everyPupilAbsent_data();
    void everyPupilAbsent();
    void zeroMaximum_data();
    void zeroMaximum();
    void fewerStandards();
    void hugeMaximaDoNotWrapAround();
    void fileCannotBeWritten_data();
    void fileCannotBeWritten();
};

namespace {

const QByteArray sentinel = "earlier\r\ncontent;";

QString classFile(const Workbook &wb, const QString &name)
{
    return wb.school(u"Klasa VI A/"_s + name);
}

// One class, Klasa VI A, and its page in view.
void enterClass(Workbook &wb, int pupils)
{
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {QString::number(pupils)}));
    WB_CHECK(wb.go({u"next"_s}));
    QCOMPARE(wb.window.currentPage(), 1);
}

void writeSentinels(const Workbook &wb)
{
    for (const QString &name : {u"Odpowiedzi.tmp"_s, u"Zadania.tmp"_s, u"Standardy.tmp"_s})
        QVERIFY(writeBytes(classFile(wb, name), sentinel));
}

void verifyFilesUntouched(const Workbook &wb)
{
    for (const QString &name : {u"Odpowiedzi.tmp"_s, u"Zadania.tmp"_s, u"Standardy.tmp"_s})
        QCOMPARE(readBytes(classFile(wb, name)), sentinel);
}

const QString summaryHeading = u"L.p.;Kod ucznia;Ob.;Czyt.;Pis.;Rozum.;Korz.;Wiedza;Razem"_s;

} // namespace

void TstCompute::initTestCase()
{
    setUpApplication();
}

void TstCompute::computeWritesFiles_data()
{
    QTest::addColumn<QList<qint32>>("maxima");
    QTest::addColumn<QList<qint32>>("standards");
    QTest::addColumn<QStringList>("pupils");
    QTest::addColumn<QStringList>("summary");
    QTest::addColumn<QByteArray>("tasksFile");
    QTest::addColumn<QByteArray>("standardsFile");

    using L = QList<qint32>;
    QTest::newRow("one pupil absent")
        << L{2, 1, 3} << L{1, 2, 3} << QStringList{u"P1;T;1;;"_s, u"P2;T;2;;"_s, u"P3;T;2;;"_s, u"P4;N;0;;"_s}
        << QStringList{u"1;P1;T;1;0;0;0;0;1"_s, u"2;P2;T;2;0;0;0;0;2"_s, u"3;P3;T;2;0;0;0;0;2"_s,
                       u"4;P4;N;--;--;--;--;--;--"_s}
        << QByteArray("1.67;0.00;0.00;\r\n0.83;0.00;0.00;")
        << QByteArray("1.67;0.00;0.00;0.00;0.00;1.67;\r\n0.83;0.00;0.00;0.00;0.00;0.17;");
    QTest::newRow("tasks sharing a standard")
        << L{2, 1, 3} << L{1, 2, 1} << QStringList{u"A;T;2;1;3"_s, u"B;t;0;1;1"_s, u"C;T;1;0;2"_s}
        << QStringList{u"1;A;T;5;1;0;0;0;6"_s, u"2;B;t;1;1;0;0;0;2"_s, u"3;C;T;3;0;0;0;0;3"_s}
        << QByteArray("1.00;0.67;2.00;\r\n0.50;0.67;0.67;")
        << QByteArray("3.00;0.67;0.00;0.00;0.00;3.67;\r\n1.50;0.67;0.00;0.00;0.00;0.37;");
    QTest::newRow("standards four and five")
        << L{2, 1, 3} << L{4, 5, 5} << QStringList{u"A;T;2;1;3"_s, u"B;T;0;0;0"_s}
        << QStringList{u"1;A;T;0;0;0;2;4;6"_s, u"2;B;T;0;0;0;0;0;0"_s}
        << QByteArray("1.00;0.50;1.50;\r\n0.50;0.50;0.50;")
        << QByteArray("0.00;0.00;0.00;1.00;2.00;3.00;\r\n0.00;0.00;0.00;0.25;0.40;0.30;");
    for (const qint32 outside : {6, 0, -1}) {
        QTest::addRow("task in standard %d", outside)
            << L{2, 1, 3} << L{1, 2, outside} << QStringList{u"A;T;2;1;3"_s}
            << QStringList{u"1;A;T;2;1;0;0;0;3"_s} << QByteArray("2.00;1.00;3.00;\r\n1.00;1.00;1.00;")
            << QByteArray("2.00;1.00;0.00;0.00;0.00;3.00;\r\n1.00;1.00;0.00;0.00;0.00;0.30;");
    }
    QTest::newRow("attendance marks")
        << L{2, 1, 3} << L{1, 2, 3}
        << QStringList{u"A;t;2;0;0"_s, u"B;tak;1;0;0"_s, u"C;1;1;0;0"_s,  u"D;;1;0;0"_s,
                       u"E;N;1;0;0"_s, u"F;n;1;0;0"_s,   u"G; T;1;0;0"_s, u"H;T;0;1;0"_s}
        << QStringList{u"1;A;t;2;0;0;0;0;2"_s,        u"2;B;tak;--;--;--;--;--;--"_s,
                       u"3;C;1;--;--;--;--;--;--"_s,  u"4;D;;--;--;--;--;--;--"_s,
                       u"5;E;N;--;--;--;--;--;--"_s,  u"6;F;n;--;--;--;--;--;--"_s,
                       u"7;G; T;--;--;--;--;--;--"_s, u"8;H;T;0;1;0;0;0;1"_s}
        << QByteArray("1.00;0.50;0.00;\r\n0.50;0.50;0.00;")
        << QByteArray("1.00;0.50;0.00;0.00;0.00;1.50;\r\n0.50;0.50;0.00;0.00;0.00;0.15;");
    QTest::newRow("empty forms of zero")
        << L{2, 1, 3} << L{1, 2, 3} << QStringList{u"A;T;-; ;"_s, u"B;T;$2;0x1;+3"_s}
        << QStringList{u"1;A;T;0;0;0;0;0;0"_s, u"2;B;T;2;1;3;0;0;6"_s}
        << QByteArray("1.00;0.50;1.50;\r\n0.50;0.50;0.50;")
        << QByteArray("1.00;0.50;1.50;0.00;0.00;3.00;\r\n0.50;0.50;0.50;0.00;0.00;0.30;");
}

void TstCompute::computeWritesFiles()
{
    QFETCH(QList<qint32>, maxima);
    QFETCH(QList<qint32>, standards);
    QFETCH(QStringList, pupils);
    QFETCH(QStringList, summary);
    QFETCH(QByteArray, tasksFile);
    QFETCH(QByteArray, standardsFile);

    Workbook wb(makeTest(maxima, standards));
    WB_CHECK(enterClass(wb, int(pupils.size())));
    WB_CHECK(typeScores(wb.upper(), pupils));
    const QList<QStringList> scores = gridCells(wb.upper());

    WB_CHECK(wb.press("bOblicz"));

    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    QCOMPARE(wb.window.session().badPupilCount(), 0);
    QCOMPARE(gridCells(wb.upper()), scores);
    QList<QStringList> expectedSummary{cells(summaryHeading)};
    for (const QString &row : std::as_const(summary))
        expectedSummary.append(cells(row));
    WB_CHECK(compareGrid(wb.lower(), expectedSummary));
    QCOMPARE(readBytes(classFile(wb, u"Odpowiedzi.tmp"_s)), build::answersFile(3, pupils));
    QCOMPARE(readBytes(classFile(wb, u"Zadania.tmp"_s)), tasksFile);
    QCOMPARE(readBytes(classFile(wb, u"Standardy.tmp"_s)), standardsFile);
}

void TstCompute::pointsChecked_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("value"); // typed into task 2, worth 1 point
    QTest::addColumn<int>("outcome");   // 0 accepted, 1 refused as points, 2 no whole number
    QTest::addColumn<QString>("points");

    QTest::newRow("maximum") << u"T"_s << u"1"_s << 0 << u"1"_s;
    QTest::newRow("zero") << u"T"_s << u"0"_s << 0 << u"0"_s;
    QTest::newRow("empty") << u"T"_s << QString() << 0 << u"0"_s;
    QTest::newRow("one blank") << u"T"_s << u" "_s << 0 << u"0"_s;
    QTest::newRow("minus sign") << u"T"_s << u"-"_s << 0 << u"0"_s;
    QTest::newRow("hexadecimal $") << u"T"_s << u"$1"_s << 0 << u"1"_s;
    QTest::newRow("hexadecimal 0x") << u"T"_s << u"0x1"_s << 0 << u"1"_s;
    QTest::newRow("hexadecimal x") << u"T"_s << u"x1"_s << 0 << u"1"_s;
    QTest::newRow("plus sign") << u"T"_s << u"+1"_s << 0 << u"1"_s;
    QTest::newRow("leading blank") << u"T"_s << u" 1"_s << 0 << u"1"_s;
    QTest::newRow("one above the maximum") << u"T"_s << u"2"_s << 1 << QString();
    QTest::newRow("far above") << u"T"_s << u"100"_s << 1 << QString();
    QTest::newRow("hexadecimal above") << u"T"_s << u"$2"_s << 1 << QString();
    QTest::newRow("negative") << u"T"_s << u"-1"_s << 1 << QString();
    QTest::newRow("most negative") << u"T"_s << u"-2147483648"_s << 1 << QString();
    QTest::newRow("absent pupil above the maximum") << u"N"_s << u"2"_s << 1 << QString();
    QTest::newRow("fraction") << u"T"_s << u"1.5"_s << 2 << QString();
    QTest::newRow("decimal comma") << u"T"_s << u"1,5"_s << 2 << QString();
    QTest::newRow("trailing blank") << u"T"_s << u"1 "_s << 2 << QString();
    QTest::newRow("two blanks") << u"T"_s << u"  "_s << 2 << QString();
    QTest::newRow("letters") << u"T"_s << u"ab"_s << 2 << QString();
    QTest::newRow("beyond 32 bits") << u"T"_s << u"4294967296"_s << 2 << QString();
}

void TstCompute::pointsChecked()
{
    QFETCH(QString, mark);
    QFETCH(QString, value);
    QFETCH(int, outcome);
    QFETCH(QString, points);

    Workbook wb;
    WB_CHECK(enterClass(wb, 2));
    WB_CHECK(writeSentinels(wb));
    const QStringList pupils{u"A1;%1;1;%2;2"_s.arg(mark, value), u"B2;T;0;0;0"_s};
    WB_CHECK(typeScores(wb.upper(), pupils));
    WB_CHECK(wb.press("bOblicz"));

    switch (outcome) {
    case 0:
        QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
        QCOMPARE(wb.lower()->cell(4, 1), points);
        QCOMPARE(readBytes(classFile(wb, u"Odpowiedzi.tmp"_s)), build::answersFile(3, pupils));
        // Task 2's average over the two pupils.
        QVERIFY(readBytes(classFile(wb, u"Zadania.tmp"_s))
                    .startsWith(points == u"1"_s ? "0.50;0.50;" : "0.50;0.00;"));
        break;
    case 1:
        QCOMPARE(wb.shownTexts(),
                 QStringList{u"Dla ucznia o kodzie A1, w zadaniu Zad.2 wprowadzono złą liczbę punktów!"_s});
        QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Plain);
        QCOMPARE(wb.window.session().badPupilCount(), 1);
        WB_CHECK(verifyFilesUntouched(wb));
        QCOMPARE(wb.lower()->cell(4, 1), QString());
        break;
    default:
        QCOMPARE(wb.shownTexts(), QStringList{u"'%1' is not a valid integer value"_s.arg(value)});
        QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Error);
        WB_CHECK(verifyFilesUntouched(wb));
        QCOMPARE(wb.lower()->cell(4, 1), QString());
        break;
    }
}

void TstCompute::faultyPupils_data()
{
    QTest::addColumn<QStringList>("points"); // six pupils, "task 1;task 2;task 3" (maxima 2, 1, 3)
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("refreshed");

    const auto message = [](int pupil, int task) {
        return u"Dla ucznia o kodzie U%1, w zadaniu Zad.%2 wprowadzono złą liczbę punktów!"_s.arg(pupil).arg(
            task);
    };
    QTest::newRow("pupils 2 and 5") << QStringList{u"1;0;0"_s, u"1;5;4"_s,  u"1;1;1"_s,
                                                   u"1;0;0"_s, u"0;0;-1"_s, u"2;1;3"_s}
                                    << QStringList{message(2, 2), message(5, 3)} << 1;
    QTest::newRow("first pupil") << QStringList{u"3;2;9"_s, u"1;0;0"_s, u"1;0;0"_s,
                                                u"1;0;0"_s, u"1;0;0"_s, u"1;0;0"_s}
                                 << QStringList{message(1, 1)} << 0;
    QTest::newRow("last pupil") << QStringList{u"1;0;0"_s, u"2;1;3"_s, u"1;1;1"_s,
                                               u"1;0;0"_s, u"0;0;0"_s, u"2;0;4"_s}
                                << QStringList{message(6, 3)} << 5;
    QTest::newRow("every pupil") << QStringList(6, u"1;-2;0"_s)
                                 << QStringList{message(1, 2), message(2, 2), message(3, 2),
                                                message(4, 2), message(5, 2), message(6, 2)}
                                 << 0;
}

void TstCompute::faultyPupils()
{
    QFETCH(QStringList, points);
    QFETCH(QStringList, messages);
    QFETCH(int, refreshed);

    Workbook wb;
    WB_CHECK(enterClass(wb, 6));
    QStringList zeros;
    for (int r = 1; r <= 6; ++r)
        zeros.append(u"U%1;T;0;0;0"_s.arg(r));
    WB_CHECK(typeScores(wb.upper(), zeros));
    WB_CHECK(wb.press("bOblicz"));
    QVERIFY(wb.recorder.shown.isEmpty());
    const QByteArray answers = readBytes(classFile(wb, u"Odpowiedzi.tmp"_s));
    const QByteArray tasks = readBytes(classFile(wb, u"Zadania.tmp"_s));
    const QByteArray standards = readBytes(classFile(wb, u"Standardy.tmp"_s));

    QStringList pupils;
    for (int r = 1; r <= 6; ++r)
        pupils.append(u"U%1;T;"_s.arg(r) + points[r - 1]);
    WB_CHECK(typeScores(wb.upper(), pupils));
    WB_CHECK(wb.press("bOblicz"));

    QCOMPARE(wb.shownTexts(), messages);
    QCOMPARE(wb.window.session().badPupilCount(), int(messages.size()));
    QList<QStringList> expected{cells(summaryHeading)};
    for (int r = 1; r <= 6; ++r) {
        if (r <= refreshed) {
            const QStringList p = points[r - 1].split(u';');
            const int total = p[0].toInt() + p[1].toInt() + p[2].toInt();
            expected.append(cells(u"%1;U%1;T;%2;%3;%4;0;0;%5"_s.arg(r).arg(p[0], p[1], p[2]).arg(total)));
        } else {
            expected.append(cells(u"%1;U%1;T;0;0;0;0;0;0"_s.arg(r)));
        }
    }
    WB_CHECK(compareGrid(wb.lower(), expected));
    QCOMPARE(readBytes(classFile(wb, u"Odpowiedzi.tmp"_s)), answers);
    QCOMPARE(readBytes(classFile(wb, u"Zadania.tmp"_s)), tasks);
    QCOMPARE(readBytes(classFile(wb, u"Standardy.tmp"_s)), standards);
}

void TstCompute::everyPupilAbsent_data()
{
    QTest::addColumn<bool>("computedBefore");

    QTest::newRow("after an earlier Compute") << true;
    QTest::newRow("first Compute") << false;
}

void TstCompute::everyPupilAbsent()
{
    QFETCH(bool, computedBefore);

    Workbook wb;
    WB_CHECK(enterClass(wb, 2));
    if (computedBefore)
        WB_CHECK(writeSentinels(wb));
    const QStringList pupils{u"A1;N;1;1;1"_s, u"B2;nie;0;0;0"_s};
    WB_CHECK(typeScores(wb.upper(), pupils));
    WB_CHECK(wb.press("bOblicz"));

    QCOMPARE(wb.shownTexts(), QStringList{u"Invalid floating point operation"_s});
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Error);
    QCOMPARE(readBytes(classFile(wb, u"Odpowiedzi.tmp"_s)), build::answersFile(3, pupils));
    for (const QString &name : {u"Zadania.tmp"_s, u"Standardy.tmp"_s}) {
        if (computedBefore)
            QCOMPARE(readBytes(classFile(wb, name)), sentinel);
        else
            QVERIFY2(!QFileInfo::exists(classFile(wb, name)), qPrintable(name));
    }
    WB_CHECK(compareGrid(wb.lower(), {cells(summaryHeading), cells(u"1;A1;N;--;--;--;--;--;--"_s),
                                      cells(u"2;B2;nie;--;--;--;--;--;--"_s)}));
}

void TstCompute::zeroMaximum_data()
{
    QTest::addColumn<QList<qint32>>("taskMaxima");
    QTest::addColumn<QList<qint32>>("standardMaxima");
    QTest::addColumn<qint32>("maxTotal");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("tasksFile"); // empty: left as it was

    using L = QList<qint32>;
    const QString invalid = u"Invalid floating point operation"_s;
    const QString byZero = u"Floating point division by zero"_s;
    QTest::newRow("task worth nothing")
        << L{0, 1, 3} << L{2, 1, 3, 4, 5} << 10 << u"0;1;3"_s << invalid << QByteArray();
    QTest::newRow("standard worth nothing, points scored")
        << L{2, 1, 3} << L{0, 1, 3, 4, 5} << 10 << u"2;1;3"_s << byZero
        << QByteArray("2.00;1.00;3.00;\r\n1.00;1.00;1.00;");
    QTest::newRow("standard worth nothing, no points")
        << L{2, 1, 3} << L{2, 0, 3, 4, 5} << 10 << u"2;0;3"_s << invalid
        << QByteArray("2.00;0.00;3.00;\r\n1.00;0.00;1.00;");
    QTest::newRow("standard without tasks worth nothing")
        << L{2, 1, 3} << L{2, 1, 3, 0, 5} << 10 << u"2;1;3"_s << invalid
        << QByteArray("2.00;1.00;3.00;\r\n1.00;1.00;1.00;");
    QTest::newRow("whole test worth nothing") << L{2, 1, 3} << L{2, 1, 3, 4, 5} << 0 << u"2;1;3"_s << byZero
                                              << QByteArray("2.00;1.00;3.00;\r\n1.00;1.00;1.00;");
}

void TstCompute::zeroMaximum()
{
    QFETCH(QList<qint32>, taskMaxima);
    QFETCH(QList<qint32>, standardMaxima);
    QFETCH(qint32, maxTotal);
    QFETCH(QString, points);
    QFETCH(QString, error);
    QFETCH(QByteArray, tasksFile);

    TestDefinition test = makeTest(taskMaxima);
    test.standardMaxPoints = standardMaxima;
    test.maxTotalPoints = maxTotal;
    Workbook wb(test);
    WB_CHECK(enterClass(wb, 1));
    WB_CHECK(writeSentinels(wb));
    const QStringList pupils{u"A1;T;"_s + points};
    WB_CHECK(typeScores(wb.upper(), pupils));
    WB_CHECK(wb.press("bOblicz"));

    QCOMPARE(wb.shownTexts(), QStringList{error});
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Error);
    QCOMPARE(readBytes(classFile(wb, u"Odpowiedzi.tmp"_s)), build::answersFile(3, pupils));
    QCOMPARE(readBytes(classFile(wb, u"Zadania.tmp"_s)), tasksFile.isEmpty() ? sentinel : tasksFile);
    QCOMPARE(readBytes(classFile(wb, u"Standardy.tmp"_s)), sentinel);
}

void TstCompute::fewerStandards()
{
    TestDefinition test = makeTest({2, 1, 3}, {1, 2, 3});
    test.standardCount = 3;
    test.standardMaxPoints = {2, 1, 3};
    test.standardAbbreviations = {u"Czyt."_s, u"Pis."_s, u"Rozum."_s};
    test.standardDescriptions = {u"Czytanie"_s, u"Pisanie"_s, u"Rozumowanie"_s};
    Workbook wb(test);
    WB_CHECK(enterClass(wb, 1));
    WB_CHECK(typeScores(wb.upper(), {u"A1;T;2;1;3"_s}));
    WB_CHECK(wb.press("bOblicz"));

    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    WB_CHECK(compareGrid(wb.lower(), {cells(u"L.p.;Kod ucznia;Ob.;Czyt.;Pis.;Rozum.;;;Razem"_s),
                                      cells(u"1;A1;T;2;1;3;0;0;6"_s)}));
    // Still five standard columns and the whole test, which is divided by its own maximum.
    QCOMPARE(readBytes(classFile(wb, u"Standardy.tmp"_s)),
             QByteArray("2.00;1.00;3.00;0.00;0.00;6.00;\r\n1.00;1.00;1.00;0.00;0.00;0.60;"));
}

void TstCompute::hugeMaximaDoNotWrapAround()
{
    // A Setup.ini may give tasks any maximum; two of them in one standard pass 32 bits.
    Workbook wb(makeTest({2000000000, 2000000000, 3}, {1, 1, 3}));
    WB_CHECK(enterClass(wb, 1));
    WB_CHECK(typeScores(wb.upper(), {u"A1;T;2000000000;2000000000;3"_s}));
    WB_CHECK(wb.press("bOblicz"));

    for (int c = 3; c <= 8; ++c)
        QVERIFY2(!wb.lower()->cell(c, 1).startsWith(u'-'), qPrintable(wb.lower()->cell(c, 1)));
    for (const QString &name : {u"Zadania.tmp"_s, u"Standardy.tmp"_s}) {
        if (QFileInfo::exists(classFile(wb, name)))
            QVERIFY2(!readBytes(classFile(wb, name)).contains('-'), qPrintable(name));
    }
    if (wb.recorder.shown.isEmpty()) {
        QCOMPARE(wb.lower()->cell(3, 1), u"4000000000"_s);
        QCOMPARE(wb.lower()->cell(8, 1), u"4000000003"_s);
    }
}

void TstCompute::fileCannotBeWritten_data()
{
    QTest::addColumn<QString>("blocked");

    QTest::newRow("answers") << u"Odpowiedzi.tmp"_s;
    QTest::newRow("task statistics") << u"Zadania.tmp"_s;
    QTest::newRow("standard statistics") << u"Standardy.tmp"_s;
}

void TstCompute::fileCannotBeWritten()
{
    QFETCH(QString, blocked);

    Workbook wb;
    WB_CHECK(enterClass(wb, 1));
    QVERIFY(QDir().mkpath(classFile(wb, blocked)));
    const QStringList pupils{u"A1;T;2;1;3"_s};
    WB_CHECK(typeScores(wb.upper(), pupils));
    WB_CHECK(wb.press("bOblicz"));

    QCOMPARE(wb.recorder.shown.size(), 1);
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::FileError);
    QCOMPARE(wb.recorder.shown[0].caption, u"File Error"_s);
    QCOMPARE(wb.recorder.shown[0].text,
             u"Nie mogę zapisać pliku!\n\nW miejscu pliku „%1” jest katalog o tej samej nazwie."_s.arg(
                 classFile(wb, blocked)));
    QVERIFY(QFileInfo(classFile(wb, blocked)).isDir());
    // Compute goes on with the files after the one that failed.
    const QList<std::pair<QString, QByteArray>> files{
        {u"Odpowiedzi.tmp"_s, build::answersFile(3, pupils)},
        {u"Zadania.tmp"_s, "2.00;1.00;3.00;\r\n1.00;1.00;1.00;"},
        {u"Standardy.tmp"_s, "2.00;1.00;3.00;0.00;0.00;6.00;\r\n1.00;1.00;1.00;0.00;0.00;0.60;"}};
    for (const auto &[name, bytes] : files) {
        if (name != blocked)
            QCOMPARE(readBytes(classFile(wb, name)), bytes);
    }
}

QTEST_MAIN(TstCompute)
#include "tst_compute.moc"
