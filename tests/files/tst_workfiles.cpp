// The files of a school directory, compared byte for byte: Szkola.ini, grid files, statistics files,
// and the replace-or-keep rule of every write.
#include "files/gridfile.h"
#include "files/report.h"
#include "files/savefile.h"
#include "files/schoolfile.h"
#include "files/statisticsfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class TstWorkFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void schoolFileExample();
    void schoolFilePolishRoundTrip();
    void schoolFileRoundTrip_data();
    void schoolFileRoundTrip();
    void schoolFileReadingDefaults_data();
    void schoolFileReadingDefaults();
    void gridFileBytes_data();
    void gridFileBytes();
    void parseGridFile_data();
    void parseGridFile();
    void gridRoundTrip();
    void reportReadBack();
    void statisticsFile_data();
    void statisticsFile();
    void writeReplacesFile();
    void failedWriteKeepsWhatWasThere_data();
    void failedWriteKeepsWhatWasThere();
    void readWholeFile();
    void readRefusesSpecialAndHugeFiles();
    void writeKeepsPermissionsAndRemovesLeftovers();
    void symlinksAndTheSchoolFolder_data();
    void symlinksAndTheSchoolFolder();
    void fullDiskKeepsTheOldFile();
    void boundedGridReading_data();
    void boundedGridReading();
};

void TstWorkFiles::schoolFileExample()
{
    SchoolSetup setup;
    setup.classCount = 2;
    setup.headings = {u"L.p."_s, u"Klasa"_s, u"Liczba uczniów"_s};
    setup.labels = {u"Klasa VI A"_s, u"Klasa VI B"_s};
    setup.pupilTexts = {u"24"_s, u"25"_s};

    const QByteArray expected = "[Ustawienia]\r\n"
                                "LiczbaKlas=2\r\n"
                                "\r\n"
                                "[EtykietyTabeli]\r\n"
                                "Kolumna0=L.p.\r\n"
                                "Kolumna1=Klasa\r\n"
                                "Kolumna2=Liczba uczni\xF3w\r\n"
                                "\r\n"
                                "[Klasa1]\r\n"
                                "Etykieta=Klasa VI A\r\n"
                                "LiczbaUczniow=24\r\n"
                                "\r\n"
                                "[Klasa2]\r\n"
                                "Etykieta=Klasa VI B\r\n"
                                "LiczbaUczniow=25\r\n";
    QCOMPARE(schoolFileBytes(setup), expected);
}

void TstWorkFiles::schoolFilePolishRoundTrip()
{
    SchoolSetup setup;
    setup.classCount = 1;
    setup.headings = {u"Lp"_s, u"Oddział"_s, u"Uczniów"_s};
    setup.labels = {u"Klasa VI Ż ąćęłńóśźż"_s};
    setup.pupilTexts = {u"20"_s};

    const QByteArray bytes = schoolFileBytes(setup);
    QVERIFY(bytes.contains("Etykieta=Klasa VI \xAF \xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\r\n"));
    QVERIFY(bytes.contains("Kolumna1=Oddzia\xB3\r\n"));

    const SchoolFileReader reader{IniFile::fromBytes(bytes)};
    QCOMPARE(reader.label(1), setup.labels.first());
    QCOMPARE(reader.heading(1), u"Oddział"_s);
    QCOMPARE(reader.heading(2), u"Uczniów"_s);
}

void TstWorkFiles::schoolFileRoundTrip_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("pupils");
    QTest::addColumn<QString>("readLabel");
    QTest::addColumn<QString>("readPupils");

    QTest::newRow("plain") << u"Klasa VI A"_s << u"24"_s << u"Klasa VI A"_s << u"24"_s;
    QTest::newRow("blanks at the ends dropped") << u"  VI A  "_s << u" 7 "_s << u"VI A"_s << u"7"_s;
    QTest::newRow("equals sign kept") << u"A=B"_s << u"x=1"_s << u"A=B"_s << u"x=1"_s;
    QTest::newRow("empty stays empty") << QString() << QString() << QString() << QString();
    QTest::newRow("pupils kept as typed") << u"VI C"_s << u"abc"_s << u"VI C"_s << u"abc"_s;
}

void TstWorkFiles::schoolFileRoundTrip()
{
    QFETCH(QString, label);
    QFETCH(QString, pupils);
    QFETCH(QString, readLabel);
    QFETCH(QString, readPupils);

    SchoolSetup setup;
    setup.classCount = 2;
    setup.headings = {u"L.p."_s, u"Klasa"_s, u"Liczba uczniów"_s};
    setup.labels = {u"Pierwsza"_s, label};
    setup.pupilTexts = {u"10"_s, pupils};

    const SchoolFileReader reader{IniFile::fromBytes(schoolFileBytes(setup))};
    QCOMPARE(reader.classCount(), 2);
    QCOMPARE(reader.label(1), u"Pierwsza"_s);
    QCOMPARE(reader.label(2), readLabel);
    QCOMPARE(reader.pupilsText(2), readPupils);
    QCOMPARE(reader.heading(1), u"Klasa"_s);
}

void TstWorkFiles::schoolFileReadingDefaults_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("classCount");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QStringList>("labels"); // classes 1 to 4
    QTest::addColumn<QStringList>("pupils");

    const QStringList defaultHeadings{u"L.p."_s, u"Klasy"_s, u"Liczba uczniów"_s};
    const QStringList defaultLabels{u"Klasa 1"_s, u"Klasa 2"_s, u"Klasa 3"_s, u"Klasa 4"_s};
    const QStringList defaultPupils(4, u"15"_s);
    QTest::newRow("empty file") << QByteArray() << 1 << defaultHeadings << defaultLabels << defaultPupils;
    QTest::newRow("count passed on as read") << QByteArray("[Ustawienia]\r\nLiczbaKlas=30\r\n") << 30
                                             << defaultHeadings << defaultLabels << defaultPupils;
    QTest::newRow("negative count passed on") << QByteArray("[Ustawienia]\r\nLiczbaKlas=-2\r\n") << -2
                                              << defaultHeadings << defaultLabels << defaultPupils;
    QTest::newRow("unusable count") << QByteArray("[Ustawienia]\r\nLiczbaKlas=dwie\r\n") << 1
                                    << defaultHeadings << defaultLabels << defaultPupils;
    QTest::newRow("sections for two of four classes")
        << QByteArray("[Ustawienia]\r\nLiczbaKlas=4\r\n[Klasa1]\r\nEtykieta=VI A\r\nLiczbaUczniow=24\r\n"
                      "[Klasa2]\r\nEtykieta=VI B\r\nLiczbaUczniow=25\r\n")
        << 4 << defaultHeadings << QStringList{u"VI A"_s, u"VI B"_s, u"Klasa 3"_s, u"Klasa 4"_s}
        << QStringList{u"24"_s, u"25"_s, u"15"_s, u"15"_s};
    QTest::newRow("one heading given")
        << QByteArray("[EtykietyTabeli]\r\nKolumna1=Oddzia\xB3\r\n") << 1
        << QStringList{u"L.p."_s, u"Oddział"_s, u"Liczba uczniów"_s} << defaultLabels << defaultPupils;
    QTest::newRow("lower-case names")
        << QByteArray("[ustawienia]\r\nliczbaklas=2\r\n[klasa2]\r\netykieta=b\r\nliczbauczniow=9\r\n") << 2
        << defaultHeadings << QStringList{u"Klasa 1"_s, u"b"_s, u"Klasa 3"_s, u"Klasa 4"_s}
        << QStringList{u"15"_s, u"9"_s, u"15"_s, u"15"_s};
}

void TstWorkFiles::schoolFileReadingDefaults()
{
    QFETCH(QByteArray, file);
    QFETCH(int, classCount);
    QFETCH(QStringList, headings);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, pupils);

    const SchoolFileReader reader{IniFile::fromBytes(file)};
    QCOMPARE(reader.classCount(), classCount);
    for (int column = 0; column < 3; ++column)
        QCOMPARE(reader.heading(column), headings.at(column));
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(reader.label(n), labels.at(n - 1));
        QCOMPARE(reader.pupilsText(n), pupils.at(n - 1));
    }
}

void TstWorkFiles::gridFileBytes_data()
{
    QTest::addColumn<GridRows>("rows");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("two rows") << GridRows{{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s}, {u"1"_s, QString(), u"T"_s}}
                              << QByteArray("L.p.;Kod ucznia;Ob.;\r\n1;-;T;");
    QTest::newRow("new class page")
        << GridRows{{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Zad.1"_s, u"Zad.2"_s, u"Zad.3"_s},
                    {u"1"_s, QString(), u"T"_s, QString(), QString(), QString()},
                    {u"2"_s, QString(), u"T"_s, QString(), QString(), QString()}}
        << QByteArray("L.p.;Kod ucznia;Ob.;Zad.1;Zad.2;Zad.3;\r\n1;-;T;-;-;-;\r\n2;-;T;-;-;-;");
    QTest::newRow("one blank and two blanks") << GridRows{{u" "_s, u"  "_s}} << QByteArray("-;  ;");
    QTest::newRow("semicolon unprotected") << GridRows{{u"a;b"_s, u"c"_s}} << QByteArray("a;b;c;");
    QTest::newRow("Polish letters") << GridRows{{u"Łucja Żak"_s}} << QByteArray("\xA3ucja \xAF\x61k;");
    QTest::newRow("no rows") << GridRows{} << QByteArray();
    QTest::newRow("rows without cells") << GridRows{{}, {}} << QByteArray("\r\n");
}

void TstWorkFiles::gridFileBytes()
{
    QFETCH(GridRows, rows);
    QFETCH(QByteArray, bytes);
    QCOMPARE(::gridFileBytes(rows), bytes);
}

void TstWorkFiles::parseGridFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<GridRows>("rows");

    QTest::newRow("text after the last semicolon dropped")
        << QByteArray("1;2;3") << GridRows{{u"1"_s, u"2"_s}};
    QTest::newRow("empty field") << QByteArray("a;;b;") << GridRows{{u"a"_s, QString(), u"b"_s}};
    QTest::newRow("empty file") << QByteArray() << GridRows{};
    QTest::newRow("empty line") << QByteArray("x;\r\n\r\ny;") << GridRows{{u"x"_s}, {}, {u"y"_s}};
    QTest::newRow("carriage return dropped")
        << QByteArray("a;b;\r\nc;d;") << GridRows{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}};
    QTest::newRow("line feeds only") << QByteArray("a;\nb;") << GridRows{{u"a"_s}, {u"b"_s}};
    QTest::newRow("final line feed starts no row") << QByteArray("a;\r\n") << GridRows{{u"a"_s}};
    QTest::newRow("dash stays a dash") << QByteArray("1;-;T;") << GridRows{{u"1"_s, u"-"_s, u"T"_s}};
    QTest::newRow("statistics file") << QByteArray("1.67;0.50;\r\n0.83;0.50;")
                                     << GridRows{{u"1.67"_s, u"0.50"_s}, {u"0.83"_s, u"0.50"_s}};
    QTest::newRow("Polish letters") << QByteArray("\x9Crodki \xBF\xF3\xB3te;")
                                    << GridRows{{u"środki żółte"_s}};
}

void TstWorkFiles::parseGridFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(GridRows, rows);
    QCOMPARE(::parseGridFile(bytes), rows);
}

void TstWorkFiles::gridRoundTrip()
{
    const GridRows written{{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Zad.1"_s},
                           {u"1"_s, u"AŚ-12"_s, u"T"_s, u" "_s},
                           {u"2"_s, QString(), u"n"_s, u"  2"_s},
                           {u"3"_s, u"x;y"_s, u"T"_s, u"1"_s}};
    const GridRows expected{{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s, u"Zad.1"_s},
                            {u"1"_s, u"AŚ-12"_s, u"T"_s, u"-"_s},
                            {u"2"_s, u"-"_s, u"n"_s, u"  2"_s},
                            {u"3"_s, u"x"_s, u"y"_s, u"T"_s, u"1"_s}};
    QCOMPARE(::parseGridFile(::gridFileBytes(written)), expected);
}

void TstWorkFiles::reportReadBack()
{
    // The reports the whole-road test keeps: read back, they give the same bytes.
    for (const char *name : {"Klasa VI A/Wyniki uczniów.csv", "Szkoła/Podsumowanie wyników.csv"}) {
        const QByteArray bytes =
            readBytes(QStringLiteral(SONDARYK_ROAD_FIXTURES "/") + QString::fromUtf8(name));
        const std::optional<ReportContent> read = parseReport(bytes);
        QVERIFY2(read, name);
        QCOMPARE(reportBytes(*read), bytes);
        QVERIFY(!read->firstGrid.isEmpty() && !read->secondGrid.isEmpty());
    }
    const QByteArray school =
        readBytes(QStringLiteral(SONDARYK_ROAD_FIXTURES "/Szkoła/Podsumowanie wyników.csv"));
    const ReportContent summary = *parseReport(school);
    QCOMPARE(summary.testDate, u"2026-04-01"_s);
    QCOMPARE(summary.secondCaption, u"Wyniki uczniów - podsumowanie:"_s);
    QCOMPARE(summary.secondGrid.value(0).mid(0, 4),
             (QStringList{u"L.p."_s, u"Nr. zadania"_s, QString(), u"Czytanie"_s}));
    QCOMPARE(withSchoolPageHeading(summary.secondGrid).value(0).value(1), u"Klasa"_s);
    QCOMPARE(withSchoolFileHeading(withSchoolPageHeading(summary.firstGrid)), summary.firstGrid);

    // Polish letters, empty cells and captions, an empty grid: the same content back.
    ReportContent content;
    content.testName = u"Próbny; zażółć"_s;
    content.testDate = QString();
    content.firstCaption = QString();
    content.firstGrid = {
        {u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s}, {u"1"_s, QString(), u"T"_s}, {u"2"_s, u"Łucja"_s, u"N"_s}};
    content.secondCaption = u"Wyniki uczniów - podsumowanie:"_s;
    QCOMPARE(parseReport(reportBytes(content)), std::optional<ReportContent>(content));
    content.secondGrid = content.firstGrid;
    content.firstGrid.clear();
    QCOMPARE(parseReport(reportBytes(content)), std::optional<ReportContent>(content));

    // What reportBytes could not have written is no report: a ';' typed into a code widens its row,
    // a file cut short or with bare line feeds, a grid file.
    content.secondGrid[2][1] = u"Łu;cja"_s;
    QCOMPARE(parseReport(reportBytes(content)), std::nullopt);
    content.secondGrid[2][1] = u"Łucja"_s;
    const QByteArray whole = reportBytes(content);
    QCOMPARE(parseReport(whole.chopped(2)), std::nullopt);
    QCOMPARE(parseReport(whole.chopped(1)), std::nullopt);
    QCOMPARE(parseReport(QByteArray(whole).replace("Ob.;\r\n", "Ob.\r\n")), std::nullopt);
    QCOMPARE(parseReport(QByteArray(whole).replace("\r\n", "\n")), std::nullopt);
    QCOMPARE(parseReport(::gridFileBytes(content.secondGrid)), std::nullopt);
    QCOMPARE(parseReport(QByteArray()), std::nullopt);
}

void TstWorkFiles::statisticsFile_data()
{
    QTest::addColumn<QList<float>>("averages");
    QTest::addColumn<QList<float>>("facilities");
    QTest::addColumn<QByteArray>("bytes");

    // Three pupils with 1, 2 and 2 of 2 points: average 5/3, facility 5/6.
    QTest::newRow("three tasks") << QList<float>{5.0f / 3.0f, 0.5f, 2.0f}
                                 << QList<float>{5.0f / 6.0f, 0.5f, 1.0f}
                                 << QByteArray("1.67;0.50;2.00;\r\n0.83;0.50;1.00;");
    QTest::newRow("zeros and tens") << QList<float>{0.0f, 12.345f} << QList<float>{0.0f, 1.0f}
                                    << QByteArray("0.00;12.35;\r\n0.00;1.00;");
    QTest::newRow("no values") << QList<float>{} << QList<float>{} << QByteArray("\r\n");
}

void TstWorkFiles::statisticsFile()
{
    QFETCH(QList<float>, averages);
    QFETCH(QList<float>, facilities);
    QFETCH(QByteArray, bytes);
    QCOMPARE(statisticsFileBytes(averages, facilities), bytes);
}

void TstWorkFiles::writeReplacesFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"Odpowiedzi.tmp"_s);
    QVERIFY(writeFileAtomically(path, "old content, longer than the new\r\n"));
    QVERIFY(writeFileAtomically(path, "new"));

    QByteArray bytes;
    QCOMPARE(::readWholeFile(path, &bytes), ReadStatus::Ok);
    QCOMPARE(bytes, QByteArray("new"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Odpowiedzi.tmp"_s});
}

void TstWorkFiles::failedWriteKeepsWhatWasThere_data()
{
    QTest::addColumn<QString>("target"); // relative to a fresh directory that holds "plik" and "katalog/a"

    QTest::newRow("target is a directory") << u"katalog"_s;
    QTest::newRow("parent is a regular file") << u"plik/Szkola.ini"_s;
    QTest::newRow("parent is missing") << u"brak/Szkola.ini"_s;
}

void TstWorkFiles::failedWriteKeepsWhatWasThere()
{
    QFETCH(QString, target);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFileAtomically(dir.filePath(u"plik"_s), "old"));
    QVERIFY(QDir(dir.path()).mkdir(u"katalog"_s));
    QVERIFY(writeFileAtomically(dir.filePath(u"katalog/a"_s), "inside"));

    QVERIFY(!writeFileAtomically(dir.filePath(target), "new"));

    QByteArray bytes;
    QCOMPARE(::readWholeFile(dir.filePath(u"plik"_s), &bytes), ReadStatus::Ok);
    QCOMPARE(bytes, QByteArray("old"));
    QCOMPARE(::readWholeFile(dir.filePath(u"katalog/a"_s), &bytes), ReadStatus::Ok);
    QCOMPARE(bytes, QByteArray("inside"));
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{u"katalog"_s, u"plik"_s}));
    QCOMPARE(
        QDir(dir.filePath(u"katalog"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{u"a"_s});
}

void TstWorkFiles::readWholeFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray bytes = "stale";
    QCOMPARE(::readWholeFile(dir.filePath(u"brak.tmp"_s), &bytes), ReadStatus::Missing);
    QVERIFY(bytes.isEmpty());
    QCOMPARE(::readWholeFile(dir.path(), &bytes), ReadStatus::Failed);

    const QString empty = dir.filePath(u"pusty.tmp"_s);
    QVERIFY(writeFileAtomically(empty, QByteArray()));
    QCOMPARE(::readWholeFile(empty, &bytes), ReadStatus::Ok);
    QVERIFY(bytes.isEmpty());

    QByteArray large;
    for (int i = 0; i < 20000; ++i)
        large += QByteArray::number(i) + ';';
    const QString path = dir.filePath(u"Szkola.tmp"_s);
    QVERIFY(writeFileAtomically(path, large));
    QCOMPARE(::readWholeFile(path, &bytes), ReadStatus::Ok);
    QCOMPARE(bytes, large);
}

void TstWorkFiles::readRefusesSpecialAndHugeFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray bytes;

    // A sparse file just over the limit costs no disk space.
    QFile huge(dir.filePath(u"ogromny.tmp"_s));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(64 * 1024 * 1024 + 1));
    huge.close();
    QCOMPARE(::readWholeFile(huge.fileName(), &bytes), ReadStatus::Failed);
    QVERIFY(bytes.isEmpty());

#ifdef Q_OS_UNIX
    // Opening a pipe without a writer would block forever.
    const QByteArray fifo = QFile::encodeName(dir.filePath(u"potok"_s));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QCOMPARE(::readWholeFile(dir.filePath(u"potok"_s), &bytes), ReadStatus::Failed);
#endif
}

void TstWorkFiles::writeKeepsPermissionsAndRemovesLeftovers()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Szkola.ini"_s);
    QVERIFY(writeFileAtomically(path, "old"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    // What killed saves left behind, and a file of the teacher's that only looks alike.
    for (const QString &name : {u".sondaryk-Ab12Cd.part"_s, u".Analiza-x1Y2z3.pdf"_s, u".sondaryk-notes"_s})
        QVERIFY(writeBytes(dir.filePath(name), "left"));
    QVERIFY(writeFileAtomically(path, "new"));
    QCOMPARE(readBytes(path), QByteArray("new"));
    struct stat info {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0600u);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u".sondaryk-notes"_s, u"Szkola.ini"_s}));
    QVERIFY(isOwnTemporaryName(u".sondaryk-Zz09aa.part"_s));
    QVERIFY(!isOwnTemporaryName(u"sondaryk-Zz09aa.part"_s));
}

void TstWorkFiles::symlinksAndTheSchoolFolder_data()
{
    // In a school folder "szkola" beside a folder "obcy" of someone else's; the path written is
    // "szkola/" + path.
    QTest::addColumn<QString>("link");   // made inside szkola, "" for none
    QTest::addColumn<QString>("target"); // what it points at, relative to the top
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");        // WriteStatus
    QTest::addColumn<QString>("writtenTo"); // relative to the top, "" for nothing written

    const int ok = int(WriteStatus::Ok);
    const int outside = int(WriteStatus::OutsideSchool);
    QTest::newRow("plain file") << QString() << QString() << u"6a/Odpowiedzi.tmp"_s << ok
                                << u"szkola/6a/Odpowiedzi.tmp"_s;
    QTest::newRow("class folder linked out")
        << u"6b"_s << u"obcy"_s << u"6b/Odpowiedzi.tmp"_s << outside << QString();
    QTest::newRow("file linked out") << u"6a/Odpowiedzi.tmp"_s << u"obcy/passwd"_s << u"6a/Odpowiedzi.tmp"_s
                                     << outside << QString();
    QTest::newRow("link that leads nowhere")
        << u"6a/Odpowiedzi.tmp"_s << u"obcy/brak"_s << u"6a/Odpowiedzi.tmp"_s << outside << QString();
    QTest::newRow("dot-dot out of the folder")
        << QString() << QString() << u"6a/../../obcy/x.tmp"_s << outside << QString();
    QTest::newRow("class folder linked inside") << u"6b"_s << u"szkola/archiwum"_s << u"6b/Odpowiedzi.tmp"_s
                                                << ok << u"szkola/archiwum/Odpowiedzi.tmp"_s;
    QTest::newRow("file linked inside") << u"6a/Odpowiedzi.tmp"_s << u"szkola/archiwum/stary.tmp"_s
                                        << u"6a/Odpowiedzi.tmp"_s << ok << u"szkola/archiwum/stary.tmp"_s;
}

void TstWorkFiles::symlinksAndTheSchoolFolder()
{
    QFETCH(QString, link);
    QFETCH(QString, target);
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QString, writtenTo);

    QTemporaryDir top;
    for (const QString &folder : {u"szkola/6a"_s, u"szkola/archiwum"_s, u"obcy"_s})
        QVERIFY(QDir().mkpath(top.filePath(folder)));
    QVERIFY(writeBytes(top.filePath(u"obcy/passwd"_s), "root:x:0:0"));
    QVERIFY(writeBytes(top.filePath(u"szkola/archiwum/stary.tmp"_s), "stary"));
    if (!link.isEmpty())
        QVERIFY(QFile::link(top.filePath(target), top.filePath(u"szkola/"_s + link)));
    const QString root = top.filePath(u"szkola"_s);
    const QMap<QString, QByteArray> outsideBefore{{u"passwd"_s, readBytes(top.filePath(u"obcy/passwd"_s))}};

    const WriteResult result = writeFileInside(root, root + u'/' + path, "nowe");
    QCOMPARE(int(result.status), status);
    if (!writtenTo.isEmpty())
        QCOMPARE(readBytes(top.filePath(writtenTo)), QByteArray("nowe"));
    if (!link.isEmpty())
        QVERIFY(QFileInfo(top.filePath(u"szkola/"_s + link)).isSymLink());
    // Nothing ever reaches the other folder, and reading through the same path is refused alike.
    QCOMPARE(QDir(top.filePath(u"obcy"_s)).entryList(QDir::Files | QDir::Hidden), QStringList{u"passwd"_s});
    QCOMPARE(readBytes(top.filePath(u"obcy/passwd"_s)), outsideBefore.value(u"passwd"_s));
    QByteArray bytes;
    const ReadStatus read = readFileInside(root, root + u'/' + path, &bytes);
    QCOMPARE(read == ReadStatus::OutsideSchool, status == int(WriteStatus::OutsideSchool));
}

void TstWorkFiles::fullDiskKeepsTheOldFile()
{
    // A real full file system: a small tmpfs of this test's own, which needs root to mount.
    if (::geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root (the test command runs this test as root)");
    QTemporaryDir dir;
    if (QProcess::execute(u"mount"_s,
                          {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"sondaryk-test"_s, dir.path()}) != 0)
        QSKIP("mount -t tmpfs failed");
    const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {u"-l"_s, dir.path()}); });
    const QString path = dir.filePath(u"Odpowiedzi.tmp"_s);
    const QByteArray old(2037, 'o');
    QVERIFY(writeFileAtomically(path, old));
    QFile filler(dir.filePath(u"wypelniacz"_s));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) > 0) {
    }
    filler.close();

    // 200 bytes: within the buffer that a commit would write only at its end.
    const WriteResult result = writeFileAtomically(path, QByteArray(200, 'n'));
    QCOMPARE(int(result.status), int(WriteStatus::Failed));
    QVERIFY2(!result.reason.isEmpty(), "the system's reason is kept");
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u"Odpowiedzi.tmp"_s, u"wypelniacz"_s}));
}

void TstWorkFiles::boundedGridReading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("read");

    // A grid of 3 rows and 6 columns takes 76 lines of 88 fields, and a few megabytes.
    QTest::newRow("as written") << QByteArray("a;b;\r\n1;2;") << true;
    QTest::newRow("a field too many per line, and lines too many")
        << QByteArray(88, ';').append(75, '\n') << true;
    QTest::newRow("a line of fields beyond the limit") << QByteArray(89, ';') << false;
    QTest::newRow("too many lines") << QByteArray(77, '\n') << false;
    QTest::newRow("2 MB of one line") << QByteArray(2 * 1024 * 1024, ';') << false;
    QTest::newRow("63 MiB: refused by its size") << QByteArray(63 * 1024 * 1024, 'x') << false;
}

void TstWorkFiles::boundedGridReading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, read);
    const GridLimits limits = gridLimitsFor(3, 6);
    QCOMPARE(limits.rows, 76);
    QCOMPARE(limits.fields, 88);
    const std::optional<GridRows> rows = parseGridFileWithin(bytes, limits);
    QCOMPARE(rows.has_value(), read);
    if (read)
        QCOMPARE(*rows, ::parseGridFile(bytes));
    // The largest grid still fits under the old limit for a whole file.
    QCOMPARE(gridLimitsFor(1000, 203).bytes, maxReadSize);
}

QTEST_GUILESS_MAIN(TstWorkFiles)
#include "tst_workfiles.moc"
