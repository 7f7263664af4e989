#pragma once

namespace vellumite::sqlite {

class Database;

// BEGIN IMMEDIATE: the write lock is taken at once, so a database that another program holds fails
// here, before anything is changed. What is not committed is rolled back when the object goes.
class Transaction
{
public:
    explicit Transaction(Database &database);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();
    void rollback();
    bool isActive() const { return m_active; }

private:
    Database &m_database;
    bool m_active = false;
};

} // namespace vellumite::sqlite
