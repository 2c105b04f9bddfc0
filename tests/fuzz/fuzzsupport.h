// What the fuzz targets share: a failed invariant ends the run with a message libFuzzer keeps
// beside the input, and typed text is tried in both of its encodings.
#pragma once

#include "core/cp1250.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <concepts>
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

// The detail is made only when the check fails: some checks run for every cell of every input.
template <std::invocable Detail> void require(bool condition, const char *what, Detail detail)
{
    if (!condition)
        fail(what, detail());
}

// A folder kept for the whole run, in memory where the system has such a folder: several targets
// write a file or two for every input.
inline QTemporaryDir &scratchDir()
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/sondaryk-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/sondaryk-fuzz-XXXXXX"));
    if (!dir.isValid())
        fail("no temporary directory");
    return dir;
}

// A file (Setup.ini unless named) holding exactly these bytes, in the scratch folder; its path.
inline QString scratchFileWith(const QByteArray &bytes, const QString &name = QStringLiteral("Setup.ini"))
{
    const QString path = scratchDir().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the scratch file");
    return path;
}

// The same bytes as a file gives them (Windows-1250) and as typed text (any character); bytes that
// read the same both ways (plain ASCII) are checked once, as the second check could find nothing new.
template <typename Check> int checkAsText(const std::uint8_t *data, std::size_t size, Check check)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString windows = cp1250::decode(bytes);
    check(windows);
    const QString typed = QString::fromUtf8(bytes);
    if (typed != windows)
        check(typed);
    return 0;
}

} // namespace fuzz
