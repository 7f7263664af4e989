#include "base/sqlite/sqlitedatabase.h"

#include "base/foreignfile.h"
#include "base/sqlite/sqlitestatement.h"

#include <QFile>
#include <QFileInfo>
#include <limits>
#include <sqlite3.h>
#include <utility>

namespace vellumite::sqlite {

Error::Error(int code, QByteArray message)
    : m_code(code)
    , m_message(std::move(message))
{ }

bool Error::isBusy() const
{
    const int primary = m_code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool Error::isNotADatabase() const
{
    return (m_code & 0xFF) == SQLITE_NOTADB;
}

bool Error::isDamaged() const
{
    return (m_code & 0xFF) == SQLITE_CORRUPT || m_code == SQLITE_IOERR_SHORT_READ;
}

Database::~Database()
{
    close();
}

Database::Database(Database &&other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr))
{ }

Database &Database::operator=(Database &&other) noexcept
{
    if (this != &other) {
        close();
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

Database Database::open(const QString &path, OpenMode mode)
{
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case OpenMode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case OpenMode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case OpenMode::ReadWriteCreate:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    sqlite3 *handle = nullptr;
    const int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, flags, nullptr);
    Database database(handle); // Closes the handle that SQLite hands back even on failure.
    if (code != SQLITE_OK) {
        throw Error(code, handle ? QByteArray(sqlite3_errmsg(handle)) : QByteArray(sqlite3_errstr(code)));
    }
    database.check(sqlite3_extended_result_codes(handle, 1));
    return database;
}

Database Database::openForeign(const QString &path, OpenMode mode)
{
    for (const QLatin1StringView suffix : { QLatin1StringView(), QLatin1StringView("-wal"),
                                            QLatin1StringView("-journal"), QLatin1StringView("-shm") }) {
        const QString file = path + suffix;
        const ForeignFileRead check = checkForeignFile(file);
        // A missing database is SQLite's to report; a missing companion is none of its business.
        if (check.status == ForeignFileStatus::Ok || check.status == ForeignFileStatus::Missing)
            continue;
        const QString reason
            = suffix.isEmpty() ? check.errorString : QFileInfo(file).fileName() + u": " + check.errorString;
        throw Error(SQLITE_CANTOPEN, reason.toUtf8());
    }
    return open(path, mode);
}

void Database::close()
{
    // close_v2 leaves the work to SQLite should a statement still be alive; there is no one to tell
    // about a failure here.
    if (m_handle)
        sqlite3_close_v2(std::exchange(m_handle, nullptr));
}

void Database::setBusyTimeout(int milliseconds)
{
    check(sqlite3_busy_timeout(m_handle, milliseconds));
}

void Database::execute(QByteArrayView sql)
{
    Statement statement = prepare(sql);
    while (statement.step()) { }
}

Statement Database::prepare(QByteArrayView sql)
{
    if (!m_handle)
        throw Error(SQLITE_MISUSE, "the database is not open");
    if (sql.size() > std::numeric_limits<int>::max())
        throw Error(SQLITE_TOOBIG, "statement too long");
    sqlite3_stmt *handle = nullptr;
    check(sqlite3_prepare_v2(m_handle, sql.data(), static_cast<int>(sql.size()), &handle, nullptr));
    if (!handle)
        throw Error(SQLITE_MISUSE, "the statement is empty");
    return Statement(m_handle, handle);
}

qint64 Database::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_handle);
}

void Database::check(int code) const
{
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
        return;
    throw Error(code, m_handle ? QByteArray(sqlite3_errmsg(m_handle)) : QByteArray(sqlite3_errstr(code)));
}

} // namespace vellumite::sqlite
