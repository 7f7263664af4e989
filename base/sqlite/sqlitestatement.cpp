#include "base/sqlite/sqlitestatement.h"

#include "base/sqlite/sqlitedatabase.h"

#include <sqlite3.h>
#include <utility>

namespace vellumite::sqlite {

Statement::~Statement()
{
    // finalize repeats the error of the last step, which step already reported.
    if (m_handle)
        sqlite3_finalize(m_handle);
}

Statement::Statement(Statement &&other) noexcept
    : m_connection(std::exchange(other.m_connection, nullptr))
    , m_handle(std::exchange(other.m_handle, nullptr))
{ }

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        if (m_handle)
            sqlite3_finalize(m_handle);
        m_connection = std::exchange(other.m_connection, nullptr);
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

void Statement::bind(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_handle, index, value));
}

void Statement::bind(int index, QStringView text)
{
    bindText(index, text.toUtf8());
}

void Statement::bindText(int index, QByteArrayView utf8)
{
    // An empty view may carry no data pointer, which SQLite would store as NULL.
    static const char empty = '\0';
    const char *data = utf8.isEmpty() ? &empty : utf8.data();
    check(sqlite3_bind_text64(m_handle, index, data, static_cast<sqlite3_uint64>(utf8.size()),
                              SQLITE_TRANSIENT, SQLITE_UTF8));
}

void Statement::bindNull(int index)
{
    check(sqlite3_bind_null(m_handle, index));
}

bool Statement::step()
{
    const int code = sqlite3_step(m_handle);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    check(code);
    return false;
}

void Statement::execute()
{
    while (step()) { }
    reset();
}

void Statement::reset()
{
    // reset repeats the error of the last step, which step already reported.
    sqlite3_reset(m_handle);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_handle, column) == SQLITE_NULL;
}

qint64 Statement::int64At(int column) const
{
    return sqlite3_column_int64(m_handle, column);
}

QString Statement::textAt(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_handle, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_handle, column)) : QString();
}

QByteArray Statement::bytesAt(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_handle, column));
    return text ? QByteArray(text, sqlite3_column_bytes(m_handle, column)) : QByteArray();
}

void Statement::check(int code) const
{
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
        return;
    throw Error(code, QByteArray(sqlite3_errmsg(m_connection)));
}

} // namespace vellumite::sqlite
