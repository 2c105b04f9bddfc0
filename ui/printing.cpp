#include "ui/printing.h"

#include "ui/messages.h"
#include "ui/seams.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

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

namespace {

// One piece of the document's top level: a paragraph or heading, or a table (or another frame).
struct Piece {
    QTextBlock block;
    QTextFrame *frame = nullptr;
};

QList<Piece> piecesOf(const QTextDocument *document)
{
    QList<Piece> pieces;
    for (auto it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (it.currentFrame())
            pieces.append(Piece{{}, it.currentFrame()});
        else if (it.currentBlock().isValid())
            pieces.append(Piece{it.currentBlock(), nullptr});
    }
    return pieces;
}

// The height in the document of the middle of a block's line, line -1 being its last one.
qreal lineMiddle(const QAbstractTextDocumentLayout *layout, const QTextBlock &block, int line)
{
    const QTextLayout *text = block.layout();
    const int count = text->lineCount();
    const QRectF bounds = layout->blockBoundingRect(block);
    if (count == 0)
        return bounds.center().y();
    // Lines lie relative to the block's origin, where its bounding rectangle starts.
    return bounds.top() + text->lineAt(line < 0 ? count - 1 : std::min(line, count - 1)).rect().center().y();
}

// From the middle of one line to the middle of another.
struct Lines {
    qreal first;
    qreal last;
};

Lines rowLines(const QAbstractTextDocumentLayout *layout, const QTextTable *table, int row)
{
    Lines lines{std::numeric_limits<qreal>::max(), std::numeric_limits<qreal>::lowest()};
    for (int column = 0; column < table->columns(); ++column) {
        const QTextTableCell cell = table->cellAt(row, column);
        lines.first = std::min(lines.first, lineMiddle(layout, cell.firstCursorPosition().block(), 0));
        lines.last = std::max(lines.last, lineMiddle(layout, cell.lastCursorPosition().block(), -1));
    }
    return lines;
}

// The lines a piece begins with, which belong together: a paragraph's first two (a picture is one
// line), a table's header rows and its first row.
Lines startOf(const QAbstractTextDocumentLayout *layout, const Piece &piece)
{
    if (!piece.frame)
        return {lineMiddle(layout, piece.block, 0), lineMiddle(layout, piece.block, 1)};
    if (const auto *table = qobject_cast<const QTextTable *>(piece.frame)) {
        const int first = std::min(table->format().headerRowCount(), table->rows() - 1);
        return {rowLines(layout, table, 0).first, rowLines(layout, table, first).last};
    }
    const qreal top = lineMiddle(layout, piece.frame->firstCursorPosition().block(), 0);
    return {top, top};
}

qreal lastLineOf(const QAbstractTextDocumentLayout *layout, const Piece &piece)
{
    if (!piece.frame)
        return lineMiddle(layout, piece.block, -1);
    if (const auto *table = qobject_cast<const QTextTable *>(piece.frame))
        return rowLines(layout, table, table->rows() - 1).last;
    return lineMiddle(layout, piece.frame->lastCursorPosition().block(), -1);
}

// A heading, or a paragraph of a few lines of text just above a table, which introduces it.
bool keepsWithNext(const QList<Piece> &pieces, qsizetype i)
{
    if (i + 1 >= pieces.size() || pieces[i].frame)
        return false;
    const QTextBlock &block = pieces[i].block;
    if (block.blockFormat().headingLevel() > 0)
        return true;
    const QString text = block.text();
    return qobject_cast<QTextTable *>(pieces[i + 1].frame) && !text.trimmed().isEmpty() &&
           !text.contains(QChar::ObjectReplacementCharacter) && block.layout()->lineCount() <= 3;
}

// Changes the document with its layout set aside and then lays it out anew, from the top and only
// as far as it is asked about: Qt's layout of each change by itself would lay out all that follows
// it at once, and can lose track of what follows a table it moved to the next page.
void change(QTextDocument *document, const std::function<void()> &what)
{
    const QSizeF page = document->pageSize();
    document->setPageSize(QSizeF());
    what();
    document->setPageSize(page);
}

void breakBefore(QTextDocument *document, const Piece &piece)
{
    change(document, [&piece] {
        if (auto *table = qobject_cast<QTextTable *>(piece.frame)) {
            QTextTableFormat format = table->format();
            format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
            table->setFormat(format);
        } else if (piece.frame) {
            QTextFrameFormat format = piece.frame->frameFormat();
            format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
            piece.frame->setFrameFormat(format);
        } else {
            QTextBlockFormat format = piece.block.blockFormat();
            format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(piece.block).setBlockFormat(format);
        }
    });
}

// The bottom padding of every cell of a table's row, extra more than the table's own.
void padRow(QTextDocument *document, QTextTable *table, int row, qreal extra)
{
    change(document, [=] {
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(row, column);
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            format.setBottomPadding(table->format().cellPadding() + extra);
            cell.setFormat(format);
        }
    });
}

// Moves a table's row to the next page by lengthening the row above it down to the page's end, as
// Qt ends a row whose next row it moved: Qt moves only a row none of whose cells' first line fits on
// the page, and lets the others' lines run on. Too little padding leaves the row where it is, too
// much pushes the last lines above it on too (Qt keeps a cell's padding clear of the page's end); the
// room between, about a row's height, is found by halving.
void moveRowDown(QTextDocument *document, QTextTable *table, int row, int page, qreal height)
{
    const QAbstractTextDocumentLayout *layout = document->documentLayout();
    const auto onPage = [&](qreal y) { return int(std::floor(y / height)) == page; };
    qreal stays = 0;
    qreal runsOn = (page + 1) * height - rowLines(layout, table, row - 1).last;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const qreal extra = (stays + runsOn) / 2;
        padRow(document, table, row - 1, extra);
        const Lines above = rowLines(layout, table, row - 1);
        if (onPage(rowLines(layout, table, row).first))
            stays = extra;
        else if (onPage(above.first) && onPage(above.last))
            return;
        else
            runsOn = extra;
    }
    // No padding parts the rows cleanly: the row runs on as Qt lays it out.
    padRow(document, table, row - 1, 0);
}

} // namespace

void keepTogetherOnPages(QTextDocument *document, const ProgressReport &progress)
{
    const qreal height = document->pageSize().height();
    if (height <= 0)
        return;
    const QAbstractTextDocumentLayout *layout = document->documentLayout();
    const auto page = [height](qreal y) { return int(std::floor(y / height)); };
    const QList<Piece> pieces = piecesOf(document);
    // Measured in pieces and table rows, which is where the time goes.
    qint64 total = 0;
    for (const Piece &piece : pieces) {
        const auto *table = qobject_cast<QTextTable *>(piece.frame);
        total += 1 + (table ? table->rows() : 0);
    }
    qint64 done = 0;
    // In order from the top: a change moves only what follows it, so the pieces above stay settled.
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        reportProgress(progress, done++, total);
        auto *table = qobject_cast<QTextTable *>(pieces[i].frame);
        Lines group{0, 0};
        if (keepsWithNext(pieces, i))
            group = {startOf(layout, pieces[i]).first, startOf(layout, pieces[i + 1]).last};
        else if (table && table->format().headerRowCount() > 0)
            group = startOf(layout, pieces[i]);
        if (page(group.first) != page(group.last)) {
            // A heading over an introduction goes along with it.
            qsizetype first = i;
            while (first > 0 && keepsWithNext(pieces, first - 1))
                --first;
            // At the top of its page already, the group is longer than a page: a break would only
            // add an empty one.
            if (first > 0 &&
                page(lastLineOf(layout, pieces[first - 1])) == page(startOf(layout, pieces[first]).first))
                breakBefore(document, pieces[first]);
        }
        if (!table)
            continue;
        for (int row = std::min(table->format().headerRowCount(), table->rows() - 1) + 1; row < table->rows();
             ++row) {
            reportProgress(progress, done++, total);
            const Lines lines = rowLines(layout, table, row);
            // A row longer than most of a page would leave a page almost empty.
            if (page(lines.first) != page(lines.last) && lines.last - lines.first < height * 0.75)
                moveRowDown(document, table, row, page(lines.first), height);
        }
    }
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

std::unique_ptr<QTextDocument> pagedCopy(const QTextDocument &document, const QList<QUrl> &pictures,
                                         const QSizeF &page, const ProgressReport &progress)
{
    std::unique_ptr<QTextDocument> copy(document.clone());
    for (const QUrl &url : pictures)
        copy->addResource(QTextDocument::ImageResource, url,
                          document.resource(QTextDocument::ImageResource, url));
    copy->setPageSize(page);
    keepTogetherOnPages(copy.get(), progress);
    return copy;
}

bool printDocument(QPagedPaintDevice *printer, const QTextDocument &document, const QList<QUrl> &pictures,
                   qreal pageWidth, const QString &title, const ProgressReport &progress)
{
    const PageLayoutGuard keeper(printer);
    prepareA4(printer, title);
    // Scaled to the printable area, less a line at the foot for the page number.
    const QRectF area(QPointF(0, 0), printableArea(printer).size());
    const qreal scale = area.width() / pageWidth;
    constexpr qreal footHeight = 24;
    const QSizeF page(pageWidth, area.height() / scale - footHeight);
    // Laying the pages out takes most of the time; drawing them the rest.
    const std::unique_ptr<QTextDocument> copy =
        pagedCopy(document, pictures, page, progressPart(progress, 0, 700));
    const ProgressReport drawing = progressPart(progress, 700, 1000);
    PageFoot foot{title, copy->defaultFont(),
                  QRectF(0, page.height() * scale, area.width(), footHeight * scale)};
    foot.font.setPointSizeF(8);
    return printPages(
        printer, copy->pageCount(),
        [&](QPainter &painter, int i) {
            reportProgress(drawing, i, copy->pageCount());
            painter.save();
            painter.scale(scale, scale);
            painter.translate(0, -i * page.height());
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(QPointF(0, i * page.height()), page);
            painter.setClipRect(context.clip);
            copy->documentLayout()->draw(&painter, context);
            painter.restore();
        },
        &foot);
}

} // namespace ui
