#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace vellumite {

// A private copy of an SQLite database that another program keeps open and writes (a browser holds its
// history so, with an exclusive lock): the file and its write-ahead log ("-wal") are read as plain files,
// which the other program's locks do not stop, into a folder of this process's own that goes with the
// object. Only files of this user's that others may not write are copied. Both files are copied again when
// either changed while they were copied, since a write in between could tear the copy. Each file is bounded:
// a larger one is refused before it is read.
class DatabaseCopy
{
public:
    static constexpr qint64 MaximumDatabaseSize = qint64(512) << 20;
    static constexpr qint64 MaximumLogSize = qint64(64) << 20;

    // `afterEachAttempt` runs once the files are copied and before they are looked at for changes:
    // where a test stands for the other program writing during the copy.
    explicit DatabaseCopy(std::function<void()> afterEachAttempt = {});
    ~DatabaseCopy();
    DatabaseCopy(const DatabaseCopy &) = delete;
    DatabaseCopy &operator=(const DatabaseCopy &) = delete;

    // Copies `databasePath`, and its log when there is one. False, with the reason, when the database
    // cannot be read, a file is over its limit, or the files kept changing.
    bool copy(const QString &databasePath);
    // `databasePath` relative to the open folder `directoryFd`, as openat takes it.
    bool copy(int directoryFd, const QString &databasePath);

    // The copy of the database, its log beside it; empty until a copy succeeded.
    QString path() const { return m_path; }
    QString errorString() const { return m_errorString; }

private:
    bool fail(const QString &reason);

    std::function<void()> m_afterEachAttempt;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_path;
    QString m_errorString;
};

} // namespace vellumite
