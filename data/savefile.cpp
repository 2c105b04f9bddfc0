#include "savefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Every file of a school directory is a few kilobytes; anything far larger is not one of ours and
// must not be read into memory whole.
constexpr qint64 maxReadSize = 64 * 1024 * 1024;

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // The bytes go to a temporary file beside the target, which replaces it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

ReadStatus readWholeFile(const QString &path, QByteArray *bytes)
{
    if (bytes)
        bytes->clear();
    const QFileInfo info(path);
    if (!info.exists())
        return ReadStatus::Missing;
    // Directories, pipes and devices are refused: a pipe could block and a device never ends.
    if (!info.isFile() || info.size() > maxReadSize)
        return ReadStatus::Failed;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadStatus::Failed;
    // Read in chunks, so that a file that grew since it was looked at is still cut off at the limit.
    QByteArray content;
    content.reserve(info.size());
    char chunk[65536];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0)
            return ReadStatus::Failed;
        if (got == 0)
            break;
        content.append(chunk, got);
        if (content.size() > maxReadSize)
            return ReadStatus::Failed;
    }
    if (bytes)
        *bytes = content;
    return ReadStatus::Ok;
}
