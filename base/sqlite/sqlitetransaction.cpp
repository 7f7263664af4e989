#include "base/sqlite/sqlitetransaction.h"

#include "base/sqlite/sqlitedatabase.h"

namespace vellumite::sqlite {

Transaction::Transaction(Database &database)
    : m_database(database)
{
    m_database.execute("BEGIN IMMEDIATE");
    m_active = true;
}

Transaction::~Transaction()
{
    if (!m_active)
        return;
    try {
        rollback();
    } catch (const Error &) {
        // SQLite rolls back by itself when the connection closes; nothing more can be done here.
    }
}

void Transaction::commit()
{
    m_database.execute("COMMIT");
    m_active = false;
}

void Transaction::rollback()
{
    m_active = false;
    m_database.execute("ROLLBACK");
}

} // namespace vellumite::sqlite
