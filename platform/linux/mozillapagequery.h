#pragma once

#include "platform/browserpagequery.h"

#include <QStringList>

namespace vellumite {

// The process id that a Mozilla profile folder's `lock` link names ("address:+pid"); 0 when the folder
// has no such link.
qint64 profileLockOwner(const QString &profileFolder);

// The profile folder that the running browser `processId` holds: among the folders of the files it
// has open, then the profiles below `mozillaRoots` (such as ~/.mozilla/firefox), the one whose lock
// link names the process. Empty when none does.
QString runningProfileFolder(qint64 processId, const QStringList &mozillaRoots);

// The page of a Mozilla-family window, from the session store its running profile writes every few
// seconds: the current entry of a selected tab whose title is the window's page title. Other families
// have no such store, and a page the store does not hold yet gives no answer.
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
