#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

struct sqlite3;
struct sqlite3_stmt;

namespace vellumite::sqlite {

class Database;

// A prepared statement. Parameters count from 1, result columns from 0, as in SQLite itself.
class Statement
{
public:
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, qint64 value);
    void bind(int index, QStringView text);
    void bindText(int index, QByteArrayView utf8);
    void bindNull(int index);

    // True while a row is there to read; false once the statement is done.
    bool step();
    // Steps a statement that returns no rows, then makes it ready to run again.
    void execute();
    // Ready to run again with new values; the bound values stay until rebound.
    void reset();

    bool isNull(int column) const;
    qint64 int64At(int column) const;
    // NULL reads as an empty text.
    QString textAt(int column) const;
    QByteArray bytesAt(int column) const;

private:
    friend class Database;
    Statement(sqlite3 *connection, sqlite3_stmt *handle)
        : m_connection(connection)
        , m_handle(handle)
    { }
    void check(int code) const;

    sqlite3 *m_connection = nullptr;
    sqlite3_stmt *m_handle = nullptr;
};

} // namespace vellumite::sqlite
