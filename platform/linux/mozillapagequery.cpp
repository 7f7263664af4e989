#include "platform/linux/mozillapagequery.h"

#include "base/filelookup.h"
#include "base/firefoxprofile.h"
#include "platform/linux/mozillapreferences.h"
#include "platform/linux/mozillaprofileroots.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumite {

namespace {

// Enough for the files a browser keeps open; a process with more is not searched further.
constexpr int MaximumOpenFiles = 4096;
// Enough for the profiles a user keeps below one folder; a folder with more is not searched further.
constexpr int MaximumProfileFolders = 64;

QString readLink(const QString &path)
{
    char target[512];
    const QByteArray encoded = QFile::encodeName(path);
    const ssize_t length = ::readlink(encoded.constData(), target, sizeof target);
    if (length <= 0 || length >= ssize_t(sizeof target))
        return {};
    return QFile::decodeName(QByteArray(target, qsizetype(length)));
}

// The folders of the files the process has open: a running browser keeps its profile's lock file open.
QStringList openFileFolders(qint64 processId)
{
    QStringList folders;
    QDir descriptors(QStringLiteral("/proc/%1/fd").arg(processId));
    const QStringList entries = descriptors.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries.mid(0, MaximumOpenFiles)) {
        const QString target = readLink(descriptors.filePath(entry));
        if (target.startsWith(u'/'))
            folders.append(QFileInfo(target).absolutePath());
    }
    return folders;
}

// The profiles that a root's profile list names, read as the exchange reads them, then every folder
// directly below the root.
QStringList profilesBelow(const QString &root)
{
    const LocalFileLookup files;
    const FirefoxProfileFinder finder(files, {}, {});
    QStringList folders;
    for (const FirefoxProfileList &list : finder.existingLists({ { root } }))
        folders += finder.listedProfiles(list);
    const QStringList subfolders = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : subfolders.mid(0, MaximumProfileFolders))
        folders.append(QDir(root).filePath(name));
    return folders;
}

} // namespace

qint64 profileLockOwner(const QString &profileFolder)
{
    const QString target = readLink(QDir(profileFolder).filePath(QStringLiteral("lock")));
    const qsizetype separator = target.lastIndexOf(u":+");
    if (separator < 0)
        return 0;
    bool ok = false;
    const qint64 processId = QStringView(target).mid(separator + 2).toLongLong(&ok);
    return ok && processId > 0 ? processId : 0;
}

qint64 profileLockedAtMs(const QString &profileFolder)
{
    struct stat link;
    const QByteArray path = QFile::encodeName(QDir(profileFolder).filePath(QStringLiteral("lock")));
    if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return 0;
    return qint64(link.st_mtim.tv_sec) * 1000 + link.st_mtim.tv_nsec / 1000000;
}

std::optional<WindowInfoReply> chooseShownPage(const std::optional<StoredPage> &stored,
                                               const std::optional<HistoryVisit> &visited,
                                               qint64 browserStartedAtMs)
{
    const bool storeOfThisRun
        = stored && (browserStartedAtMs <= 0 || stored->collectedAtMs >= browserStartedAtMs);
    if (storeOfThisRun
        && (!visited
            || stored->collectedAtMs - visited->visitedAtMs > stored->updateIntervalMs + SessionStoreSlackMs))
        return WindowInfoReply { stored->page.url, stored->page.title };
    if (visited)
        return WindowInfoReply { visited->url, visited->title };
    return std::nullopt;
}

QString runningProfileFolder(qint64 processId, const QStringList &mozillaRoots)
{
    if (processId <= 0)
        return {};
    QStringList candidates = openFileFolders(processId);
    for (const QString &root : mozillaRoots)
        candidates += profilesBelow(root);
    QSet<QString> seen;
    for (const QString &folder : std::as_const(candidates)) {
        if (seen.contains(folder))
            continue;
        seen.insert(folder);
        if (profileLockOwner(folder) == processId)
            return folder;
    }
    return {};
}

MozillaPageQuery::MozillaPageQuery(QStringList mozillaRoots)
    : m_roots(std::move(mozillaRoots))
{ }

std::optional<WindowInfoReply> MozillaPageQuery::requestWindowInfo(const BrowserWindow &window) const
{
    if (window.service != u"Firefox")
        return std::nullopt;
    // Looked for at each request: Firefox makes its folder when it first starts.
    const QStringList roots = m_roots.isEmpty() ? existingMozillaProfileRoots() : m_roots;
    const QString profile = runningProfileFolder(window.processId, roots);
    if (profile.isEmpty())
        return std::nullopt;
    const QDir folder(profile);
    std::optional<StoredPage> stored;
    MozillaSessionStoreReader store;
    if (store.readFile(folder.filePath(QStringLiteral("sessionstore-backups/recovery.jsonlz4")))) {
        if (const std::optional<SessionPage> page
            = findPageByTitle(store.selectedPages(), window.pageTitle)) {
            const qint64 interval = mozillaIntegerPreference(profile, u"browser.sessionstore.interval")
                                        .value_or(DefaultSessionStoreIntervalMs);
            stored = StoredPage { *page, store.collectedAtMs(), std::max<qint64>(interval, 0) };
        }
    }
    MozillaHistoryReader history;
    const std::optional<HistoryVisit> visited
        = history.newestVisitOfTitle(folder.filePath(QStringLiteral("places.sqlite")), window.pageTitle);
    return chooseShownPage(stored, visited, profileLockedAtMs(profile));
}

} // namespace vellumite
