#include "main/core/failedfilekeeper.h"

#include "base/atomicfile.h"
#include "base/programfolder.h"
#include "base/systemerror.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
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
        if (!writeAllToDescriptor(to, buffer, count))
            return false;
    }
    return ::fsync(to) == 0;
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

QString FailedFileKeeper::keepCopy(const ProgramFolder &folder, const QString &name, QString *error)
{
    m_folder = &folder;
    m_failedName = name;
    // Not blocking: a pipe in the file's place has no writer.
    FileDescriptor from { ::openat(folder.fd(), QFile::encodeName(name).constData(),
                                   O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY) };
    struct stat info = {};
    if (from.fd < 0 || ::fstat(from.fd, &info) != 0) {
        if (error)
            *error = systemErrorText(errno);
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        if (error)
            *error = QStringLiteral("It is not a regular file.");
        return {};
    }
    // A copy made earlier is never replaced: the first free name is taken, exclusively.
    for (int number = 1;; ++number) {
        const QString target = keptName(name, number);
        const QByteArray targetName = QFile::encodeName(target);
        FileDescriptor to { ::openat(folder.fd(), targetName.constData(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0666) };
        if (to.fd < 0 && errno == EEXIST)
            continue;
        if (to.fd < 0 || !copyContent(from.fd, to.fd)) {
            const int reason = errno;
            if (to.fd >= 0)
                ::unlinkat(folder.fd(), targetName.constData(), 0);
            if (error)
                *error = systemErrorText(reason);
            return {};
        }
        // The copy's name is on the disk as well.
        ::fsync(folder.fd());
        m_failedName.clear();
        return target;
    }
}

QString FailedFileKeeper::keepAside(QString *error)
{
    if (m_failedName.isEmpty())
        return {};
    const int folder = m_folder->fd();
    const QByteArray source = QFile::encodeName(m_failedName);
    struct stat info = {};
    if (::fstatat(folder, source.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        m_failedName.clear();
        return {};
    }
    for (int number = 1;; ++number) {
        const QString target = keptName(m_failedName, number);
        const QByteArray targetName = QFile::encodeName(target);
        // Never over an earlier copy, not even one made since the name was looked at; a file system
        // that cannot promise that is asked whether the name is taken.
        int moved = ::renameat2(folder, source.constData(), folder, targetName.constData(), RENAME_NOREPLACE);
        if (moved != 0 && errno == EINVAL) {
            struct stat taken = {};
            if (::fstatat(folder, targetName.constData(), &taken, AT_SYMLINK_NOFOLLOW) == 0)
                continue;
            moved = ::renameat(folder, source.constData(), folder, targetName.constData());
        }
        if (moved == 0) {
            m_failedName.clear();
            return target;
        }
        if (errno == EEXIST)
            continue;
        if (error)
            *error = systemErrorText(errno);
        return {};
    }
}

} // namespace vellumite
