// Several computers on one school folder (a network share): what a page read of a file, to know
// whether someone else saved it since, and the lock file a class folder holds while its results are
// being typed somewhere.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

class SchoolFolder;

// Who works on a school folder: the computer, the user, since when, and which program.
struct Worker {
    QString computer;
    QString user;
    QDateTime since;
    qint64 process = 0;
    // One per workbook window, so that two windows of one program tell each other apart.
    QString session;
};

// This computer, its user and this program now, for the given window's session.
Worker thisWorker(const QString &session);

// What was on disk when a page read or wrote a file.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    QByteArray checksum;
};

FileStamp stampOf(const SchoolFolder &folder, const QString &path);
// The file holds something else than it did: another computer (or window) saved it since. The same
// bytes saved again are no change, nor is a file removed since.
bool changedSince(const FileStamp &before, const FileStamp &now);

// The lock file: an INI file in Windows-1250 with CR LF, like the program's others.
QByteArray workerNoteBytes(const Worker &worker);
std::optional<Worker> readWorkerNote(const SchoolFolder &folder, const QString &path);

// A lock left by a program that ended without saving: older than a day, or of a process no longer
// running on this computer.
bool isStaleLock(const Worker &lock, const QDateTime &now);

// "10:42" today, "10.12.2026, 10:42" another day.
QString whenText(const QDateTime &time, const QDateTime &now);
// "Klasę 6a wpisuje teraz anna na komputerze PC-ANNA od 10:42."
QString typingElsewhereText(const QString &classLabel, const Worker &lock, const QDateTime &now);
// When the file was saved: "(dziś o 10:42)", "(10.12.2026 o 10:42)".
QString savedWhenText(const FileStamp &file, const QDateTime &now);

// Why the file could not be written, in the teacher's words: a folder that is gone, one that cannot
// be written, a full disk, a folder in the file's place. error: the system's error number, 0 when
// unknown (the folder is then tried).
QString writeFailureCause(const QString &filePath, int error = 0);
// Whether a file can be made in folder; the system's error number when not, 0 when it can.
int folderWriteError(const QString &folder);
