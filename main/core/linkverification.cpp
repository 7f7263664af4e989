#include "main/core/linkverification.h"

#include "main/core/textcodec.h"

#include <QAbstractItemModel>
#include <QTimer>

namespace vellumite {

namespace {
// How long a result waits before it looks again whether a worker block still owns the tree.
constexpr int BusyRetryMs = 25;

bool isBookmark(const BookmarkNode &node)
{
    return !node.record.IsCategory;
}
} // namespace

struct LinkVerification::Run
{
    Run(quint64 runId, const std::vector<BookmarkNode *> &bookmarks)
        : id(runId)
        , queue(bookmarks)
    { }

    quint64 id;
    LinkCheckQueue queue;
    std::unique_ptr<LinkTestThread> thread;
    bool testing = false;
    bool stopRequested = false;
};

LinkVerification::LinkVerification(BookmarkTree &tree, const UrlTester &tester, LinkVerificationHost &host,
                                   LinkTestThreadFactory makeThread, QObject *parent)
    : QObject(parent)
    , m_tree(tree)
    , m_tester(tester)
    , m_host(host)
    , m_makeThread(std::move(makeThread))
{ }

// The threads are aborted and waited for here, before any queued result could outlive this object.
LinkVerification::~LinkVerification()
{
    shutDown();
    m_aborted.clear();
}

void LinkVerification::watch(const QAbstractItemModel &model,
                             std::function<BookmarkNode *(const QModelIndex &)> nodeOf)
{
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, nodeOf](const QModelIndex &parent, int first, int last) {
                const BookmarkNode *folder = parent.isValid() ? nodeOf(parent) : &m_tree.topLevel();
                if (folder)
                    nodesAboutToBeRemoved(*folder, first, last);
            });
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { treeAboutToBeReset(); });
}

std::unique_ptr<LinkVerification::Run> LinkVerification::makeRun(const std::vector<BookmarkNode *> &bookmarks)
{
    auto run = std::make_unique<Run>(m_nextId++, bookmarks);
    run->thread = m_makeThread(m_tester);
    if (!run->thread) {
        m_host.showFailure(QStringLiteral("The link check cannot start: the system gives no thread for it."));
        return nullptr;
    }
    return run;
}

bool LinkVerification::start(VerificationMode mode)
{
    if (m_closed || m_run)
        return false;
    m_mode = mode;
    if (mode == VerificationMode::AllLinks)
        ResetLinkStates();
    // Taken now, in tree order: a sort or a move during the run must not make it test a bookmark twice
    // or pass one over.
    std::vector<BookmarkNode *> bookmarks;
    m_tree.forEach([&bookmarks, mode](BookmarkNode &node) {
        if (isBookmark(node)
            && (mode == VerificationMode::AllLinks || node.record.LinkState == LinkNotVerified))
            bookmarks.push_back(&node);
    });
    m_run = makeRun(bookmarks);
    if (!m_run)
        return false;
    m_host.verificationMenuChanged(VerificationMenuState::Running);
    testNext(*m_run);
    return true;
}

void LinkVerification::ResetLinkStates()
{
    m_tree.forEach([](BookmarkNode &node) {
        if (isBookmark(node))
            node.record.LinkState = LinkNotVerified;
    });
    m_host.allLinkStatesChanged();
}

void LinkVerification::testNext(Run &run)
{
    for (; !run.queue.atEnd(); run.queue.advance()) {
        BookmarkNode *node = run.queue.current();
        if (!node)
            continue;
        if (m_mode == VerificationMode::NotVerifiedLinks && node->record.LinkState != LinkNotVerified)
            continue;
        run.testing = true;
        run.thread->test(toAnsi(node->record.Link), [this, id = run.id](bool alive) {
            QMetaObject::invokeMethod(
                this, [this, id, alive] { testFinished(id, alive); }, Qt::QueuedConnection);
        });
        return;
    }
    CheckThreadTerminated(run);
}

LinkVerification::Run *LinkVerification::findRun(quint64 id) const
{
    if (m_run && m_run->id == id)
        return m_run.get();
    if (m_oneUrl && m_oneUrl->id == id)
        return m_oneUrl.get();
    for (const auto &run : m_finishing) {
        if (run->id == id)
            return run.get();
    }
    return nullptr;
}

void LinkVerification::testFinished(quint64 id, bool alive)
{
    Run *run = findRun(id);
    if (m_closed || !run)
        return;
    if (m_host.isTreeBusy()) {
        QTimer::singleShot(BusyRetryMs, this, [this, id, alive] { testFinished(id, alive); });
        return;
    }
    run->testing = false;
    if (BookmarkNode *node = run->queue.current()) {
        node->record.LinkState = alive ? LinkAlive : LinkBroken;
        m_host.linkStateChanged(*node);
    }
    if (run == m_oneUrl.get()) {
        StopOneUrlCheck();
        forget(id);
    } else if (run == m_run.get() && !run->stopRequested) {
        run->queue.advance();
        testNext(*run);
    } else {
        forget(id);
    }
}

void LinkVerification::CheckThreadTerminated(Run &run)
{
    if (m_run.get() != &run)
        return;
    m_run.reset();
    m_host.verificationMenuChanged(VerificationMenuState::Idle);
}

void LinkVerification::retire(std::unique_ptr<Run> run)
{
    if (run && run->testing)
        m_finishing.push_back(std::move(run));
}

void LinkVerification::forget(quint64 id)
{
    std::erase_if(m_finishing, [id](const auto &run) { return run->id == id; });
}

void LinkVerification::StopVerifiedClick()
{
    if (!m_run)
        return;
    m_run->stopRequested = true;
    retire(std::move(m_run));
    m_host.verificationMenuChanged(VerificationMenuState::Idle);
}

void LinkVerification::Deleteallbrokenlinks1Click()
{
    if (m_closed)
        return;
    std::vector<BookmarkNode *> broken;
    m_tree.forEach([&broken](BookmarkNode &node) {
        if (isBookmark(node) && node.record.LinkState == LinkBroken)
            broken.push_back(&node);
    });
    if (!broken.empty())
        m_host.deleteNodes(broken);
    m_host.UpdateTreeCounts();
}

bool LinkVerification::checkOneUrl(BookmarkNode &node, std::function<void()> finished)
{
    if (m_closed || m_oneUrl || !isBookmark(node))
        return false;
    node.record.LinkState = LinkNotVerified;
    m_host.linkStateChanged(node);
    m_oneUrl = makeRun({ &node });
    if (!m_oneUrl)
        return false;
    m_oneUrlFinished = std::move(finished);
    m_oneUrl->testing = true;
    m_oneUrl->thread->test(toAnsi(node.record.Link), [this, id = m_oneUrl->id](bool alive) {
        QMetaObject::invokeMethod(
            this, [this, id, alive] { testFinished(id, alive); }, Qt::QueuedConnection);
    });
    return true;
}

void LinkVerification::StopOneUrlCheck()
{
    if (!m_oneUrl)
        return;
    retire(std::move(m_oneUrl));
    if (const std::function<void()> finished = std::exchange(m_oneUrlFinished, {}))
        finished();
}

template<typename F> void LinkVerification::forEachQueue(F &&f)
{
    for (Run *run : { m_run.get(), m_oneUrl.get() }) {
        if (run)
            f(run->queue);
    }
    for (const auto &run : m_finishing)
        f(run->queue);
}

void LinkVerification::nodesAboutToBeRemoved(const BookmarkNode &parent, int first, int last)
{
    forEachQueue([&](LinkCheckQueue &queue) { queue.nodesAboutToBeRemoved(parent, first, last); });
}

void LinkVerification::treeAboutToBeReset()
{
    forEachQueue([](LinkCheckQueue &queue) { queue.treeAboutToBeReset(); });
}

void LinkVerification::shutDown()
{
    const bool wasRunning = m_run != nullptr;
    m_closed = true;
    std::vector<std::unique_ptr<Run>> all = std::move(m_finishing);
    m_finishing.clear();
    all.push_back(std::move(m_run));
    all.push_back(std::move(m_oneUrl));
    for (auto &run : all) {
        if (!run)
            continue;
        run->thread->abort();
        m_aborted.push_back(std::move(run->thread));
    }
    if (const std::function<void()> finished = std::exchange(m_oneUrlFinished, {}))
        finished();
    if (wasRunning)
        m_host.verificationMenuChanged(VerificationMenuState::Idle);
}

} // namespace vellumite
