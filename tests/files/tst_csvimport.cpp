// A class's points imported from CSV files as spreadsheets save them: encodings, separators,
// quotes, the guessed layout, the problems a teacher must see, and the files refused.
#include "files/csvimport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray fixture(const QString &name)
{
    const QString path = QFINDTESTDATA(u"fixtures/csvimport/"_s + name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("fixture %s not found", qPrintable(name));
    return file.readAll();
}

CsvTable parsed(const QByteArray &bytes)
{
    QString error;
    const std::optional<CsvTable> table = parseCsv(bytes, &error);
    if (!table)
        qWarning().noquote() << "refused:" << error;
    return table.value_or(CsvTable());
}

QList<int> asList(const ImportLayout &layout)
{
    return {layout.firstDataRow, layout.codeColumn, layout.markColumn, layout.firstTaskColumn};
}

// "row/task: text", in the order found.
QStringList described(const QList<ImportProblem> &problems)
{
    QStringList texts;
    for (const ImportProblem &problem : problems)
        texts.append(u"%1/%2: %3"_s.arg(problem.fileRow).arg(problem.task).arg(problem.text));
    return texts;
}

const QString notWhole = u"„%1” nie jest całkowitą liczbą punktów."_s;

} // namespace

class TstCsvImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsSpreadsheetFiles_data();
    void readsSpreadsheetFiles();
    void splitsRecords_data();
    void splitsRecords();
    void refusedFiles_data();
    void refusedFiles();
    void hugeFileRefusedBySize();
    void guessesLayout_data();
    void guessesLayout();
    void importsPupils_data();
    void importsPupils();
    void classSize_data();
    void classSize();
    void symbolsInKeyedTasks();
};

void TstCsvImport::readsSpreadsheetFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QList<QStringList>>("rows");

    QTest::newRow("LibreOffice, UTF-8, semicolons")
        << u"calc-utf8-srednik.csv"_s << u"UTF-8"_s << QChar(u';')
        << QList<QStringList>{{u"Kod ucznia"_s, u"Ob."_s, u"Zad. 1"_s, u"Zad. 2"_s, u"Zad. 3"_s},
                              {u"Łucja"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s},
                              {u"Żaneta"_s, u"N"_s, QString(), QString(), QString()},
                              {u"Ścibor"_s, u"t"_s, u"1"_s, u"2"_s, u"3"_s}};
    QTest::newRow("Excel, UTF-8 with BOM, commas")
        << u"excel-utf8-bom-przecinek.csv"_s << u"UTF-8 (z BOM)"_s << QChar(u',')
        << QList<QStringList>{{u"Kod"_s, u"Obecność"_s, u"Zadanie 1"_s, u"Zadanie 2"_s, u"Zadanie 3"_s},
                              {u"Kowalski, Jan"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s},
                              {u"Żółć"_s, u"T"_s, u"1"_s, u"3"_s, u"2"_s},
                              {u"Anna"_s, u"N"_s, QString(), QString(), QString()}};
    QTest::newRow("Excel, Windows-1250, semicolons and quotes")
        << u"excel-cp1250-srednik.csv"_s << u"Windows-1250"_s << QChar(u';')
        << QList<QStringList>{{u"Wyniki klasy VI A"_s, QString(), QString(), QString(), QString()},
                              {u"L.p."_s, u"Kod"_s, u"1"_s, u"2"_s, u"3; część b"_s},
                              {u"1"_s, u"Łucja"_s, u"2"_s, u"1"_s, u"0"_s},
                              {u"2"_s, u"Ola \"Mała\""_s, u"1"_s, QString(), u"2"_s},
                              {u"3"_s, u"Świętosław"_s, u"0"_s, u"2"_s, u"5"_s},
                              {QString(), QString(), QString(), QString(), QString()}};
    QTest::newRow("Excel, Windows-1250, tabs")
        << u"excel-cp1250-tabulator.txt"_s << u"Windows-1250"_s << QChar(u'\t')
        << QList<QStringList>{{u"Kod"_s, u"Nazwisko"_s, u"Obecność"_s, u"Zad.1"_s, u"Zad.2"_s},
                              {u"A1"_s, u"Łukasiewicz"_s, u"T"_s, u"2"_s, u"1"_s},
                              {u"A2"_s, u"Ćwik"_s, u"N"_s, QString(), QString()},
                              {u"A3"_s, u"Źrebiec"_s, u"T"_s, u"2,5"_s, u"1"_s}};
}

void TstCsvImport::readsSpreadsheetFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, encoding);
    QFETCH(QChar, separator);
    QFETCH(QList<QStringList>, rows);

    QString error;
    const std::optional<CsvTable> table = parseCsv(fixture(file), &error);
    QVERIFY2(table, qPrintable(error));
    QCOMPARE(encodingName(table->encoding), encoding);
    QCOMPARE(table->separator, separator);
    QCOMPARE(table->rows, rows);
}

void TstCsvImport::splitsRecords_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QList<QStringList>>("rows");

    const QList<QStringList> twoByTwo{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}};
    QTest::newRow("CR LF") << QByteArray("a;b\r\nc;d\r\n") << QChar(u';') << twoByTwo;
    QTest::newRow("LF") << QByteArray("a;b\nc;d\n") << QChar(u';') << twoByTwo;
    QTest::newRow("CR") << QByteArray("a;b\rc;d\r") << QChar(u';') << twoByTwo;
    QTest::newRow("no line break at the end") << QByteArray("a;b\r\nc;d") << QChar(u';') << twoByTwo;
    QTest::newRow("blank line kept, so rows keep their numbers")
        << QByteArray("a;b\r\n\r\nc;d") << QChar(u';')
        << QList<QStringList>{{u"a"_s, u"b"_s}, {QString()}, {u"c"_s, u"d"_s}};
    QTest::newRow("separator at the end of a line")
        << QByteArray("a;b;\r\nc;d;\r\n") << QChar(u';')
        << QList<QStringList>{{u"a"_s, u"b"_s, QString()}, {u"c"_s, u"d"_s, QString()}};
    QTest::newRow("separator inside quotes") << QByteArray("\"a;x\";b\r\nc;d") << QChar(u';')
                                             << QList<QStringList>{{u"a;x"_s, u"b"_s}, {u"c"_s, u"d"_s}};
    QTest::newRow("doubled quote") << QByteArray("\"Ola \"\"Mała\"\"\";b\r\nc;\"\"") << QChar(u';')
                                   << QList<QStringList>{{u"Ola \"Mała\""_s, u"b"_s}, {u"c"_s, QString()}};
    QTest::newRow("line break inside quotes") << QByteArray("\"a\r\nx\";b\r\nc;d") << QChar(u';')
                                              << QList<QStringList>{{u"a\r\nx"_s, u"b"_s}, {u"c"_s, u"d"_s}};
    QTest::newRow("text after the closing quote") << QByteArray("\"a\"x;b\r\nc;d") << QChar(u';')
                                                  << QList<QStringList>{{u"ax"_s, u"b"_s}, {u"c"_s, u"d"_s}};
    QTest::newRow("quote inside a field is a character")
        << QByteArray("a\"b;c\r\nd;e") << QChar(u';')
        << QList<QStringList>{{u"a\"b"_s, u"c"_s}, {u"d"_s, u"e"_s}};

    QTest::newRow("commas") << QByteArray("a,b\r\nc,d") << QChar(u',') << twoByTwo;
    QTest::newRow("tabs") << QByteArray("a\tb\r\nc\td") << QChar(u'\t') << twoByTwo;
    QTest::newRow("semicolons beat decimal commas")
        << QByteArray("A1;2,5;1\r\nA2;1;0\r\nA3;2;1,5") << QChar(u';')
        << QList<QStringList>{
               {u"A1"_s, u"2,5"_s, u"1"_s}, {u"A2"_s, u"1"_s, u"0"_s}, {u"A3"_s, u"2"_s, u"1,5"_s}};
    QTest::newRow("commas split more rows alike")
        << QByteArray("Kod,Zad;1\r\nA1,2\r\nA2,1") << QChar(u',')
        << QList<QStringList>{{u"Kod"_s, u"Zad;1"_s}, {u"A1"_s, u"2"_s}, {u"A2"_s, u"1"_s}};
    QTest::newRow("tie goes to the semicolon") << QByteArray("a;b,c\r\nd;e,f") << QChar(u';')
                                               << QList<QStringList>{{u"a"_s, u"b,c"_s}, {u"d"_s, u"e,f"_s}};
    QTest::newRow("tab beats comma on a tie") << QByteArray("a\tb,c\r\nd\te,f") << QChar(u'\t')
                                              << QList<QStringList>{{u"a"_s, u"b,c"_s}, {u"d"_s, u"e,f"_s}};
    QTest::newRow("title line does not decide")
        << QByteArray("Wyniki, klasa VI A\r\nA1;2;1\r\nA2;1;0") << QChar(u';')
        << QList<QStringList>{
               {u"Wyniki, klasa VI A"_s}, {u"A1"_s, u"2"_s, u"1"_s}, {u"A2"_s, u"1"_s, u"0"_s}};
    QTest::newRow("not UTF-8 read as Windows-1250")
        << QByteArray("\xA3ucja;\xAF\x61k\r\n\x8C\x63ibor;\x9F\x64\x9F\x62\xB3o") << QChar(u';')
        << QList<QStringList>{{u"Łucja"_s, u"Żak"_s}, {u"Ścibor"_s, u"źdźbło"_s}};
}

void TstCsvImport::splitsRecords()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QChar, separator);
    QFETCH(QList<QStringList>, rows);

    QString error;
    const std::optional<CsvTable> table = parseCsv(bytes, &error);
    QVERIFY2(table, qPrintable(error));
    QCOMPARE(table->separator, separator);
    QCOMPARE(table->rows, rows);
}

void TstCsvImport::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QByteArray manyRows;
    for (int i = 0; i <= maxCsvRows; ++i)
        manyRows += "A;1\r\n";
    QByteArray manyCells;
    for (int r = 0; r < 600; ++r)
        manyCells += QByteArray(999, ';') + "\r\n";
    QByteArray controls("A1;2;1\r\n");
    for (int i = 0; i < 20; ++i)
        controls += "\x01\x02\x03\x04";

    QTest::newRow("empty") << QByteArray() << u"Plik jest pusty."_s;
    QTest::newRow("blank lines only") << QByteArray("\r\n  \r\n\t\r\n") << u"Plik jest pusty."_s;
    QTest::newRow("a BOM only") << QByteArray("\xEF\xBB\xBF\r\n") << u"Plik jest pusty."_s;
    QTest::newRow("separators only") << QByteArray(";;;\r\n; ;\r\n") << u"nie zawiera żadnych danych"_s;
    QTest::newRow("NUL byte") << QByteArray("A1;2\0;1\r\n", 9) << u"danymi binarnymi"_s;
    QTest::newRow("control characters") << controls << u"danymi binarnymi"_s;
    QTest::newRow("XLSX or ODS") << QByteArray("PK\x03\x04\x14\0\0\0", 8) << u"XLSX albo ODS"_s;
    QTest::newRow("XLS") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) << u"(XLS)"_s;
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE"
                                          "A\0;\0"
                                          "1\0",
                                          8)
                            << u"UTF-16"_s;
    QTest::newRow("quote never closed") << QByteArray("A1;1\r\n\"A2;2\r\nA3;3\r\n") << u"w wierszu 2 pliku"_s;
    QTest::newRow("too many rows") << manyRows << u"więcej niż 5000 wierszy"_s;
    QTest::newRow("too many fields in a row") << QByteArray("A;1\r\n") + QByteArray(maxCsvFields, ';')
                                              << u"Wiersz 2 pliku ma więcej niż 1000 pól"_s;
    QTest::newRow("too many fields in the file") << manyCells << u"więcej niż 500000 pól"_s;
}

void TstCsvImport::refusedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);

    QString error;
    QVERIFY(!parseCsv(bytes, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(!parseCsv(bytes, nullptr));
}

void TstCsvImport::hugeFileRefusedBySize()
{
    // What a parse would take hours over is refused at once.
    const QByteArray huge(100 * 1024 * 1024, ';');
    QElapsedTimer timer;
    timer.start();
    QString error;
    QVERIFY(!parseCsv(huge, &error));
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(error, u"Plik ma 100 MB, a plik z wynikami klasy może mieć najwyżej 4 MB. Wybierz plik CSV z "
                    u"wynikami jednej klasy."_s);

    QVERIFY(!parseCsv(QByteArray(maxCsvBytes + 1, 'x'), &error));
    QVERIFY2(error.startsWith(u"Plik ma ponad 4 MB,"_s), qPrintable(error));
    QVERIFY(parseCsv(QByteArray(maxCsvBytes - 4, 'x') + "\r\n;1", &error)); // the limit itself is kept
}

void TstCsvImport::guessesLayout_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("taskCount");
    QTest::addColumn<QList<int>>("layout"); // first data row, code, mark, first task

    QTest::newRow("heading row, marks") << fixture(u"calc-utf8-srednik.csv"_s) << 3 << QList<int>{1, 0, 1, 2};
    QTest::newRow("quoted codes") << fixture(u"excel-utf8-bom-przecinek.csv"_s) << 3
                                  << QList<int>{1, 0, 1, 2};
    QTest::newRow("title, half-numeric headings, row numbers")
        << fixture(u"excel-cp1250-srednik.csv"_s) << 3 << QList<int>{2, 1, -1, 2};
    QTest::newRow("names between code and marks")
        << fixture(u"excel-cp1250-tabulator.txt"_s) << 2 << QList<int>{1, 0, 2, 3};
    QTest::newRow("no headings, no marks")
        << QByteArray("A1;2;1\r\nA2;0;1\r\n") << 2 << QList<int>{0, 0, -1, 1};
    QTest::newRow("tasks numbered in the headings")
        << QByteArray("Kod;1;2;3\r\nA1;2;1;0\r\nA2;0;1;1\r\n") << 3 << QList<int>{1, 0, -1, 1};
    QTest::newRow("two tasks numbered")
        << QByteArray("Kod;1;2\r\nA1;2;1\r\n") << 2 << QList<int>{1, 0, -1, 1};
    QTest::newRow("absent pupil first")
        << QByteArray("Kod;Ob.;Z1;Z2\r\nA1;N;;\r\nA2;T;1;2\r\n") << 2 << QList<int>{1, 0, 1, 2};
    QTest::newRow("blank line under the headings")
        << QByteArray("Kod;Ob.;Z1\r\n;;\r\nA1;N;\r\nA2;T;1\r\n") << 1 << QList<int>{2, 0, 1, 2};
    QTest::newRow("numbers for codes, then marks")
        << QByteArray("1;T;2;1\r\n2;N;;\r\n3;T;0;1\r\n") << 2 << QList<int>{0, 0, 1, 2};
    QTest::newRow("row numbers, codes, lower-case marks")
        << QByteArray("L.p.;Kod;Ob.;Z1\r\n1;A1;t;2\r\n2;A2;n;\r\n") << 1 << QList<int>{1, 1, 2, 3};
    QTest::newRow("only absent pupils")
        << QByteArray("Kod;Ob.;Z1\r\nA1;N;\r\nA2;N;\r\n") << 1 << QList<int>{1, 0, 1, 2};
    QTest::newRow("nothing like pupils")
        << QByteArray("Kod;Nazwisko\r\nx;y\r\n") << 1 << QList<int>{0, 0, -1, 1};
}

void TstCsvImport::guessesLayout()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, taskCount);
    QFETCH(QList<int>, layout);
    QCOMPARE(asList(::guessLayout(parsed(bytes), taskCount)), layout);
}

void TstCsvImport::importsPupils_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("layout"); // first data row, code, mark, first task
    QTest::addColumn<QList<qint32>>("maxima");
    QTest::addColumn<GridRows>("pupils");
    QTest::addColumn<QList<int>>("fileRows");
    QTest::addColumn<QStringList>("problems");

    QTest::newRow("marks as written")
        << fixture(u"calc-utf8-srednik.csv"_s) << QList<int>{1, 0, 1, 2} << QList<qint32>{2, 2, 3}
        << GridRows{{u"Łucja"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s},
                    {u"Żaneta"_s, u"N"_s, QString(), QString(), QString()},
                    {u"Ścibor"_s, u"t"_s, u"1"_s, u"2"_s, u"3"_s}}
        << QList<int>{2, 3, 4} << QStringList();
    QTest::newRow("no mark column, blank row skipped, points above the maximum")
        << fixture(u"excel-cp1250-srednik.csv"_s) << QList<int>{2, 1, -1, 2} << QList<qint32>{2, 2, 4}
        << GridRows{{u"Łucja"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s},
                    {u"Ola \"Mała\""_s, u"T"_s, u"1"_s, QString(), u"2"_s},
                    {u"Świętosław"_s, u"T"_s, u"0"_s, u"2"_s, u"5"_s}}
        << QList<int>{3, 4, 5}
        << QStringList{u"5/3: 5 pkt to więcej, niż można dostać za to zadanie (najwyżej 4 pkt)."_s};
    QTest::newRow("decimal comma kept as typed and listed")
        << fixture(u"excel-cp1250-tabulator.txt"_s) << QList<int>{1, 0, 2, 3} << QList<qint32>{2, 1}
        << GridRows{{u"A1"_s, u"T"_s, u"2"_s, u"1"_s},
                    {u"A2"_s, u"N"_s, QString(), QString()},
                    {u"A3"_s, u"T"_s, u"2,5"_s, u"1"_s}}
        << QList<int>{2, 3, 4} << QStringList{u"4/1: "_s + notWhole.arg(u"2,5"_s)};

    const QList<int> plain{0, 0, 1, 2};
    QTest::newRow("points Compute refuses")
        << QByteArray("A1;T;2.0;2,0;x\r\nA2;T;-1;4;3 \r\n") << plain << QList<qint32>{3, 3, 3}
        << GridRows{{u"A1"_s, u"T"_s, u"2.0"_s, u"2,0"_s, u"x"_s}, {u"A2"_s, u"T"_s, u"-1"_s, u"4"_s, u"3"_s}}
        << QList<int>{1, 2}
        << QStringList{u"1/1: "_s + notWhole.arg(u"2.0"_s), u"1/2: "_s + notWhole.arg(u"2,0"_s),
                       u"1/3: "_s + notWhole.arg(u"x"_s), u"2/1: Liczba punktów „-1” jest ujemna."_s,
                       u"2/2: 4 pkt to więcej, niż można dostać za to zadanie (najwyżej 3 pkt)."_s};
    QTest::newRow("what Compute takes for points")
        << QByteArray("A1;T;-;$2; 1\r\n") << plain << QList<qint32>{3, 3, 3}
        << GridRows{{u"A1"_s, u"T"_s, u"-"_s, u"$2"_s, u"1"_s}} << QList<int>{1} << QStringList();
    QTest::newRow("marks other than T and N")
        << QByteArray("A1;x;1\r\nA2;;1\r\n") << QList<int>{0, 0, 1, 2} << QList<qint32>{1}
        << GridRows{{u"A1"_s, u"x"_s, u"1"_s}, {u"A2"_s, QString(), u"1"_s}} << QList<int>{1, 2}
        << QStringList{u"1/0: Obecność „x” nie jest oznaczeniem T ani N."_s,
                       u"2/0: Brak oznaczenia obecności (T albo N): uczeń będzie liczony jako nieobecny."_s};
    QTest::newRow("characters the files cannot hold")
        << QByteArray("\"A;1\",T,1\r\n\"A\x01\t\x32\",T,1\r\n\xD0\x96\xF0\x9F\x98\x80\xD0\x96,T,1\r\n")
        << plain << QList<qint32>{1}
        << GridRows{{u"A1"_s, u"T"_s, u"1"_s}, {u"A2"_s, u"T"_s, u"1"_s}, {QString(), u"T"_s, u"1"_s}}
        << QList<int>{1, 2, 3}
        << QStringList{
               u"1/0: Usunięto znaki, których pliki programu nie mogą zawierać: „;”."_s,
               u"2/0: Usunięto znaki, których pliki programu nie mogą zawierać: znak sterujący U+0001, "
               u"znak sterujący U+0009."_s,
               u"3/0: Usunięto znaki, których pliki programu nie mogą zawierać: „Ж”, „😀”."_s};
    QTest::newRow("short rows and extra columns")
        << QByteArray("A1;T;1\r\nA2;T;1;1;1;7\r\n") << plain << QList<qint32>{1, 1, 1}
        << GridRows{{u"A1"_s, u"T"_s, u"1"_s, QString(), QString()},
                    {u"A2"_s, u"T"_s, u"1"_s, u"1"_s, u"1"_s}}
        << QList<int>{1, 2}
        << QStringList{u"2/0: Za punktami ostatniego zadania są jeszcze wypełnione kolumny; pominięto je."_s};
    // The grid would cut it unseen; the blank the cut leaves at the end goes too.
    const QByteArray longCode = QByteArray(32766, 'A') + " BB";
    QTest::newRow("text longer than a cell holds cut")
        << longCode + ";T;1\r\n"
        << plain << QList<qint32>{1} << GridRows{{QString(32766, u'A'), u"T"_s, u"1"_s}} << QList<int>{1}
        << QStringList{u"1/0: Tekst komórki był dłuższy niż 32767 znaków; skrócono go."_s};
    QTest::newRow("layout outside the table")
        << QByteArray("A1;T;1\r\n") << QList<int>{-3, 7, 9, 12} << QList<qint32>{1}
        << GridRows{{QString(), QString(), QString()}} << QList<int>{1}
        << QStringList{u"1/0: Brak oznaczenia obecności (T albo N): uczeń będzie liczony jako nieobecny."_s};
}

void TstCsvImport::importsPupils()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, layout);
    QFETCH(QList<qint32>, maxima);
    QFETCH(GridRows, pupils);
    QFETCH(QList<int>, fileRows);
    QFETCH(QStringList, problems);

    const ImportLayout given{layout.at(0), layout.at(1), layout.at(2), layout.at(3)};
    const ImportResult result = applyLayout(parsed(bytes), given, maxima);
    QCOMPARE(result.pupils, pupils);
    QCOMPARE(result.fileRows, fileRows);
    QCOMPARE(described(result.problems).join(u'\n'), problems.join(u'\n'));
}

// Letters make a column look like names: with the keys the points are found to start at them, and
// the letters are taken as typed, a symbol the key refuses listed.
void TstCsvImport::symbolsInKeyedTasks()
{
    const CsvTable table = parsed("Kod;Nazwisko;Ob.;Z1;Z2;Z3\r\nA1;Nowak;T;b;PF;2\r\nA2;Kos;T;E;pp;3\r\n"
                                  "A3;Lis;N;;;\r\n");
    const QList<TaskKey> keys{{u"B"_s, u"ABCD"_s, false}, {u"PF"_s, u"PF"_s, true}, {}};
    const ImportLayout layout = ::guessLayout(table, 3, keys);
    QCOMPARE(asList(layout), (QList<int>{1, 0, 2, 3}));
    const ImportResult result = applyLayout(table, layout, {1, 2, 3}, keys);
    QCOMPARE(result.pupils, (GridRows{{u"A1"_s, u"T"_s, u"b"_s, u"PF"_s, u"2"_s},
                                      {u"A2"_s, u"T"_s, u"E"_s, u"pp"_s, u"3"_s},
                                      {u"A3"_s, u"N"_s, QString(), QString(), QString()}}));
    QCOMPARE(described(result.problems),
             QStringList{u"3/1: Odpowiedź „E” nie pasuje do zadania: części 1, odpowiedzi ABCD."_s});
}

void TstCsvImport::classSize_data()
{
    QTest::addColumn<qsizetype>("pupils");
    QTest::addColumn<qint32>("classSize");
    QTest::addColumn<QString>("problem");

    QTest::newRow("fits") << qsizetype(30) << 30 << QString();
    QTest::newRow("one too many")
        << qsizetype(31) << 30
        << u"Plik zawiera wyniki 31 uczniów, a klasa ma 30 uczniów. Popraw plik albo "
           u"liczbę uczniów klasy."_s;
    QTest::newRow("one pupil in the class") << qsizetype(2) << 1
                                            << u"Plik zawiera wyniki 2 uczniów, a klasa ma 1 ucznia. Popraw "
                                               u"plik albo liczbę uczniów klasy."_s;
    QTest::newRow("no pupils in the class") << qsizetype(1) << 0
                                            << u"Plik zawiera wyniki 1 ucznia, a klasa ma 0 uczniów. Popraw "
                                               u"plik albo liczbę uczniów klasy."_s;
}

void TstCsvImport::classSize()
{
    QFETCH(qsizetype, pupils);
    QFETCH(qint32, classSize);
    QFETCH(QString, problem);
    QCOMPARE(classSizeProblem(pupils, classSize), problem);
}

QTEST_GUILESS_MAIN(TstCsvImport)
#include "tst_csvimport.moc"
