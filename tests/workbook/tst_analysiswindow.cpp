// "Analiza wyników": the toolbar button, the analysis of a class page and of the whole school as
// the window shows it, the question about unsaved points, the classes left out, the PDF file and
// printing, and the histogram's axis and labels.
#include "tests/support/pdfpages.h"
#include "tests/workbook/workbooktesting.h"

#include "charts/barchart.h"
#include "charts/tfwykres.h"
#include "documents/analysisdocument.h"
#include "ui/seams.h"
#include "workbook/tfanaliza.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QMap>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QTimer>

#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <unistd.h>

using namespace wb;

using Table = QList<QStringList>;
// Per standard, the pupils below one half, each as "code facility" ("A2 0,25").
using WeakPupils = QMap<QString, QStringList>;

class TstAnalysisWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void analysisButton_data();
    void analysisButton();
    void classReport_data();
    void classReport();
    void unsavedPointsQuestion_data();
    void unsavedPointsQuestion();
    void analysisAgain();
    void sameFigureEverywhere();
    void classWithoutResults_data();
    void classWithoutResults();
    void schoolReport_data();
    void schoolReport();
    void schoolWithoutResults();
    void markupShownAsText_data();
    void markupShownAsText();
    void histogramLabels_data();
    void histogramLabels();
    void savePdf_data();
    void savePdf();
    void savePdfFails_data();
    void savePdfFails();
    void savePdfElsewhere();
    void printReport_data();
    void printReport();
    void printerFails();
    void noPrinter();
    void printedPages();
};

namespace {

// Five tasks worth 2, 1, 3, 2 and 1 points. Tasks 1 and 2 make up standard 1, which Setup.ini says
// is worth 4 (not the 3 of its tasks), so that its facility shows which maximum divided it;
// standard 2 has no task; the whole test is worth 10, not the 9 of its tasks.
TestDefinition analysisTest()
{
    TestDefinition test = makeTest({2, 1, 3, 2, 1}, {1, 1, 3, 4, 5});
    test.standardMaxPoints = {4, 1, 3, 2, 1};
    return test;
}

// Totals of the present pupils 8, 3, 6 and 3; the absent pupil would add a 6 and be the weakest in
// standard 1. Worked out by hand below.
const QStringList classA{u"A1;T;2;1;3;2;0"_s, u"A2;T;0;1;0;2;0"_s, u"A3;t;1;1;2;2;0"_s, u"A4;N;0;0;3;2;1"_s,
                         u"A5;T;1;0;0;2;0"_s};

const QString pdfName = u"Analiza wyników.pdf"_s;

// The answers file of a class of the analysis test whose pupils are given as "code;mark;points...".
QByteArray answersFile(const QStringList &pupils)
{
    return build::answersFile(5, pupils);
}

// One class and its page in view.
void enterClass(Workbook &wb, const QString &label, int pupils)
{
    WB_CHECK(wb.accept({label}, {QString::number(pupils)}));
    WB_CHECK(wb.go({u"next"_s}));
    QCOMPARE(wb.window.currentPage(), 1);
}

QAbstractButton *windowButton(TfAnaliza *window, const char *name)
{
    return window->findChild<QAbstractButton *>(QString::fromLatin1(name));
}

// What the teacher saw of the analysis window while it was open.
struct Opened {
    int windows = 0;
    bool modal = false;
    bool overWorkbook = false;
    QString title;
};

// Presses "Analiza wyników" (or calls its handler, as a disabled button cannot be pressed) and,
// while the analysis window is open, runs whileOpen on it; then closes it with "Zamknij", so that
// no modal loop waits for a person.
void pressAnalysis(Workbook &wb, Opened *opened, const std::function<void(TfAnaliza *)> &whileOpen = {},
                   bool direct = false)
{
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
        TfAnaliza *window = fAnaliza;
        if (!window || !window->isVisible())
            return;
        watcher.stop();
        ++opened->windows;
        opened->modal = window->isModal() && QApplication::activeModalWidget() == window;
        opened->overWorkbook = window->parentWidget() == &wb.window;
        opened->title = window->windowTitle();
        if (whileOpen)
            whileOpen(window);
        if (window->isVisible())
            QTest::mouseClick(windowButton(window, "bZamknij"), Qt::LeftButton);
        const bool closed = !window->isVisible();
        if (!closed)
            window->reject();
        QVERIFY2(closed, "Zamknij left the analysis window open");
    });
    watcher.start();
    if (direct)
        wb.window.sbAnalizaClick();
    else
        wb.press("sbAnaliza");
    watcher.stop();
}

// The report as the teacher reads it: each heading with the paragraphs and tables under it.
struct Section {
    QString heading;
    QStringList paragraphs;
    QList<Table> tables;
};

QString cleaned(QString text)
{
    return text.replace(QChar::Nbsp, u' ').replace(QChar::ParagraphSeparator, u' ').trimmed();
}

QString cellText(const QTextTable *table, int row, int col)
{
    const QTextTableCell cell = table->cellAt(row, col);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cleaned(cursor.selectedText());
}

QList<Section> sectionsOf(const QTextDocument *document)
{
    QList<Section> sections{Section{}};
    for (auto it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame())) {
            Table rows;
            for (int r = 0; r < table->rows(); ++r) {
                QStringList row;
                for (int c = 0; c < table->columns(); ++c)
                    row.append(cellText(table, r, c));
                rows.append(row);
            }
            sections.last().tables.append(rows);
        } else if (it.currentBlock().isValid()) {
            const QString text = cleaned(it.currentBlock().text());
            if (it.currentBlock().blockFormat().headingLevel() > 0)
                sections.append(Section{text, {}, {}});
            else if (!text.isEmpty())
                sections.last().paragraphs.append(text);
        }
    }
    return sections;
}

const Section *sectionOf(const QList<Section> &sections, const QString &heading)
{
    for (const Section &section : sections) {
        if (section.heading == heading)
            return &section;
    }
    return nullptr;
}

QString tableText(const Table &table)
{
    QStringList lines;
    for (const QStringList &row : table)
        lines.append(row.join(u" | "_s));
    return lines.join(u'\n');
}

// The table under the heading, the first unless told.
void compareTable(const QList<Section> &sections, const QString &heading, const Table &expected,
                  int index = 0)
{
    const Section *section = sectionOf(sections, heading);
    if (!section) {
        QStringList headings;
        for (const Section &each : sections)
            headings.append(each.heading);
        QFAIL(qPrintable(u"no heading "_s + heading + u" among: "_s + headings.join(u" | "_s)));
    }
    QVERIFY2(section->tables.size() > index, qPrintable(u"no table under "_s + heading));
    QCOMPARE(tableText(section->tables[index]), tableText(expected));
}

int pageObjects(const QByteArray &pdf)
{
    static const QRegularExpression page(uR"(/Type\s*/Page(?!s))"_s);
    int count = 0;
    auto it = page.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

// A printed or saved analysis: a PDF of A4 portrait pages that carries the histogram's picture.
void verifyPdf(const QByteArray &pdf)
{
    QVERIFY2(pdf.startsWith("%PDF"), pdf.left(40).constData());
    const int pages = pageObjects(pdf);
    QVERIFY(pages >= 1);
    QCOMPARE(pdfPages(pdf), QStringList(pages, u"595x842"_s));
    // The histogram's own picture, not a placeholder for a missing image.
    static const QRegularExpression picture(uR"(/Subtype\s*/Image\s*/Width\s+(\d+))"_s);
    const QRegularExpressionMatch match = picture.match(QString::fromLatin1(pdf));
    QVERIFY2(match.hasMatch() && match.captured(1).toInt() >= histogramWidth, "the histogram is missing");
}

QStringList temporaryFilesIn(const QString &directory)
{
    return QDir(directory).entryList({u".Analiza-*"_s}, QDir::Files | QDir::Hidden | QDir::System);
}

QStringList entries(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool runningAsRoot()
{
    return geteuid() == 0;
}

// The tables of class A's report, worked out by hand.
const Table classATotals{
    {u"Uczniowie klasy"_s, u"5"_s}, {u"Obecni na teście"_s, u"4"_s},
    {u"Nieobecni"_s, u"1"_s},       {u"Średnia"_s, u"5,00"_s},
    {u"Mediana"_s, u"4,50"_s},      {u"Dominanta"_s, u"3"_s},
    {u"Wynik najniższy"_s, u"3"_s}, {u"Wynik najwyższy"_s, u"8"_s},
    {u"Rozstęp"_s, u"5"_s},         {u"Odchylenie standardowe (populacji)"_s, u"2,12"_s}};

const QStringList standardsHeading{u"Standard"_s, u"Maks. pkt"_s, u"Średnia pkt"_s, u"Łatwość"_s,
                                   u"Interpretacja"_s};
const QStringList tasksHeading{u"Zadanie"_s,     u"Standard"_s, u"Maks. pkt"_s,
                               u"Średnia pkt"_s, u"Łatwość"_s,  u"Interpretacja"_s};

Table standardsTable(const QList<QStringList> &rows)
{
    Table table{standardsHeading};
    const QStringList labels{u"Czytanie (Czyt.)"_s,
                             u"Pisanie (Pis.)"_s,
                             u"Rozumowanie (Rozum.)"_s,
                             u"Korzystanie z informacji (Korz.)"_s,
                             u"Wykorzystywanie wiedzy (Wiedza)"_s,
                             u"Cały test"_s};
    const QStringList maxima{u"4"_s, u"1"_s, u"3"_s, u"2"_s, u"1"_s, u"10"_s};
    for (int k = 0; k < rows.size(); ++k)
        table.append(QStringList{labels[k], maxima[k]} + rows[k]);
    return table;
}

Table tasksTable(const QList<QStringList> &rows)
{
    Table table{tasksHeading};
    const QStringList standards{u"Czyt."_s, u"Czyt."_s, u"Rozum."_s, u"Korz."_s, u"Wiedza"_s};
    const QStringList maxima{u"2"_s, u"1"_s, u"3"_s, u"2"_s, u"1"_s};
    for (int t = 0; t < rows.size(); ++t)
        table.append(QStringList{u"Zad.%1"_s.arg(t + 1), standards[t], maxima[t]} + rows[t]);
    return table;
}

const QStringList standardNames{u"Czytanie"_s, u"Pisanie"_s, u"Rozumowanie"_s, u"Korzystanie z informacji"_s,
                                u"Wykorzystywanie wiedzy"_s};

// The row of a standard among the pupils below one half; empty when there is none.
QStringList weakRow(const QList<Section> &sections, const QString &standard)
{
    const Section *section =
        sectionOf(sections, u"Uczniowie, którzy uzyskali mniej niż połowę punktów w standardzie"_s);
    if (!section)
        return {};
    for (const Table &table : section->tables) {
        for (const QStringList &row : table) {
            if (row.value(0) == standard)
                return row;
        }
    }
    return {};
}

// The standard's pupils below one half: how many they are and each one's code with his facility;
// no other pupil of allCodes is listed.
void compareWeakPupils(const QList<Section> &sections, const QString &standard, const QStringList &expected,
                       const QStringList &allCodes)
{
    const QStringList found = weakRow(sections, standard);
    QVERIFY2(!found.isEmpty(), qPrintable(u"no row for "_s + standard));
    QCOMPARE(found.value(1), QString::number(expected.size()));
    const QString listed = found.mid(2).join(u' ');
    QStringList codes;
    for (const QString &pupil : expected) {
        const QString code = pupil.section(u' ', 0, 0);
        const QString facility = pupil.section(u' ', 1, 1);
        codes.append(code);
        const QRegularExpression entry(QRegularExpression::escape(code) + uR"(\D*?)"_s +
                                       QRegularExpression::escape(facility));
        QVERIFY2(listed.contains(entry), qPrintable(standard + u": "_s + pupil + u" not in "_s + listed));
    }
    for (const QString &code : allCodes)
        QVERIFY2(codes.contains(code) || !listed.contains(code), qPrintable(standard + u": "_s + code));
}

// Class A's report, opened from its page after the points were typed and computed.
void openClassA(Workbook &wb, const QString &label = u"Klasa VI A"_s)
{
    WB_CHECK(enterClass(wb, label, 5));
    WB_CHECK(typeScores(wb.upper(), classA));
    WB_CHECK(wb.press("bOblicz"));
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
}

// Where a block's line lies on the printed pages: its page and its top within the document.
struct LinePlace {
    int page;
    qreal top;
};

LinePlace linePlace(const QTextDocument *document, const QTextBlock &block, bool last)
{
    const QRectF bounds = document->documentLayout()->blockBoundingRect(block);
    const QTextLayout *text = block.layout();
    const QRectF line =
        text->lineCount() == 0 ? QRectF() : text->lineAt(last ? text->lineCount() - 1 : 0).rect();
    const qreal top = bounds.top() + line.top();
    return {int((top + line.height() / 2) / document->pageSize().height()), top};
}

LinePlace cellLine(const QTextDocument *document, const QTextTable *table, int row, int column, bool last)
{
    const QTextTableCell cell = table->cellAt(row, column);
    return linePlace(document, (last ? cell.lastCursorPosition() : cell.firstCursorPosition()).block(), last);
}

} // namespace

void TstAnalysisWindow::initTestCase()
{
    setUpApplication();
}

void TstAnalysisWindow::cleanup()
{
    ui::printerSource = [] { return ui::systemPrinter(); };
}

void TstAnalysisWindow::analysisButton_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("setup page before acceptance") << false << QStringList() << false;
    QTest::newRow("setup page after acceptance") << true << QStringList() << false;
    QTest::newRow("first class page") << true << QStringList{u"next"_s} << true;
    QTest::newRow("second class page by its tab") << true << QStringList{u"tab 2"_s} << true;
    QTest::newRow("school page") << true << QStringList{u"next"_s, u"next"_s, u"next"_s} << true;
    QTest::newRow("back to the setup page") << true << QStringList{u"tab 3"_s, u"tab 0"_s} << false;
    QTest::newRow("back from a class page") << true << QStringList{u"next"_s, u"back"_s} << false;
}

void TstAnalysisWindow::analysisButton()
{
    QFETCH(bool, accepted);
    QFETCH(QStringList, steps);
    QFETCH(bool, enabled);

    Workbook wb(analysisTest());
    if (accepted)
        WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"3"_s}));
    WB_CHECK(wb.go(steps));

    QAbstractButton *button = wb.button("sbAnaliza");
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QCOMPARE(button->toolTip(), u"Analiza wyników"_s);
    QCOMPARE(button->isEnabled(), enabled);
    QVERIFY(!button->icon().isNull());
    if (enabled)
        return;
    // Nothing happens on the setup page, even when the handler is reached some other way.
    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened, {}, true));
    QCOMPARE(opened.windows, 0);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    QVERIFY(!fAnaliza);
}

void TstAnalysisWindow::classReport_data()
{
    QTest::addColumn<QStringList>("pupils");
    QTest::addColumn<Table>("totals");
    QTest::addColumn<Table>("standards");
    QTest::addColumn<Table>("tasks");
    QTest::addColumn<WeakPupils>("weak");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<qreal>>("histogram");
    QTest::addColumn<int>("axisMaximum");

    const QString none = u"brak danych"_s;
    const QStringList legend{u"0,00–0,19 bardzo trudne"_s, u"0,20–0,49 trudne"_s,
                             u"0,50–0,69 umiarkowanie trudne"_s, u"0,70–0,89 łatwe"_s,
                             u"0,90–1,00 bardzo łatwe"_s};

    // Means over the 4 present pupils; the median of 3, 3, 6, 8 is 4,50; the population deviation
    // sqrt(18 / 4) = 2,12; standard 1 is 7 points / 4 pupils / 4 points = 0,44; the test
    // 5,00 / 10 = 0,50. Pupil 3 has exactly half of standard 1 and is not among the weak.
    QTest::newRow("one pupil absent")
        << classA << classATotals
        << standardsTable({{u"1,75"_s, u"0,44"_s, u"trudny"_s},
                           {u"0,00"_s, u"0,00"_s, u"bardzo trudny"_s},
                           {u"1,25"_s, u"0,42"_s, u"trudny"_s},
                           {u"2,00"_s, u"1,00"_s, u"bardzo łatwy"_s},
                           {u"0,00"_s, u"0,00"_s, u"bardzo trudny"_s},
                           {u"5,00"_s, u"0,50"_s, u"umiarkowanie trudny"_s}})
        << tasksTable({{u"1,00"_s, u"0,50"_s, u"umiarkowanie trudne"_s},
                       {u"0,75"_s, u"0,75"_s, u"łatwe"_s},
                       {u"1,25"_s, u"0,42"_s, u"trudne"_s},
                       {u"2,00"_s, u"1,00"_s, u"bardzo łatwe"_s},
                       {u"0,00"_s, u"0,00"_s, u"bardzo trudne"_s}})
        << WeakPupils{{u"Czytanie"_s, {u"A2 0,25"_s, u"A5 0,25"_s}},
                      {u"Pisanie"_s, {u"A1 0,00"_s, u"A2 0,00"_s, u"A3 0,00"_s, u"A5 0,00"_s}},
                      {u"Rozumowanie"_s, {u"A2 0,00"_s, u"A5 0,00"_s}},
                      {u"Korzystanie z informacji"_s, {}},
                      {u"Wykorzystywanie wiedzy"_s, {u"A1 0,00"_s, u"A2 0,00"_s, u"A3 0,00"_s, u"A5 0,00"_s}}}
        << legend + QStringList{u"Test okazał się umiarkowanie trudny (łatwość 0,50)."_s}
        << QList<qreal>{0, 0, 0, 2, 0, 0, 1, 0, 1, 0, 0} << 2;

    // Only "T" and "t" mark a present pupil: totals 9 and 1, two modes.
    QTest::newRow("attendance marks")
        << QStringList{u"B1;T;2;1;3;2;1"_s, u"B2;t;0;1;0;0;0"_s, u"B3;Tak;2;1;3;2;1"_s, u"B4;n;2;1;3;2;1"_s,
                       u"B5;;2;1;3;2;1"_s}
        << Table{{u"Uczniowie klasy"_s, u"5"_s}, {u"Obecni na teście"_s, u"2"_s},
                 {u"Nieobecni"_s, u"3"_s},       {u"Średnia"_s, u"5,00"_s},
                 {u"Mediana"_s, u"5,00"_s},      {u"Dominanta"_s, u"brak – każdy wynik wystąpił jeden raz"_s},
                 {u"Wynik najniższy"_s, u"1"_s}, {u"Wynik najwyższy"_s, u"9"_s},
                 {u"Rozstęp"_s, u"8"_s},         {u"Odchylenie standardowe (populacji)"_s, u"4,00"_s}}
        << standardsTable({{u"2,00"_s, u"0,50"_s, u"umiarkowanie trudny"_s},
                           {u"0,00"_s, u"0,00"_s, u"bardzo trudny"_s},
                           {u"1,50"_s, u"0,50"_s, u"umiarkowanie trudny"_s},
                           {u"1,00"_s, u"0,50"_s, u"umiarkowanie trudny"_s},
                           {u"0,50"_s, u"0,50"_s, u"umiarkowanie trudny"_s},
                           {u"5,00"_s, u"0,50"_s, u"umiarkowanie trudny"_s}})
        << tasksTable({{u"1,00"_s, u"0,50"_s, u"umiarkowanie trudne"_s},
                       {u"1,00"_s, u"1,00"_s, u"bardzo łatwe"_s},
                       {u"1,50"_s, u"0,50"_s, u"umiarkowanie trudne"_s},
                       {u"1,00"_s, u"0,50"_s, u"umiarkowanie trudne"_s},
                       {u"0,50"_s, u"0,50"_s, u"umiarkowanie trudne"_s}})
        << WeakPupils{{u"Czytanie"_s, {u"B2 0,25"_s}},
                      {u"Pisanie"_s, {u"B1 0,00"_s, u"B2 0,00"_s}},
                      {u"Rozumowanie"_s, {u"B2 0,00"_s}},
                      {u"Korzystanie z informacji"_s, {u"B2 0,00"_s}},
                      {u"Wykorzystywanie wiedzy"_s, {u"B2 0,00"_s}}}
        << legend << QList<qreal>{0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0} << 1;

    QTest::newRow("everyone absent")
        << QStringList{u"C1;N;2;1;3;2;1"_s, u"C2;N;1;0;0;0;0"_s, u"C3;N;0;0;0;0;0"_s}
        << Table{{u"Uczniowie klasy"_s, u"3"_s}, {u"Obecni na teście"_s, u"0"_s},
                 {u"Nieobecni"_s, u"3"_s},       {u"Średnia"_s, none},
                 {u"Mediana"_s, none},           {u"Dominanta"_s, none},
                 {u"Wynik najniższy"_s, none},   {u"Wynik najwyższy"_s, none},
                 {u"Rozstęp"_s, none},           {u"Odchylenie standardowe (populacji)"_s, none}}
        << standardsTable(QList<QStringList>(6, {none, none, none}))
        << tasksTable(QList<QStringList>(5, {none, none, none}))
        << WeakPupils{{u"Czytanie"_s, {}},
                      {u"Pisanie"_s, {}},
                      {u"Rozumowanie"_s, {}},
                      {u"Korzystanie z informacji"_s, {}},
                      {u"Wykorzystywanie wiedzy"_s, {}}}
        << QStringList{u"Brak danych: żaden uczeń nie był obecny na teście."_s} << QList<qreal>(11, 0) << 1;
}

void TstAnalysisWindow::classReport()
{
    QFETCH(QStringList, pupils);
    QFETCH(Table, totals);
    QFETCH(Table, standards);
    QFETCH(Table, tasks);
    QFETCH(WeakPupils, weak);
    QFETCH(QStringList, texts);
    QFETCH(QList<qreal>, histogram);
    QFETCH(int, axisMaximum);

    Workbook wb(analysisTest());
    WB_CHECK(enterClass(wb, u"Klasa VI A"_s, int(pupils.size())));
    WB_CHECK(typeScores(wb.upper(), pupils));
    WB_CHECK(wb.press("bOblicz"));
    // With nobody present Compute ends in its division error, after saving the answers.
    QCOMPARE(readBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s)), answersFile(pupils));
    QVERIFY(!wb.window.scoresModified());
    wb.recorder.clear();

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened));

    QCOMPARE(opened.windows, 1);
    QVERIFY(opened.modal);
    QVERIFY(opened.overWorkbook);
    QCOMPARE(opened.title, u"Analiza wyników – Klasa VI A"_s);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    QVERIFY(fAnaliza);
    QCOMPARE(fAnaliza->pdfPath(), wb.school(u"Klasa VI A/"_s + pdfName));

    const QTextDocument *document = fAnaliza->document();
    QCOMPARE(document, fAnaliza->findChild<QTextBrowser *>(u"teRaport"_s)->document());
    const QList<Section> sections = sectionsOf(document);
    QCOMPARE(sections.value(1).heading, u"Analiza wyników – Klasa VI A"_s);
    QCOMPARE(sections.value(1).paragraphs.value(0), u"Test: 2003-12-12"_s);
    WB_CHECK(compareTable(sections, u"Suma punktów"_s, totals));
    WB_CHECK(compareTable(sections, u"Łatwość standardów"_s, standards));
    WB_CHECK(compareTable(sections, u"Łatwość zadań"_s, tasks));
    QStringList codes;
    for (const QString &pupil : std::as_const(pupils))
        codes.append(pupil.section(u';', 0, 0));
    for (const QString &standard : standardNames)
        WB_CHECK(compareWeakPupils(sections, standard, weak.value(standard), codes));
    QVERIFY(!sectionOf(sections, u"Klasy obok siebie"_s));

    const QString text = document->toPlainText().replace(QChar::Nbsp, u' ');
    for (const QString &expected : std::as_const(texts))
        QVERIFY2(text.contains(expected), qPrintable(expected));
    // Numbers are written with a decimal comma.
    QVERIFY2(!text.contains(QRegularExpression(uR"(\d\.\d)"_s)), qPrintable(text));

    BarChart *chart = fAnaliza->histogram();
    QVERIFY(chart);
    QCOMPARE(chart->values(), histogram);
    QStringList scores;
    for (int score = 0; score <= 10; ++score)
        scores.append(QString::number(score));
    QCOMPARE(chart->labels(), scores);
    QCOMPARE(chart->maximum(), double(axisMaximum));
    QCOMPARE(chart->increment(), 1.0);
    QCOMPARE(chart->labelAngle(), 0);
    QCOMPARE(chart->titleText(), u"Rozkład sumy punktów – Klasa VI A"_s);
    QCOMPARE(chart->footer(), u"Test: 2003-12-12"_s);
    const QVariant picture = document->resource(QTextDocument::ImageResource, QUrl(u"histogram.png"_s));
    QVERIFY(!picture.value<QImage>().isNull());
}

void TstAnalysisWindow::unsavedPointsQuestion_data()
{
    QTest::addColumn<QString>("before");  // "computed", "nothing saved", "class directory gone"
    QTest::addColumn<bool>("editorOpen"); // the point still being typed when the button is pressed
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("fileAfter"); // "new", "old" or "none"
    QTest::addColumn<QStringList>("afterQuestion");
    QTest::addColumn<bool>("stillUnsaved");

    const int yes = QMessageBox::Yes;
    const int no = QMessageBox::No;
    const int cancel = QMessageBox::Cancel;
    QTest::newRow("Tak") << u"computed"_s << false << yes << true << u"new"_s << QStringList() << false;
    QTest::newRow("Nie") << u"computed"_s << false << no << true << u"old"_s << QStringList() << true;
    QTest::newRow("Anuluj") << u"computed"_s << false << cancel << false << u"old"_s << QStringList() << true;
    QTest::newRow("Tak, point still being typed")
        << u"computed"_s << true << yes << true << u"new"_s << QStringList() << false;
    QTest::newRow("Anuluj, point still being typed")
        << u"computed"_s << true << cancel << false << u"old"_s << QStringList() << true;
    QTest::newRow("Nie, nothing saved yet")
        << u"nothing saved"_s << false << no << false << u"none"_s
        << QStringList{u"Klasa „Klasa VI A” nie ma jeszcze zapisanych wyników. Wpisz je na stronie tej "
                       u"klasy i naciśnij „Oblicz” lub „Zapisz”."_s}
        << true;
    QTest::newRow("Tak, nothing saved yet")
        << u"nothing saved"_s << false << yes << true << u"new"_s << QStringList() << false;
    QTest::newRow("Tak, file cannot be written")
        << u"class directory gone"_s << false << yes << false << u"none"_s
        << QStringList{u"Nie mogę zapisać pliku!"_s} << true;
}

void TstAnalysisWindow::unsavedPointsQuestion()
{
    QFETCH(QString, before);
    QFETCH(bool, editorOpen);
    QFETCH(int, answer);
    QFETCH(bool, opens);
    QFETCH(QString, fileAfter);
    QFETCH(QStringList, afterQuestion);
    QFETCH(bool, stillUnsaved);

    Workbook wb(analysisTest());
    WB_CHECK(enterClass(wb, u"Klasa VI A"_s, 5));
    WB_CHECK(typeScores(wb.upper(), classA));
    if (before != u"nothing saved"_s)
        WB_CHECK(wb.press("bOblicz"));
    const QString answers = wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s);
    if (before == u"class directory gone"_s) {
        QVERIFY(QDir(wb.school(u"Klasa VI A"_s)).removeRecursively());
        QVERIFY(writeBytes(wb.school(u"Klasa VI A"_s), "not a directory"));
    }

    // Pupil 1 gets the point of task 5.
    StringGrid *grid = wb.upper();
    if (editorOpen) {
        wb.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&wb.window));
        grid->setFocus();
        grid->setCurrentCell(1, 7);
        typeText(grid, u"1"_s); // and no Enter
        QVERIFY(grid->indexWidget(grid->currentIndex()));
    } else {
        WB_CHECK(typeIntoCell(grid, 7, 1, u"1"_s));
    }
    QStringList changed = classA;
    changed[0] = u"A1;T;2;1;3;2;1"_s;

    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::StandardButton(answer)};
    Opened opened;
    Table totals;
    Table tasks;
    WB_CHECK(pressAnalysis(wb, &opened, [&](TfAnaliza *window) {
        const QList<Section> sections = sectionsOf(window->document());
        if (const Section *section = sectionOf(sections, u"Suma punktów"_s))
            totals = section->tables.value(0);
        if (const Section *section = sectionOf(sections, u"Łatwość zadań"_s))
            tasks = section->tables.value(0);
    }));

    QVERIFY(!wb.recorder.shown.isEmpty());
    const messages::Message question = wb.recorder.shown[0];
    QCOMPARE(question.kind, messages::Kind::Question);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY2(question.text.contains(u"„Klasa VI A”"_s), qPrintable(question.text));
    QStringList shownAfter = wb.shownTexts().mid(1);
    for (QString &text : shownAfter)
        text = text.section(u"\n\n"_s, 0, 0);
    QCOMPARE(shownAfter, afterQuestion);
    QCOMPARE(opened.windows, opens ? 1 : 0);

    if (fileAfter == u"none"_s)
        QVERIFY(!QFileInfo(answers).isFile());
    else
        QCOMPARE(readBytes(answers), answersFile(fileAfter == u"new"_s ? changed : classA));
    if (opens) {
        // The analysis reads the file: the new point counts only once it has been saved.
        const bool counted = fileAfter == u"new"_s;
        QCOMPARE(totals.value(3), (QStringList{u"Średnia"_s, counted ? u"5,25"_s : u"5,00"_s}));
        QCOMPARE(tasks.value(5),
                 counted ? (QStringList{u"Zad.5"_s, u"Wiedza"_s, u"1"_s, u"0,25"_s, u"0,25"_s, u"trudne"_s})
                         : (QStringList{u"Zad.5"_s, u"Wiedza"_s, u"1"_s, u"0,00"_s, u"0,00"_s,
                                        u"bardzo trudne"_s}));
    }
    // The typed point stays on the page whatever the answer.
    QCOMPARE(grid->cell(7, 1), u"1"_s);
    QCOMPARE(wb.window.scoresModified(), stillUnsaved);
    QCOMPARE(wb.window.currentPage(), 1);
}

// Each press builds the window anew from the file as it is then; the previous window goes.
void TstAnalysisWindow::analysisAgain()
{
    Workbook wb(analysisTest());
    WB_CHECK(openClassA(wb));
    Opened first;
    WB_CHECK(pressAnalysis(wb, &first));
    QCOMPARE(first.windows, 1);
    const QPointer<TfAnaliza> previous = fAnaliza;

    WB_CHECK(typeIntoCell(wb.upper(), 7, 1, u"1"_s));
    WB_CHECK(wb.press("bOblicz"));
    Opened second;
    Table totals;
    WB_CHECK(pressAnalysis(wb, &second, [&](TfAnaliza *window) {
        const QList<Section> sections = sectionsOf(window->document());
        if (const Section *section = sectionOf(sections, u"Suma punktów"_s))
            totals = section->tables.value(0);
    }));

    QCOMPARE(second.windows, 1);
    QVERIFY(!previous);
    QCOMPARE(totals.value(3), (QStringList{u"Średnia"_s, u"5,25"_s}));
    QCOMPARE(wb.window.findChildren<TfAnaliza *>().size(), 1);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
}

// A mean of 5/8, 9/8 and 39/8 points reads the same in the grids, the work files, the report,
// the pupils' sheets and the spreadsheet: the grids' rounding of an exact tie (0.62, 1.12, 4.88).
void TstAnalysisWindow::sameFigureEverywhere()
{
    // Task 2 (worth 1) has 5 points among 8 pupils; task 4 (standard 4, worth 2) has 9; the
    // totals add up to 39.
    const QStringList pupils{u"P1;T;2;1;3;2;1"_s, u"P2;T;2;1;3;2;1"_s, u"P3;T;2;1;3;2;0"_s,
                             u"P4;T;1;1;2;1;0"_s, u"P5;T;0;1;1;1;0"_s, u"P6;T;1;0;1;0;0"_s,
                             u"P7;T;1;0;0;1;0"_s, u"P8;T;1;0;0;0;0"_s};
    Workbook wb(analysisTest());
    WB_CHECK(enterClass(wb, u"Klasa VI A"_s, int(pupils.size())));
    WB_CHECK(typeScores(wb.upper(), pupils));
    WB_CHECK(wb.press("bOblicz"));
    WB_CHECK(wb.press("sbZapisz"));

    QString pupilSheetsText;
    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened, [&](TfAnaliza *window) {
        const QList<Section> sections = sectionsOf(window->document());
        const Section *taskSection = sectionOf(sections, u"Łatwość zadań"_s);
        const Section *standardSection = sectionOf(sections, u"Łatwość standardów"_s);
        QVERIFY(taskSection && standardSection);
        QCOMPARE(taskSection->tables.value(0).value(2).mid(3, 2), (QStringList{u"0,62"_s, u"0,62"_s}));
        QCOMPARE(standardSection->tables.value(0).value(4).value(2), u"1,12"_s);
        QCOMPARE(standardSection->tables.value(0).value(6).value(2), u"4,88"_s);
        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (pdftotext.isEmpty())
            return;
        QTemporaryFile pdf;
        QVERIFY(pdf.open());
        pdf.write(window->pupilSheetsPdf());
        pdf.close();
        QProcess process;
        process.start(pdftotext, {pdf.fileName(), u"-"_s});
        QVERIFY(process.waitForFinished());
        pupilSheetsText = QString::fromUtf8(process.readAllStandardOutput());
    }));
    if (!pupilSheetsText.isEmpty()) {
        QVERIFY2(pupilSheetsText.contains(u"0,62"_s) && pupilSheetsText.contains(u"1,12"_s),
                 "pupils' sheets");
        QVERIFY(!pupilSheetsText.contains(u"0,63"_s) && !pupilSheetsText.contains(u"1,13"_s));
    }

    // The class's figures are shown on the school page, read back from its work files.
    WB_CHECK(wb.go({u"next"_s}));
    QStringList gridTexts;
    for (const StringGrid *grid : {wb.upper(), wb.lower()})
        for (const QStringList &row : gridCells(grid))
            gridTexts += row;
    const QByteArray tasks = readBytes(wb.school(u"Klasa VI A/Zadania.tmp"_s));
    const QByteArray standards = readBytes(wb.school(u"Klasa VI A/Standardy.tmp"_s));
    for (const char *figure : {"0.62", "1.12", "4.88"}) {
        QVERIFY2(gridTexts.contains(QLatin1StringView(figure)), figure);
        QVERIFY2((tasks + standards).contains(figure + QByteArray(";")), figure);
    }

    const QString unzip = QStandardPaths::findExecutable(u"unzip"_s);
    if (unzip.isEmpty())
        QSKIP("unzip is not installed");
    QProcess process;
    process.start(unzip,
                  {u"-p"_s, wb.school(u"Klasa VI A/Wyniki uczniów.xlsx"_s), u"xl/worksheets/sheet3.xml"_s});
    QVERIFY(process.waitForFinished());
    const QByteArray analysisSheet = process.readAllStandardOutput();
    for (const char *figure : {"<v>0.62</v>", "<v>1.12</v>", "<v>4.88</v>"})
        QVERIFY2(analysisSheet.contains(figure), figure);
    QVERIFY(!analysisSheet.contains("<v>0.625</v>") && !analysisSheet.contains("<v>1.125</v>"));
}

void TstAnalysisWindow::classWithoutResults_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: none; "dir": a directory in its place
    QTest::addColumn<QString>("message");

    const QString skipped =
        u"Klasa „Klasa VI A” została pominięta: jej plik wyników zawiera wartości, których "
        u"nie przyjmuje „Oblicz” (%1). Otwórz stronę tej klasy i naciśnij „Oblicz”, aby "
        u"je poprawić."_s;
    QTest::newRow("no answers file")
        << QByteArray()
        << u"Klasa „Klasa VI A” nie ma jeszcze zapisanych wyników. Wpisz je na stronie tej "
           u"klasy i naciśnij „Oblicz” lub „Zapisz”."_s;
    QTest::newRow("answers file unreadable")
        << QByteArray("dir")
        << u"Nie mogę odczytać pliku wyników klasy „Klasa VI A”; klasa została pominięta."_s;
    QTest::newRow("points above the task's maximum")
        << answersFile({u"A1;T;2;1;3;2;1"_s, u"A2;T;0;2;0;0;0"_s})
        << skipped.arg(u"uczeń o kodzie A2, zadanie Zad.2"_s);
    QTest::newRow("negative points of an absent pupil")
        << answersFile({u"A1;N;2;1;-1;2;1"_s}) << skipped.arg(u"uczeń o kodzie A1, zadanie Zad.3"_s);
    QTest::newRow("no number, no code") << answersFile({u"A1;T;2;1;3;2;1"_s, u";T;0;0;0;x;0"_s})
                                        << skipped.arg(u"uczeń nr 2, zadanie Zad.4"_s);
}

void TstAnalysisWindow::classWithoutResults()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, message);

    Workbook wb(analysisTest());
    WB_CHECK(enterClass(wb, u"Klasa VI A"_s, 2));
    const QString answers = wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s);
    if (file == "dir")
        QVERIFY(QDir().mkpath(answers));
    else if (!file.isEmpty())
        QVERIFY(writeBytes(answers, file));
    wb.recorder.clear();

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened));

    QCOMPARE(opened.windows, 0);
    QVERIFY(!fAnaliza);
    QCOMPARE(wb.shownTexts(), QStringList{message});
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Plain);
    QVERIFY(!QFileInfo::exists(wb.school(u"Klasa VI A/"_s + pdfName)));
}

void TstAnalysisWindow::schoolReport_data()
{
    QTest::addColumn<QByteArray>("fileC"); // empty: none; "dir": a directory in its place
    QTest::addColumn<QByteArray>("fileD");
    QTest::addColumn<QStringList>("notes");

    const QString missingC = u"Klasa „Klasa VI C” nie ma jeszcze zapisanych wyników. Wpisz je na stronie tej "
                             u"klasy i naciśnij „Oblicz” lub „Zapisz”."_s;
    const QString skippedD =
        u"Klasa „Klasa VI D” została pominięta: jej plik wyników zawiera wartości, których "
        u"nie przyjmuje „Oblicz” (%1). Otwórz stronę tej klasy i naciśnij „Oblicz”, aby "
        u"je poprawić."_s;
    QTest::newRow("no file, points above the maximum")
        << QByteArray() << answersFile({u"D1;T;3;1;3;2;1"_s, u"D2;T;2;1;3;2;1"_s})
        << QStringList{missingC, skippedD.arg(u"uczeń o kodzie D1, zadanie Zad.1"_s)};
    QTest::newRow("unreadable file, negative points")
        << QByteArray("dir") << answersFile({u"D1;T;2;1;3;2;1"_s, u"D2;N;2;1;3;-1;1"_s})
        << QStringList{u"Nie mogę odczytać pliku wyników klasy „Klasa VI C”; klasa została pominięta."_s,
                       skippedD.arg(u"uczeń o kodzie D2, zadanie Zad.4"_s)};
    QTest::newRow("no file, no number")
        << QByteArray() << answersFile({u"D1;T;2;1;3;2;1"_s, u";T;2;1;2,5;2;1"_s})
        << QStringList{missingC, skippedD.arg(u"uczeń nr 2, zadanie Zad.3"_s)};
}

void TstAnalysisWindow::schoolReport()
{
    QFETCH(QByteArray, fileC);
    QFETCH(QByteArray, fileD);
    QFETCH(QStringList, notes);

    Workbook wb(analysisTest());
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s, u"Klasa VI C"_s, u"Klasa VI D"_s},
                       {u"3"_s, u"4"_s, u"2"_s, u"2"_s}));
    // A: totals 9 and 3, an absent pupil who would have 9; B: totals 4, 1, 2 and 3.
    QVERIFY(writeBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s),
                       answersFile({u"A1;T;2;1;3;2;1"_s, u"A2;T;1;0;1;1;0"_s, u"A3;N;2;1;3;2;1"_s})));
    QVERIFY(writeBytes(
        wb.school(u"Klasa VI B/Odpowiedzi.tmp"_s),
        answersFile({u"B1;T;1;1;1;1;0"_s, u"B2;T;0;1;0;0;0"_s, u"B3;T;2;0;0;0;0"_s, u"B4;T;1;1;0;1;0"_s})));
    if (fileC == "dir")
        QVERIFY(QDir().mkpath(wb.school(u"Klasa VI C/Odpowiedzi.tmp"_s)));
    else if (!fileC.isEmpty())
        QVERIFY(writeBytes(wb.school(u"Klasa VI C/Odpowiedzi.tmp"_s), fileC));
    QVERIFY(writeBytes(wb.school(u"Klasa VI D/Odpowiedzi.tmp"_s), fileD));
    WB_CHECK(wb.go({u"tab 5"_s}));
    wb.recorder.clear();

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened));

    QCOMPARE(opened.windows, 1);
    QVERIFY(opened.modal);
    QCOMPARE(opened.title, u"Analiza wyników – szkoła"_s);
    // The notes are part of the report, not message boxes.
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    QCOMPARE(fAnaliza->pdfPath(), wb.school(u"Szkoła/"_s + pdfName));

    const QList<Section> sections = sectionsOf(fAnaliza->document());
    QCOMPARE(sections.value(1).heading, u"Analiza wyników – szkoła"_s);
    QCOMPARE(sections.value(1).paragraphs, QStringList{u"Test: 2003-12-12"_s} + notes);

    // The six present pupils pooled: 22 points / 6 = 3,67, beside the "Szkoła" page's mean of the two
    // class means, 4,25; sorted 1, 2, 3, 3, 4, 9.
    WB_CHECK(compareTable(sections, u"Suma punktów"_s,
                          Table{{u"Uczniowie szkoły (w klasach z wynikami)"_s, u"7"_s},
                                {u"Obecni na teście"_s, u"6"_s},
                                {u"Nieobecni"_s, u"1"_s},
                                {u"Średnia wszystkich uczniów szkoły"_s, u"3,67"_s},
                                {u"Średnia ze średnich klas"_s, u"4,25"_s},
                                {u"Mediana"_s, u"3,00"_s},
                                {u"Dominanta"_s, u"3"_s},
                                {u"Wynik najniższy"_s, u"1"_s},
                                {u"Wynik najwyższy"_s, u"9"_s},
                                {u"Rozstęp"_s, u"8"_s},
                                {u"Odchylenie standardowe (populacji)"_s, u"2,56"_s}}));
    const QString school = u"Szkoła (wszyscy uczniowie)"_s;
    WB_CHECK(compareTable(
        sections, u"Klasy obok siebie"_s,
        Table{{u"Klasa"_s, u"Uczniowie"_s, u"Obecni"_s, u"Średnia klasy"_s, u"Mediana"_s, u"Najniższy"_s,
               u"Najwyższy"_s, u"Odch. std."_s, u"Łatwość testu"_s, u"Stanin"_s},
              {u"Klasa VI A"_s, u"3"_s, u"2"_s, u"6,00"_s, u"6,00"_s, u"3"_s, u"9"_s, u"3,00"_s, u"0,60"_s,
               u"–"_s},
              {u"Klasa VI B"_s, u"4"_s, u"4"_s, u"2,50"_s, u"2,50"_s, u"1"_s, u"4"_s, u"1,12"_s, u"0,25"_s,
               u"–"_s},
              {u"Średnia ze średnich klas"_s, u"–"_s, u"–"_s, u"4,25"_s, u"–"_s, u"–"_s, u"–"_s, u"–"_s,
               u"0,43"_s, u"–"_s},
              {school, u"7"_s, u"6"_s, u"3,67"_s, u"3,00"_s, u"1"_s, u"9"_s, u"2,56"_s, u"0,37"_s, u"–"_s}}));
    WB_CHECK(compareTable(
        sections, u"Klasy obok siebie"_s,
        Table{{u"Klasa"_s, u"Czytanie"_s, u"Pisanie"_s, u"Rozumowanie"_s, u"Korzystanie z informacji"_s,
               u"Wykorzystywanie wiedzy"_s, u"Cały test"_s},
              {u"Klasa VI A"_s, u"0,50"_s, u"0,00"_s, u"0,67"_s, u"0,75"_s, u"0,50"_s, u"0,60"_s},
              {u"Klasa VI B"_s, u"0,44"_s, u"0,00"_s, u"0,08"_s, u"0,25"_s, u"0,00"_s, u"0,25"_s},
              {school, u"0,46"_s, u"0,00"_s, u"0,28"_s, u"0,42"_s, u"0,17"_s, u"0,37"_s}},
        1));
    WB_CHECK(compareTable(sections, u"Łatwość standardów"_s,
                          standardsTable({{u"1,83"_s, u"0,46"_s, u"trudny"_s},
                                          {u"0,00"_s, u"0,00"_s, u"bardzo trudny"_s},
                                          {u"0,83"_s, u"0,28"_s, u"trudny"_s},
                                          {u"0,83"_s, u"0,42"_s, u"trudny"_s},
                                          {u"0,17"_s, u"0,17"_s, u"bardzo trudny"_s},
                                          {u"3,67"_s, u"0,37"_s, u"trudny"_s}})));
    WB_CHECK(compareTable(sections, u"Łatwość zadań"_s,
                          tasksTable({{u"1,17"_s, u"0,58"_s, u"umiarkowanie trudne"_s},
                                      {u"0,67"_s, u"0,67"_s, u"umiarkowanie trudne"_s},
                                      {u"0,83"_s, u"0,28"_s, u"trudne"_s},
                                      {u"0,83"_s, u"0,42"_s, u"trudne"_s},
                                      {u"0,17"_s, u"0,17"_s, u"bardzo trudne"_s}})));
    // The weak pupils of the school carry their class.
    const QStringList codes{u"A1"_s, u"A2"_s, u"A3"_s, u"B1"_s, u"B2"_s, u"B3"_s, u"B4"_s};
    WB_CHECK(compareWeakPupils(sections, u"Czytanie"_s, {u"A2 0,25"_s, u"B2 0,25"_s}, codes));
    WB_CHECK(compareWeakPupils(sections, u"Korzystanie z informacji"_s, {u"B2 0,00"_s, u"B3 0,00"_s}, codes));
    WB_CHECK(compareWeakPupils(sections, u"Wykorzystywanie wiedzy"_s,
                               {u"A2 0,00"_s, u"B1 0,00"_s, u"B2 0,00"_s, u"B3 0,00"_s, u"B4 0,00"_s},
                               codes));
    // The classes left out appear in their notes only; the absent pupil nowhere.
    const QString text = fAnaliza->document()->toPlainText();
    QCOMPARE(text.count(u"Klasa VI C"_s), 1);
    QCOMPARE(text.count(u"Klasa VI D"_s), 1);
    QCOMPARE(text.count(u"A3"_s), 0);

    BarChart *chart = fAnaliza->histogram();
    QCOMPARE(chart->values(), (QList<qreal>{0, 1, 1, 2, 1, 0, 0, 0, 0, 1, 0}));
    QCOMPARE(chart->maximum(), 2.0);
    QCOMPARE(chart->increment(), 1.0);
    QCOMPARE(chart->titleText(), u"Rozkład sumy punktów (wszyscy uczniowie szkoły)"_s);
}

void TstAnalysisWindow::schoolWithoutResults()
{
    Workbook wb(analysisTest());
    WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"3"_s, u"4"_s}));
    WB_CHECK(wb.go({u"tab 3"_s}));
    wb.recorder.clear();

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened));

    QCOMPARE(opened.windows, 1);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    const QList<Section> sections = sectionsOf(fAnaliza->document());
    QCOMPARE(sections.value(1).paragraphs.size(), 3);
    QVERIFY(sections.value(1).paragraphs[1].contains(u"„Klasa VI A”"_s));
    QVERIFY(sections.value(1).paragraphs[2].contains(u"„Klasa VI B”"_s));
    const QString none = u"brak danych"_s;
    WB_CHECK(
        compareTable(sections, u"Klasy obok siebie"_s,
                     Table{{u"Klasa"_s, u"Uczniowie"_s, u"Obecni"_s, u"Średnia klasy"_s, u"Mediana"_s,
                            u"Najniższy"_s, u"Najwyższy"_s, u"Odch. std."_s, u"Łatwość testu"_s, u"Stanin"_s},
                           {u"Średnia ze średnich klas"_s, u"–"_s, u"–"_s, u"–"_s, u"–"_s, u"–"_s, u"–"_s,
                            u"–"_s, u"–"_s, u"–"_s},
                           {u"Szkoła (wszyscy uczniowie)"_s, u"0"_s, u"0"_s, none, none, none, none, none,
                            none, u"–"_s}}));
    QVERIFY(fAnaliza->document()->toPlainText().contains(
        u"Brak danych: żaden uczeń nie był obecny na teście."_s));
    QCOMPARE(fAnaliza->histogram()->values(), QList<qreal>(11, 0));
}

void TstAnalysisWindow::markupShownAsText_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");

    QTest::newRow("class page") << 1 << u"Analiza wyników – Klasa 6A & 6B"_s;
    QTest::newRow("school page") << 3 << u"Analiza wyników – szkoła"_s;
}

// Labels and codes are the teacher's own texts: whatever they hold is shown as typed, never taken
// for markup (a code comes from the answers file, where nothing checks it).
void TstAnalysisWindow::markupShownAsText()
{
    QFETCH(int, page);
    QFETCH(QString, title);

    const QString first = u"Klasa 6A & 6B"_s;
    const QString second = u"Klasa &lt 6C"_s;
    Workbook wb(analysisTest());
    WB_CHECK(wb.accept({first, second}, {u"2"_s, u"2"_s}));
    QVERIFY(writeBytes(wb.school(first + u"/Odpowiedzi.tmp"_s),
                       answersFile({u"<u>A1&lt;T;0;0;0;0;0"_s, u"A2;T;2;1;3;2;1"_s})));
    WB_CHECK(wb.go({u"tab %1"_s.arg(page)}));
    wb.recorder.clear();

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened));

    QCOMPARE(opened.windows, 1);
    QCOMPARE(opened.title, title);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    const QList<Section> sections = sectionsOf(fAnaliza->document());
    QCOMPARE(sections.value(1).heading, title);
    const QStringList codes{u"<u>A1&lt"_s, u"A2"_s};
    const QString pupil = u"<u>A1&lt 0,00"_s;
    WB_CHECK(compareWeakPupils(sections, u"Czytanie"_s, {pupil}, codes));
    if (page == 1)
        return;
    QCOMPARE(
        sections.value(1).paragraphs.value(1),
        u"Klasa „Klasa &lt 6C” nie ma jeszcze zapisanych wyników. Wpisz je na stronie tej klasy i naciśnij "
        u"„Oblicz” lub „Zapisz”."_s);
    const Section *side = sectionOf(sections, u"Klasy obok siebie"_s);
    QVERIFY(side);
    QCOMPARE(side->tables.value(0).value(1).value(0), first);
    QVERIFY(weakRow(sections, u"Czytanie"_s).join(u' ').contains(first));
}

void TstAnalysisWindow::histogramLabels_data()
{
    QTest::addColumn<int>("maxTotal");
    QTest::addColumn<int>("bars");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("width");

    QTest::newRow("11 scores") << 10 << 11 << 1 << 0 << 1;
    QTest::newRow("21 scores") << 20 << 21 << 1 << 0 << 1;
    QTest::newRow("22 scores, written upwards") << 21 << 22 << 1 << 90 << 1;
    QTest::newRow("41 scores") << 40 << 41 << 1 << 90 << 1;
    QTest::newRow("101 scores, every fifth labelled") << 100 << 101 << 5 << 90 << 1;
    // Beyond that, bars stand for ranges of 2, 5, 10, 20 ... scores, labelled by their first score.
    QTest::newRow("102 scores in pairs") << 101 << 51 << 2 << 90 << 2;
    QTest::newRow("1001 scores by twenties") << 1000 << 51 << 2 << 90 << 20;
    // A pupil above the stated maximum keeps a bar of his own.
    QTest::newRow("a total above the maximum") << 5 << 10 << 1 << 0 << 1;
}

void TstAnalysisWindow::histogramLabels()
{
    QFETCH(int, maxTotal);
    QFETCH(int, bars);
    QFETCH(int, step);
    QFETCH(int, angle);
    QFETCH(int, width);

    TestDefinition test = analysisTest();
    test.maxTotalPoints = maxTotal;
    Workbook wb(test);
    WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"2"_s}));
    QVERIFY(writeBytes(wb.school(u"Klasa VI A/Odpowiedzi.tmp"_s),
                       answersFile({u"A1;T;2;1;3;2;1"_s, u"A2;T;0;1;0;0;0"_s})));
    WB_CHECK(wb.go({u"next"_s}));
    wb.recorder.clear();

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened));
    QCOMPARE(opened.windows, 1);

    BarChart *chart = fAnaliza->histogram();
    QList<qreal> values(bars, 0);
    values[1 / width] += 1;
    values[9 / width] += 1;
    QCOMPARE(chart->values(), values);
    QStringList labels;
    for (int bar = 0; bar < bars; ++bar)
        labels.append(bar % step == 0 ? QString::number(bar * width) : QString());
    QCOMPARE(chart->labels(), labels);
    QCOMPARE(chart->labelAngle(), angle);
    QCOMPARE(chart->maximum(), width >= 9 ? 2.0 : 1.0);
    QCOMPARE(chart->bottomTitle().startsWith(u"Suma punktów (przedziały po %1 pkt"_s.arg(width)), width > 1);
}

void TstAnalysisWindow::savePdf_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("olderFile");

    QTest::newRow("class page") << 1 << u"Klasa VI Ż"_s << false;
    QTest::newRow("class page, older file replaced") << 1 << u"Klasa VI Ż"_s << true;
    QTest::newRow("school page") << 2 << u"Szkoła"_s << false;
    QTest::newRow("school page, older file replaced") << 2 << u"Szkoła"_s << true;
}

void TstAnalysisWindow::savePdf()
{
    QFETCH(int, page);
    QFETCH(QString, folder);
    QFETCH(bool, olderFile);

    Workbook wb(analysisTest());
    WB_CHECK(wb.accept({u"Klasa VI Ż"_s}, {u"5"_s}));
    QVERIFY(writeBytes(wb.school(u"Klasa VI Ż/Odpowiedzi.tmp"_s), answersFile(classA)));
    const QString directory = wb.school(folder);
    const QString path = directory + u'/' + pdfName;
    if (olderFile)
        QVERIFY(writeBytes(path, "%PDF-1.4 an older analysis"));
    WB_CHECK(wb.go({u"tab %1"_s.arg(page)}));
    QStringList expectedEntries = entries(directory);
    if (!olderFile)
        expectedEntries = QStringList(expectedEntries) << pdfName;
    expectedEntries.sort();
    wb.recorder.clear();

    Opened opened;
    bool stillOpen = false;
    WB_CHECK(pressAnalysis(wb, &opened, [&](TfAnaliza *window) {
        QCOMPARE(window->pdfPath(), path);
        WB_CHECK(click(windowButton(window, "bZapiszPdf")));
        stillOpen = window->isVisible();
    }));

    QCOMPARE(opened.windows, 1);
    QVERIFY(stillOpen);
    QCOMPARE(wb.shownTexts(), QStringList{u"Analiza została zapisana w pliku:\n"_s + path});
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Plain);
    WB_CHECK(verifyPdf(readBytes(path)));
    QCOMPARE(temporaryFilesIn(directory), QStringList());
    QCOMPARE(entries(directory), expectedEntries);
    // Readable by the rest of the staff, as the school's other files are.
    QVERIFY(QFileInfo(path).permissions().testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadOther));
}

void TstAnalysisWindow::savePdfFails_data()
{
    QTest::addColumn<QString>("obstacle");

    QTest::newRow("a folder in the file's place") << u"folder"_s;
    QTest::newRow("class directory removed") << u"removed"_s;
    QTest::newRow("class directory read-only") << u"read-only"_s;
}

void TstAnalysisWindow::savePdfFails()
{
    QFETCH(QString, obstacle);
    if (obstacle == u"read-only"_s && runningAsRoot())
        QSKIP("permissions do not stop root from writing");

    Workbook wb(analysisTest());
    WB_CHECK(enterClass(wb, u"Klasa VI A"_s, 5));
    const QString directory = wb.school(u"Klasa VI A"_s);
    const QString path = directory + u'/' + pdfName;
    QVERIFY(writeBytes(directory + u"/Odpowiedzi.tmp"_s, answersFile(classA)));
    const QByteArray older = "%PDF-1.4 an older analysis";
    if (obstacle == u"folder"_s) {
        QVERIFY(QDir().mkpath(path));
        QVERIFY(writeBytes(path + u"/inside.txt"_s, "kept"));
    } else {
        QVERIFY(writeBytes(path, older));
    }
    wb.recorder.clear();

    Opened opened;
    bool stillOpen = false;
    WB_CHECK(pressAnalysis(wb, &opened, [&](TfAnaliza *window) {
        if (obstacle == u"removed"_s)
            QVERIFY(QDir(directory).removeRecursively());
        else if (obstacle == u"read-only"_s)
            QVERIFY(QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        WB_CHECK(click(windowButton(window, "bZapiszPdf")));
        stillOpen = window->isVisible();
        if (obstacle == u"read-only"_s)
            QFile::setPermissions(directory,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }));

    QCOMPARE(opened.windows, 1);
    QVERIFY(stillOpen);
    // Said with its cause, and the PDF offered elsewhere (declined here).
    QCOMPARE(wb.recorder.shown.size(), 2);
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::FileError);
    QCOMPARE(wb.recorder.shown[0].caption, u"File Error"_s);
    QCOMPARE(wb.recorder.shown[0].text.section(u"\n\n"_s, 0, 0), u"Nie mogę zapisać pliku!"_s);
    QVERIFY(wb.recorder.shown[0]
                .text.section(u"\n\n"_s, 1)
                .startsWith(obstacle == u"folder"_s ? u"W miejscu pliku „"_s : u"Katalogu „"_s));
    QCOMPARE(wb.recorder.shown[1].text, u"Zapisać plik „Analiza wyników.pdf” w innym miejscu?"_s);
    if (obstacle == u"folder"_s) {
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(readBytes(path + u"/inside.txt"_s), QByteArray("kept"));
    } else if (obstacle == u"removed"_s) {
        QVERIFY(!QFileInfo::exists(directory));
    } else {
        QCOMPARE(readBytes(path), older);
    }
    QCOMPARE(temporaryFilesIn(directory), QStringList());
}

// The class folder gone (a share that went away): the PDF made all the same goes where the teacher
// chooses, and is said saved there.
void TstAnalysisWindow::savePdfElsewhere()
{
    Workbook wb(analysisTest());
    WB_CHECK(enterClass(wb, u"Klasa VI A"_s, 5));
    const QString directory = wb.school(u"Klasa VI A"_s);
    QVERIFY(writeBytes(directory + u"/Odpowiedzi.tmp"_s, answersFile(classA)));
    QTemporaryDir elsewhere;
    const QString chosen = elsewhere.filePath(u"Analiza na pendrive.pdf"_s);
    QString proposed;
    const ui::SaveFileChooser before = ui::saveFileChooser;
    ui::saveFileChooser = [&](QWidget *, const QString &, const QString &start, const QString &) {
        proposed = start;
        return chosen;
    };
    wb.recorder.clear();
    wb.recorder.answers = {QMessageBox::Ok, QMessageBox::Yes};
    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened, [&](TfAnaliza *window) {
        QVERIFY(QDir(directory).removeRecursively());
        WB_CHECK(click(windowButton(window, "bZapiszPdf")));
    }));
    ui::saveFileChooser = before;
    QVERIFY(proposed.endsWith(u"/Analiza wyników.pdf"_s));
    QCOMPARE(wb.shownTexts().size(), 3);
    QCOMPARE(wb.shownTexts()[2], u"Analiza została zapisana w pliku:\n"_s + chosen);
    QVERIFY(readBytes(chosen).startsWith("%PDF-"));
    QVERIFY(!QFileInfo::exists(directory));
}

void TstAnalysisWindow::printReport_data()
{
    QTest::addColumn<QPageSize::PageSizeId>("size");
    QTest::addColumn<QPageLayout::Orientation>("orientation");

    QTest::newRow("A4 portrait printer") << QPageSize::A4 << QPageLayout::Portrait;
    QTest::newRow("letter landscape printer") << QPageSize::Letter << QPageLayout::Landscape;
}

void TstAnalysisWindow::printReport()
{
    QFETCH(QPageSize::PageSizeId, size);
    QFETCH(QPageLayout::Orientation, orientation);

    Workbook wb(analysisTest());
    WB_CHECK(openClassA(wb));
    const QString output = wb.path(u"wydruk.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(output);
    const QPageLayout layout(QPageSize(size), orientation, QMarginsF(5, 7, 9, 11), QPageLayout::Millimeter);
    QVERIFY(printer.setPageLayout(layout));
    ui::printerSource = [&printer] { return &printer; };

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened, [&](TfAnaliza *window) {
        WB_CHECK(click(windowButton(window, "bDrukuj")));
        QVERIFY(window->isVisible());
    }));

    QCOMPARE(opened.windows, 1);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
    WB_CHECK(verifyPdf(readBytes(output)));
    // The printer keeps the teacher's own settings for the next job.
    QVERIFY(printer.pageLayout().isEquivalentTo(layout));
    QCOMPARE(printer.pageLayout().orientation(), orientation);
    QCOMPARE(printer.pageLayout().pageSize().id(), size);
    QCOMPARE(printer.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(5, 7, 9, 11));
    // Printing writes nothing into the class's folder.
    QVERIFY(!QFileInfo::exists(wb.school(u"Klasa VI A/"_s + pdfName)));
}

void TstAnalysisWindow::printerFails()
{
    Workbook wb(analysisTest());
    WB_CHECK(openClassA(wb));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(wb.path(u"no such folder/wydruk.pdf"_s));
    printer.setPageOrientation(QPageLayout::Landscape);
    ui::printerSource = [&printer] { return &printer; };

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened, [&](TfAnaliza *window) {
        WB_CHECK(click(windowButton(window, "bDrukuj")));
        QVERIFY(window->isVisible());
    }));

    QCOMPARE(opened.windows, 1);
    QCOMPARE(wb.shownTexts(),
             QStringList{u"Nie udało się wydrukować analizy: drukarka nie przyjęła wydruku."_s});
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Error);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(!QFileInfo::exists(printer.outputFileName()));
}

void TstAnalysisWindow::noPrinter()
{
    Workbook wb(analysisTest());
    WB_CHECK(openClassA(wb));
    ui::printerSource = [] { return nullptr; };
    const QStringList before = entries(wb.school(u"Klasa VI A"_s));

    Opened opened;
    WB_CHECK(pressAnalysis(wb, &opened, [&](TfAnaliza *window) {
        WB_CHECK(click(windowButton(window, "bDrukuj")));
        QVERIFY(window->isVisible());
    }));

    QCOMPARE(opened.windows, 1);
    QCOMPARE(wb.shownTexts(), QStringList{u"Nie można wydrukować analizy: w systemie nie ma żadnej drukarki. "
                                          u"Zainstaluj drukarkę albo zapisz analizę jako PDF."_s});
    QCOMPARE(wb.recorder.shown[0].kind, messages::Kind::Plain);
    QCOMPARE(entries(wb.school(u"Klasa VI A"_s)), before);
}

void TstAnalysisWindow::printedPages()
{
    // 80 tasks and 40 pupils, many of them below one half in every standard: a task table of several
    // pages and rows of several lines among the weak pupils.
    constexpr int tasks = 80;
    QList<qint32> standards;
    for (int t = 0; t < tasks; ++t)
        standards.append(t % 5 + 1);
    const TestDefinition test =
        build::testOf(QList<qint32>(tasks, 1))
            .labelled(u"Zad."_s)
            .inStandards(5, standards)
            .allClosed()
            .total(tasks)
            .named(u"Test"_s, u"2026-04-01"_s)
            .standardMaxima({16, 16, 16, 16, 16})
            .standardNames({u"Czyt."_s, u"Pis."_s, u"Rozum."_s, u"Korz."_s, u"Wiedza"_s},
                           build::fiveStandards);
    QList<QList<qint32>> points;
    for (int p = 0; p < 40; ++p) {
        QList<qint32> row;
        for (int t = 0; t < tasks; ++t)
            row.append((p * 7 + t * 3) % 10 < p % 10 ? 1 : 0);
        points.append(row);
    }
    const AnalysisSettings settings;
    AnalysisContext context;
    context.classes = {build::classOf(u"Klasa VI A"_s, u"U"_s, points)};
    context.schoolClasses = context.classes;
    TfAnaliza window(analyseClass(context.classes[0], test, settings), test, settings, QString(), context);

    int continuedTables = 0;
    int rowsOfSeveralLines = 0;
    // Pages from a third of A4 to a whole one bring every part of the report to a page's end.
    for (int height = 400; height <= 1000; height += 23) {
        const std::unique_ptr<QTextDocument> document =
            window.printedDocument(QSizeF(histogramWidth + 40, height));
        const QString at = u"pages %1 high: "_s.arg(height);
        for (auto it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
            if (const QTextBlock block = it.currentBlock();
                block.isValid() && block.blockFormat().headingLevel() > 0) {
                auto next = it;
                ++next;
                QVERIFY(!next.atEnd());
                const auto *table = qobject_cast<const QTextTable *>(next.currentFrame());
                // A heading keeps a table's header row and first row, or a paragraph's first line.
                const LinePlace kept =
                    table ? cellLine(document.get(), table,
                                     std::min(table->format().headerRowCount(), table->rows() - 1), 0, true)
                          : linePlace(document.get(), next.currentBlock(), false);
                QVERIFY2(linePlace(document.get(), block, false).page == kept.page,
                         qPrintable(at + block.text() + u" ends its page"_s));
            }
            const auto *table = qobject_cast<const QTextTable *>(it.currentFrame());
            if (!table)
                continue;
            const QString name = at + u"table of "_s + cellText(table, 0, 0) + u", row "_s;
            const bool headed = table->format().headerRowCount() > 0;
            // Every table of the report but the totals, the legend and the norms has a header row.
            QCOMPARE(headed, cellText(table, 0, 0) == u"Standard"_s ||
                                 cellText(table, 0, 0) == u"Zadanie"_s || cellText(table, 0, 0) == u"Nr"_s);
            const qreal headerHeight = headed && table->rows() > 1
                                           ? cellLine(document.get(), table, 1, 0, false).top -
                                                 cellLine(document.get(), table, 0, 0, false).top
                                           : 0;
            int page = cellLine(document.get(), table, 0, 0, false).page;
            for (int row = 0; row < table->rows(); ++row) {
                int first = std::numeric_limits<int>::max();
                int last = 0;
                qreal top = std::numeric_limits<qreal>::max();
                for (int column = 0; column < table->columns(); ++column) {
                    const LinePlace start = cellLine(document.get(), table, row, column, false);
                    first = std::min(first, start.page);
                    top = std::min(top, start.top);
                    last = std::max(last, cellLine(document.get(), table, row, column, true).page);
                    const QTextTableCell cell = table->cellAt(row, column);
                    if (cell.lastCursorPosition().block().layout()->lineCount() > 2)
                        ++rowsOfSeveralLines;
                }
                QVERIFY2(first == last, qPrintable(name + QString::number(row) + u" split"_s));
                if (headed && row == 1)
                    QVERIFY2(first == page, qPrintable(name + u"1 apart from the header"_s));
                if (first != page && headed) {
                    // The header row is drawn again above the first row of the page.
                    QVERIFY2(top - first * height >= headerHeight,
                             qPrintable(name + QString::number(row) + u" without the header above it"_s));
                    ++continuedTables;
                }
                page = first;
            }
        }
    }
    QVERIFY(continuedTables > 0);
    QVERIFY(rowsOfSeveralLines > 0);
}

QTEST_MAIN(TstAnalysisWindow)
#include "tst_analysiswindow.moc"
