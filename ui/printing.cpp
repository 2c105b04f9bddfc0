#include "ui/printing.h"

#include "ui/messages.h"
#include "ui/seams.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace ui {

QPrinter *printerOrExplain(const QString &noPrinter)
{
    QPrinter *printer = printerSource ? printerSource() : nullptr;
    if (!printer)
        messages::showMessage(noPrinter);
    return printer;
}

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

QRectF printableArea(QPagedPaintDevice *device)
{
    if (auto *printer = dynamic_cast<QPrinter *>(device))
        return printer->pageRect(QPrinter::DevicePixel);
    return device->pageLayout().paintRectPixels(device->logicalDpiX());
}

bool printPages(QPagedPaintDevice *device, int pageCount,
                const std::function<void(QPainter &painter, int page)> &drawPage, const PageFoot *foot)
{
    auto *printer = dynamic_cast<QPrinter *>(device);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    try {
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        for (int i = 0; i < pageCount; ++i) {
            if (i > 0 && !device->newPage())
                return false;
            drawPage(painter, i);
            if (foot) {
                // The device's own resolution for the foot line, where its point size means what it says.
                painter.setFont(QFont(foot->font, device));
                painter.drawText(
                    foot->rect, Qt::AlignRight | Qt::AlignBottom,
                    QStringLiteral("%1 – strona %2 z %3").arg(foot->title).arg(i + 1).arg(pageCount));
            }
        }
    } catch (...) {
        if (printer)
            printer->abort();
        throw;
    }
    if (!painter.end())
        return false;
    return !printer ||
           (printer->printerState() != QPrinter::Error && printer->printerState() != QPrinter::Aborted);
}

QByteArray pdfOf(const std::function<bool(QPagedPaintDevice *)> &print)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return QByteArray();
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        if (!print(&writer))
            return QByteArray();
    }
    // A PDF ends with its end-of-file marker; anything else is not whole.
    return bytes.trimmed().endsWith("%%EOF") ? bytes : QByteArray();
}

} // namespace ui
