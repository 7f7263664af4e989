#pragma once

#include "exchange/core/exportmode.h"
#include "exchange/core/stagingmerge.h"
#include "main/core/firefoxstore.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace vellumite {

// The rows of the exchange dialog, in their order; the numbers are also a record's ImportSource and
// the row's icon.
enum class StoreKind : qint32 { InternetExplorer = 0, Firefox = 1, Opera = 2 };

// The four stores a row can stand for: Firefox keeps either a bookmark file or a places database.
enum class StoreFormat { FavoritesFolder, NetscapeBookmarkFile, PlacesDatabase, OperaHotlist };

// How one store step ended, with the message to show when it did not end well. A database failure is
// reported and the run goes on with the next row; an incomplete step did its work but left something
// undone, which is reported as an error before the run goes on; any other failure ends the run at its
// row.
struct StepResult
{
    enum class Outcome { Done, DatabaseFailure, Incomplete, Failed };
    Outcome outcome = Outcome::Done;
    QString text;

    static StepResult done() { return {}; }
    static StepResult databaseFailure(const QString &text) { return { Outcome::DatabaseFailure, text }; }
    static StepResult incomplete(const QString &text) { return { Outcome::Incomplete, text }; }
    static StepResult failed(const QString &text) { return { Outcome::Failed, text }; }
    // A reader's or writer's answer: empty on success, else the failure's text.
    static StepResult fromText(const QString &failure)
    {
        return failure.isEmpty() ? done() : failed(failure);
    }
    // Whether the step did its work, so that what follows it (applying an import) is done.
    bool ok() const { return outcome == Outcome::Done || outcome == Outcome::Incomplete; }
};

// One store as the run sees it. read and write run on a pool thread: they get plain data only (a staging
// tree to fill, a snapshot to write) and never touch the program's tree or a widget.
class ExchangeStore
{
public:
    virtual ~ExchangeStore() = default;
    virtual StoreFormat format() const = 0;
    virtual NameMatch nameMatch() const = 0;
    virtual StepResult read(BookmarkNode &staging, qint32 browserCode) = 0;
    virtual StepResult write(const BookmarkNode &rootCategory, ExportMode mode) = 0;
    // After a successful write, on the user-interface thread: what the export leaves in the program's
    // own records.
    virtual void afterWrite(BookmarkNode &rootCategory) { Q_UNUSED(rootCategory) }
};

// The store a row stands for; Firefox's is the one the detection found the user's Firefox to keep.
StoreFormat storeFormatFor(StoreKind kind, FirefoxStore firefoxStore);

// The mode a writer is given: the bookmark file is always replaced by the program's tree, every other
// store keeps what it holds when merging.
ExportMode exportModeFor(StoreFormat format, bool mergeOption);

// The program's tree as a run changes it. Everything here is called on the user-interface thread.
class ExchangeTarget
{
public:
    virtual ~ExchangeTarget() = default;
    // The root category "Bookmarks" of the program's tree, or nullptr when there is none.
    virtual BookmarkNode *rootCategory() = 0;
    // The code of the open-with browser: the icon of every imported bookmark.
    virtual qint32 browserCode() const = 0;
    // Changes to the program's tree, through its model.
    virtual void emptyRootCategory() = 0;
    virtual void applyMerge(MergePlan plan) = 0;
    // After every ticked store of an import: the counts and the root's expansion.
    virtual void importStoreFinished() = 0;
};

// What the run needs from the dialog around it, on the user-interface thread.
class ExchangeRunHost
{
public:
    virtual ~ExchangeRunHost() = default;
    virtual ExchangeTarget &target() = 0;
    // Runs `step` as a worker block; the window keeps painting meanwhile.
    virtual StepResult runBlock(const std::function<StepResult()> &step) = 0;
    // The spinner of the row turns from storeStarted to storeFinished.
    virtual void storeStarted(StoreKind kind) = 0;
    virtual void storeFinished(StoreKind kind) = 0;
    virtual void showDatabaseFailure(const QString &text) = 0;
    virtual void showFailure(const QString &text) = 0;
};

// The stores of the ticked rows, in the order of the list.
struct ExchangeRequest
{
    bool import = true;
    bool mergeOption = true;
    std::vector<std::pair<StoreKind, ExchangeStore *>> stores;
};

// Processes the ticked stores one after another. Without the merge option an import empties the root
// category once, just before the first store that was read successfully is applied, so a failed read
// never leaves the user with an empty tree. Returns false when a failure ended the run early.
bool runExchange(const ExchangeRequest &request, ExchangeRunHost &host);

} // namespace vellumite
