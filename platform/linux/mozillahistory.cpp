#include "platform/linux/mozillahistory.h"

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "platform/linux/databasecopy.h"

#include <fcntl.h>

namespace vellumite {

namespace {

// The places are scanned first and each match's visits are found through the index of visits by place
// and date: the database has no index on titles, and walking every visit newest first would cost far
// more for a title that was never visited. Visit types 4, 7 and 8 are embedded loads, downloads and
// links followed inside a frame. Visit dates count microseconds. ?2 is true when ?1 is the start of
// the title; substr() and length() count characters alike.
constexpr QByteArrayView
    NewestVisitQuery("SELECT p.url, p.title, v.visit_date FROM moz_places p CROSS JOIN moz_historyvisits v"
                     " ON v.place_id = p.id"
                     " WHERE (p.title = ?1"
                     " OR (?2 AND substr(p.title, 1, length(?1)) = ?1)"
                     " OR (IFNULL(p.title, '') = '' AND (p.url = ?1 OR ?1 = '')))"
                     " AND v.visit_type NOT IN (4, 7, 8)"
                     " ORDER BY v.visit_date DESC LIMIT 1");

} // namespace

std::optional<HistoryVisit> MozillaHistoryReader::newestVisitOfTitle(const QString &databasePath,
                                                                     const QString &title, TitleForm form)
{
    return newestVisitOfTitle(AT_FDCWD, databasePath, title, form);
}

std::optional<HistoryVisit> MozillaHistoryReader::newestVisitOfTitle(int directoryFd,
                                                                     const QString &databasePath,
                                                                     const QString &title, TitleForm form)
{
    m_errorString.clear();
    DatabaseCopy copy;
    if (!copy.copy(directoryFd, databasePath)) {
        m_errorString = copy.errorString();
        return std::nullopt;
    }
    try {
        sqlite::Database database = sqlite::Database::open(copy.path(), sqlite::OpenMode::ReadOnly);
        sqlite::Statement newest = database.prepare(NewestVisitQuery);
        newest.bind(1, title);
        newest.bind(2, qint64(form == TitleForm::Start));
        if (!newest.step())
            return std::nullopt;
        return HistoryVisit { newest.textAt(0), newest.textAt(1), newest.int64At(2) / 1000 };
    } catch (const sqlite::Error &error) {
        m_errorString = error.message();
        return std::nullopt;
    }
}

} // namespace vellumite
