// "Drukuj Wykres": the chart in view on one landscape page of the current printer, whose
// orientation comes back afterwards, also when printing fails; no printer gives a clear message.
#include "tests/charts/chartstesting.h"
#include "tests/support/pdfpages.h"

#include <QPrinter>
#include <QRegularExpression>

using namespace ct;

class TstChartPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void printsOneLandscapePage_data();
    void printsOneLandscapePage();
    void printerFails();
    void noPrinter();

private:
    // A class of two pupils whose every chart has bars.
    charts::ChartData classOf(const School &school) const
    {
        return school.classPage(makeTest(), 0, 2, {u"1;2;3;4;5;15"_s, u"2;2;2;2;2;10"_s});
    }
};

void TstChartPrint::initTestCase()
{
    setUpApplication();
}

void TstChartPrint::cleanup()
{
    ui::printerSource = [] { return ui::systemPrinter(); };
}

void TstChartPrint::printsOneLandscapePage_data()
{
    QTest::addColumn<QPageLayout::Orientation>("orientation");
    QTest::newRow("printer in portrait") << QPageLayout::Portrait;
    QTest::newRow("printer already in landscape") << QPageLayout::Landscape;
}

void TstChartPrint::printsOneLandscapePage()
{
    QFETCH(QPageLayout::Orientation, orientation);
    School school({u"6a"_s});
    const QString output = school.location.filePath(u"wykres.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(output);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
    ui::printerSource = [&printer] { return &printer; };

    TfWykres window(classOf(school));
    tabsOf(&window)->setCurrentIndex(2);
    school.recorder.clear();
    window.findChild<QAbstractButton *>(u"bDrukujWykres"_s)->click();

    QVERIFY2(school.recorder.shown.isEmpty(), qPrintable(school.recorder.texts().join(u" | "_s)));
    const QByteArray pdf = readBytes(output);
    QVERIFY2(pdf.startsWith("%PDF"), pdf.left(40).constData());
    QCOMPARE(pdfPages(pdf), QStringList{u"842x595"_s});
    // The job is named after the chart control.
    // The job is named after the chart control (the document's title, in UTF-16).
    const qsizetype title = pdf.indexOf("/Title (");
    QVERIFY(title > 0);
    QCOMPARE(pdf.mid(title + 8, 15), QByteArray::fromHex("feff00430068006100720074003129"));
    QCOMPARE(printer.pageLayout().orientation(), orientation);
    // Printing draws nothing anew.
    QCOMPARE(bitmapsIn(school.classFolder(0)), (QStringList{u"wykr_1.bmp"_s, u"wykr_3.bmp"_s}));
}

void TstChartPrint::printerFails()
{
    School school({u"6a"_s});
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(school.location.filePath(u"no such folder/wykres.pdf"_s));
    printer.setPageOrientation(QPageLayout::Portrait);
    ui::printerSource = [&printer] { return &printer; };

    TfWykres window(classOf(school));
    school.recorder.clear();
    window.findChild<QAbstractButton *>(u"bDrukujWykres"_s)->click();
    QCOMPARE(school.errors(),
             QStringList{u"Nie udało się wydrukować wykresu: drukarka nie przyjęła wydruku."_s});
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    QVERIFY(!QFile::exists(printer.outputFileName()));
    QVERIFY(window.isEnabled());
}

void TstChartPrint::noPrinter()
{
    School school({u"6a"_s});
    ui::printerSource = [] { return nullptr; };
    TfWykres window(classOf(school));
    school.recorder.clear();
    window.findChild<QAbstractButton *>(u"bDrukujWykres"_s)->click();
    QCOMPARE(school.recorder.shown.size(), 1);
    QCOMPARE(school.recorder.shown[0].kind, messages::Kind::Plain);
    QCOMPARE(school.recorder.shown[0].text,
             u"Nie można wydrukować wykresu: w systemie nie ma żadnej drukarki. "
             u"Zainstaluj drukarkę i spróbuj ponownie."_s);
    QCOMPARE(bitmapsIn(school.classFolder(0)), QStringList{u"wykr_1.bmp"_s});
}

QTEST_MAIN(TstChartPrint)
#include "tst_chartprint.moc"
