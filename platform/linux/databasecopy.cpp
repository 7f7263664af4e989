#include "platform/linux/databasecopy.h"

#include "base/foreignfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>

namespace vellumite {

namespace {

constexpr int MaximumAttempts = 3;
constexpr qint64 ChunkSize = qint64(1) << 20;

// What changes when a file is written or replaced.
struct FileState
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};

    bool operator==(const FileState &other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size
            && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileState stateOf(int directoryFd, const QString &name)
{
    struct stat info;
    if (::fstatat(directoryFd, QFile::encodeName(name).constData(), &info, 0) != 0)
        return {};
    return { true, info.st_dev, info.st_ino, info.st_size, info.st_mtim };
}

enum class CopyOutcome { Copied, Vanished, Failed };

// Copies `source` to `target`, refusing a source over `limit` bytes, also one that grows past it
// while it is read, anything that is not a regular file, and a file that is not this user's alone.
CopyOutcome copyBounded(int directoryFd, const QString &source, const QString &target, qint64 limit,
                        QString &error)
{
    // The browser's files are opened the guarded way: one that a pipe has replaced would hang the copy.
    ForeignFile in(directoryFd, source, limit, ForeignFileOwner::ThisUser);
    const auto failed = [&] {
        error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(source), in.errorString());
        return CopyOutcome::Failed;
    };
    if (in.status() == ForeignFileStatus::Missing)
        return CopyOutcome::Vanished;
    if (!in.isOpen())
        return failed();
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = out.errorString();
        return CopyOutcome::Failed;
    }
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = in.read(chunk.data(), chunk.size());
        if (read < 0)
            return failed();
        if (read == 0)
            break;
        if (out.write(chunk.constData(), read) != read) {
            error = out.errorString();
            return CopyOutcome::Failed;
        }
    }
    if (!out.flush()) {
        error = out.errorString();
        return CopyOutcome::Failed;
    }
    return CopyOutcome::Copied;
}

} // namespace

DatabaseCopy::DatabaseCopy(std::function<void()> afterEachAttempt)
    : m_afterEachAttempt(std::move(afterEachAttempt))
{ }

DatabaseCopy::~DatabaseCopy() = default;

bool DatabaseCopy::fail(const QString &reason)
{
    m_path.clear();
    m_folder.reset(); // with what was copied so far
    m_errorString = reason;
    return false;
}

bool DatabaseCopy::copy(const QString &databasePath)
{
    return copy(AT_FDCWD, databasePath);
}

bool DatabaseCopy::copy(int directoryFd, const QString &databasePath)
{
    m_path.clear();
    m_errorString.clear();
    m_folder.reset();
    if (!stateOf(directoryFd, databasePath).exists)
        return fail(QStringLiteral("%1 does not exist.").arg(QDir::toNativeSeparators(databasePath)));
    // QTemporaryDir makes the folder for its owner alone.
    m_folder
        = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("vellumite-copy-XXXXXX")));
    if (!m_folder->isValid())
        return fail(m_folder->errorString());
    const QString log = databasePath + QStringLiteral("-wal");
    const QString target = m_folder->filePath(QFileInfo(databasePath).fileName());
    const QString targetLog = target + QStringLiteral("-wal");
    for (int attempt = 0; attempt < MaximumAttempts; ++attempt) {
        const FileState databaseBefore = stateOf(directoryFd, databasePath);
        const FileState logBefore = stateOf(directoryFd, log);
        if (!databaseBefore.exists)
            return fail(QStringLiteral("%1 does not exist.").arg(QDir::toNativeSeparators(databasePath)));
        // A log copied by an earlier attempt must not pair with this attempt's database.
        QFile::remove(targetLog);
        QString error;
        CopyOutcome outcome = copyBounded(directoryFd, databasePath, target, MaximumDatabaseSize, error);
        if (outcome == CopyOutcome::Copied && logBefore.exists)
            outcome = copyBounded(directoryFd, log, targetLog, MaximumLogSize, error);
        if (outcome == CopyOutcome::Failed)
            return fail(error);
        if (m_afterEachAttempt)
            m_afterEachAttempt();
        if (outcome == CopyOutcome::Copied && stateOf(directoryFd, databasePath) == databaseBefore
            && stateOf(directoryFd, log) == logBefore) {
            m_path = target;
            return true;
        }
    }
    return fail(
        QStringLiteral("%1 kept changing while it was copied.").arg(QDir::toNativeSeparators(databasePath)));
}

} // namespace vellumite
