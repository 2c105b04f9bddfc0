#include "tfanaliza.h"

#include "analysisdocument.h"
#include "barchart.h"
#include "guarded.h"
#include "histogram.h"
#include "messages.h"
#include "savefile.h"
#include "seams.h"
#include "ui_tfanaliza.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>

#include <algorithm>

TfAnaliza *fAnaliza = nullptr;

namespace {

void prepareA4(QPagedPaintDevice *device, const QString &title)
{
    device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    if (auto *printer = dynamic_cast<QPrinter *>(device)) {
        printer->setDocName(title);
        printer->setCreator(QStringLiteral("Sondaryk"));
    } else if (auto *pdf = dynamic_cast<QPdfWriter *>(device)) {
        pdf->setTitle(title);
        pdf->setCreator(QStringLiteral("Sondaryk"));
    }
}

// The printable area, in the device's pixels.
QRectF printableArea(QPagedPaintDevice *device)
{
    if (auto *printer = dynamic_cast<QPrinter *>(device))
        return printer->pageRect(QPrinter::DevicePixel);
    return device->pageLayout().paintRectPixels(device->logicalDpiX());
}

} // namespace

TfAnaliza::TfAnaliza(const AnalysisReport &report, const TestDefinition &test,
                     const AnalysisSettings &settings, const QString &pdfPath, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfAnaliza>()), m_report(report), m_test(test),
      m_pdfPath(pdfPath)
{
    ui->setupUi(this);
    setWindowTitle(analysisTitle(report));

    QTextDocument *doc = ui->teRaport->document();
    // Point sizes, not pixels: the printed copy is laid out at the printer's resolution.
    QFont font = this->font();
    font.setPointSizeF(9);
    doc->setDefaultFont(font);
    doc->setDefaultStyleSheet(QStringLiteral("h1 { font-size: 15pt; } "
                                             "h2 { font-size: 12pt; margin-top: 14px; margin-bottom: 6px; } "
                                             "h3 { font-size: 10pt; margin-top: 10px; margin-bottom: 4px; } "
                                             "th { background-color: #e4e4e4; }"));
    drawHistogram();
    ui->teRaport->setHtml(analysisHtml(report, test, settings));

    connect(ui->bDrukuj, &QPushButton::clicked, this, [this] { guarded([this] { bDrukujClick(); }); });
    connect(ui->bZapiszPdf, &QPushButton::clicked, this, [this] { guarded([this] { bZapiszPdfClick(); }); });
    connect(ui->bZamknij, &QPushButton::clicked, this, &QDialog::accept);
    ui->teRaport->setFocus();
}

TfAnaliza::~TfAnaliza()
{
    if (fAnaliza == this)
        fAnaliza = nullptr;
}

QTextDocument *TfAnaliza::document() const
{
    return ui->teRaport->document();
}

void TfAnaliza::drawHistogram()
{
    m_histogram = std::make_unique<BarChart>();
    BarChart *chart = m_histogram.get();
    const HistogramBars bars = histogramBars(m_report.overall.histogram);
    const QList<int> &counts = bars.counts;
    const int step = histogramLabelStep(int(counts.size()));
    int largest = 0;
    for (qsizetype bar = 0; bar < counts.size(); ++bar) {
        largest = std::max(largest, counts[bar]);
        chart->addBar(float(counts[bar]), bar % step == 0 ? QString::number(bar * bars.width) : QString());
    }
    const HistogramAxis axis = histogramAxis(largest);
    chart->setTitleText(histogramTitle(m_report));
    chart->setFooter(m_test.testName + QStringLiteral(": ") + m_test.testDate);
    chart->setLeftTitle(QStringLiteral("Liczba uczniów"));
    chart->setBottomTitle(
        bars.width == 1 ? QStringLiteral("Suma punktów")
                        : QStringLiteral("Suma punktów (przedziały po %1 pkt, podpisany początek przedziału)")
                              .arg(bars.width));
    chart->setIncrement(axis.increment);
    chart->setMaximum(axis.maximum);
    chart->setLabelAngle(counts.size() > 21 ? 90 : 0);

    // Twice the pixels, so that the picture stays sharp on paper and on dense screens.
    QImage image(histogramWidth * 2, histogramHeight * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    chart->paintInto(&painter, QRectF(0, 0, histogramWidth, histogramHeight));
    painter.end();
    document()->addResource(QTextDocument::ImageResource, QUrl(QLatin1StringView(histogramImageName)), image);
}

bool TfAnaliza::printReport(QPagedPaintDevice *printer)
{
    const ui::PageLayoutGuard keeper(printer);
    prepareA4(printer, windowTitle());
    // Printing lays out a copy of the document, which must carry the picture with it.
    std::unique_ptr<QTextDocument> copy(document()->clone());
    copy->addResource(
        QTextDocument::ImageResource, QUrl(QLatin1StringView(histogramImageName)),
        document()->resource(QTextDocument::ImageResource, QUrl(QLatin1StringView(histogramImageName))));

    QPainter painter;
    if (!painter.begin(printer))
        return false;
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // The pages are laid out at the window's width, so that the histogram fits across the paper, and
    // then scaled to the printable area, less a line at the foot for the page number.
    const QRectF area(QPointF(0, 0), printableArea(printer).size());
    constexpr qreal pageWidth = histogramWidth + 40;
    const qreal scale = area.width() / pageWidth;
    constexpr qreal footHeight = 24;
    const QSizeF page(pageWidth, area.height() / scale - footHeight);
    copy->setPageSize(page);
    const int pages = copy->pageCount();
    QFont footFont = copy->defaultFont();
    footFont.setPointSizeF(8);
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer->newPage())
            return false;
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -i * page.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(QPointF(0, i * page.height()), page);
        painter.setClipRect(context.clip);
        copy->documentLayout()->draw(&painter, context);
        painter.restore();

        // The printer's own resolution for the foot line, where its point size means what it says.
        painter.setFont(QFont(footFont, printer));
        painter.drawText(QRectF(0, page.height() * scale, area.width(), footHeight * scale),
                         Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("%1 – strona %2 z %3").arg(windowTitle()).arg(i + 1).arg(pages));
    }
    if (!painter.end())
        return false;
    auto *real = dynamic_cast<QPrinter *>(printer);
    return !real || (real->printerState() != QPrinter::Error && real->printerState() != QPrinter::Aborted);
}

void TfAnaliza::bDrukujClick()
{
    QPrinter *printer = ui::printerSource ? ui::printerSource() : nullptr;
    if (!printer) {
        messages::showMessage(
            QStringLiteral("Nie można wydrukować analizy: w systemie nie ma żadnej drukarki. "
                           "Zainstaluj drukarkę albo zapisz analizę jako PDF."));
        return;
    }
    if (!printReport(printer))
        throw SondarykError(
            QStringLiteral("Nie udało się wydrukować analizy: drukarka nie przyjęła wydruku."));
}

QByteArray TfAnaliza::pdfBytes()
{
    // Made in memory and then written as every other file is: whole or not at all.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return QByteArray();
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        if (!printReport(&writer))
            return QByteArray();
    }
    // A PDF ends with its end-of-file marker; anything else is not whole.
    return bytes.trimmed().endsWith("%%EOF") ? bytes : QByteArray();
}

void TfAnaliza::bZapiszPdfClick()
{
    const QByteArray bytes = pdfBytes();
    const WriteResult result =
        bytes.isEmpty() ? WriteResult{WriteStatus::Failed, QString()}
                        : (m_schoolRoot.isEmpty() ? writeFileAtomically(m_pdfPath, bytes)
                                                  : writeFileInside(m_schoolRoot, m_pdfPath, bytes));
    if (result.status == WriteStatus::OutsideSchool) {
        messages::showFileError(
            QStringLiteral("Nie mogę zapisać pliku:\n%1\nPlik albo jego katalog jest "
                           "dowiązaniem symbolicznym, które prowadzi poza katalog szkoły. Dla "
                           "bezpieczeństwa program niczego nie zapisał.")
                .arg(m_pdfPath));
        return;
    }
    if (!result) {
        messages::showFileError(QStringLiteral("Nie mogę zapisać pliku!"));
        return;
    }
    messages::showMessage(QStringLiteral("Analiza została zapisana w pliku:\n") + m_pdfPath);
}
