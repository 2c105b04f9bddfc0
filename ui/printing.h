// Printing and PDF files, the same for every window that prints: the printer or a word why there
// is none, A4 pages, pages drawn one after another with their numbers, and a PDF made in memory.
#pragma once

#include "core/progress.h"

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QString>

#include <QList>
#include <QSizeF>
#include <QUrl>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QTextDocument;

namespace ui {

// The printer to print on; nullptr, once the teacher has been shown noPrinter, when the system
// has none.
QPrinter *printerOrExplain(const QString &noPrinter);

// A4 in portrait with margins of 15 mm, the document named title and made by the program.
void prepareA4(QPagedPaintDevice *device, const QString &title);

// The printable area, in the device's pixels.
QRectF printableArea(QPagedPaintDevice *device);

// The line at the foot of every page: "<title> – strona X z Y" at the bottom right of rect.
struct PageFoot {
    QString title;
    QFont font;  // in points, taken to the device's resolution
    QRectF rect; // in the device's pixels
};

// Draws pageCount pages on a printer or a PDF writer, each by drawPage(painter, index from 0),
// with the foot under each when one is given. False when the device would not take them; should
// drawing throw, the printer's job is abandoned and the exception goes on.
bool printPages(QPagedPaintDevice *device, int pageCount,
                const std::function<void(QPainter &painter, int page)> &drawPage,
                const PageFoot *foot = nullptr);

// For a document laid out in pages (QTextDocument::setPageSize): moves to the next page each heading,
// and each short paragraph that introduces a table, whose page would otherwise end before the first
// lines of what follows it (of a table, its header rows and first row), and each table row whose
// lines would run on from one page to the next. Qt itself repeats a table's header rows
// (QTextTableFormat::headerRowCount, from <thead>) on every page the table reaches.
void keepTogetherOnPages(QTextDocument *document, const ProgressReport &progress = {});

// A copy of the document for paper, so that a window's own view keeps its one long page: laid out
// in pages of the given size as keepTogetherOnPages leaves them, carrying the original's pictures.
std::unique_ptr<QTextDocument> pagedCopy(const QTextDocument &document, const QList<QUrl> &pictures,
                                         const QSizeF &page, const ProgressReport &progress = {});

// The document on A4, laid out pageWidth wide (so that its pictures fit across the paper) and
// scaled to the printable area, with "<title> – strona X z Y" at the foot of each page.
bool printDocument(QPagedPaintDevice *printer, const QTextDocument &document, const QList<QUrl> &pictures,
                   qreal pageWidth, const QString &title, const ProgressReport &progress = {});

// A PDF made in memory by print, so that it can be written as every other file is: whole or not
// at all. Empty when print fails or the PDF is not whole.
QByteArray pdfOf(const std::function<bool(QPagedPaintDevice *)> &print);

} // namespace ui
