#include "files/zipentries.h"

#include <QList>

#include <zlib.h>

#include <limits>
#include <new>
#include <stdexcept>

namespace zipentries {

namespace {

constexpr quint32 localSignature = 0x04034b50;
constexpr quint32 centralSignature = 0x02014b50;
constexpr quint32 endSignature = 0x06054b50;
constexpr qsizetype localHeaderSize = 30;
constexpr qsizetype centralHeaderSize = 46;
constexpr qsizetype endRecordSize = 22;
constexpr quint16 dataDescriptorFlag = 0x0008;
constexpr quint16 storedMethod = 0;
constexpr quint16 deflatedMethod = 8;

quint16 read16(QByteArrayView bytes, qsizetype at)
{
    return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
}

quint32 read32(QByteArrayView bytes, qsizetype at)
{
    return quint32(read16(bytes, at)) | quint32(read16(bytes, at + 2)) << 16;
}

void put32(QByteArray &bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xff);
}

struct Entry {
    QByteArrayView central; // the whole central record
    QByteArrayView name;
    qsizetype localOffset = 0;
    qsizetype dataOffset = 0;
    qsizetype packedSize = 0;
    qsizetype size = 0;
    quint16 method = 0;
};

struct Archive {
    QList<Entry> entries;
    QByteArrayView endRecord;
};

// The central directory read and checked against the local headers; nullopt when anything is out
// of place, so that a damaged or unexpected archive is never patched.
std::optional<Archive> parse(QByteArrayView zip)
{
    if (zip.size() < endRecordSize)
        return std::nullopt;
    const qsizetype end = zip.size() - endRecordSize; // the library writes no archive comment
    if (read32(zip, end) != endSignature || read16(zip, end + 20) != 0)
        return std::nullopt;
    const quint16 count = read16(zip, end + 10);
    const qsizetype centralSize = read32(zip, end + 12);
    const qsizetype centralOffset = read32(zip, end + 16);
    if (read16(zip, end + 8) != count || centralOffset + centralSize != end)
        return std::nullopt;

    Archive archive;
    archive.endRecord = zip.sliced(end);
    qsizetype at = centralOffset;
    for (quint16 i = 0; i < count; ++i) {
        if (at + centralHeaderSize > end || read32(zip, at) != centralSignature)
            return std::nullopt;
        const qsizetype recordSize =
            centralHeaderSize + read16(zip, at + 28) + read16(zip, at + 30) + read16(zip, at + 32);
        if (at + recordSize > end)
            return std::nullopt;
        Entry entry;
        entry.central = zip.sliced(at, recordSize);
        entry.name = zip.sliced(at + centralHeaderSize, read16(zip, at + 28));
        entry.method = read16(zip, at + 10);
        entry.packedSize = read32(zip, at + 20);
        entry.size = read32(zip, at + 24);
        entry.localOffset = read32(zip, at + 42);
        const quint16 flags = read16(zip, at + 8);
        if ((flags & dataDescriptorFlag) || (entry.method != deflatedMethod && entry.method != storedMethod))
            return std::nullopt;
        const qsizetype local = entry.localOffset;
        if (local + localHeaderSize > centralOffset || read32(zip, local) != localSignature)
            return std::nullopt;
        entry.dataOffset = local + localHeaderSize + read16(zip, local + 26) + read16(zip, local + 28);
        if (entry.dataOffset + entry.packedSize > centralOffset ||
            zip.sliced(local + localHeaderSize, read16(zip, local + 26)) != entry.name)
            return std::nullopt;
        archive.entries.append(entry);
        at += recordSize;
    }
    return at == end ? std::optional<Archive>(archive) : std::nullopt;
}

bool fitsPlainZip(qint64 value)
{
    return value >= 0 && value < qint64(std::numeric_limits<quint32>::max());
}

} // namespace

struct Deflater::State {
    z_stream stream{};
};

Deflater::Deflater() : m_state(new State)
{
    if (deflateInit2(&m_state->stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        delete m_state;
        throw std::bad_alloc();
    }
}

Deflater::~Deflater()
{
    deflateEnd(&m_state->stream);
    delete m_state;
}

void Deflater::run(int flush)
{
    constexpr qsizetype room = 256 * 1024;
    z_stream &stream = m_state->stream;
    for (;;) {
        const qsizetype used = m_result.data.size();
        m_result.data.resize(used + room);
        stream.next_out = reinterpret_cast<Bytef *>(m_result.data.data() + used);
        stream.avail_out = uInt(room);
        const int status = deflate(&stream, flush);
        m_result.data.resize(used + room - qsizetype(stream.avail_out));
        if (status == Z_STREAM_END)
            return;
        if (status != Z_OK && status != Z_BUF_ERROR)
            throw std::bad_alloc();
        if (stream.avail_out != 0 && stream.avail_in == 0 && flush == Z_NO_FLUSH)
            return;
    }
}

void Deflater::add(QByteArrayView piece)
{
    if (!fitsPlainZip(m_result.size + piece.size()))
        throw std::length_error("entry too large");
    m_result.crc =
        quint32(crc32_z(m_result.crc, reinterpret_cast<const Bytef *>(piece.data()), z_size_t(piece.size())));
    m_result.size += piece.size();
    m_state->stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.data()));
    m_state->stream.avail_in = uInt(piece.size());
    run(Z_NO_FLUSH);
}

Deflated Deflater::finish()
{
    m_state->stream.next_in = nullptr;
    m_state->stream.avail_in = 0;
    run(Z_FINISH);
    return std::move(m_result);
}

Deflated deflated(QByteArrayView data)
{
    Deflater deflater;
    deflater.add(data);
    return deflater.finish();
}

std::optional<QByteArray> inflated(QByteArrayView zip, QByteArrayView name)
{
    const std::optional<Archive> archive = parse(zip);
    if (!archive)
        return std::nullopt;
    for (const Entry &entry : archive->entries) {
        if (entry.name != name)
            continue;
        const QByteArrayView packed = zip.sliced(entry.dataOffset, entry.packedSize);
        if (entry.method == storedMethod)
            return packed.toByteArray();
        QByteArray bytes(entry.size, Qt::Uninitialized);
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return std::nullopt;
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.data()));
        stream.avail_in = uInt(packed.size());
        stream.next_out = reinterpret_cast<Bytef *>(bytes.data());
        stream.avail_out = uInt(bytes.size());
        const int status = inflate(&stream, Z_FINISH);
        const bool whole = status == Z_STREAM_END && qsizetype(stream.total_out) == entry.size;
        inflateEnd(&stream);
        if (!whole)
            return std::nullopt;
        return bytes;
    }
    return std::nullopt;
}

std::optional<QByteArray> withEntries(QByteArrayView zip, const QHash<QByteArray, Deflated> &replacements)
{
    const std::optional<Archive> archive = parse(zip);
    if (!archive)
        return std::nullopt;
    QByteArray out;
    qint64 expected = zip.size();
    for (const Deflated &replacement : replacements)
        expected += replacement.data.size();
    out.reserve(qsizetype(qMin<qint64>(expected, std::numeric_limits<qsizetype>::max())));

    QList<qsizetype> offsets;
    offsets.reserve(archive->entries.size());
    qsizetype found = 0;
    for (const Entry &entry : archive->entries) {
        offsets.append(out.size());
        const auto replacement = replacements.constFind(entry.name.toByteArray());
        if (replacement == replacements.cend()) {
            out.append(
                zip.sliced(entry.localOffset, entry.dataOffset + entry.packedSize - entry.localOffset));
            continue;
        }
        if (entry.method != deflatedMethod || !fitsPlainZip(replacement->size) ||
            !fitsPlainZip(replacement->data.size()))
            return std::nullopt;
        ++found;
        const qsizetype header = out.size();
        out.append(zip.sliced(entry.localOffset, entry.dataOffset - entry.localOffset));
        put32(out, header + 14, replacement->crc);
        put32(out, header + 18, quint32(replacement->data.size()));
        put32(out, header + 22, quint32(replacement->size));
        out.append(replacement->data);
    }
    if (found != replacements.size())
        return std::nullopt;

    const qsizetype centralOffset = out.size();
    for (qsizetype i = 0; i < archive->entries.size(); ++i) {
        const Entry &entry = archive->entries.at(i);
        const qsizetype record = out.size();
        out.append(entry.central);
        if (!fitsPlainZip(offsets.at(i)))
            return std::nullopt;
        put32(out, record + 42, quint32(offsets.at(i)));
        const auto replacement = replacements.constFind(entry.name.toByteArray());
        if (replacement != replacements.cend()) {
            put32(out, record + 16, replacement->crc);
            put32(out, record + 20, quint32(replacement->data.size()));
            put32(out, record + 24, quint32(replacement->size));
        }
    }
    const qsizetype end = out.size();
    if (!fitsPlainZip(end))
        return std::nullopt;
    out.append(archive->endRecord);
    put32(out, end + 12, quint32(end - centralOffset));
    put32(out, end + 16, quint32(centralOffset));
    return out;
}

} // namespace zipentries
