#pragma once

#include "platform/browserpagequery.h"
#include "platform/linux/mozillahistory.h"
#include "platform/linux/mozillasessionstore.h"

#include <QStringList>

namespace vellumite {

// The process id that a Mozilla profile folder's `lock` link names ("address:+pid"); 0 when the folder
// has no such link.
qint64 profileLockOwner(const QString &profileFolder);
// When the browser that holds the profile made its `lock` link, at its start, in milliseconds since
// 1970 (UTC); 0 when the folder has no such link.
qint64 profileLockedAtMs(const QString &profileFolder);

// The profile folder that the running browser `processId` holds: among the folders of the files it
// has open, then the profiles below `mozillaRoots` (such as ~/.mozilla/firefox), the one whose lock
// link names the process. Empty when none does.
QString runningProfileFolder(qint64 processId, const QStringList &mozillaRoots);

// The session store's page of a window's title, with when the store was collected and the browser's
// interval between taking a tab's navigations into the store (browser.sessionstore.interval).
struct StoredPage
{
    SessionPage page;
    qint64 collectedAtMs = 0;
    qint64 updateIntervalMs = 0;
};

// The browser's default for browser.sessionstore.interval.
inline constexpr qint64 DefaultSessionStoreIntervalMs = 15000;
// What a store's collection may lag behind the interval.
inline constexpr qint64 SessionStoreSlackMs = 1000;

// The page a Mozilla window shows, from its two sources: the session store's page of the window's
// title and the history's newest visit of a page of that title; the newer of the two counts. The store
// keeps no time for its pages, only when it was collected, and a navigation reaches it as much as an
// update interval later: its page is taken for newer only when it was collected more than that interval
// and the slack after the visit. So a visit counts whenever the store may not hold it yet, and the store
// counts where a page shows again with no new visit (going back). A store collected before the browser
// started (`browserStartedAtMs`, 0 when unknown) is an earlier run's and does not count.
std::optional<WindowInfoReply> chooseShownPage(const std::optional<StoredPage> &stored,
                                               const std::optional<HistoryVisit> &visited,
                                               qint64 browserStartedAtMs);

// The page of a Mozilla-family window, from the running profile's history (places.sqlite, read from a
// private copy) and its session store, which the browser writes every few seconds: see
// chooseShownPage. Other families have neither, and a page that neither holds gives no answer.
class MozillaPageQuery final : public BrowserPageQuery
{
public:
    // `mozillaRoots` empty: every folder of the user's where a Firefox or SeaMonkey keeps profiles.
    explicit MozillaPageQuery(QStringList mozillaRoots = {});

    std::optional<WindowInfoReply> requestWindowInfo(const BrowserWindow &window) const override;

private:
    QStringList m_roots;
};

} // namespace vellumite
