#include "exchange/core/exchangestores.h"

#include "exchange/core/favoritesfolder.h"
#include "exchange/core/netscapebookmarkfile.h"
#include "exchange/core/operahotlist.h"
#include "exchange/core/placesdatabase.h"
#include "main/core/browserdetection.h"

namespace vellumite {

namespace {

using StoreReader = QString (*)(const QString &, BookmarkNode &, qint32);
using StoreWriter = QString (*)(const BookmarkNode &, const QString &, ExportMode);

// A store kept in one file or folder, read and written by a pair of functions (a store that writes in
// its own way gives no writer and overrides write()).
class PathStore : public ExchangeStore
{
public:
    PathStore(StoreFormat format, NameMatch match, QString path, StoreReader reader, StoreWriter writer)
        : m_format(format)
        , m_match(match)
        , m_path(std::move(path))
        , m_reader(reader)
        , m_writer(writer)
    { }
    StoreFormat format() const override { return m_format; }
    NameMatch nameMatch() const override { return m_match; }
    StepResult read(BookmarkNode &staging, qint32 browserCode) override
    {
        return StepResult::fromText(m_reader(m_path, staging, browserCode));
    }
    StepResult write(const BookmarkNode &rootCategory, ExportMode mode) override
    {
        return StepResult::fromText(m_writer(rootCategory, m_path, mode));
    }

protected:
    const QString &path() const { return m_path; }

private:
    StoreFormat m_format;
    NameMatch m_match;
    QString m_path;
    StoreReader m_reader;
    StoreWriter m_writer;
};

// The Favorites folder: an export writes the tree even when the clear before it could not delete
// everything, or a category's folder is a symbolic link, and then tells what was left undone.
class FavoritesFolderStore final : public PathStore
{
public:
    explicit FavoritesFolderStore(const QString &path)
        : PathStore(StoreFormat::FavoritesFolder, FavoritesFolderNameMatch, path, readFavoritesFolder,
                    nullptr)
    { }
    StepResult write(const BookmarkNode &rootCategory, ExportMode mode) override
    {
        FavoritesWriteReport report;
        const QString failure = writeFavoritesFolder(rootCategory, path(), mode, report);
        const QString undone = favoritesWriteMessage(path(), report);
        if (undone.isEmpty())
            return StepResult::fromText(failure);
        return failure.isEmpty() ? StepResult::incomplete(undone)
                                 : StepResult::failed(failure + u'\n' + undone);
    }
};

// The hotlist writes each node's entry; the nodes that had none keep the one written for them, so a
// later export writes the same entry again.
class OperaHotlistStore final : public PathStore
{
public:
    explicit OperaHotlistStore(const QString &path)
        : PathStore(StoreFormat::OperaHotlist, OperaHotlistNameMatch, path, readOperaHotlist,
                    writeOperaHotlist)
    { }
    void afterWrite(BookmarkNode &rootCategory) override { fillMissingOperaBlocks(rootCategory); }
};

// The places database: the connection is made on the first step and kept until the dialog closes. Every
// failure of its steps is a database failure, which the run reports and passes by.
class PlacesDatabaseStore final : public ExchangeStore
{
public:
    explicit PlacesDatabaseStore(QString path)
        : m_path(std::move(path))
    { }
    StoreFormat format() const override { return StoreFormat::PlacesDatabase; }
    NameMatch nameMatch() const override { return PlacesDatabase::importNameMatch; }
    StepResult read(BookmarkNode &staging, qint32 browserCode) override
    {
        QString failure = m_database.open(m_path);
        if (failure.isEmpty())
            failure = m_database.read(staging, browserCode);
        return result(failure);
    }
    StepResult write(const BookmarkNode &rootCategory, ExportMode mode) override
    {
        QString failure = m_database.open(m_path);
        if (failure.isEmpty())
            failure = m_database.write(rootCategory, mode);
        return result(failure);
    }

private:
    static StepResult result(const QString &failure)
    {
        return failure.isEmpty() ? StepResult::done() : StepResult::databaseFailure(failure);
    }

    QString m_path;
    PlacesDatabase m_database;
};

} // namespace

std::unique_ptr<ExchangeStore> makeExchangeStore(StoreFormat format, const BrowserPaths &paths)
{
    switch (format) {
    case StoreFormat::OperaHotlist:
        return std::make_unique<OperaHotlistStore>(paths.OperaFavPath);
    case StoreFormat::PlacesDatabase:
        return std::make_unique<PlacesDatabaseStore>(paths.PathFavFirefox);
    case StoreFormat::FavoritesFolder:
        return std::make_unique<FavoritesFolderStore>(paths.ExplorerFavoritesPath);
    case StoreFormat::NetscapeBookmarkFile:
        break;
    }
    return std::make_unique<PathStore>(StoreFormat::NetscapeBookmarkFile, NetscapeBookmarkFileNameMatch,
                                       paths.PathFavFirefox, readNetscapeBookmarkFile,
                                       writeNetscapeBookmarkFile);
}

} // namespace vellumite
