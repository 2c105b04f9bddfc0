#include "core/cp1250.h"

#include <QString>
#include <QStringView>

#include <array>

namespace {

// Bytes 0x80-0xFF. The five bytes the code page leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98)
// stand for the C1 control of the same number, as Windows decodes them, so any file survives a
// decode and encode unchanged.
constexpr std::array<char16_t, 128> upperHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // 0xF8
};

// The byte for a character, or -1 when the code page has none.
int byteFor(char16_t c)
{
    if (c < 0x80)
        return c;
    for (std::size_t i = 0; i < upperHalf.size(); ++i) {
        if (upperHalf[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

} // namespace

namespace cp1250 {

QString decode(QByteArrayView bytes)
{
    // Plain ASCII, as most files are, is the same in Latin-1, which Qt converts in bulk.
    const QLatin1StringView latin1(bytes.data(), bytes.size());
    if (QtPrivate::isAscii(latin1))
        return QString(latin1);
    // One character per byte, written in place: every file the program reads comes through here.
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = b < 0x80 ? char16_t(b) : upperHalf[b - 0x80];
    }
    return text;
}

QByteArray encode(const QString &text, bool *ok)
{
    // Plain ASCII, as most text is, is the same in Latin-1, which Qt converts in bulk.
    if (QtPrivate::isAscii(QStringView(text))) {
        if (ok)
            *ok = true;
        return text.toLatin1();
    }
    // At most one byte per character, written in place and cut to what was written.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    bool allEncoded = true;
    const QChar *end = text.cend();
    for (const QChar *c = text.cbegin(); c != end; ++c) {
        const int b = byteFor(c->unicode());
        if (b >= 0) {
            *out++ = char(b);
            continue;
        }
        allEncoded = false;
        *out++ = '?';
        // A character outside the basic plane is one '?', not one per half of its pair.
        if (c->isHighSurrogate() && c + 1 != end && c[1].isLowSurrogate())
            ++c;
    }
    bytes.truncate(out - bytes.constData());
    if (ok)
        *ok = allEncoded;
    return bytes;
}

bool canEncode(QChar c)
{
    return byteFor(c.unicode()) >= 0;
}

bool canEncode(const QString &text)
{
    if (QtPrivate::isAscii(QStringView(text)))
        return true;
    for (const QChar c : text) {
        if (!canEncode(c))
            return false;
    }
    return true;
}

} // namespace cp1250
