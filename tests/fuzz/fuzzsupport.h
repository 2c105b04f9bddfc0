// What the fuzz targets share: a failed invariant ends the run with a message libFuzzer keeps
// beside the input, and typed text is tried in both of its encodings.
#pragma once

#include "core/cp1250.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

[[noreturn]] inline void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "invariant broken: %s \"%s\"\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void require(bool condition, const char *what, const QString &detail = QString())
{
    if (!condition)
        fail(what, detail);
}

// A file (Setup.ini unless named) holding exactly these bytes, in a folder kept for the whole run;
// its path.
inline QString scratchFileWith(const QByteArray &bytes, const QString &name = QStringLiteral("Setup.ini"))
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        fail("no temporary directory");
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the scratch file");
    return path;
}

// The same bytes as a file gives them (Windows-1250) and as typed text (any character).
template <typename Check> int checkAsText(const std::uint8_t *data, std::size_t size, Check check)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(cp1250::decode(bytes));
    check(QString::fromUtf8(bytes));
    return 0;
}

} // namespace fuzz
