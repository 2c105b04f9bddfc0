// Results brought in without retyping: blocks pasted from a spreadsheet into the grids, copied out
// again, a class imported from a CSV file through its preview, and the spreadsheet files of Save.
#include "tests/workbook/workbooktesting.h"
#include "ui_tfimport.h"
#include "workbook/tfimport.h"

#include <QClipboard>
#include <QMenu>
#include <QSpinBox>
#include <QTableWidget>

using namespace wb;

namespace {

const QString fixtures = QStringLiteral(SONDARYK_CSV_FIXTURES);

// Three pupils of the test's three tasks, as a spreadsheet copies them: code, mark, points.
const QString threePupils = u"A1\tT\t2\t1\t3\r\nA2\tN\t\t\t\r\nA3\tt\t1\t0\t2\r\n"_s;

void pasteWithKeys(StringGrid *grid, int col, int row, const QString &text)
{
    QApplication::clipboard()->setText(text);
    grid->setFocus();
    grid->setCurrentCell(row, col);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
}

// Presses "Importuj wyniki z pliku" with the file chosen, and runs inside on the preview.
void importFile(Workbook &wb, const QString &path, const std::function<void(TfImport *)> &inside)
{
    ui::fileChooser = [path](QWidget *, const QString &, const QString &, const QString &) { return path; };
    const auto restore = qScopeGuard([] {
        ui::fileChooser = [](QWidget *, const QString &, const QString &, const QString &) {
            return QString();
        };
    });
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
        if (!fImport || !fImport->isVisible())
            return;
        watcher.stop();
        inside(fImport);
        if (fImport->isVisible())
            fImport->reject();
    });
    watcher.start();
    wb.press("sbImportuj");
}

} // namespace

class TstPasteImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpApplication(); }
    void pasteIsTyping();
    void pasteThatDoesNotFit_data();
    void pasteThatDoesNotFit();
    void pasteIntoTheClassList();
    void copyOut();
    void importFiles_data();
    void importFiles();
    void importPreviewLayout();
    void badImportFiles_data();
    void badImportFiles();
    void spreadsheetFilesOnSave();
};

void TstPasteImport::pasteIsTyping()
{
    // The same points typed in one workbook and pasted in another give the same files.
    Workbook typed;
    WB_CHECK(typed.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(typed.go({u"next"_s}));
    const QStringList rows = threePupils.split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows[r].split(u'\t');
        for (int c = 0; c < cells.size(); ++c) {
            if (cells[c] != typed.upper()->cell(c + 1, r + 1))
                WB_CHECK(typeIntoCell(typed.upper(), c + 1, r + 1, cells[c]));
        }
    }
    WB_CHECK(typed.press("bOblicz"));
    WB_CHECK(typed.press("sbZapisz"));

    Workbook pasted;
    WB_CHECK(pasted.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(pasted.go({u"next"_s}));
    pasteWithKeys(pasted.upper(), 1, 1, threePupils);
    QVERIFY2(pasted.recorder.shown.isEmpty(), qPrintable(pasted.shownTexts().join(u" | "_s)));
    // Pasted points count as typed: leaving the page asks about them.
    pasted.recorder.answers = {QMessageBox::Cancel};
    WB_CHECK(pasted.go({u"back"_s}));
    QCOMPARE(pasted.window.currentPage(), 1);
    QCOMPARE(pasted.recorder.shown.size(), 1);
    QCOMPARE(pasted.recorder.shown[0].kind, messages::Kind::Question);
    pasted.recorder.clear();
    WB_CHECK(pasted.press("bOblicz"));
    WB_CHECK(pasted.press("sbZapisz"));
    for (const QString &name :
         {u"Odpowiedzi.tmp"_s, u"Zadania.tmp"_s, u"Standardy.tmp"_s, u"Wyniki uczniów.csv"_s})
        QCOMPARE(readBytes(pasted.school(u"Klasa VI A/"_s + name)),
                 readBytes(typed.school(u"Klasa VI A/"_s + name)));

    // Compute checks pasted points as it checks typed ones; one Ctrl+Z takes the whole paste back.
    pasted.recorder.clear();
    pasteWithKeys(pasted.upper(), 3, 1, u"3\t1\t3"_s);
    WB_CHECK(pasted.press("bOblicz"));
    QCOMPARE(pasted.shownTexts(),
             QStringList{u"Dla ucznia o kodzie A1, w zadaniu Zad.1 wprowadzono złą liczbę punktów!"_s});
    QTest::keyClick(pasted.upper(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(pasted.upper()->cell(3, 1), u"2"_s);
    QCOMPARE(pasted.upper()->cell(5, 1), u"3"_s);
}

void TstPasteImport::pasteThatDoesNotFit_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("message");

    QTest::newRow("two rows too many") << threePupils + u"A4\tT\t1\t1\t1\nA5\tT\t0\t0\t0\n"_s << 1
                                       << u"Wklejony blok nie zmieścił się w tabeli: pominięto 2 wiersze."_s;
    QTest::newRow("a column too many, from the second pupil")
        << u"A2\tT\t1\t1\t1\t9\nA3\tT\t1\t1\t1\n"_s << 2
        << u"Wklejony blok nie zmieścił się w tabeli: pominięto 1 kolumnę."_s;
    QTest::newRow("both") << u"1\t1\t1\t1\t1\t1\t1\n1\n1\n"_s << 2
                          << u"Wklejony blok nie zmieścił się w tabeli: pominięto 1 wiersz i 2 kolumny."_s;
}

void TstPasteImport::pasteThatDoesNotFit()
{
    QFETCH(QString, block);
    QFETCH(int, row);
    QFETCH(QString, message);
    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    pasteWithKeys(wb.upper(), 1, row, block);
    QCOMPARE(wb.shownTexts(), QStringList{message});
    // What fits is in, refused characters ("ж" and ";") dropped as typing drops them.
    wb.recorder.clear();
    pasteWithKeys(wb.upper(), 1, 1, u"Ż;ж1"_s);
    QCOMPARE(wb.upper()->cell(1, 1), u"Ż1"_s);
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstPasteImport::pasteIntoTheClassList()
{
    Workbook wb;
    WB_CHECK(wb.chooseLocation(wb.location.path()));
    WB_CHECK(typeInto(wb.edit("eLiczbaKlas"), u"2"_s));
    pasteWithKeys(wb.upper(), 1, 1, u"6a\t24\n6b\t25\n"_s);
    QCOMPARE(wb.upper()->cell(1, 2), u"6b"_s);
    QCOMPARE(wb.upper()->cell(2, 1), u"24"_s);
    WB_CHECK(typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
    WB_CHECK(wb.press("bAkceptuj"));
    QCOMPARE(wb.window.pageCount(), 4);
    QCOMPARE(wb.window.session().pupilCounts(), (QList<qint32>{24, 25}));
    // Accepted, the list is read-only: a paste changes nothing.
    pasteWithKeys(wb.upper(), 1, 1, u"7a\t3"_s);
    QCOMPARE(wb.upper()->cell(1, 1), u"6a"_s);
}

void TstPasteImport::copyOut()
{
    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    pasteWithKeys(wb.upper(), 1, 1, threePupils);
    StringGrid *grid = wb.upper();
    grid->setRangeSelected(QTableWidgetSelectionRange(1, 1, 3, 5), true);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    // Tabs and line breaks, so that it pastes into a spreadsheet as cells, and back here.
    QCOMPARE(QApplication::clipboard()->text(),
             threePupils.split(u"\r\n"_s, Qt::SkipEmptyParts).join(u'\n') + u'\n');
    // The grid's context menu has the same entries.
    bool found = false;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu) {
            QStringList texts;
            for (QAction *action : menu->actions())
                texts.append(action->text());
            found = texts == QStringList{u"Kopiuj"_s, u"Wklej"_s, u"Cofnij"_s};
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(40, 40),
                            grid->viewport()->mapToGlobal(QPoint(40, 40)));
    QApplication::sendEvent(grid->viewport(), &event);
    QVERIFY(found);
}

void TstPasteImport::importFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("firstPupil"); // code, mark, task points
    QTest::newRow("LibreOffice, UTF-8, semicolons")
        << u"calc-utf8-srednik.csv"_s << u"Kodowanie: UTF-8, separator: „;”"_s
        << QStringList{u"Łucja"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s};
    QTest::newRow("Excel, Windows-1250, semicolons, a title row")
        << u"excel-cp1250-srednik.csv"_s << u"Kodowanie: Windows-1250, separator: „;”"_s
        << QStringList{u"Łucja"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s};
    QTest::newRow("Excel, Windows-1250, tabs")
        << u"excel-cp1250-tabulator.txt"_s << u"Kodowanie: Windows-1250, separator: tabulator"_s
        << QStringList{u"A1"_s, u"T"_s, u"2"_s, u"1"_s, QString()};
    QTest::newRow("UTF-8 with BOM, commas, quoted")
        << u"excel-utf8-bom-przecinek.csv"_s << u"Kodowanie: UTF-8 (z BOM), separator: „,”"_s
        << QStringList{u"Kowalski, Jan"_s, u"T"_s, u"2"_s, u"1"_s, u"0"_s};
}

void TstPasteImport::importFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, description);
    QFETCH(QStringList, firstPupil);
    Workbook wb(makeTest({2, 1, 3}));
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    const QByteArray before = readBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s));
    bool previewed = false;
    WB_CHECK(importFile(wb, fixtures + u'/' + file, [&](TfImport *window) {
        previewed = true;
        QVERIFY(window->form()->stKodowanie->text().startsWith(description));
        // Nothing reaches the grid before the teacher confirms.
        QCOMPARE(wb.upper()->cell(1, 1), QString());
        click(window->form()->bImportuj);
    }));
    QVERIFY(previewed);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    QStringList first;
    for (int c = 1; c <= 5; ++c)
        first.append(wb.upper()->cell(c, 1));
    QCOMPARE(first, firstPupil);
    // As if typed: unsaved, one step to take back, nothing on the disk yet.
    QVERIFY(wb.window.scoresModified());
    QCOMPARE(readBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s)), before);
    wb.upper()->undo();
    QCOMPARE(wb.upper()->cell(1, 1), QString());
}

void TstPasteImport::importPreviewLayout()
{
    // A file with a title row and a points value Compute would refuse: the preview says where.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"klasa.csv"_s);
    QVERIFY(writeBytes(path, "Wyniki 6a;;;;\r\nKod;Ob.;Z1;Z2;Z3\r\nA1;T;2;1;3\r\nA2;T;5;x;1\r\n"));
    Workbook wb(makeTest({2, 1, 3}));
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(importFile(wb, path, [&](TfImport *window) {
        Ui::TfImport *form = window->form();
        QCOMPARE(form->sePierwszyWiersz->value(), 3);
        QCOMPARE(form->sePierwszaKolumna->value(), 3);
        QCOMPARE(form->tabelaPodglad->rowCount(), 2);
        QStringList problems;
        for (int i = 0; i < form->lbUwagi->count(); ++i)
            problems.append(form->lbUwagi->item(i)->text());
        QVERIFY2(problems.size() == 2 && problems[0].startsWith(u"Wiersz 4, Zad.1: "_s) &&
                     problems[1].startsWith(u"Wiersz 4, Zad.2: "_s),
                 qPrintable(problems.join(u" | "_s)));
        QVERIFY(form->tabelaPodglad->item(1, 3)->background().color() != Qt::white);
        // The teacher moves the first data row up: the heading row becomes a pupil of the class.
        form->sePierwszyWiersz->setValue(2);
        QCOMPARE(form->tabelaPodglad->rowCount(), 3);
        form->sePierwszyWiersz->setValue(1);
        QVERIFY(!form->bImportuj->isEnabled()); // four rows for three pupils
        click(form->bAnuluj);
    }));
    QCOMPARE(wb.upper()->cell(1, 1), QString());
    QVERIFY(!wb.window.scoresModified());

    // Codes and marks alone, the points to be typed later: the points column lies past the file's
    // last, and the marks stay marks.
    QVERIFY(writeBytes(path, "Kod;Ob.\r\nA1;T\r\nA2;N\r\n"));
    WB_CHECK(importFile(wb, path, [&](TfImport *window) {
        Ui::TfImport *form = window->form();
        QCOMPARE(form->sePierwszaKolumna->value(), 3);
        QCOMPARE(form->lbUwagi->count(), 0);
        click(form->bImportuj);
    }));
    QCOMPARE((QStringList{wb.upper()->cell(1, 2), wb.upper()->cell(2, 2), wb.upper()->cell(3, 2)}),
             (QStringList{u"A2"_s, u"N"_s, QString()}));
}

void TstPasteImport::badImportFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size"); // grown to this many bytes, 0 as written
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << qint64(0) << u"pust"_s;
    QTest::newRow("binary") << QByteArray("PK\x03\x04\x00\x00binary\x00\x01", 14) << qint64(0) << u"arkusz"_s;
    QTest::newRow("100 MB") << QByteArray("A1;T;1;1;1\r\n") << qint64(100) * 1024 * 1024 << u"MB"_s;
    QTest::newRow("more pupils than the class")
        << QByteArray("A1;T;1;1;1\r\nA2;T;1;1;1\r\nA3;T;1;1;1\r\nA4;T;1;1;1\r\n") << qint64(0)
        << u"Plik zawiera wyniki 4 uczniów, a klasa ma 3 uczniów."_s;
}

void TstPasteImport::badImportFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"plik.csv"_s);
    QVERIFY(writeBytes(path, bytes));
    if (size > 0)
        QVERIFY(QFile(path).resize(size));
    Workbook wb(makeTest({2, 1, 3}));
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    wb.upper()->setCell(1, 1, u"A0"_s);
    bool previewed = false;
    WB_CHECK(importFile(wb, path, [&](TfImport *) { previewed = true; }));
    QVERIFY(!previewed);
    QCOMPARE(wb.recorder.shown.size(), 1);
    QVERIFY2(wb.shownTexts().value(0).contains(message), qPrintable(wb.shownTexts().value(0)));
    QCOMPARE(wb.upper()->cell(1, 1), u"A0"_s);
    QVERIFY(!wb.window.scoresModified());
}

void TstPasteImport::spreadsheetFilesOnSave()
{
    Workbook wb;
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    WB_CHECK(wb.go({u"next"_s}));
    pasteWithKeys(wb.upper(), 1, 1, threePupils);
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(wb.shownTexts(), QStringList{u"Wyniki uczniów zostały zapisane!"_s});
    QVERIFY(readBytes(wb.school(u"Klasa VI A/Wyniki uczniów.xlsx"_s)).startsWith("PK\x03\x04"));

    // A spreadsheet file that cannot be written: said, and no success.
    wb.recorder.clear();
    WB_CHECK(wb.go({u"tab 2"_s}));
    QVERIFY(QDir().mkpath(wb.school(u"Szkoła/Podsumowanie wyników.xlsx"_s)));
    wb.recorder.clear();
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(wb.shownTexts().size(), 1);
    QCOMPARE(wb.shownTexts()[0].section(u"\n\n"_s, 0, 0), u"Nie mogę zapisać pliku!"_s);
    QVERIFY(QFileInfo(wb.school(u"Szkoła/Podsumowanie wyników.csv"_s)).isFile());
}

QTEST_MAIN(TstPasteImport)
#include "tst_pasteimport.moc"
