#pragma once

#include "platform/browserpagequery.h"
#include "platform/linux/mozillahistory.h"
#include "platform/linux/mozillasessionstore.h"
#include "platform/linux/userfolder.h"

#include <optional>

namespace vellumite {

// When the browser that holds the profile made its `lock` link (this user's), at its start, in
// milliseconds since 1970 (UTC); 0 when the folder has no such link.
qint64 profileLockedAtMs(const UserFolder &profile);

// The profile folder that the running browser `processId` holds: the folder whose `.parentlock` the
// process has open, when it is a folder of this user's that no one else may change (UserFolder). The
// files read from it are checked the same way, on the open file. Nothing when there is none.
std::optional<UserFolder> runningProfileFolder(qint64 processId);

// The session store's page of a window, with when the store was collected.
struct StoredPage
{
    SessionPage page;
    qint64 collectedAtMs = 0;
};

// What the browser may still be taking into its store when it collects it: a navigation a moment
// before the collection may not be in it yet.
inline constexpr qint64 SessionStoreSlackMs = 1000;

// The page a Mozilla window shows, from its two sources: the session store's page of the window and the
// history's newest visit of a page of the window's title. The store keeps no time for its pages, only
// when it was collected; the browser writes it a few seconds after each change of a page, and not
// again until the next change. So its page counts when it was collected after the newest visit (with
// the slack): then it holds that visit or what the window showed since without a new visit (going
// back). Otherwise the visit counts: the store may not hold it yet. A store collected before the
// browser started (`browserStartedAtMs`, 0 when unknown) is an earlier run's and does not count.
// An untitled window (ShownTitle::Untitled) has no title to find its visit by: the history's newest
// visit of any untitled page then only tells whether the store may be behind, and the answer, if any,
// is the store's address without a title.
enum class ShownTitle { Titled, Untitled };
std::optional<WindowInfoReply> chooseShownPage(const std::optional<StoredPage> &stored,
                                               const std::optional<HistoryVisit> &visited,
                                               qint64 browserStartedAtMs,
                                               ShownTitle shown = ShownTitle::Titled);

// The page of a Mozilla-family window, from the running profile's history (places.sqlite, read from a
// private copy) and its session store: see findShownPage and chooseShownPage. Other families have
// neither, and a page that neither holds gives no answer; nor does a browser's own page (about:) in an
// untitled window, such as the New Tab page.
class MozillaPageQuery final : public BrowserPageQuery
{
public:
    std::optional<WindowInfoReply> requestWindowInfo(const BrowserWindow &window) const override;
};

} // namespace vellumite
