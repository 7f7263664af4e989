#pragma once

#include "base/sqlite/sqlitedatabase.h"
#include "exchange/core/exportmode.h"
#include "exchange/core/placesschema.h"
#include "exchange/core/stagingmerge.h"

#include <QRandomGenerator>
#include <QString>
#include <memory>
#include <optional>

namespace vellumite {

class BookmarkNode;

namespace sqlite {
class Transaction;
}

// Why a step of the places database failed. Each kind has its own message; the run shows it and goes
// on with the next store.
enum class PlacesError {
    None,
    // Another program holds the database: Firefox, while it runs.
    Locked,
    // The file is no SQLite database, or one without Firefox's bookmark tables.
    NotPlaces,
    // SQLite finds the file damaged (truncated, or pages that make no sense).
    Damaged,
    // The start folder nests entries deeper than the program's tree can hold.
    TooDeep,
    // Anything else: the file cannot be opened or written, the disk is full, a statement failed.
    Failed,
};

// The connection to a Firefox places database ("places.sqlite") and its three operations: import of
// the start folder into a staging tree, export of the program's tree into it, and its clearing before an
// export that replaces it. The exchange dialog owns one while it is open.
//
// Every step returns "" on success and the failure's message otherwise, with lastError() telling the
// kind. The steps may run on different threads (the run opens, locates and clears on the
// user-interface thread and reads or writes in a worker block), but only on one at a time.
// A failed export leaves the database as it was: the clear and the writing are one transaction.
class PlacesDatabase
{
public:
    // Firefox's own folders differ from the program's only by letter case when the user made them so.
    static constexpr NameMatch importNameMatch = NameMatch::Exact;

    // The message for a database that another program holds.
    static QString lockedMessage();
    // The message for each kind of failure of the file at `path`.
    static QString failureMessage(PlacesError error, const QString &path, const QString &detail = QString());

    PlacesDatabase();
    ~PlacesDatabase();
    PlacesDatabase(const PlacesDatabase &) = delete;
    PlacesDatabase &operator=(const PlacesDatabase &) = delete;

    // Connects to the file (never creating one) and checks that it holds moz_bookmarks and moz_places.
    // An open connection to the same file is kept.
    QString open(const QString &path);
    void close();
    bool isOpen() const { return m_database.isOpen(); }

    // The start folder: the first folder of the root (parent 1) at position 0, the Bookmarks Menu.
    // Not finding it is no failure: there is nothing to read or write then.
    QString locateStartFolder();
    std::optional<qint64> startFolder() const { return m_startFolder; }

    // Worker step of an import: fills `staging`'s children from the located start folder, as plain
    // records (Firefox as their source, bookmarks with `browserCode` as their icon). Merge them into
    // the tree with importNameMatch.
    QString importPlaces(BookmarkNode &staging, qint32 browserCode);
    // Both import steps.
    QString read(BookmarkNode &staging, qint32 browserCode);

    // Export, in this order: beginExport() takes the write lock and locates the start folder;
    // deletePlacesFolderContent() empties it when the export replaces; exportPlaces() (the worker step)
    // writes the children of the root category; commitExport() makes it all permanent. A failed step
    // rolls everything back.
    QString beginExport();
    QString deletePlacesFolderContent();
    QString exportPlaces(const BookmarkNode &rootCategory);
    QString commitExport();
    // The whole export: clear-then-write when not merging, in one transaction.
    QString write(const BookmarkNode &rootCategory, ExportMode mode);

    PlacesError lastError() const { return m_lastError; }
    // SQLite's own words on the last failure; only the message of a Failed step shows them.
    QString lastErrorDetail() const { return m_lastErrorDetail; }

private:
    template<typename Step> QString run(Step step);
    QString fail(PlacesError error, const QString &detail);
    void findStartFolder();

    QString m_path;
    // The file the last open() was given, for the messages.
    QString m_requestedPath;
    sqlite::Database m_database;
    std::optional<PlacesSchema> m_schema;
    std::optional<qint64> m_startFolder;
    std::unique_ptr<sqlite::Transaction> m_export;
    QRandomGenerator m_random;
    PlacesError m_lastError = PlacesError::None;
    QString m_lastErrorDetail;
};

} // namespace vellumite
