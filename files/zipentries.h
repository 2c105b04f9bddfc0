// Entries of a ZIP file packed as the spreadsheet library packs an XLSX: every entry deflated at
// zlib's usual level, no data descriptors, no ZIP64. Large sheets are packed here, beside the
// library, so that they never have to be held cell by cell.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <optional>

namespace zipentries {

struct Deflated {
    QByteArray data;
    quint32 crc = 0;
    qint64 size = 0; // before packing
};

// Raw deflate at zlib's usual level, exactly as the library's packer deflates each entry, given
// the entry piece by piece: the same bytes come out however it is cut. Throws std::bad_alloc when
// zlib has no memory left.
class Deflater
{
public:
    Deflater();
    ~Deflater();
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    void add(QByteArrayView piece);
    Deflated finish();

private:
    void run(int flush);

    struct State;
    State *m_state;
    Deflated m_result;
};

// The whole entry at once.
Deflated deflated(QByteArrayView data);

// The unpacked bytes of the named entry; nullopt when there is none or it is damaged.
std::optional<QByteArray> inflated(QByteArrayView zip, QByteArrayView name);

// The same archive with the named entries' contents replaced and every other byte kept; nullopt
// when the archive is not one this packer writes or an entry outgrows the plain ZIP format.
std::optional<QByteArray> withEntries(QByteArrayView zip, const QHash<QByteArray, Deflated> &replacements);

} // namespace zipentries
