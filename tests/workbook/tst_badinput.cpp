// Damaged and absurd files met through the workbook as a teacher meets them: the program says so
// in Polish or treats them soundly, goes on, and leaves every file on disk as it was.
// This test lies in a folder of its own, so the Setup.ini beside it is its own to write.
#include "core/cp1250.h"
#include "tests/support/setupini.h"
#include "tests/workbook/workbooktesting.h"

#include <QCryptographicHash>

using namespace wb;

class TstBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void absurdSetupIni_data();
    void absurdSetupIni();
    void hugeLinesInSetupIni();
    void schoolFileClassCount_data();
    void schoolFileClassCount();
    void oversizedWorkFile();
    void workFileWithInvalidBytes();
    void statisticsFileHoldingText();
    void schoolDirectoryCannotBeCreated();
    void classDirectoryBlockedByFile();

private:
    QString m_setupIni;
    QByteArray m_previousSetupIni;
    bool m_hadSetupIni = false;
};

namespace {

QByteArray fingerprint(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex() + ' ' + QByteArray::number(file.size());
}

// A whole test in Setup.ini's own words; extra lines go into [Ustawienia].
QByteArray setupIni(const QByteArray &settings, const QByteArray &sections = QByteArray())
{
    QByteArray ini = "[Ustawienia]\r\nNazwaTestu=Test\r\nDataTestu=2026-04-01\r\n" + settings + "\r\n";
    return ini + sections;
}

// Sets up classes of three pupils in "Szkola1" at the location and expects acceptance to be
// refused for want of a directory, with the setup page left to correct.
void acceptRefused(Workbook &wb, const QString &location, int classes)
{
    WB_CHECK(wb.chooseLocation(location));
    WB_CHECK(typeInto(wb.edit("eLiczbaKlas"), QString::number(classes)));
    for (int row = 1; row <= classes; ++row)
        WB_CHECK(typeIntoCell(wb.upper(), 2, row, u"3"_s));
    WB_CHECK(typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
    WB_CHECK(wb.press("bAkceptuj"));
    QCOMPARE(wb.shownTexts(), QStringList{u"Nie można utworzyć katalogu w podanej lokalizacji!"_s});
    QCOMPARE(wb.window.pageCount(), 1);
    QVERIFY(wb.button("bAkceptuj")->isEnabled());
}

} // namespace

void TstBadInput::initTestCase()
{
    setUpApplication();
    m_setupIni = setupIniPath();
    QFile previous(m_setupIni);
    m_hadSetupIni = previous.open(QIODevice::ReadOnly);
    if (m_hadSetupIni)
        m_previousSetupIni = previous.readAll();
}

void TstBadInput::cleanupTestCase()
{
    if (m_hadSetupIni)
        writeBytes(m_setupIni, m_previousSetupIni);
    else
        QFile::remove(m_setupIni);
}

void TstBadInput::absurdSetupIni_data()
{
    static const char binary[] = "\x00\x01\xff\x81 binary\r\n[[[=\r\n=";
    const QByteArray notIni(binary, sizeof binary - 1);
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("taskCount");
    QTest::addColumn<int>("standardCount");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("two billion tasks")
        << setupIni("LiczbaZadan=2000000000\r\nLiczbaStandardow=5\r\nMaxLiczbaPunktow=40") << 0 << 5
        << QStringList{u"Liczba zadań (LiczbaZadan) w pliku Setup.ini wynosi 2000000000, a dopuszczalne jest "
                       u"najwyżej 200; program przyjmuje 0 zadań."_s};
    QTest::newRow("a count beyond 32 bits is no number")
        << setupIni("LiczbaZadan=99999999999999\r\nLiczbaStandardow=5") << 25 << 5 << QStringList();
    QTest::newRow("negative counts")
        << setupIni("LiczbaZadan=-7\r\nLiczbaStandardow=-1") << 0 << 0
        << QStringList{
               u"Liczba zadań (LiczbaZadan) w pliku Setup.ini jest ujemna (-7); program przyjmuje 0 zadań."_s,
               u"Liczba standardów (LiczbaStandardow) w pliku Setup.ini jest ujemna (-1); program "
               u"przyjmuje 0 standardów."_s};
    QTest::newRow("negative maxima")
        << setupIni("LiczbaZadan=2\r\nLiczbaStandardow=1\r\nMaxLiczbaPunktow=-40",
                    "[Zadanie1]\r\nMaxPunktow=-3\r\n[Zadanie2]\r\nMaxPunktow=2\r\n"
                    "[Standard1]\r\nMaxPunktow=-2147483648\r\n")
        << 2 << 1
        << QStringList{u"Maksymalna liczba punktów testu w pliku Setup.ini wynosi -40, a "
                       u"dopuszczalne są wartości od 0 do 200000; program przyjmuje 0."_s,
                       u"Maksymalna liczba punktów zadania nr 1 w pliku Setup.ini wynosi -3, a "
                       u"dopuszczalne są wartości od 0 do 1000; program przyjmuje 0."_s,
                       u"Maksymalna liczba punktów standardu nr 1 w pliku Setup.ini wynosi "
                       u"-2147483648, a dopuszczalne są wartości od 0 do 200000; program przyjmuje 0."_s};
    QTest::newRow("a task in a standard the test lacks")
        << setupIni("LiczbaZadan=2\r\nLiczbaStandardow=2",
                    "[Zadanie1]\r\nKategoriaStandardu=7\r\n[Zadanie2]\r\nKategoriaStandardu=0\r\n")
        << 2 << 2
        << QStringList{u"Zadanie nr 1 należy według pliku Setup.ini do standardu 7, a standardy są "
                       u"numerowane od 1 do 2; zadanie nie wejdzie do wyników żadnego standardu."_s,
                       u"Zadanie nr 2 należy według pliku Setup.ini do standardu 0, a standardy są "
                       u"numerowane od 1 do 2; zadanie nie wejdzie do wyników żadnego standardu."_s};
    QTest::newRow("more than five standards")
        << setupIni("LiczbaZadan=3\r\nLiczbaStandardow=7", "[Zadanie2]\r\nKategoriaStandardu=6\r\n") << 3 << 7
        << QStringList{
               u"Plik Setup.ini określa 7 standardów (LiczbaStandardow), a program liczy wyniki tylko "
               u"standardów od 1 do 5: tyle mieszczą tabele, pliki wyników i wykresy. Te zadania nie "
               u"należą więc do żadnego standardu i nie wchodzą do sumy „Razem”: Zad.2 (standard 6)."_s};
    QTest::newRow("not an INI file at all") << notIni << 25 << 5 << QStringList();
}

void TstBadInput::absurdSetupIni()
{
    QFETCH(QByteArray, content);
    QFETCH(int, taskCount);
    QFETCH(int, standardCount);
    QFETCH(QStringList, messages);
    QVERIFY(writeBytes(m_setupIni, content));

    MessageRecorder recorder;
    QTemporaryDir location;
    TfWyniki window;
    // Everything wrong with Setup.ini comes in one box.
    QCOMPARE(recorder.texts(), messages.isEmpty() ? QStringList() : QStringList{messages.join(u'\n')});
    QCOMPARE(window.session().test().taskCount, taskCount);
    QCOMPARE(window.session().test().standardCount, standardCount);
    QCOMPARE(readBytes(m_setupIni), content);

    // The workbook still works: a school is set up, a class page built and computed.
    recorder.clear();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ui::folderChooser = [&](QWidget *, const QString &, const QString &) { return location.path(); };
    WB_CHECK(click(window.findChild<QAbstractButton *>(u"bKatalog"_s)));
    ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
    WB_CHECK(typeInto(window.findChild<QLineEdit *>(u"eLiczbaKlas"_s), u"1"_s));
    auto *grid = window.findChild<StringGrid *>(u"tabela1"_s);
    WB_CHECK(typeIntoCell(grid, 2, 1, u"2"_s));
    WB_CHECK(typeInto(window.findChild<QLineEdit *>(u"eNazwaKatalogu"_s), u"Szkola1"_s));
    WB_CHECK(click(window.findChild<QAbstractButton *>(u"bAkceptuj"_s)));
    WB_CHECK(click(window.findChild<QAbstractButton *>(u"bDalej"_s)));
    QCOMPARE(window.currentPage(), 1);
    QCOMPARE(grid->colCount(), 3 + taskCount);
    WB_CHECK(typeIntoCell(grid, 2, 1, u"T"_s));
    WB_CHECK(click(window.findChild<QAbstractButton *>(u"bOblicz"_s)));
    WB_CHECK(click(window.findChild<QAbstractButton *>(u"bDalej"_s)));
    QCOMPARE(window.currentPage(), 2);
    window.hide();
}

void TstBadInput::hugeLinesInSetupIni()
{
    // A megabyte-long comment, key and label: a value is cut at 2047 characters, as Windows reads
    // it, and nothing else is disturbed.
    const QByteArray megabyte(1024 * 1024, 'A');
    const QByteArray content = setupIni(
        "LiczbaZadan=2\r\nLiczbaStandardow=1\r\nMaxLiczbaPunktow=2\r\n;" + megabyte,
        "[Zadanie1]\r\nEtykieta=" + megabyte + "\r\n" + megabyte + "=1\r\n[Zadanie2]\r\nEtykieta=Zad.B\r\n");
    QVERIFY(writeBytes(m_setupIni, content));
    MessageRecorder recorder;
    TfWyniki window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.session().test().taskCount, 2);
    QCOMPARE(window.session().test().taskLabels, QStringList({QString(2047, u'A'), u"Zad.B"_s}));
    QVERIFY2(recorder.shown.isEmpty(), qPrintable(recorder.texts().join(u" | "_s)));
    QCOMPARE(readBytes(m_setupIni), content);
    window.hide();
}

void TstBadInput::schoolFileClassCount_data()
{
    QTest::addColumn<QByteArray>("count");
    QTest::addColumn<int>("classes");
    QTest::addColumn<QString>("lastLabel");
    QTest::newRow("-5") << QByteArray("-5") << 1 << u"Klasa 1"_s;
    QTest::newRow("999999") << QByteArray("999999") << 25 << u"Klasa 25"_s;
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999") << 1 << u"Klasa 1"_s;
    QTest::newRow("text") << QByteArray("dużo") << 1 << u"Klasa 1"_s;
}

void TstBadInput::schoolFileClassCount()
{
    QFETCH(QByteArray, count);
    QFETCH(int, classes);
    QFETCH(QString, lastLabel);
    QVERIFY(writeBytes(m_setupIni, QByteArray()));
    Workbook wb;
    const QByteArray school = "[Ustawienia]\r\nLiczbaKlas=" + cp1250::encode(QString::fromUtf8(count)) +
                              "\r\n\r\n[Klasa1]\r\nEtykieta=Klasa 1\r\nLiczbaUczniow=20\r\n";
    QVERIFY(writeBytes(wb.path(u"Szkola.ini"_s), school));
    WB_CHECK(wb.chooseLocation(wb.location.path()));
    WB_CHECK(wb.press("sbOtworz"));

    // The count is kept within 1 to 25; classes the file does not describe take the defaults.
    QCOMPARE(wb.edit("eLiczbaKlas")->text(), QString::number(classes));
    QCOMPARE(wb.window.classCount(), classes);
    QCOMPARE(wb.upper()->rowCount(), classes + 1);
    QCOMPARE(wb.upper()->cell(1, classes), lastLabel);
    QCOMPARE(wb.upper()->cell(2, 1), u"20"_s);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    QCOMPARE(readBytes(wb.path(u"Szkola.ini"_s)), school);
}

void TstBadInput::oversizedWorkFile()
{
    QVERIFY(writeBytes(m_setupIni, QByteArray()));
    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"2"_s}));
    // 100 MB of answers: more than any school writes, so the file is not read at all.
    const QString answers = wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s);
    {
        QFile file(answers);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3\r\n1;A;T;1;1;1\r\n");
        QVERIFY(file.resize(100 * 1024 * 1024));
    }
    const QByteArray before = fingerprint(answers);
    WB_CHECK(wb.go({u"next"_s}));
    QCOMPARE(wb.shownTexts(), QStringList{u"Nie mogę odczytać pliku!"_s});
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::FileError);
    QCOMPARE(wb.upper()->cell(1, 1), QString());
    wb.recorder.clear();
    WB_CHECK(wb.go({u"next"_s, u"back"_s, u"back"_s}));
    QCOMPARE(fingerprint(answers), before);
}

void TstBadInput::workFileWithInvalidBytes()
{
    QVERIFY(writeBytes(m_setupIni, QByteArray()));
    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"1"_s}));
    // NUL, bytes Windows-1250 leaves undefined, lone CR, a field too many and no final line break.
    static const char raw[] = "L.p.;Kod\x00ucznia;Ob.;Zad.1\r\n1;\x81\x83\x88\x90\x98;T;1;2;3;4;5;6\r2;B;\xff"
                              "T;x;;;;;;;;;;;;;;;;;;;;;;;;;\n;;;";
    const QByteArray tooWide(raw, sizeof raw - 1);
    const QString answers = wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s);
    QVERIFY(writeBytes(answers, tooWide));
    // Its lines hold more fields than the class's tasks: not loaded, and nothing written over it.
    WB_CHECK(wb.go({u"next"_s}));
    QCOMPARE(wb.recorder.shown.size(), 1);
    QVERIFY2(wb.shownTexts().value(0).contains(u"a test „Test” ma 3 zadań"_s),
             qPrintable(wb.shownTexts().value(0)));
    QCOMPARE(wb.upper()->cell(1, 1), QString());
    QVERIFY(!wb.button("bOblicz")->isEnabled());
    wb.recorder.clear();
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(wb.recorder.shown.size(), 1);
    QVERIFY(wb.shownTexts().value(0).endsWith(u"Nic nie zostało zapisane."_s));
    WB_CHECK(wb.go({u"back"_s}));
    QCOMPARE(readBytes(answers), tooWide);
    QCOMPARE(readBytes(wb.school(u"Klasa VI A/Wyniki uczniów.csv"_s)).left(9), QByteArray("<missing:"));

    // Within the grid's width the same damage reads as far as it can.
    static const char narrower[] = "L.p.;Kod\x00ucznia;Ob.;Zad.1\r\n1;\x81\x83\x88\x90\x98;T;1;2;3";
    const QByteArray damaged(narrower, sizeof narrower - 1);
    QVERIFY(writeBytes(answers, damaged));
    wb.recorder.clear();
    WB_CHECK(wb.go({u"next"_s}));
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    QCOMPARE(wb.upper()->cell(1, 1), cp1250::decode("\x81\x83\x88\x90\x98"));
    QCOMPARE(wb.upper()->cell(3, 1), u"1"_s);

    // Compute finds the points beyond the task's maximum and says whose; the damaged file is not
    // touched.
    WB_CHECK(wb.press("bOblicz"));
    QCOMPARE(wb.shownTexts(), QStringList{u"Dla ucznia o kodzie "_s + cp1250::decode("\x81\x83\x88\x90\x98") +
                                          u", w zadaniu Zad.2 wprowadzono złą liczbę punktów!"_s});
    wb.recorder.clear();
    QCOMPARE(readBytes(wb.school(u"Klasa VI A/Zadania.tmp"_s)).left(9), QByteArray("<missing:"));
    WB_CHECK(wb.go({u"back"_s}));
    QCOMPARE(readBytes(answers), damaged);
}

void TstBadInput::statisticsFileHoldingText()
{
    QVERIFY(writeBytes(m_setupIni, QByteArray()));
    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"1"_s, u"1"_s}));
    // Class A's statistics hold prose; class B's are sound.
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI A"_s, "To nie są liczby\r\nani to\r\n", "1.00;abc;\r\n"));
    WB_CHECK(wb.writeClassStatistics(u"Klasa VI B"_s, "1.00;0.50;3.00;\r\n0.50;0.50;1.00;\r\n",
                                     "1.00;1.00;1.00;1.00;1.00;5.00;\r\n0.50;1.00;0.33;0.25;0.20;0.50;\r\n"));
    const QByteArray prose = fingerprint(wb.school(u"Klasa VI A/Zadania.tmp"_s));
    WB_CHECK(wb.go({u"tab 3"_s}));
    QCOMPARE(wb.window.currentPage(), 3);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    // The school's means come from class B alone.
    QCOMPARE(readBytes(wb.school(u"Szkoła/Zadania.tmp"_s)), QByteArray("1.00;0.50;3.00;\r\n0.50;0.50;1.00;"));
    QCOMPARE(fingerprint(wb.school(u"Klasa VI A/Zadania.tmp"_s)), prose);
}

void TstBadInput::schoolDirectoryCannotBeCreated()
{
    QVERIFY(writeBytes(m_setupIni, QByteArray()));
    Workbook wb;
    // A location inside a plain file cannot hold a directory, whoever runs the program.
    const QString plainFile = wb.path(u"notatki.txt"_s);
    QVERIFY(writeBytes(plainFile, "notatki\r\n"));
    WB_CHECK(acceptRefused(wb, plainFile, 1));
    QCOMPARE(readBytes(plainFile), QByteArray("notatki\r\n"));
}

void TstBadInput::classDirectoryBlockedByFile()
{
    QVERIFY(writeBytes(m_setupIni, QByteArray()));
    Workbook wb;
    // The school directory exists, but a plain file has the name class B's directory needs.
    QVERIFY(QDir().mkpath(wb.school()));
    QVERIFY(writeBytes(wb.school(u"Klasa VI B"_s), "zajęte\r\n"));
    WB_CHECK(acceptRefused(wb, wb.location.path(), 2));
    QVERIFY(!QFile::exists(wb.school(u"Szkola.ini"_s)));
    QCOMPARE(readBytes(wb.school(u"Klasa VI B"_s)), QByteArray("zajęte\r\n"));
}

QTEST_MAIN(TstBadInput)
#include "tst_badinput.moc"
