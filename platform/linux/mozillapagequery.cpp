#include "platform/linux/mozillapagequery.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumite {

namespace {

// Enough for the files a browser keeps open; a process with more is not searched further.
constexpr int MaximumOpenFiles = 4096;
constexpr QStringView ParentLockName = u"/.parentlock";

QString readLink(const QString &path)
{
    char target[4096];
    const QByteArray encoded = QFile::encodeName(path);
    const ssize_t length = ::readlink(encoded.constData(), target, sizeof target);
    if (length <= 0 || length >= ssize_t(sizeof target))
        return {};
    return QFile::decodeName(QByteArray(target, qsizetype(length)));
}

// The folders whose `.parentlock` the process holds open: a Mozilla browser holds its profile's for
// as long as it runs. A file of another name in another folder marks no profile, whoever made it.
QStringList heldProfileFolders(qint64 processId)
{
    QStringList folders;
    QDir descriptors(QStringLiteral("/proc/%1/fd").arg(processId));
    const QStringList entries = descriptors.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries.mid(0, MaximumOpenFiles)) {
        const QString target = readLink(descriptors.filePath(entry));
        if (target.startsWith(u'/') && target.endsWith(ParentLockName))
            folders.append(target.chopped(ParentLockName.size()));
    }
    return folders;
}

} // namespace

qint64 profileLockedAtMs(const UserFolder &profile)
{
    struct stat link;
    if (::fstatat(profile.fd(), "lock", &link, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(link.st_mode)
        || link.st_uid != ::geteuid())
        return 0;
    return qint64(link.st_mtim.tv_sec) * 1000 + link.st_mtim.tv_nsec / 1000000;
}

std::optional<WindowInfoReply> chooseShownPage(const std::optional<StoredPage> &stored,
                                               const std::optional<HistoryVisit> &visited,
                                               qint64 browserStartedAtMs, ShownTitle shown)
{
    const bool storeOfThisRun
        = stored && (browserStartedAtMs <= 0 || stored->collectedAtMs >= browserStartedAtMs);
    const bool storeIsNewer
        = storeOfThisRun && (!visited || stored->collectedAtMs - visited->visitedAtMs > SessionStoreSlackMs);
    if (shown == ShownTitle::Untitled) {
        if (storeIsNewer)
            return WindowInfoReply { stored->page.url, QString() };
        return std::nullopt;
    }
    if (storeIsNewer)
        return WindowInfoReply { stored->page.url, stored->page.title };
    if (visited)
        return WindowInfoReply { visited->url, visited->title };
    return std::nullopt;
}

std::optional<UserFolder> runningProfileFolder(qint64 processId)
{
    if (processId <= 0)
        return std::nullopt;
    for (const QString &folder : heldProfileFolders(processId)) {
        if (std::optional<UserFolder> profile = UserFolder::open(folder))
            return profile;
    }
    return std::nullopt;
}

std::optional<WindowInfoReply> MozillaPageQuery::requestWindowInfo(const BrowserWindow &window) const
{
    if (window.service != u"Firefox")
        return std::nullopt;
    const std::optional<UserFolder> profile = runningProfileFolder(window.processId);
    if (!profile)
        return std::nullopt;
    const bool untitled = window.pageTitle.isEmpty();
    std::optional<StoredPage> stored;
    MozillaSessionStoreReader store;
    if (store.readFile(profile->fd(), QStringLiteral("sessionstore-backups/recovery.jsonlz4"))) {
        const std::optional<SessionPage> page = findShownPage(store.windows(), window);
        if (page && !(untitled && page->url.startsWith(u"about:")))
            stored = StoredPage { *page, store.collectedAtMs() };
    }
    MozillaHistoryReader history;
    const std::optional<HistoryVisit> visited = history.newestVisitOfTitle(
        profile->fd(), QStringLiteral("places.sqlite"), window.pageTitle, window.titleForm);
    return chooseShownPage(stored, visited, profileLockedAtMs(*profile),
                           untitled ? ShownTitle::Untitled : ShownTitle::Titled);
}

} // namespace vellumite
