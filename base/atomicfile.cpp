#include "base/atomicfile.h"

#include "base/systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QScopeGuard>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vellumite {

namespace {

// Writes all of `bytes`. A write the disk cuts short (full, or over a size limit) returns its count
// without an error; the next one, of the rest, fails with the system's reason.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0 || file.error() != QFileDevice::NoError)
            return false;
        written += count;
    }
    return true;
}

// Writes all of `bytes` to a descriptor and flushes them to the disk.
bool writeAllAndSync(int fd, const QByteArray &bytes)
{
    return writeAllToDescriptor(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
}

// Follows a link in the file's place to the file it names, as a save through a path does: the folder
// and the name where the bytes go. False with errno set when the links cannot be followed.
bool resolveLinks(int &folder, QByteArray &name, bool &ownsFolder)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info = {};
        if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(info.st_mode))
            return true;
        std::vector<char> target(size_t(info.st_size > 0 ? info.st_size : 4096) + 1);
        const ssize_t length = ::readlinkat(folder, name.constData(), target.data(), target.size());
        if (length <= 0)
            return false;
        const QByteArray path(target.data(), length);
        const qsizetype slash = path.lastIndexOf('/');
        int next = folder;
        if (slash >= 0) {
            const QByteArray part = slash == 0 ? QByteArray("/") : path.left(slash);
            next = ::openat(folder, part.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (next < 0)
                return false;
            if (ownsFolder)
                ::close(folder);
            ownsFolder = true;
        }
        folder = next;
        name = path.mid(slash + 1);
    }
    errno = ELOOP;
    return false;
}

} // namespace

bool writeAllToDescriptor(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool writeFileAtomicallyAt(int directoryFd, const QString &name, const QByteArray &bytes,
                           QString *errorString)
{
    const auto failed = [errorString](int error) {
        if (errorString)
            *errorString = systemErrorText(error);
        return false;
    };
    int folder = directoryFd;
    bool ownsFolder = false;
    QByteArray target = QFile::encodeName(name);
    const auto closeFolder = qScopeGuard([&] {
        if (ownsFolder)
            ::close(folder);
    });
    if (!resolveLinks(folder, target, ownsFolder))
        return failed(errno);

    // The former file's permissions stay; a new file gets the usual ones.
    struct stat former = {};
    const bool replaces = ::fstatat(folder, target.constData(), &former, 0) == 0;
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = '.' + target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::openat(folder, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failed(errno);
    }
    if (fd < 0)
        return failed(EEXIST);
    bool written = (!replaces || ::fchmod(fd, former.st_mode & 07777) == 0) && writeAllAndSync(fd, bytes);
    int reason = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        reason = errno;
    }
    if (written && ::renameat(folder, temporary.constData(), folder, target.constData()) == 0) {
        // The new name is on the disk as well.
        ::fsync(folder);
        return true;
    }
    if (written)
        reason = errno;
    ::unlinkat(folder, temporary.constData(), 0);
    return failed(reason);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *errorString)
{
    QSaveFile file(path);
    // Unbuffered: a failure while a buffered write is flushed would not stop the commit, and the
    // truncated temporary file would replace the former one.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, bytes) && file.commit())
        return true;
    if (errorString)
        *errorString = file.errorString();
    file.cancelWriting();
    return false;
}

QString cannotCreateFileMessage(const QString &path, const QString &systemText)
{
    return QStringLiteral("Cannot create file \"%1\". %2")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), systemText);
}

} // namespace vellumite
