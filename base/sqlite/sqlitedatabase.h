#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <exception>

struct sqlite3;

namespace vellumite::sqlite {

class Statement;

// A failed call of the SQLite library: its (extended) result code and its own explanation.
class Error : public std::exception
{
public:
    Error(int code, QByteArray message);

    int code() const { return m_code; }
    // Another connection holds a lock the call needed.
    bool isBusy() const;
    // The file is not an SQLite database at all.
    bool isNotADatabase() const;
    // The file is an SQLite database whose content is damaged: a page that makes no sense, or fewer
    // bytes than its pages need.
    bool isDamaged() const;
    const char *what() const noexcept override { return m_message.constData(); }
    QString message() const { return QString::fromUtf8(m_message); }

private:
    int m_code;
    QByteArray m_message;
};

// ReadOnly never writes the database; SQLite may still make the shared-memory file beside a
// write-ahead-log database, so the folder must be writable.
enum class OpenMode { ReadOnly, ReadWrite, ReadWriteCreate };

// One connection. It may pass between threads, but only one thread may use it at a time. Statements
// prepared on it must be destroyed before it.
class Database
{
public:
    Database() = default;
    ~Database();
    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Throws Error when the file cannot be opened; only ReadWriteCreate creates it.
    static Database open(const QString &path, OpenMode mode);
    // A database that another program keeps (Firefox's places.sqlite): the file, and the log, journal
    // and shared memory that SQLite would open beside it, are first tested as ForeignFile tests a file,
    // since SQLite would wait for ever on a pipe. One that is not a regular file throws Error
    // (SQLITE_CANTOPEN) with the reason.
    static Database openForeign(const QString &path, OpenMode mode);

    bool isOpen() const { return m_handle != nullptr; }
    void close();

    // How long a statement waits for another connection's lock before it fails as busy.
    void setBusyTimeout(int milliseconds);
    // Runs statements that return no rows.
    void execute(QByteArrayView sql);
    Statement prepare(QByteArrayView sql);
    qint64 lastInsertRowId() const;

    // Throws the connection's current error unless `code` is one of the success codes.
    void check(int code) const;

private:
    explicit Database(sqlite3 *handle)
        : m_handle(handle)
    { }

    sqlite3 *m_handle = nullptr;
};

} // namespace vellumite::sqlite
