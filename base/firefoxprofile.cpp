#include "base/firefoxprofile.h"

#include "base/filelookup.h"

#include <QDir>
#include <QFileInfo>

namespace vellumite {

using namespace Qt::StringLiterals;

namespace {

bool isProfileSection(const QString &section)
{
    return section.startsWith(u"Profile", Qt::CaseInsensitive);
}

} // namespace

FirefoxProfileFinder::FirefoxProfileFinder(const FileLookup &files, QString appData, QString installFolder)
    : m_files(files)
    , m_appData(std::move(appData))
    , m_installFolder(std::move(installFolder))
{ }

QList<FirefoxProfileList> FirefoxProfileFinder::existingLists(const QList<FirefoxProfileRoot> &roots) const
{
    QList<FirefoxProfileList> lists;
    if (m_files.pathStyle() == PathStyle::Windows) {
        const QString folder = m_appData + u"\\Mozilla\\Firefox";
        lists.append({ folder + u"\\Profiles.ini", folder, true });
    } else {
        for (const FirefoxProfileRoot &root : roots)
            lists.append({ root.folder + u"/profiles.ini", root.folder, root.ofFoundInstall });
    }
    lists.removeIf([this](const FirefoxProfileList &list) { return !m_files.fileExists(list.file); });
    return lists;
}

QString FirefoxProfileFinder::profileInUse(const FirefoxProfileList &list) const
{
    const QStringList named = installDefaults(list);
    if (!named.isEmpty()) {
        QStringList folders;
        for (const QString &path : named)
            folders.append(profileFolder(list, path));
        return lastOpened(folders);
    }
    const QStringList sections = m_files.iniSections(list.file);
    for (const QString &section : sections) {
        if (!isProfileSection(section)
            || m_files.readIniString(list.file, section, u"Default"_s).trimmed() != u"1")
            continue;
        const QString path = m_files.readIniString(list.file, section, u"Path"_s);
        if (!path.isEmpty())
            return profileFolder(list, path);
    }
    return profileFolder(list, m_files.readIniString(list.file, u"Profile0"_s, u"Path"_s));
}

QStringList FirefoxProfileFinder::listedProfiles(const FirefoxProfileList &list) const
{
    QStringList folders;
    const auto add = [&](const QString &path) {
        if (path.isEmpty())
            return;
        const QString folder = profileFolder(list, path);
        if (!folders.contains(folder))
            folders.append(folder);
    };
    for (const QString &path : installDefaults(list))
        add(path);
    for (const QString &section : m_files.iniSections(list.file)) {
        if (isProfileSection(section))
            add(m_files.readIniString(list.file, section, u"Path"_s));
    }
    const qsizetype inUse = folders.indexOf(profileInUse(list));
    if (inUse > 0)
        folders.move(inUse, 0);
    return folders;
}

QString FirefoxProfileFinder::lastOpened(const QStringList &folders) const
{
    if (folders.size() == 1)
        return folders.first();
    for (const QString &folder : folders) {
        if (sameFolder(compatibility(folder, u"LastPlatformDir"_s), m_installFolder))
            return folder;
    }
    QString newest = folders.isEmpty() ? QString() : folders.first();
    QDateTime newestTime;
    for (const QString &folder : folders) {
        const QDateTime opened = lastOpenedTime(folder);
        if (opened.isValid() && (!newestTime.isValid() || opened > newestTime)) {
            newest = folder;
            newestTime = opened;
        }
    }
    return newest;
}

FirefoxProfile FirefoxProfileFinder::find(const QList<FirefoxProfileRoot> &roots) const
{
    const QList<FirefoxProfileList> lists = existingLists(roots);
    if (lists.isEmpty())
        return {};
    QString folder;
    for (const FirefoxProfileList &list : lists) {
        if (list.ofFoundInstall)
            folder = profileInUse(list);
    }
    if (folder.isEmpty()) {
        QStringList folders;
        for (const FirefoxProfileList &list : lists)
            folders.append(profileInUse(list));
        folder = lastOpened(folders);
    }
    // LastVersion is "<version>_<build id>/<platform build id>".
    const QString lastVersion = compatibility(folder, u"LastVersion"_s);
    return { folder, lastVersion.section(u'_', 0, 0).section(u'/', 0, 0).trimmed() };
}

QChar FirefoxProfileFinder::separator() const
{
    return m_files.pathStyle() == PathStyle::Windows ? u'\\' : u'/';
}

QString FirefoxProfileFinder::compatibility(const QString &folder, const QString &key) const
{
    return m_files.readIniString(compatibilityFile(folder), u"Compatibility"_s, key);
}

QString FirefoxProfileFinder::compatibilityFile(const QString &folder) const
{
    return folder + separator() + u"compatibility.ini";
}

// Firefox writes the lock file .parentlock at every start, and compatibility.ini when a Firefox of
// another build opens the profile.
QDateTime FirefoxProfileFinder::lastOpenedTime(const QString &folder) const
{
    const QDateTime locked = m_files.lastModified(folder + separator() + u".parentlock");
    const QDateTime written = m_files.lastModified(compatibilityFile(folder));
    if (!locked.isValid() || (written.isValid() && written > locked))
        return written;
    return locked;
}

// The profile paths that install sections name, each once, those of the list first.
QStringList FirefoxProfileFinder::installDefaults(const FirefoxProfileList &list) const
{
    QStringList paths;
    const auto addDefault = [&](const QString &file, const QString &section) {
        const QString path = m_files.readIniString(file, section, u"Default"_s);
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    };
    for (const QString &section : m_files.iniSections(list.file)) {
        if (section.startsWith(u"Install", Qt::CaseInsensitive))
            addDefault(list.file, section);
    }
    const QString installs = list.folder + separator() + u"installs.ini";
    for (const QString &section : m_files.iniSections(installs))
        addDefault(installs, section);
    return paths;
}

QString FirefoxProfileFinder::profileFolder(const FirefoxProfileList &list, const QString &path) const
{
    // On Windows the part after the first "/" of "Profiles/<name>" names the folder.
    if (m_files.pathStyle() == PathStyle::Windows)
        return m_appData + u"\\mozilla\\firefox\\profiles\\" + path.section(u'/', 1, 1);
    return QDir::cleanPath(QDir(list.folder).filePath(path));
}

bool FirefoxProfileFinder::sameFolder(const QString &a, const QString &b) const
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (m_files.pathStyle() == PathStyle::Windows) {
        const auto normal = [](QString path) { return QDir::cleanPath(path.replace(u'\\', u'/')); };
        return normal(a).compare(normal(b), Qt::CaseInsensitive) == 0;
    }
    const auto normal = [](const QString &path) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
    };
    return normal(a) == normal(b);
}

FirefoxProfile findFirefoxProfile(const FileLookup &files, const QString &appData,
                                  const QList<FirefoxProfileRoot> &roots, const QString &installFolder)
{
    return FirefoxProfileFinder(files, appData, installFolder).find(roots);
}

} // namespace vellumite
