// The chart component as a user sees its picture: every bar with its own whole label, labels that
// never run into each other, bars cut off at the top of the plot, and bitmaps replaced whole.
#include "charts/barchart.h"
#include "tests/support/messagerecorder.h"
#include "ui/appearance.h"
#include "ui/seams.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

class TstBarChart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void labelsUnderTheirBars_data();
    void labelsUnderTheirBars();
    void barsCutOffAtTheTop_data();
    void barsCutOffAtTheTop();
    void bottomTitleCentredWithoutBars();
    void titleInFull_data();
    void titleInFull();
    void arialOrItsLook_data();
    void arialOrItsLook();
    void bitmapReplacedWhole();
    void bitmapCannotBeWritten();
};

namespace {

QStringList numbered(const QString &prefix, int count)
{
    QStringList labels;
    for (int i = 1; i <= count; ++i)
        labels.append(prefix + QString::number(i));
    return labels;
}

void fill(BarChart &chart, const QStringList &labels, int angle, double maximum = 4)
{
    chart.setFooter(u"Test: 2003-12-12"_s);
    chart.setMaximum(maximum);
    chart.setIncrement(1);
    for (int i = 0; i < labels.size(); ++i)
        chart.addBar(float(i % 5), labels[i]);
    chart.setTitleText(u"Tytuł"_s);
    chart.setLabelAngle(angle);
    chart.setBottomTitle(u"Numer zadania"_s);
    chart.setLeftTitle(u"Liczba punktów"_s);
}

bool isWhite(QRgb pixel)
{
    return qRed(pixel) > 240 && qGreen(pixel) > 240 && qBlue(pixel) > 240;
}

bool hasInk(const QImage &image, const QRectF &rect)
{
    const QRect pixels = rect.toAlignedRect() & image.rect();
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (!isWhite(image.pixel(x, y)))
                return true;
    return false;
}

} // namespace

void TstBarChart::initTestCase()
{
    applyProgramLook(*qobject_cast<QApplication *>(QCoreApplication::instance()));
}

void TstBarChart::labelsUnderTheirBars_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("angle");

    QTest::newRow("repeated and empty task labels")
        << QStringList{u"Zad.1"_s, u"Zad.1"_s, QString(), u"Zad.4"_s, u"Zad.1"_s} << 90;
    QTest::newRow("25 tasks") << numbered(u"Zad."_s, 25) << 90;
    QTest::newRow("60 tasks") << numbered(u"Zad."_s, 60) << 90;
    QTest::newRow("25 long task labels") << numbered(u"Zadanie otwarte nr "_s, 25) << 90;
    QTest::newRow("40 pupils") << numbered(QString(), 40) << 0;
    QTest::newRow("25 classes and the school")
        << numbered(u"Klasa VI "_s, 25) + QStringList{u"Szkoła"_s} << 0;
    QTest::newRow("repeated class labels") << QStringList{u"6a"_s, u"6a"_s, u"6a"_s, u"Szkoła"_s} << 0;
}

void TstBarChart::labelsUnderTheirBars()
{
    QFETCH(QStringList, labels);
    QFETCH(int, angle);

    BarChart chart;
    fill(chart, labels, angle);
    const QImage image = chart.toImage();
    QCOMPARE(image.size(), QSize(643, 385));

    QCOMPARE(chart.labels(), labels);
    const QList<QRectF> rects = chart.labelRects();
    QCOMPARE(rects.size(), labels.size());
    const QRectF plot = chart.plotArea();
    const QFontMetricsF metrics(chart.labelFont());
    QVERIFY2(chart.labelFont().pixelSize() >= 7, "labels too small to read");
    const qreal slot = plot.width() / labels.size();
    qreal lowest = plot.bottom();
    for (int i = 0; i < labels.size(); ++i) {
        const QRectF &rect = rects[i];
        const QString where = u"label %1 \"%2\" at (%3, %4, %5 x %6)"_s.arg(i)
                                  .arg(labels[i])
                                  .arg(rect.x())
                                  .arg(rect.y())
                                  .arg(rect.width())
                                  .arg(rect.height());
        // Centred under its own bar, below the plot and inside the chart.
        QVERIFY2(qAbs(rect.center().x() - (plot.left() + slot * (i + 0.5))) < 0.5, qPrintable(where));
        QVERIFY2(rect.top() > plot.bottom(), qPrintable(where));
        QVERIFY2(rect.left() >= 0 && rect.top() >= 0 && rect.right() <= 643 && rect.bottom() <= 385,
                 qPrintable(where));
        // Whole: as long as the text itself.
        const qreal length = angle == 0 ? rect.width() : rect.height();
        QVERIFY2(qAbs(length - metrics.horizontalAdvance(labels[i])) < 0.01, qPrintable(where));
        // Clear of its neighbours, and actually drawn.
        for (int j = i + 1; j < labels.size() && j < i + 6; ++j)
            QVERIFY2(!rect.intersects(rects[j]), qPrintable(where + u" overlaps label %1"_s.arg(j)));
        if (!labels[i].isEmpty())
            QVERIFY2(hasInk(image, rect), qPrintable(where + u" is not drawn"_s));
        lowest = std::max(lowest, rect.bottom());
    }
    // Under the labels the bottom axis's title, then the footer at the chart's foot.
    const QRectF title = chart.bottomTitleRect();
    const QRectF footer = chart.footerRect();
    QVERIFY2(title.top() >= lowest,
             qPrintable(u"title at %1, labels down to %2"_s.arg(title.top()).arg(lowest)));
    QVERIFY(footer.top() >= title.bottom());
    QVERIFY(footer.bottom() <= 385);
    QVERIFY(hasInk(image, title));
    QVERIFY(hasInk(image, footer));
}

void TstBarChart::barsCutOffAtTheTop_data()
{
    QTest::addColumn<double>("maximum");
    QTest::addColumn<float>("value");
    QTest::addColumn<bool>("reachesTop");

    QTest::newRow("above the maximum") << 4.0 << 10.0f << true;
    QTest::newRow("at the maximum") << 4.0 << 4.0f << true;
    QTest::newRow("below the maximum") << 4.0 << 3.0f << false;
    QTest::newRow("maximum 0, a bar above") << 0.0 << 3.0f << true;
    QTest::newRow("maximum 0, a bar of 0") << 0.0 << 0.0f << false;
}

void TstBarChart::barsCutOffAtTheTop()
{
    QFETCH(double, maximum);
    QFETCH(float, value);
    QFETCH(bool, reachesTop);

    BarChart chart;
    chart.setMaximum(maximum);
    chart.setIncrement(1);
    chart.addBar(value, u"A"_s);
    chart.addBar(0, u"B"_s);
    const QImage image = chart.toImage();
    QCOMPARE(chart.values(), (QList<qreal>{value, 0}));
    const QRectF plot = chart.plotArea();
    const int x = qRound(plot.left() + plot.width() / 4);
    QCOMPARE(!isWhite(image.pixel(x, qRound(plot.top()) + 2)), reachesTop);
    // Nothing of the bar above the plot.
    QVERIFY(isWhite(image.pixel(x, qRound(plot.top()) - 3)));
    QVERIFY(!isWhite(image.pixel(x, qRound(plot.bottom()) - 2)) || value == 0);
}

void TstBarChart::bottomTitleCentredWithoutBars()
{
    BarChart chart;
    fill(chart, {}, 90, 0);
    const QImage image = chart.toImage();
    const QRectF plot = chart.plotArea();
    const QRectF title = chart.bottomTitleRect();
    QVERIFY(plot.width() > 400);
    QVERIFY2(qAbs(title.center().x() - plot.center().x()) < 1,
             qPrintable(QString::number(title.center().x())));
    QVERIFY(title.top() > plot.bottom());
    QVERIFY(hasInk(image, title));
}

void TstBarChart::titleInFull_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("lines");

    QTest::newRow("one line") << u"Łatwość standardu: Czytanie"_s << 1;
    QTest::newRow("long description")
        << u"Średnia liczba punktów za standard: Korzystanie z informacji zawartych "
           u"w tekstach, tabelach, wykresach i na mapach oraz wyciąganie wniosków"_s
        << 2;
    QTest::newRow("signs of markup") << u"Łatwość standardu: <b>Pisanie</b> & czytanie &amp;"_s << 1;
}

void TstBarChart::titleInFull()
{
    QFETCH(QString, title);
    QFETCH(int, lines);

    BarChart chart;
    chart.setTitleText(title);
    QCOMPARE(chart.titleText(), title);
    // What the component shows: every word, on lines as wide as the chart at most.
    QTextDocument shown;
    shown.setDefaultFont(chart.titleFont());
    shown.setHtml(chart.title());
    const QStringList shownLines = shown.toPlainText().replace(QChar::LineSeparator, u'\n').split(u'\n');
    QCOMPARE(shownLines.size(), lines);
    QCOMPARE(shownLines.join(u' '), title);
    const QFontMetricsF metrics(chart.titleFont());
    for (const QString &line : shownLines)
        QVERIFY2(metrics.horizontalAdvance(line) < 643, qPrintable(line));
}

void TstBarChart::arialOrItsLook_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::newRow("title") << 13;
    QTest::newRow("footer and labels") << 11;
    QTest::newRow("smallest labels") << 7;
}

void TstBarChart::arialOrItsLook()
{
    QFETCH(int, pixelSize);
    const QFontInfo font(BarChart::arial(pixelSize));
    QVERIFY2(font.family() == u"Arial"_s || font.family() == u"Liberation Sans"_s, qPrintable(font.family()));
    QCOMPARE(font.pixelSize(), pixelSize);
}

void TstBarChart::bitmapReplacedWhole()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"wykr_1.bmp"_s);
    {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write(QByteArray(2000000, 'x'));
    }
    BarChart chart;
    fill(chart, numbered(u"Zad."_s, 25), 90);
    chart.saveBitmap(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // 54 bytes of headers, then 385 rows of 643 pixels of 3 bytes, each row padded to 4 bytes.
    QCOMPARE(bytes.size(), 54 + 385 * 1932);
    QVERIFY(!bytes.contains(QByteArray(64, 'x')));
    QImage image;
    QVERIFY(image.loadFromData(bytes, "BMP"));
    QCOMPARE(image.convertToFormat(QImage::Format_RGB32), chart.toImage());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"wykr_1.bmp"_s});
}

void TstBarChart::bitmapCannotBeWritten()
{
    QTemporaryDir folder;
    BarChart chart;
    fill(chart, numbered(u"Zad."_s, 3), 90);
    for (const QString &path : {folder.filePath(u"missing/wykr_1.bmp"_s), folder.path()}) {
        try {
            chart.saveBitmap(path);
            QFAIL(qPrintable(u"written to "_s + path));
        } catch (const BitmapWriteError &error) {
            QCOMPARE(error.message(), u"Nie mogę zapisać wykresu do pliku %1!"_s.arg(path));
        }
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

QTEST_MAIN(TstBarChart)
#include "tst_barchart.moc"
