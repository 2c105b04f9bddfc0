// The staff meeting's windows: the comparison figures typed and pasted, refused when they are no
// facility, kept in Porownanie.ini and shown in the analysis; and the pupils' sheets written.
#include "tests/workbook/workbooktesting.h"
#include "ui/progresswindow.h"
#include "ui_tfanaliza.h"
#include "ui_tfporownanie.h"
#include "workbook/tfanaliza.h"
#include "workbook/tfporownanie.h"

#include <QClipboard>
#include <QDirIterator>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTextDocument>

using namespace wb;

class TstStaffMeetingWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpApplication(); }
    void comparisonGrid();
    void analysisWithComparisonAndSheets();
    void comparisonRewritesAnalysisSheets();
    void stoppedStepsLeaveFilesAsTheyWere();
};

void TstStaffMeetingWindows::comparisonGrid()
{
    MessageRecorder recorder;
    QTemporaryDir school;
    const TestDefinition test = makeTest({2, 1, 3});
    const QString path = school.filePath(u"Porownanie.ini"_s);
    TfPorownanie window(ComparisonFigures::emptyFor(test), test, path, SchoolFolder(school.path(), {}, {}));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    StringGrid *grid = window.grid();
    // Rows: three tasks, five standards, the whole test; columns: the four areas.
    QCOMPARE(grid->rowCount(), 1 + 3 + 5 + 1);
    QCOMPARE(grid->cell(0, 9), u"Cały test"_s);
    QCOMPARE(grid->cell(2, 0), u"województwo"_s);

    WB_CHECK(typeIntoCell(grid, 1, 1, u"0,62"_s));
    QCOMPARE(grid->cell(1, 1), u"0,62"_s);
    grid->setFocus();
    grid->setCurrentCell(1, 2);
    QTest::keyClick(grid, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
    QVERIFY(editor);
    editor->setText(u"1,5"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid->isEditing());
    // Refused, said, and the cell has its last good value back.
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY2(recorder.shown[0].text.contains(u"1,5"_s), qPrintable(recorder.shown[0].text));
    QCOMPARE(grid->cell(1, 2), QString());

    // A pasted block with two bad values: one message for both, the good ones kept.
    recorder.clear();
    QApplication::clipboard()->setText(u"0,5\t57%\nabc\t0,4\n0,3\t2\n"_s);
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY(recorder.shown[0].text.contains(u"abc"_s));
    QCOMPARE(grid->cell(1, 1), u"0,50"_s);
    QCOMPARE(grid->cell(2, 1), u"0,57"_s);
    QCOMPARE(grid->cell(1, 2), QString());
    QCOMPARE(grid->cell(2, 3), QString());

    recorder.clear();
    click(window.form()->bZapisz);
    QVERIFY(recorder.shown.isEmpty());
    const QByteArray written = readBytes(path);
    QVERIFY(written.startsWith("[PorownanieKraj]\r\nZadanie1=0.5\r\nZadanie2=\r\nZadanie3=0.3\r\n"));
    QVERIFY(written.contains("[PorownanieWojewodztwo]\r\nZadanie1=0.57\r\nZadanie2=0.4\r\nZadanie3=\r\n"));
    QCOMPARE(window.figures().tasks[0][1], std::optional<double>(0.57));
}

void TstStaffMeetingWindows::analysisWithComparisonAndSheets()
{
    Workbook wb(makeTest({2, 1, 3}));
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    QVERIFY(writeBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s),
                       build::answersFile(3, {u"A1;T;2;1;3"_s, u"A2;T;1;0;1"_s, u"A3;N;;;"_s})));
    QVERIFY(writeBytes(wb.school(u"Porownanie.ini"_s), "[PorownanieKraj]\r\nZadanie1=0,9\r\nTest=0.5\r\n"));
    WB_CHECK(wb.go({u"next"_s}));
    wb.recorder.clear();
    bool checked = false;
    WB_CHECK(whileModalOpen(
        [&](QWidget *modal) {
            auto *analysis = qobject_cast<TfAnaliza *>(modal);
            QVERIFY(analysis);
            const ComparisonTable &table = analysis->figures().comparison;
            // Task 1: 3 of 4 points, 0.75 against 0.90: 15 points below the country, marked.
            QCOMPARE(table.tasks[0].differences[0], std::optional<int>(-15));
            QVERIFY(table.tasks[0].marked);
            const QString text = analysis->document()->toPlainText();
            QVERIFY(text.contains(u"Co najmniej 5 punktów procentowych poniżej kraju: Zad.1."_s));
            QVERIFY(text.contains(u"Alfa Cronbacha"_s));
            QVERIFY(analysis->form()->bKartyUczniow->isVisible());
            click(analysis->form()->bKartyUczniow);
            checked = true;
        },
        [&] { wb.press("sbAnaliza"); }));
    QVERIFY(checked);
    QCOMPARE(wb.shownTexts().size(), 1);
    QVERIFY(wb.shownTexts()[0].startsWith(u"Karty wyników uczniów zostały zapisane w pliku:"_s));
    const QByteArray pdf = readBytes(wb.school(u"Klasa VI A/Karty wyników uczniów.pdf"_s));
    QVERIFY(pdf.startsWith("%PDF"));
    // Two present pupils: two A4 pages.
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 2);

    // The school's analysis has no pupils' sheets.
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(whileModalOpen(
        [&](QWidget *modal) {
            auto *analysis = qobject_cast<TfAnaliza *>(modal);
            QVERIFY(analysis);
            QVERIFY(!analysis->form()->bKartyUczniow->isVisible());
            QVERIFY(analysis->form()->bDanePorownawcze->isEnabled());
        },
        [&] { wb.press("sbAnaliza"); }));
}

namespace {

// The shared strings of an XLSX file: every text of its sheets.
QString sheetTexts(const QString &unzip, const QString &xlsx)
{
    QProcess process;
    process.start(unzip, {u"-p"_s, xlsx, u"xl/sharedStrings.xml"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

void TstStaffMeetingWindows::comparisonRewritesAnalysisSheets()
{
    const QString unzip = QStandardPaths::findExecutable(u"unzip"_s);
    if (unzip.isEmpty())
        QSKIP("unzip is needed to read the spreadsheet files back");
    // Files of the same sheets come out byte for byte the same.
    qputenv("SOURCE_DATE_EPOCH", "1071187200");
    const auto unset = qScopeGuard([] { qunsetenv("SOURCE_DATE_EPOCH"); });

    Workbook wb(makeTest({2, 1, 3}));
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"3"_s, u"2"_s}));
    QVERIFY(writeBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s),
                       build::answersFile(3, {u"A1;T;2;1;3"_s, u"A2;T;1;0;1"_s, u"A3;N;;;"_s})));
    QVERIFY(writeBytes(wb.school(u"Klasa VI B/Odpowiedzi.tmp"_s),
                       build::answersFile(3, {u"B1;T;2;0;2"_s, u"B2;T;0;1;1"_s})));
    // VI A and the school are saved; VI B never was, so it has no spreadsheet file to rewrite.
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(wb.press("sbZapisz"));
    WB_CHECK(wb.go({u"next"_s, u"next"_s}));
    WB_CHECK(wb.press("sbZapisz"));
    const QString classFile = wb.school(u"Klasa VI A/Wyniki uczniów.xlsx"_s);
    const QString schoolFile = wb.school(u"Szkoła/Podsumowanie wyników.xlsx"_s);
    const QString unsaved = wb.school(u"Klasa VI B/Wyniki uczniów.xlsx"_s);
    for (const QString &file : {classFile, schoolFile})
        QVERIFY(sheetTexts(unzip, file).contains(u"Brak danych porównawczych"_s));
    const QByteArray classBefore = readBytes(classFile);
    const QByteArray schoolBefore = readBytes(schoolFile);

    // The country's facility of task 1, typed in the school's analysis and saved.
    wb.recorder.clear();
    WB_CHECK(whileModalOpen(
        [&](QWidget *modal) {
            auto *analysis = qobject_cast<TfAnaliza *>(modal);
            QVERIFY(analysis);
            WB_CHECK(whileModalOpen(
                [&](QWidget *inner) {
                    auto *comparison = qobject_cast<TfPorownanie *>(inner);
                    QVERIFY(comparison);
                    WB_CHECK(typeIntoCell(comparison->grid(), 1, 1, u"0,90"_s));
                    click(comparison->form()->bZapisz);
                },
                [&] { click(analysis->form()->bDanePorownawcze); }));
        },
        [&] { wb.press("sbAnaliza"); }));
    QVERIFY2(wb.shownTexts().isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    QVERIFY(!QFile::exists(unsaved));
    for (const QString &file : {classFile, schoolFile}) {
        const QString texts = sheetTexts(unzip, file);
        QVERIFY2(!texts.contains(u"Brak danych porównawczych"_s), qPrintable(file));
        QVERIFY2(texts.contains(u"Co najmniej 5 punktów procentowych poniżej kraju: Zad.1."_s),
                 qPrintable(file));
    }
    QVERIFY(readBytes(classFile) != classBefore);
    QVERIFY(readBytes(schoolFile) != schoolBefore);

    // Every sheet as Zapisz would make it now: the same pages saved again give the same files.
    const QByteArray classRewritten = readBytes(classFile);
    const QByteArray schoolRewritten = readBytes(schoolFile);
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(readBytes(schoolFile), schoolRewritten);
    WB_CHECK(wb.go({u"back"_s, u"back"_s}));
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(readBytes(classFile), classRewritten);

    // Files that cannot be replaced (a folder in their place) are named in one message after the
    // PDF; the PDF itself is written.
    for (const QString &file : {classFile, schoolFile})
        QVERIFY(QFile::remove(file) && QDir().mkdir(file));
    wb.recorder.clear();
    WB_CHECK(
        whileModalOpen([&](QWidget *modal) { click(modal->findChild<QAbstractButton *>(u"bZapiszPdf"_s)); },
                       [&] { wb.press("sbAnaliza"); }));
    QCOMPARE(wb.shownTexts(),
             QStringList{u"Nie mogę zapisać pliku! Nie zapisano: Klasa VI A/Wyniki uczniów.xlsx, "
                         u"Szkoła/Podsumowanie wyników.xlsx."_s});
    QVERIFY(readBytes(wb.school(u"Klasa VI A/Analiza wyników.pdf"_s)).startsWith("%PDF"));
}

QTEST_MAIN(TstStaffMeetingWindows)
#include "tst_staffmeetingwindows.moc"

namespace {

// Every file under the folder with its bytes.
QMap<QString, QByteArray> filesUnder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, readBytes(path));
    }
    return files;
}

// Presses Anuluj in each progress window as soon as it is on screen, keeping what it said.
struct CancelEachProgress {
    QStringList labels;
    QTimer watcher;
    CancelEachProgress()
    {
        ui::setProgressDelay(0);
        watcher.setInterval(0);
        QObject::connect(&watcher, &QTimer::timeout, &watcher, [this] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                auto *progress = qobject_cast<QProgressDialog *>(top);
                if (!progress || !progress->isVisible() || progress->wasCanceled())
                    continue;
                labels.append(progress->labelText());
                for (QPushButton *button : progress->findChildren<QPushButton *>())
                    if (button->text() == u"Anuluj"_s)
                        QTest::mouseClick(button, Qt::LeftButton);
            }
        });
        watcher.start();
    }
    ~CancelEachProgress() { ui::setProgressDelay(500); }
    CancelEachProgress(const CancelEachProgress &) = delete;
    CancelEachProgress &operator=(const CancelEachProgress &) = delete;
};

} // namespace

void TstStaffMeetingWindows::stoppedStepsLeaveFilesAsTheyWere()
{
    Workbook wb(makeTest({2, 1, 3}));
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"3"_s}));
    QVERIFY(writeBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s),
                       build::answersFile(3, {u"A1;T;2;1;3"_s, u"A2;T;1;0;1"_s, u"A3;T;0;1;2"_s})));
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(wb.press("sbZapisz"));
    WB_CHECK(wb.go({u"next"_s}));
    WB_CHECK(wb.press("sbZapisz"));
    // Earlier copies of what the steps would write, which must survive them byte for byte.
    QVERIFY(writeBytes(wb.school(u"Klasa VI A/Karty wyników uczniów.pdf"_s), "karty z zeszłego tygodnia"));
    QVERIFY(writeBytes(wb.school(u"Szkoła/Analiza wyników.pdf"_s), "analiza z zeszłego tygodnia"));
    const QMap<QString, QByteArray> before = filesUnder(wb.school());
    QVERIFY(before.contains(wb.school(u"Szkoła/Podsumowanie wyników.xlsx"_s)));

    // The school page's Save, stopped while the spreadsheet file is being made.
    wb.recorder.clear();
    {
        CancelEachProgress cancel;
        WB_CHECK(wb.press("sbZapisz"));
        QCOMPARE(cancel.labels, QStringList{u"Zapisywanie wyników szkoły…"_s});
    }
    QCOMPARE(wb.shownTexts(),
             QStringList{u"Przerwano zapisywanie wyników szkoły. Nic nie zostało zapisane."_s});
    QCOMPARE(filesUnder(wb.school()), before);

    // A button of the analysis window whose step is stopped: it says so, and no file changes.
    const auto stoppedInAnalysis = [&](QPushButton *Ui::TfAnaliza::*button, const QString &label,
                                       const QString &said) {
        wb.recorder.clear();
        WB_CHECK(whileModalOpen(
            [&](QWidget *modal) {
                auto *analysis = qobject_cast<TfAnaliza *>(modal);
                QVERIFY(analysis);
                CancelEachProgress cancel;
                click(analysis->form()->*button);
                QCOMPARE(cancel.labels, QStringList{label});
            },
            [&] { wb.press("sbAnaliza"); }));
        QCOMPARE(wb.shownTexts(), QStringList{said});
        QCOMPARE(filesUnder(wb.school()), before);
    };
    // The school's analysis saved as PDF, with the spreadsheets' analysis sheets.
    WB_CHECK(stoppedInAnalysis(&Ui::TfAnaliza::bZapiszPdf, u"Zapisywanie analizy w pliku PDF…"_s,
                               u"Przerwano zapisywanie analizy. Nic nie zostało zapisane."_s));
    // The class's pupils' sheets.
    WB_CHECK(wb.go({u"back"_s}));
    WB_CHECK(stoppedInAnalysis(&Ui::TfAnaliza::bKartyUczniow, u"Tworzenie kart wyników uczniów…"_s,
                               u"Przerwano tworzenie kart wyników uczniów. Nic nie zostało zapisane."_s));

    // Not stopped, the same step writes its file.
    wb.recorder.clear();
    WB_CHECK(whileModalOpen(
        [&](QWidget *modal) { click(qobject_cast<TfAnaliza *>(modal)->form()->bKartyUczniow); },
        [&] { wb.press("sbAnaliza"); }));
    QVERIFY(readBytes(wb.school(u"Klasa VI A/Karty wyników uczniów.pdf"_s)).startsWith("%PDF"));
}
