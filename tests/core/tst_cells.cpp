// What a cell's text means, and blocks of cells as spreadsheets pass them on the clipboard.
#include "core/cells.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstCells : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blocks_data();
    void blocks();
    void typedText();
    void polishCounts_data();
    void polishCounts();
};

void TstCells::blocks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::newRow("LibreOffice: LF after every row")
        << u"a\tb\n1\t\n"_s << QList<QStringList>{{u"a"_s, u"b"_s}, {u"1"_s, QString()}};
    QTest::newRow("Excel: CR LF") << u"a\tb\r\nc\r\n"_s << QList<QStringList>{{u"a"_s, u"b"_s}, {u"c"_s}};
    QTest::newRow("no final break, a lone CR") << u"a\rb"_s << QList<QStringList>{{u"a"_s}, {u"b"_s}};
    QTest::newRow("an empty row inside")
        << u"a\n\nb\n"_s << QList<QStringList>{{u"a"_s}, {QString()}, {u"b"_s}};
    QTest::newRow("nothing") << QString() << QList<QStringList>{};
}

void TstCells::blocks()
{
    QFETCH(QString, text);
    QFETCH(QList<QStringList>, rows);
    QCOMPARE(parseCellBlock(text), rows);
    // Copied out and pasted back, every block is itself again.
    QCOMPARE(parseCellBlock(cellBlockText(rows)), rows);
}

void TstCells::typedText()
{
    QCOMPARE(asTypedCell(u"Łucja;\tж 7"_s), u"Łucja 7"_s);
    QCOMPARE(asTypedCell(QString(40000, u'x')).size(), maxCellLength);
    QVERIFY(isBlankCell(u"-"_s) && isBlankCell(u" "_s) && !isBlankCell(u"--"_s) && !isEmptyCell(u"-"_s));
}

void TstCells::polishCounts_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("columns");
    QTest::newRow("1") << 1 << u"1 wiersz"_s << u"1 kolumnę"_s;
    QTest::newRow("3") << 3 << u"3 wiersze"_s << u"3 kolumny"_s;
    QTest::newRow("5") << 5 << u"5 wierszy"_s << u"5 kolumn"_s;
    QTest::newRow("12") << 12 << u"12 wierszy"_s << u"12 kolumn"_s;
    QTest::newRow("22") << 22 << u"22 wiersze"_s << u"22 kolumny"_s;
    QTest::newRow("112") << 112 << u"112 wierszy"_s << u"112 kolumn"_s;
}

void TstCells::polishCounts()
{
    QFETCH(int, count);
    QFETCH(QString, rows);
    QFETCH(QString, columns);
    QCOMPARE(rowsText(count), rows);
    QCOMPARE(columnsText(count), columns);
}

QTEST_GUILESS_MAIN(TstCells)
#include "tst_cells.moc"
