// The cells packed beside the library: each sheet's <sheetData> written as the library writes it and
// deflated in pieces, the sheets on the machine's cores, then put into the library's file.
#include "files/xlsxcells.h"

#include "files/zipentries.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;
using namespace xlsx;

namespace {

void appendNumber(QByteArray &out, qint64 value)
{
    char digits[24];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr - digits);
}

// A number as printf's "%.16G" prints it, which the library uses, whatever the locale.
void appendFigure(QByteArray &out, double value)
{
    if (value == std::trunc(value) && std::abs(value) < 1e15 && !(value == 0 && std::signbit(value))) {
        appendNumber(out, qint64(value));
        return;
    }
    char digits[40];
    const std::to_chars_result result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 16);
    for (char *c = digits; c < result.ptr; ++c) {
        if (*c == 'e')
            *c = 'E';
    }
    out.append(digits, result.ptr - digits);
}

// The sheet's <sheetData> element, as the library writes it: rows holding cells only, each with its
// block's span.
void writeSheetData(const Sheet &sheet, const Packing &packing, const SheetLayout &layout,
                    zipentries::Deflater &deflater, const std::atomic<bool> &stop)
{
    if (layout.spans.isEmpty()) {
        deflater.add("<sheetData/>");
        return;
    }
    constexpr qsizetype pieceSize = 256 * 1024;
    QByteArray out;
    out.reserve(pieceSize + 64 * 1024);
    out.append("<sheetData>");
    QList<QByteArray> letters;
    qsizetype currentRow = -1;
    QByteArray rowNumber;
    forEachCell(sheet, [&](qsizetype r, qsizetype c, const SheetCell &cell) {
        QByteArray utf8;
        if (!cell.number) {
            if (cell.text.isEmpty())
                return;
            utf8 = textBytes(cell.text);
            if (utf8.isEmpty())
                return;
        }
        if (r != currentRow) {
            if (currentRow >= 0)
                out.append("</row>");
            if (out.size() >= pieceSize) {
                if (stop.load(std::memory_order_relaxed))
                    throw StepCancelled(QString());
                deflater.add(out);
                out.truncate(0);
            }
            currentRow = r;
            rowNumber = QByteArray::number(r + 1);
            const auto [left, right] = layout.spans.at(r / 16);
            out.append("<row r=\"").append(rowNumber).append("\" spans=\"");
            appendNumber(out, left + 1);
            out.append(':');
            appendNumber(out, right + 1);
            out.append("\">");
        }
        while (letters.size() <= c)
            letters.append(columnLetters(letters.size()));

        out.append("<c r=\"").append(letters.at(c)).append(rowNumber).append('"');
        if (const int slot = formatSlot(cell); slot >= 0 && packing.styles[std::size_t(slot)] > 0) {
            out.append(" s=\"");
            appendNumber(out, packing.styles[std::size_t(slot)]);
            out.append('"');
        }
        if (cell.number) {
            out.append("><v>");
            appendFigure(out, *cell.number);
        } else {
            out.append(" t=\"s\"><v>");
            appendNumber(out, packing.strings.value(utf8));
        }
        out.append("</v></c>");
    });
    out.append("</row></sheetData>");
    deflater.add(out);
}

// The library's sheet around its dimension and its cells; nullopt when it is not laid out as
// expected.
struct SheetFrame {
    QByteArrayView beforeDimension;
    QByteArrayView beforeData;
    QByteArrayView afterData;
};

std::optional<SheetFrame> sheetFrame(QByteArrayView written)
{
    static constexpr QByteArrayView dimensionStart = "<dimension ref=\"";
    static constexpr QByteArrayView emptyData = "<sheetData/>";
    static constexpr QByteArrayView dataEnd = "</sheetData>";
    const qsizetype ref = written.indexOf(dimensionStart);
    if (ref < 0)
        return std::nullopt;
    const qsizetype refStart = ref + dimensionStart.size();
    const qsizetype refEnd = written.indexOf('"', refStart);
    const qsizetype dataStart = refEnd < 0 ? -1 : written.indexOf("<sheetData", refEnd);
    if (dataStart < 0)
        return std::nullopt;
    qsizetype after = -1;
    if (written.sliced(dataStart).startsWith(emptyData)) {
        after = dataStart + emptyData.size();
    } else if (const qsizetype end = written.indexOf(dataEnd, dataStart); end >= 0) {
        after = end + dataEnd.size();
    }
    if (after < 0)
        return std::nullopt;
    return SheetFrame{written.first(refStart), written.sliced(refEnd, dataStart - refEnd),
                      written.sliced(after)};
}

// A sheet's entry in the library's file, its cells put in; nullopt with *problem when the library's
// sheet is not laid out as expected.
std::optional<zipentries::Deflated> packSheet(const QByteArray &written, const QList<Sheet> &sheets,
                                              qsizetype i, const Packing &packing,
                                              const std::atomic<bool> &stop, QString *problem)
{
    const QByteArray entry = "xl/worksheets/sheet" + QByteArray::number(i + 1) + ".xml";
    const std::optional<QByteArray> library = zipentries::inflated(written, entry);
    const std::optional<SheetFrame> frame = library ? sheetFrame(*library) : std::nullopt;
    if (!frame) {
        *problem = inSheet(sheets.at(i), u"biblioteka zapisała arkusz w nieznanej postaci"_s);
        return std::nullopt;
    }
    zipentries::Deflater deflater;
    deflater.add(frame->beforeDimension);
    deflater.add(packing.sheets.at(i).dimension);
    deflater.add(frame->beforeData);
    writeSheetData(sheets.at(i), packing, packing.sheets.at(i), deflater, stop);
    deflater.add(frame->afterData);
    return deflater.finish();
}

// The packed sheets joined into the library's archive: each replaces the library's own entry of
// that sheet (written without its numbers), and every other entry is kept byte for byte, already
// deflated, so the file is the one the library would have written with every cell.
QString joinPacked(QByteArray &zip, const QList<Sheet> &sheets,
                   std::vector<std::optional<zipentries::Deflated>> &packed)
{
    QHash<QByteArray, zipentries::Deflated> replacements;
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        if (!packed[std::size_t(i)])
            return inSheet(sheets.at(i), u"nie można spakować arkusza"_s);
        replacements.insert("xl/worksheets/sheet" + QByteArray::number(i + 1) + ".xml",
                            std::move(*packed[std::size_t(i)]));
    }
    std::optional<QByteArray> whole = zipentries::withEntries(zip, replacements);
    if (!whole)
        return u"biblioteka zapisała plik w nieznanej postaci"_s;
    zip = std::move(*whole);
    return {};
}

} // namespace

// Every sheet's cells put into the library's file, the sheets packed side by side on the
// machine's cores. Empty when it is done; progress is told of each sheet packed.
QString xlsx::packSheets(QByteArray &zip, const QList<Sheet> &sheets, const Packing &packing,
                         const ProgressReport &progress)
{
    // Each packer writes only its own sheet's places; the library's file is only read meanwhile.
    const QByteArray &written = zip;
    std::vector<std::optional<zipentries::Deflated>> packed(std::size_t(sheets.size()));
    std::vector<QString> problems(std::size_t(sheets.size()));
    std::atomic<qsizetype> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    qsizetype done = 0;
    const auto work = [&] {
        for (qsizetype i = next++; i < sheets.size() && !stop; i = next++) {
            try {
                packed[std::size_t(i)] =
                    packSheet(written, sheets, i, packing, stop, &problems[std::size_t(i)]);
            } catch (const StepCancelled &) {
                return;
            } catch (const std::length_error &) {
                problems[std::size_t(i)] =
                    inSheet(sheets.at(i), u"arkusz jest za duży na plik XLSX (ponad 4 GB)"_s);
            } catch (...) {
                problems[std::size_t(i)] = inSheet(sheets.at(i), outOfMemory());
            }
            const std::lock_guard lock(mutex);
            ++done;
            finished.notify_one();
        }
    };

    const qsizetype workerCount = qBound<qsizetype>(1, qsizetype(std::thread::hardware_concurrency()),
                                                    qMin<qsizetype>(4, sheets.size()));
    std::vector<std::thread> workers;
    workers.reserve(std::size_t(workerCount));
    for (qsizetype w = 0; w < workerCount; ++w) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error &) {
            break; // the threads started do the work
        }
    }
    if (workers.empty())
        work(); // no thread to be had: the sheets are packed here, one after another
    const auto joinAll = [&] {
        for (std::thread &worker : workers)
            worker.join();
    };
    try {
        std::unique_lock lock(mutex);
        for (;;) {
            const qsizetype sofar = done;
            lock.unlock();
            reportProgress(progress, sofar, sheets.size()); // may throw StepCancelled
            lock.lock();
            if (sofar == sheets.size())
                break;
            finished.wait_for(lock, std::chrono::milliseconds(40), [&] { return done > sofar; });
        }
    } catch (...) {
        stop = true;
        joinAll();
        throw;
    }
    joinAll();
    for (const QString &problem : problems) {
        if (!problem.isEmpty())
            return problem;
    }

    return joinPacked(zip, sheets, packed);
}
