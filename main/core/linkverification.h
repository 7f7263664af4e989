#pragma once

#include "main/core/bookmarktree.h"
#include "main/core/linkcheckqueue.h"
#include "main/core/linktestthread.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class QAbstractItemModel;
class QModelIndex;

namespace vellumite {

// The mode of a whole-tree run (the Tag of btCheckURL).
enum class VerificationMode : int { AllLinks = 1, NotVerifiedLinks = 2 };
enum class VerificationMenuState { Idle, Running };

// What the verification needs of the window that shows the tree.
class LinkVerificationHost
{
public:
    virtual ~LinkVerificationHost() = default;
    // Repaint a node whose state changed, or every node.
    virtual void linkStateChanged(BookmarkNode &node) = 0;
    virtual void allLinkStatesChanged() = 0;
    // DisableIconMenuCheckLink (running) or MenuDisableCheckLink (idle).
    virtual void verificationMenuChanged(VerificationMenuState state) = 0;
    // True while a worker block owns the tree: results wait until it ends.
    virtual bool isTreeBusy() const = 0;
    // Deletes nodes with their descendants through the model (removal notices reach this object).
    virtual void deleteNodes(const std::vector<BookmarkNode *> &nodes) = 0;
    virtual void UpdateTreeCounts() = 0;
    virtual void showFailure(const QString &message) = 0;
};

// Link verification on the user-interface thread: the whole-tree run and the single-link check. Each
// takes its bookmarks when it starts (a bookmark added later waits for the next run), is told of every
// removal, and hands only the link's bytes to its worker thread; a result whose node is gone is dropped.
// After shutDown() (the exit save) no result is stored any more and the running tests are aborted.
class LinkVerification : public QObject
{
public:
    LinkVerification(BookmarkTree &tree, const UrlTester &tester, LinkVerificationHost &host,
                     LinkTestThreadFactory makeThread = &LinkTestThread::create, QObject *parent = nullptr);
    ~LinkVerification() override;

    // Removals and resets of `model` reach the runs; `nodeOf` maps an index to its node.
    void watch(const QAbstractItemModel &model, std::function<BookmarkNode *(const QModelIndex &)> nodeOf);

    // "Verify all links" and "Verify not verified links". False when refused (a run is recorded, or the
    // program is closing) or when the worker could not be made (the failure was shown, the menu is idle).
    bool Checkall1Click() { return start(VerificationMode::AllLinks); }
    bool Check1Click() { return start(VerificationMode::NotVerifiedLinks); }
    bool start(VerificationMode mode);
    // The test under way finishes in the background and its result is stored; the menu is idle at once.
    void StopVerifiedClick();
    // Deletes every bookmark whose link is broken, in one pass, and recounts.
    void Deleteallbrokenlinks1Click();
    bool isRunning() const { return m_run != nullptr; }
    VerificationMode mode() const { return m_mode; }

    // Every bookmark back to "not verified".
    void ResetLinkStates();

    // The single-link check of `node`: its state shows "not verified" until the answer; `finished` is
    // called once the answer was stored (the progress window then closes). False when refused.
    bool checkOneUrl(BookmarkNode &node, std::function<void()> finished);
    // Ends the single-link check's wait: the window closes, a test under way goes on in the background.
    void StopOneUrlCheck();
    bool isCheckingOneUrl() const { return m_oneUrl != nullptr; }

    void nodesAboutToBeRemoved(const BookmarkNode &parent, int first, int last);
    void treeAboutToBeReset();

    // The program is closing: aborts every test; no result is stored from now on.
    void shutDown();
    // The close was refused (the save failed): verification may start again.
    void resume() { m_closed = false; }

private:
    struct Run;
    void testNext(Run &run);
    void testFinished(quint64 id, bool alive);
    Run *findRun(quint64 id) const;
    void retire(std::unique_ptr<Run> run);
    void forget(quint64 id);
    void CheckThreadTerminated(Run &run);
    std::unique_ptr<Run> makeRun(const std::vector<BookmarkNode *> &bookmarks);
    template<typename F> void forEachQueue(F &&f);

    BookmarkTree &m_tree;
    const UrlTester &m_tester;
    LinkVerificationHost &m_host;
    LinkTestThreadFactory m_makeThread;
    VerificationMode m_mode = VerificationMode::AllLinks;
    quint64 m_nextId = 1;
    // CheckThread and OneUrlThread; runs that were stopped but still finish their last test; and
    // aborted ones that are only waited for.
    std::unique_ptr<Run> m_run;
    std::unique_ptr<Run> m_oneUrl;
    std::function<void()> m_oneUrlFinished;
    std::vector<std::unique_ptr<Run>> m_finishing;
    std::vector<std::unique_ptr<LinkTestThread>> m_aborted;
    bool m_closed = false;
};

} // namespace vellumite
