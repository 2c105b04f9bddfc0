#include "school/sharedfolder.h"

#include "core/cp1250.h"
#include "files/inifile.h"
#include "school/schoolfolder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString noteSection = QStringLiteral("Kto");
const QString timeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// A note's line: the values are names of computers and users, never a line break.
QString noteValue(QString value)
{
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    return value;
}

} // namespace

Worker thisWorker(const QString &session)
{
    Worker me;
    me.computer = QSysInfo::machineHostName();
    me.user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    me.since = QDateTime::currentDateTime();
    me.process = QCoreApplication::applicationPid();
    me.session = session;
    return me;
}

FileStamp stampOf(const SchoolFolder &folder, const QString &path)
{
    FileStamp stamp;
    QByteArray bytes;
    if (folder.read(path, &bytes, maxReadSize) != ReadStatus::Ok)
        return stamp;
    stamp.exists = true;
    stamp.size = bytes.size();
    stamp.modified = QFileInfo(path).lastModified();
    stamp.checksum = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    return stamp;
}

bool changedSince(const FileStamp &before, const FileStamp &now)
{
    // A file gone since holds nobody's results that writing could lose.
    if (!now.exists)
        return false;
    return !before.exists || before.checksum != now.checksum;
}

QByteArray workerNoteBytes(const Worker &worker)
{
    const QString text = QStringLiteral("[%1]\r\nKomputer=%2\r\nUzytkownik=%3\r\nCzas=%4\r\nProces=%5\r\n"
                                        "Sesja=%6\r\n")
                             .arg(noteSection, noteValue(worker.computer), noteValue(worker.user),
                                  worker.since.toString(timeFormat))
                             .arg(worker.process)
                             .arg(noteValue(worker.session));
    return cp1250::encode(text);
}

std::optional<Worker> readWorkerNote(const SchoolFolder &folder, const QString &path)
{
    QByteArray bytes;
    if (folder.read(path, &bytes, 64 * 1024) != ReadStatus::Ok)
        return std::nullopt;
    const IniFile note = IniFile::fromBytes(bytes);
    Worker worker;
    worker.computer = note.readString(noteSection, QStringLiteral("Komputer"), QString());
    worker.user = note.readString(noteSection, QStringLiteral("Uzytkownik"), QString());
    worker.since =
        QDateTime::fromString(note.readString(noteSection, QStringLiteral("Czas"), QString()), timeFormat);
    worker.process = note.readString(noteSection, QStringLiteral("Proces"), QString()).toLongLong();
    worker.session = note.readString(noteSection, QStringLiteral("Sesja"), QString());
    // A note without a time cannot say since when; it is as good as none.
    if (!worker.since.isValid())
        return std::nullopt;
    return worker;
}

bool isStaleLock(const Worker &lock, const QDateTime &now)
{
    if (!lock.since.isValid() || lock.since.secsTo(now) > 24 * 60 * 60)
        return true;
    if (lock.computer != QSysInfo::machineHostName() || lock.process <= 0)
        return false;
    return ::kill(pid_t(lock.process), 0) != 0 && errno == ESRCH;
}

QString whenText(const QDateTime &time, const QDateTime &now)
{
    if (time.date() == now.date())
        return time.toString(QStringLiteral("HH:mm"));
    return time.toString(QStringLiteral("dd.MM.yyyy, HH:mm"));
}

QString typingElsewhereText(const QString &classLabel, const Worker &lock, const QDateTime &now)
{
    const QString who = lock.user.isEmpty() ? QStringLiteral("ktoś") : lock.user;
    const QString computer = lock.computer.isEmpty() ? QStringLiteral("?") : lock.computer;
    return QStringLiteral("Klasę %1 wpisuje teraz %2 na komputerze %3 od %4.")
        .arg(classLabel, who, computer, whenText(lock.since, now));
}

QString savedWhenText(const FileStamp &file, const QDateTime &now)
{
    if (!file.modified.isValid())
        return QString();
    if (file.modified.date() == now.date())
        return QStringLiteral("(dziś o %1)").arg(file.modified.toString(QStringLiteral("HH:mm")));
    return QStringLiteral("(%1 o %2)")
        .arg(file.modified.toString(QStringLiteral("dd.MM.yyyy")),
             file.modified.toString(QStringLiteral("HH:mm")));
}

int folderWriteError(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return ENOENT;
    // Tried, not asked: a share exported read-only, or a disk mounted so, says so only when written.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QString name = QStringLiteral("%1/.sondaryk-%2.part")
                                 .arg(folder)
                                 .arg(QRandomGenerator::global()->bounded(100000, 999999));
        const int fd =
            ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(QFile::encodeName(name).constData());
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return 0;
}

QString writeFailureCause(const QString &filePath, int error)
{
    const QFileInfo file(filePath);
    const QString folder = file.absolutePath();
    const QString where = QDir::toNativeSeparators(folder);
    if (file.isDir())
        return QStringLiteral("W miejscu pliku „%1” jest katalog o tej samej nazwie.")
            .arg(QDir::toNativeSeparators(filePath));
    if (error == 0)
        error = folderWriteError(folder);
    if (error == ENOENT || error == ENOTDIR || !QFileInfo(folder).isDir())
        return QStringLiteral("Katalogu „%1” nie ma: usunięto go albo udział sieciowy z wynikami jest "
                              "niedostępny.")
            .arg(where);
    if (error == EROFS || error == EACCES || error == EPERM)
        return QStringLiteral("Katalog „%1” jest tylko do odczytu: nie masz w nim prawa zapisu albo dysk "
                              "lub udział sieciowy udostępniono tylko do odczytu.")
            .arg(where);
    const QStorageInfo storage(folder);
    if (error == ENOSPC || error == EDQUOT || (storage.isValid() && storage.bytesAvailable() < 64 * 1024))
        return QStringLiteral("Na dysku z katalogiem „%1” zabrakło miejsca.").arg(where);
    if (error != 0)
        return QStringLiteral("System nie pozwolił zapisać w katalogu „%1” (%2).")
            .arg(where, QString::fromLocal8Bit(std::strerror(error)));
    return QStringLiteral("Katalog „%1” można zapisywać; plik mógł być chwilowo zajęty. Spróbuj jeszcze "
                          "raz.")
        .arg(where);
}
