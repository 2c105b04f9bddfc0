// "Porównanie testów" on a real X display: three schools of three tests added from the workbook's
// toolbar, the classes followed across a change of name, both files saved and read back the way a
// teacher would open them (LibreOffice, a PDF reader).
#include "tests/support/testfiles.h"
#include "tests/support/threeschools.h"
#include "tests/workbook/workbooktesting.h"

#include "ui_tfporownanietestow.h"
#include "workbook/tfporownanietestow.h"

#include <QComboBox>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

using namespace wb;

namespace {

// The cells LibreOffice reads from the file: each number as "#value", each text as it is.
QStringList readCells(const QByteArray &fods)
{
    QStringList cells;
    QXmlStreamReader xml(fods);
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement() || xml.qualifiedName() != u"table:table-cell")
            continue;
        const QString type = xml.attributes().value(u"office:value-type"_s).toString();
        const QString value = xml.attributes().value(u"office:value"_s).toString();
        QString text;
        while (xml.readNextStartElement()) {
            if (xml.qualifiedName() == u"text:p")
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else
                xml.skipCurrentElement();
        }
        if (type == u"float")
            cells.append(u'#' + value);
        else if (!text.isEmpty())
            cells.append(text);
    }
    return cells;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TstTestComparison : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpApplication(); }
    void threeSchoolsSavedAndReadBack();
};

void TstTestComparison::threeSchoolsSavedAndReadBack()
{
    QTemporaryDir schools;
    QTemporaryDir out;
    QVERIFY(schools.isValid() && out.isValid());
    QVERIFY(threeschools::makeAll(schools.path()));
    QVERIFY(QDir(schools.path()).mkdir(u"pusty"_s));

    Workbook wb;
    QStringList chosen{schools.filePath(u"A"_s), schools.filePath(u"C"_s), schools.filePath(u"pusty"_s),
                       schools.filePath(u"B"_s), out.path()};
    ui::folderChooser = [&](QWidget *, const QString &, const QString &) { return chosen.takeFirst(); };
    const auto reset = qScopeGuard(
        [] { ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); }; });

    // "Drukuj" prints the same pages on the teacher's printer.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out.filePath(u"wydruk.pdf"_s));
    ui::printerSource = [&printer] { return &printer; };
    const auto systemPrinter = qScopeGuard([] { ui::printerSource = [] { return ui::systemPrinter(); }; });

    QStringList order;
    QString leftOut;
    WB_CHECK(whileModalOpen(
        [&](QWidget *modal) {
            auto *window = qobject_cast<TfPorownanieTestow *>(modal);
            QVERIFY(window);
            QCOMPARE(window->windowTitle(), u"Porównanie testów"_s);
            Ui::TfPorownanieTestow *form = window->form();
            QVERIFY(form->stOstrzezenie->text().startsWith(u"Procenty punktów z różnych testów"_s));
            // The empty folder is said under the list until the next school is added.
            for (int i = 0; i < 3; ++i)
                WB_CHECK(click(form->bDodaj));
            leftOut = form->stPominiete->text();
            WB_CHECK(click(form->bDodaj));
            QVERIFY(form->stPominiete->text().isEmpty());
            for (int i = 0; i < form->lbSzkoly->count(); ++i)
                order.append(form->lbSzkoly->item(i)->text().section(u" – "_s, 0, 0));

            // Dragged to the top, the exam goes first, its column of classes with it; and back.
            QAbstractItemModel *list = form->lbSzkoly->model();
            QVERIFY(list->moveRow(QModelIndex(), 2, QModelIndex(), 0));
            QCOMPARE(window->comparison().tests.value(0).testName, u"Egzamin"_s);
            QCOMPARE(form->tabelaKlasy->horizontalHeaderItem(0)->text(), u"Egzamin, 2026-05-14"_s);
            QCOMPARE(window->comparison().classMatch.value(2),
                     (QStringList{u"Klasa 8a"_s, QString(), u"Klasa 8a"_s}));
            QVERIFY(list->moveRow(QModelIndex(), 0, QModelIndex(), 3));
            QCOMPARE(window->comparison().tests.value(2).testName, u"Egzamin"_s);

            // 7a became 8a and 7b became 8b: the rows of 8a and 8b are then left empty.
            QTableWidget *table = form->tabelaKlasy;
            QCOMPARE(table->rowCount(), 4);
            const auto choose = [&](int row, int col, const QString &label) {
                auto *choice = qobject_cast<QComboBox *>(table->cellWidget(row, col));
                QVERIFY(choice);
                const int index = label.isEmpty() ? 0 : choice->findText(label);
                QVERIFY(index >= 0);
                choice->setCurrentIndex(index);
            };
            for (int col = 1; col < 3; ++col) {
                WB_CHECK(choose(0, col, u"Klasa 8a"_s));
                WB_CHECK(choose(1, col, u"Klasa 8b"_s));
                WB_CHECK(choose(2, col, QString()));
                WB_CHECK(choose(3, col, QString()));
            }
            QCOMPARE(window->comparison().pupils.size(), 6);
            WB_CHECK(click(form->bZapisz));
            WB_CHECK(click(form->bDrukuj));
            WB_CHECK(click(form->bZamknij));
        },
        [&] { wb.press("sbPorownanieTestow"); }));

    QCOMPARE(order,
             (QStringList{u"Próbny 1, 2025-11-20"_s, u"Próbny 2, 2026-03-10"_s, u"Egzamin, 2026-05-14"_s}));
    QVERIFY2(leftOut.contains(u"brak pliku Szkola.ini"_s), qPrintable(leftOut));
    const QString xlsx = out.filePath(u"Porównanie testów.xlsx"_s);
    const QString pdf = out.filePath(u"Porównanie testów.pdf"_s);
    QCOMPARE(wb.shownTexts(),
             QStringList{u"Porównanie testów zostało zapisane w plikach:\n"_s + xlsx + u'\n' + pdf});

    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty())
        QSKIP("LibreOffice is not installed");
    run(soffice, {u"--headless"_s, u"--norestore"_s,
                  u"-env:UserInstallation="_s + QUrl::fromLocalFile(out.filePath(u"lo"_s)).toString(),
                  u"--convert-to"_s, u"fods"_s, u"--outdir"_s, out.path(), xlsx});
    const QStringList cells = readCells(readBytes(out.filePath(u"Porównanie testów.fods"_s)));
    QVERIFY2(!cells.isEmpty(), "LibreOffice wrote no copy of the spreadsheet");
    // Every figure is a number: no text cell looks like one.
    const QRegularExpression figure(uR"(^[−+-]?\d+([.,]\d+)?%?$)"_s);
    for (const QString &cell : cells)
        QVERIFY2(cell.startsWith(u'#') || !figure.match(cell).hasMatch(), qPrintable(cell));
    // The school's means, the stanines 6 and 7, the differences +14 and +12 and the pupils' changes.
    const qsizetype means = cells.indexOf(u"Średnia (pkt)"_s);
    QVERIFY(means >= 0);
    QCOMPARE(cells.mid(means + 1, 3), (QStringList{u"#3.2"_s, u"#2.2"_s, u"#7.2"_s}));
    const qsizetype differences = cells.indexOf(u"Różnica od kraju (pkt proc.)"_s);
    QCOMPARE(cells.mid(differences + 1, 2), (QStringList{u"#14"_s, u"#12"_s}));
    QVERIFY(cells.contains(u"Uczniowie"_s) || cells.contains(u"Kod ucznia"_s));
    QVERIFY(cells.contains(u"#-20"_s) && cells.contains(u"#20"_s));
    const qsizetype stanines = cells.indexOf(u"Stanin średniej"_s);
    QCOMPARE(cells.mid(stanines + 1, 4),
             (QStringList{u"#6"_s, u"#7"_s, u"Stanin średniej – opis"_s, u"wyżej średni"_s}));

    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed");
    const QString text = run(pdftotext, {u"-layout"_s, pdf, u"-"_s});
    QCOMPARE(run(pdftotext, {u"-layout"_s, out.filePath(u"wydruk.pdf"_s), u"-"_s}), text);
    for (const QString &expected :
         {u"Procenty punktów z różnych testów"_s, u"Próbny 1, 2025-11-20"_s, u"Egzamin, 2026-05-14"_s,
          u"3,20"_s, u"+14"_s, u"6 (wyżej średni)"_s, u"Klasa 7a → Klasa 8a"_s, u"strona 1 z"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    // The stanines lead the school's figures; the summary closes the pages.
    QVERIFY(text.indexOf(u"Stanin średniej"_s) < text.indexOf(u"Średnia (pkt)"_s));
    const QString words = text.simplified();
    QVERIFY2(words.contains(u"Podsumowanie Stanin średniej szkoły wzrósł z 6 (wyżej średni)"_s),
             qPrintable(words));
    QVERIFY(words.contains(u"Różnica od wyniku kraju w tych samych testach spadła z +14 do +12 pkt proc."_s));
}

QTEST_MAIN(TstTestComparison)
#include "tst_testcomparison.moc"
