#include "exchange/core/exchangerun.h"

#include "exchange/core/storefile.h"

#include <exception>

namespace vellumite {

StoreFormat storeFormatFor(StoreKind kind, FirefoxStore firefoxStore)
{
    switch (kind) {
    case StoreKind::InternetExplorer:
        return StoreFormat::FavoritesFolder;
    case StoreKind::Firefox:
        return firefoxStore == FirefoxStore::PlacesDatabase ? StoreFormat::PlacesDatabase
                                                            : StoreFormat::NetscapeBookmarkFile;
    case StoreKind::Opera:
        break;
    }
    return StoreFormat::OperaHotlist;
}

ExportMode exportModeFor(StoreFormat format, bool mergeOption)
{
    if (format == StoreFormat::NetscapeBookmarkFile || !mergeOption)
        return ExportMode::Replace;
    return ExportMode::Merge;
}

namespace {

// A failure thrown out of a step (memory, a library) is turned into its text, so the run can end cleanly.
StepResult guarded(const std::function<StepResult()> &step)
{
    try {
        return step();
    } catch (const std::exception &e) {
        return StepResult::failed(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return StepResult::failed(QStringLiteral("Unknown error"));
    }
}

class Run
{
public:
    Run(const ExchangeRequest &request, ExchangeRunHost &host)
        : m_request(request)
        , m_host(host)
    { }

    bool processStore(StoreKind kind, ExchangeStore &store)
    {
        m_host.storeStarted(kind);
        auto staging = std::make_shared<BookmarkNode>();
        StepResult result = m_request.import ? readStore(store, staging) : exportStore(store);
        m_host.storeFinished(kind);
        if (result.ok()) {
            StepResult after = m_request.import ? applyImport(store, *staging) : afterExport(store);
            if (!after.ok() || result.outcome == StepResult::Outcome::Done)
                result = std::move(after);
        }
        if (m_request.import && result.outcome != StepResult::Outcome::Failed)
            m_host.target().importStoreFinished();
        switch (result.outcome) {
        case StepResult::Outcome::Done:
            return true;
        case StepResult::Outcome::DatabaseFailure:
            m_host.showDatabaseFailure(result.text);
            return true;
        case StepResult::Outcome::Incomplete:
            m_host.showFailure(result.text);
            return true;
        case StepResult::Outcome::Failed:
            m_host.showFailure(result.text);
            return false;
        }
        return false;
    }

private:
    // The store is read into a staging tree of its own; the program's tree is untouched meanwhile.
    StepResult readStore(ExchangeStore &store, const std::shared_ptr<BookmarkNode> &staging)
    {
        const qint32 code = m_host.target().browserCode();
        return m_host.runBlock(
            [&store, staging, code] { return guarded([&] { return store.read(*staging, code); }); });
    }

    StepResult applyImport(const ExchangeStore &store, BookmarkNode &staging)
    {
        return guarded([&] {
            if (!m_request.mergeOption && !m_rootEmptied) {
                m_host.target().emptyRootCategory();
                m_rootEmptied = true;
            }
            BookmarkNode *root = m_host.target().rootCategory();
            if (!root)
                return StepResult::failed(QStringLiteral("The program has no root category."));
            m_host.target().applyMerge(planMerge(*root, staging, store.nameMatch()));
            return StepResult::done();
        });
    }

    StepResult afterExport(ExchangeStore &store)
    {
        return guarded([&] {
            if (BookmarkNode *root = m_host.target().rootCategory())
                store.afterWrite(*root);
            return StepResult::done();
        });
    }

    StepResult exportStore(ExchangeStore &store)
    {
        if (!m_snapshot) {
            const BookmarkNode *root = m_host.target().rootCategory();
            if (!root)
                return StepResult::failed(QStringLiteral("The program has no root category."));
            m_snapshot = copySubtree(*root);
        }
        const ExportMode mode = exportModeFor(store.format(), m_request.mergeOption);
        std::shared_ptr<const BookmarkNode> snapshot = m_snapshot;
        return m_host.runBlock(
            [&store, snapshot, mode] { return guarded([&] { return store.write(*snapshot, mode); }); });
    }

    const ExchangeRequest &m_request;
    ExchangeRunHost &m_host;
    bool m_rootEmptied = false;
    // One copy serves every store of an export: nothing changes the tree while the dialog is open.
    std::shared_ptr<const BookmarkNode> m_snapshot;
};

} // namespace

bool runExchange(const ExchangeRequest &request, ExchangeRunHost &host)
{
    Run run(request, host);
    for (const auto &[kind, store] : request.stores) {
        if (store && !run.processStore(kind, *store))
            return false;
    }
    return true;
}

} // namespace vellumite
