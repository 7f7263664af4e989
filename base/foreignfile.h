#pragma once

#include "base/uniquedescriptor.h"

#include <QByteArray>
#include <QString>
#include <limits>

namespace vellumite {

// How an attempt to open or read a file the program does not own ended.
enum class ForeignFileStatus {
    Ok,
    // Nothing by that name: neither a file nor a link.
    Missing,
    // Larger than the caller's limit, at the open or while it was read.
    TooLarge,
    // Anything else: a pipe, a device, a folder, a link to nothing, a file that cannot be read.
    Failed,
};

// Whose file a caller accepts.
enum class ForeignFileOwner {
    Anyone,
    // This user's (the effective user's) and not writable by others: a file read from a folder that
    // another user could have put it in or changes (a browser profile the capture finds through the
    // browser's process).
    ThisUser,
};

// "1 MB", "512 MB", "1 GB", "100 KB" or "1000 bytes": a limit as a message states it.
QString sizeInWords(qint64 bytes);

// A file the program does not own (the settings file as the user left it, a browser's profile and store
// files, the Favorites' shortcuts), opened so that nothing it turns out to be can stall the program:
// the open never waits (a pipe without a writer, a device), links are followed, only a regular file is
// accepted, and reading stops at the size the caller allows, however large the file is or grows
// meanwhile. Any failure comes with its reason in words for the caller's own message: "It is not a
// regular file.", "It is larger than 1 MB.", or the system's text ("Permission denied").
class ForeignFile
{
public:
    static constexpr qint64 Unbounded = std::numeric_limits<qint64>::max();

    ForeignFile(const QString &path, qint64 maximumSize, ForeignFileOwner owner = ForeignFileOwner::Anyone);
    // `name` relative to the open folder `directoryFd`, as openat takes it (AT_FDCWD for the current
    // folder; an absolute name stands on its own).
    ForeignFile(int directoryFd, const QString &name, qint64 maximumSize,
                ForeignFileOwner owner = ForeignFileOwner::Anyone);
    ForeignFile(const ForeignFile &) = delete;
    ForeignFile &operator=(const ForeignFile &) = delete;

    ForeignFileStatus status() const { return m_status; }
    bool isOpen() const { return m_status == ForeignFileStatus::Ok; }
    const QString &errorString() const { return m_errorString; }

    // The size and the time of the last write when the file was opened.
    qint64 size() const { return m_size; }
    qint64 modifiedAtMs() const { return m_modifiedAtMs; }

    // Up to `length` bytes; 0 at the end of the file, -1 when the read failed or the file grew past the
    // limit (the file is then closed, and status() and errorString() say why).
    qint64 read(char *data, qint64 length);
    // The rest of the file; empty on failure.
    QByteArray readAll();

private:
    void open(int directoryFd, const QString &name, ForeignFileOwner owner);
    void fail(ForeignFileStatus status, const QString &reason);
    QString tooLargeText() const;

    UniqueDescriptor m_fd;
    qint64 m_maximumSize = 0;
    qint64 m_read = 0;
    ForeignFileStatus m_status = ForeignFileStatus::Failed;
    QString m_errorString;
    qint64 m_size = 0;
    qint64 m_modifiedAtMs = 0;
};

// A whole foreign file read at once.
struct ForeignFileRead
{
    ForeignFileStatus status = ForeignFileStatus::Failed;
    QByteArray bytes;
    QString errorString;

    bool ok() const { return status == ForeignFileStatus::Ok; }
};

ForeignFileRead readForeignFile(const QString &path, qint64 maximumSize);
ForeignFileRead readForeignFileAt(int directoryFd, const QString &name, qint64 maximumSize,
                                  ForeignFileOwner owner = ForeignFileOwner::Anyone);

// The same test for a file that a library opens by its path itself (an SQLite database), made before it
// does, without opening the file: closing a descriptor of a database would drop the locks that this
// process's connections hold on it. Only the status and the reason are set.
ForeignFileRead checkForeignFile(const QString &path);

} // namespace vellumite
