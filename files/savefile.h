// The one way files reach the disk: replaced whole or not at all, so that a full disk or a failed
// write never leaves an empty or half file, and never through a symlink out of the school folder.
#pragma once

#include <QByteArray>
#include <QString>

enum class WriteStatus {
    Ok,
    Failed,        // the old file, if any, is as it was
    OutsideSchool, // refused: the path leads, through a symlink, out of the school folder
};

struct WriteResult {
    WriteStatus status = WriteStatus::Ok;
    QString reason; // the system's own words, for a test or a closer look
    bool ok() const { return status == WriteStatus::Ok; }
    explicit operator bool() const { return ok(); }
};

// Writes the bytes into a new temporary file in the target's real folder, checks every write,
// makes the data reach the disk (fsync) and only then renames it over the target. On any failure
// the temporary file is removed and the target stays exactly as it was. An existing file keeps
// its permissions; a new one gets the usual ones (0666 less the umask). Leftovers of a save that
// was killed half-way (temporary files of this program's own naming) are removed from the folder.
WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes);

// The same for a file of the school folder `root`: refused with OutsideSchool, nothing written,
// when the folder the file lies in, or the file itself, is (or lies under) a symlink whose target
// is outside root. A symlink that stays inside root is followed: its target is replaced and the
// link kept, so a class folder linked to another folder of the school goes on working.
WriteResult writeFileInside(const QString &root, const QString &path, const QByteArray &bytes);

enum class ReadStatus { Ok, Missing, Failed, OutsideSchool };

// Every file of a school directory is a few kilobytes; anything far larger is not one of ours.
inline constexpr qint64 maxReadSize = 64 * 1024 * 1024;

// Missing: no such file (not an error for the callers); Failed: it exists but cannot be read, is
// no regular file, or is larger than limit bytes (refused at once, before any is read).
ReadStatus readWholeFile(const QString &path, QByteArray *bytes, qint64 limit = maxReadSize);

// The same for a file of the school folder `root`: OutsideSchool when it is reached through a
// symlink that leads out of root.
ReadStatus readFileInside(const QString &root, const QString &path, QByteArray *bytes,
                          qint64 limit = maxReadSize);

// The real path a file of root is written to or read from: symlinks resolved, every one of them
// within root. Empty with *outside true when a symlink leads out; empty with *outside false when
// the path cannot be resolved (a folder that does not exist).
QString resolveInside(const QString &root, const QString &path, bool *outside);

// The names of this program's temporary files, so that leftovers are known for what they are.
bool isOwnTemporaryName(const QString &fileName);
