#include "files/savefile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString decoded(const char *path)
{
    return QFile::decodeName(path);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The canonical path, every symlink resolved; empty when a part of it does not exist.
QString realPath(const QString &path)
{
    char resolved[PATH_MAX];
    if (!::realpath(encoded(path).constData(), resolved))
        return QString();
    return decoded(resolved);
}

bool isWithin(const QString &path, const QString &root)
{
    if (root == QLatin1String("/"))
        return path.startsWith(u'/');
    return path == root || path.startsWith(root + u'/');
}

// Closes a descriptor however the function that opened it ends.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    // Closes it now, for the caller to see whether the close itself failed.
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd);
    }

private:
    int m_fd;
};

QString randomTemporaryName()
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QStringLiteral(".sondaryk-");
    for (int i = 0; i < 6; ++i)
        name += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]);
    return name + QStringLiteral(".part");
}

// Removes what a killed save left behind in the folder; a link among them is removed, not followed.
void removeLeftovers(int directory)
{
    const int listing = ::dup(directory);
    if (listing < 0)
        return;
    DIR *dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_type == DT_DIR)
            continue;
        if (isOwnTemporaryName(decoded(entry->d_name)))
            ::unlinkat(directory, entry->d_name, 0);
    }
    ::closedir(dir);
}

bool writeAll(int fd, const QByteArray &bytes, int *error)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            *error = written < 0 ? errno : ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Writes into the real folder `directory` (no symlink left in it) the file `name`.
WriteResult replaceFile(const QString &directory, const QString &name, const QByteArray &bytes,
                        const QString &confiningRoot)
{
    auto failed = [](int error) { return WriteResult{WriteStatus::Failed, systemReason(error)}; };
    const Descriptor dir(
        ::open(encoded(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    if (dir.get() < 0)
        return failed(errno);
    // The folder opened is the folder checked, even if a symlink was planted meanwhile.
    if (!confiningRoot.isEmpty() &&
        !isWithin(realPath(QStringLiteral("/proc/self/fd/%1").arg(dir.get())), confiningRoot))
        return WriteResult{WriteStatus::OutsideSchool,
                           QStringLiteral("the folder moved out of the school folder")};

    removeLeftovers(dir.get());

    const QByteArray target = encoded(name);
    struct stat old {
    };
    const bool replacing = ::fstatat(dir.get(), target.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return failed(EISDIR);

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = encoded(randomTemporaryName());
        fd = ::openat(dir.get(), temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                      0666);
        if (fd < 0 && errno != EEXIST)
            return failed(errno);
    }
    if (fd < 0)
        return failed(EEXIST);
    Descriptor file(fd);

    int error = 0;
    bool written = writeAll(file.get(), bytes, &error);
    if (written && replacing && S_ISREG(old.st_mode) && ::fchmod(file.get(), old.st_mode & 07777) != 0)
        written = false, error = errno;
    // The data must be on the disk before the name points at it: a full disk or an I/O error
    // shows here at the latest.
    if (written && ::fsync(file.get()) != 0)
        written = false, error = errno;
    if (file.release() != 0 && written)
        written = false, error = errno;
    if (written && ::renameat(dir.get(), temporary.constData(), dir.get(), target.constData()) != 0)
        written = false, error = errno;
    if (!written) {
        ::unlinkat(dir.get(), temporary.constData(), 0);
        return failed(error);
    }
    // The rename itself to the disk; a folder that cannot be synced still has the new file.
    ::fsync(dir.get());
    return WriteResult{};
}

} // namespace

bool isOwnTemporaryName(const QString &fileName)
{
    // The second form is what earlier versions left when a PDF save was killed.
    static const QRegularExpression own(
        QStringLiteral(R"(^(\.sondaryk-[A-Za-z0-9]{6}\.part|\.Analiza-[A-Za-z0-9]{6}\.pdf)$)"));
    return own.match(fileName).hasMatch();
}

QString resolveInside(const QString &root, const QString &path, bool *outside)
{
    *outside = false;
    const QFileInfo info(path);
    const QString folder = realPath(info.path());
    if (folder.isEmpty())
        return QString();
    const QString realRoot = root.isEmpty() ? QStringLiteral("/") : realPath(root);
    if (realRoot.isEmpty())
        return QString();
    if (!isWithin(folder, realRoot)) {
        *outside = true;
        return QString();
    }
    const QString target =
        folder == QLatin1String("/") ? u'/' + info.fileName() : folder + u'/' + info.fileName();
    struct stat link {
    };
    if (::lstat(encoded(target).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return target;
    // A link that leads nowhere cannot be shown to stay inside, so it is refused with the others.
    const QString resolved = realPath(target);
    if (resolved.isEmpty() || !isWithin(resolved, realRoot)) {
        *outside = true;
        return QString();
    }
    return resolved;
}

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    bool outside = false;
    const QString real = resolveInside(QString(), path, &outside);
    if (real.isEmpty())
        return WriteResult{WriteStatus::Failed, systemReason(ENOENT)};
    const QFileInfo info(real);
    return replaceFile(info.path(), info.fileName(), bytes, QString());
}

WriteResult writeFileInside(const QString &root, const QString &path, const QByteArray &bytes)
{
    bool outside = false;
    const QString real = resolveInside(root, path, &outside);
    if (outside)
        return WriteResult{WriteStatus::OutsideSchool,
                           QStringLiteral("a symlink leads out of the school folder")};
    if (real.isEmpty())
        return WriteResult{WriteStatus::Failed, systemReason(ENOENT)};
    const QFileInfo info(real);
    return replaceFile(info.path(), info.fileName(), bytes, realPath(root));
}

ReadStatus readWholeFile(const QString &path, QByteArray *bytes, qint64 limit)
{
    if (bytes)
        bytes->clear();
    // Not blocking: a pipe in a file's place would otherwise wait for a writer for ever.
    const Descriptor fd(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
    struct stat info {
    };
    // Directories, pipes and devices are refused: a device never ends. Too large a file is refused
    // by its size, before a byte of it takes memory or time.
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > limit)
        return ReadStatus::Failed;

    QByteArray content;
    content.reserve(qsizetype(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            return ReadStatus::Failed;
        if (got == 0)
            break;
        content.append(chunk, got);
        // A file that grew since it was looked at is still cut off at the limit.
        if (content.size() > limit)
            return ReadStatus::Failed;
    }
    if (bytes)
        *bytes = content;
    return ReadStatus::Ok;
}

ReadStatus readFileInside(const QString &root, const QString &path, QByteArray *bytes, qint64 limit)
{
    if (bytes)
        bytes->clear();
    bool outside = false;
    const QString real = resolveInside(root, path, &outside);
    if (outside)
        return ReadStatus::OutsideSchool;
    if (real.isEmpty())
        return ReadStatus::Missing;
    return readWholeFile(real, bytes, limit);
}
