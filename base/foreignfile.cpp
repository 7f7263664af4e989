#include "base/foreignfile.h"

#include "base/systemerror.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace vellumite {

namespace {

const QString NotARegularFile = QStringLiteral("It is not a regular file.");
const QString NotThisUsers = QStringLiteral("It belongs to another user, or others may change it.");
const QString LinkToNothing = QStringLiteral("It is a symbolic link to a file that does not exist.");

// Why a name that cannot be opened or looked at fails: a link whose target is gone is a failure of
// its own (the user put something there), while nothing at all is a missing file.
std::pair<ForeignFileStatus, QString> failureOf(int error, int directoryFd, const char *name)
{
    if (error != ENOENT)
        return { ForeignFileStatus::Failed, systemErrorText(error) };
    struct stat link;
    if (::fstatat(directoryFd, name, &link, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(link.st_mode))
        return { ForeignFileStatus::Failed, LinkToNothing };
    return { ForeignFileStatus::Missing, systemErrorText(error) };
}

} // namespace

QString sizeInWords(qint64 bytes)
{
    struct Unit
    {
        qint64 size;
        QLatin1StringView name;
    };
    for (const Unit &unit : { Unit { qint64(1) << 30, QLatin1StringView("GB") },
                              Unit { qint64(1) << 20, QLatin1StringView("MB") },
                              Unit { qint64(1) << 10, QLatin1StringView("KB") } }) {
        if (bytes >= unit.size && bytes % unit.size == 0)
            return QString::number(bytes / unit.size) + u' ' + unit.name;
    }
    return QString::number(bytes) + QLatin1StringView(" bytes");
}

ForeignFile::ForeignFile(const QString &path, qint64 maximumSize, ForeignFileOwner owner)
    : m_maximumSize(maximumSize)
{
    open(AT_FDCWD, path, owner);
}

ForeignFile::ForeignFile(int directoryFd, const QString &name, qint64 maximumSize, ForeignFileOwner owner)
    : m_maximumSize(maximumSize)
{
    open(directoryFd, name, owner);
}

void ForeignFile::open(int directoryFd, const QString &name, ForeignFileOwner owner)
{
    const QByteArray encoded = QFile::encodeName(name);
    if (encoded.isEmpty()) {
        fail(ForeignFileStatus::Missing, systemErrorText(ENOENT));
        return;
    }
    // Without O_NONBLOCK the open of a pipe waits for a writer, and that of a serial line for its
    // carrier; O_NOCTTY keeps a terminal from becoming the program's. A regular file ignores both.
    m_fd.reset(::openat(directoryFd, encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!m_fd.isValid()) {
        const auto [status, reason] = failureOf(errno, directoryFd, encoded.constData());
        fail(status, reason);
        return;
    }
    struct stat info;
    if (::fstat(m_fd.get(), &info) != 0) {
        fail(ForeignFileStatus::Failed, systemErrorText(errno));
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        fail(ForeignFileStatus::Failed, NotARegularFile);
        return;
    }
    // Tested on the open file, so that no other file can take its name between the test and the read.
    if (owner == ForeignFileOwner::ThisUser && (info.st_uid != ::geteuid() || (info.st_mode & S_IWOTH))) {
        fail(ForeignFileStatus::Failed, NotThisUsers);
        return;
    }
    if (info.st_size > m_maximumSize) {
        fail(ForeignFileStatus::TooLarge, tooLargeText());
        return;
    }
    m_size = info.st_size;
    m_modifiedAtMs = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    m_status = ForeignFileStatus::Ok;
}

void ForeignFile::fail(ForeignFileStatus status, const QString &reason)
{
    m_fd.reset();
    m_status = status;
    m_errorString = reason;
}

QString ForeignFile::tooLargeText() const
{
    return QStringLiteral("It is larger than %1.").arg(sizeInWords(m_maximumSize));
}

qint64 ForeignFile::read(char *data, qint64 length)
{
    if (m_status != ForeignFileStatus::Ok)
        return -1;
    // One byte past the limit is asked for, so that a file that grew past it is seen to.
    const qint64 left = m_maximumSize - m_read;
    const qint64 wanted = std::max<qint64>(0, left < length ? left + 1 : length);
    ssize_t got;
    do {
        got = ::read(m_fd.get(), data, size_t(wanted));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        fail(ForeignFileStatus::Failed, systemErrorText(errno));
        return -1;
    }
    m_read += got;
    if (m_read > m_maximumSize) {
        fail(ForeignFileStatus::TooLarge, tooLargeText());
        return -1;
    }
    return got;
}

QByteArray ForeignFile::readAll()
{
    // The size at the open is a hint: the file may have shrunk or grown since, and some files (those of
    // /proc) tell no size at all.
    constexpr qint64 Chunk = 64 * 1024;
    QByteArray bytes;
    for (;;) {
        const qint64 start = bytes.size();
        const qint64 room = std::max(Chunk, m_size - m_read + 1);
        bytes.resize(start + room);
        const qint64 got = read(bytes.data() + start, room);
        if (got < 0)
            return {};
        bytes.resize(start + got);
        if (got == 0)
            return bytes;
    }
}

namespace {

ForeignFileRead readWhole(ForeignFile &file)
{
    ForeignFileRead result;
    if (file.isOpen())
        result.bytes = file.readAll();
    result.status = file.status();
    result.errorString = file.errorString();
    return result;
}

} // namespace

ForeignFileRead readForeignFile(const QString &path, qint64 maximumSize)
{
    ForeignFile file(path, maximumSize);
    return readWhole(file);
}

ForeignFileRead readForeignFileAt(int directoryFd, const QString &name, qint64 maximumSize,
                                  ForeignFileOwner owner)
{
    ForeignFile file(directoryFd, name, maximumSize, owner);
    return readWhole(file);
}

ForeignFileRead checkForeignFile(const QString &path)
{
    ForeignFileRead result;
    const QByteArray encoded = QFile::encodeName(path);
    struct stat info;
    if (encoded.isEmpty()) {
        result.status = ForeignFileStatus::Missing;
        result.errorString = systemErrorText(ENOENT);
    } else if (::stat(encoded.constData(), &info) != 0) {
        std::tie(result.status, result.errorString) = failureOf(errno, AT_FDCWD, encoded.constData());
    } else if (!S_ISREG(info.st_mode)) {
        result.errorString = NotARegularFile;
    } else {
        result.status = ForeignFileStatus::Ok;
    }
    return result;
}

} // namespace vellumite
