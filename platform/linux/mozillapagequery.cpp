#include "platform/linux/mozillapagequery.h"

#include "main/core/inifile.h"
#include "platform/linux/mozillaprofileroots.h"
#include "platform/linux/mozillasessionstore.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

// Enough for the files a browser keeps open; a process with more is not searched further.
constexpr int MaximumOpenFiles = 4096;
constexpr int MaximumListedProfiles = 64;

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

// The folders a root's profiles.ini lists, then every folder directly below the root.
QStringList profilesBelow(const QString &root)
{
    QStringList folders;
    IniFile list(QDir(root).filePath(QStringLiteral("profiles.ini")));
    list.load(); // a list that cannot be read lists nothing
    for (int n = 0; n < MaximumListedProfiles; ++n) {
        const QString section = QStringLiteral("Profile%1").arg(n);
        const QString path = list.readString(section, u"Path"_s, {});
        if (path.isEmpty())
            break;
        const bool relative = list.readString(section, u"IsRelative"_s, {}) != u"0";
        folders.append(relative ? QDir(root).filePath(path) : path);
    }
    const QStringList subfolders = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : subfolders.mid(0, MaximumListedProfiles))
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
    MozillaSessionStoreReader reader;
    if (!reader.readFile(QDir(profile).filePath(QStringLiteral("sessionstore-backups/recovery.jsonlz4"))))
        return std::nullopt;
    const std::optional<SessionPage> page = findPageByTitle(reader.selectedPages(), window.pageTitle);
    if (!page)
        return std::nullopt;
    return WindowInfoReply { page->url, page->title };
}

} // namespace vellumite
