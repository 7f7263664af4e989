#include "main/core/failedfilekeeper.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumite {

namespace {

QString keptName(const QString &path, int number)
{
    QString name = path + QStringLiteral(".bad");
    if (number >= 2)
        name += u'.' + QString::number(number);
    return name;
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes the descriptor when it goes.
struct FileDescriptor
{
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Writes all of `size` bytes from `data`, going on after an interruption.
bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Copies all of `from` into `to` and flushes it to the disk.
bool copyContent(int from, int to)
{
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(from, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;
        if (!writeAll(to, buffer, static_cast<size_t>(count)))
            return false;
    }
    return ::fsync(to) == 0;
}

// The folder's entry of a new file is on the disk as well.
void syncFolderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const QByteArray folder
        = QFile::encodeName(slash < 0 ? QStringLiteral(".") : path.left(qMax<qsizetype>(slash, 1)));
    FileDescriptor dir { ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) };
    if (dir.fd >= 0)
        ::fsync(dir.fd);
}

} // namespace

bool isKeptCopyName(const QString &name, const QString &originalName)
{
    const QString first = originalName + QStringLiteral(".bad");
    if (name == first)
        return true;
    if (!name.startsWith(first + u'.'))
        return false;
    bool ok = false;
    const int number = QStringView(name).sliced(first.size() + 1).toInt(&ok);
    return ok && number >= 2 && keptName(originalName, number) == name;
}

QString FailedFileKeeper::keepCopy(const QString &path, QString *error)
{
    m_failedPath = path;
    const QByteArray source = QFile::encodeName(path);
    // Not blocking: a pipe in the file's place has no writer.
    FileDescriptor from { ::open(source.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) };
    struct stat info = {};
    if (from.fd < 0 || ::fstat(from.fd, &info) != 0) {
        if (error)
            *error = systemText(errno);
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        if (error)
            *error = QStringLiteral("It is not a regular file.");
        return {};
    }
    // A copy made earlier is never replaced: the first free name is taken, exclusively.
    for (int number = 1;; ++number) {
        const QString target = keptName(path, number);
        const QByteArray targetName = QFile::encodeName(target);
        FileDescriptor to { ::open(targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                   info.st_mode & 0666) };
        if (to.fd < 0 && errno == EEXIST)
            continue;
        if (to.fd < 0 || !copyContent(from.fd, to.fd)) {
            const int reason = errno;
            if (to.fd >= 0)
                ::unlink(targetName.constData());
            if (error)
                *error = systemText(reason);
            return {};
        }
        syncFolderOf(target);
        m_failedPath.clear();
        return target;
    }
}

QString FailedFileKeeper::keepAside(QString *error)
{
    if (m_failedPath.isEmpty())
        return {};
    const QByteArray source = QFile::encodeName(m_failedPath);
    struct stat info = {};
    if (::lstat(source.constData(), &info) != 0) {
        m_failedPath.clear();
        return {};
    }
    for (int number = 1;; ++number) {
        const QString target = keptName(m_failedPath, number);
        const QByteArray targetName = QFile::encodeName(target);
        // Never over an earlier copy, not even one made since the name was looked at; a file system
        // that cannot promise that is asked whether the name is taken.
        int moved
            = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, targetName.constData(), RENAME_NOREPLACE);
        if (moved != 0 && errno == EINVAL) {
            struct stat taken = {};
            if (::lstat(targetName.constData(), &taken) == 0)
                continue;
            moved = ::rename(source.constData(), targetName.constData());
        }
        if (moved == 0) {
            m_failedPath.clear();
            return target;
        }
        if (errno == EEXIST)
            continue;
        if (error)
            *error = systemText(errno);
        return {};
    }
}

} // namespace vellumite
