#include "main/core/firefoxprofile.h"

#include "main/core/functii.h"
#include "platform/systemlookup.h"

#include <QDir>
#include <QFileInfo>

namespace vellumite {

using namespace Qt::StringLiterals;

namespace {

// A profile list and how the paths it holds become folders.
struct ProfileList
{
    QString file;
    // The folder that holds the list and installs.ini.
    QString folder;
    bool ofFoundInstall = false;
};

class ProfileFinder
{
public:
    ProfileFinder(const SystemLookup &lookup, const QString &appData, const QString &installFolder)
        : m_lookup(lookup)
        , m_style(lookup.pathStyle())
        , m_appData(appData)
        , m_installFolder(installFolder)
    { }

    QList<ProfileList> existingLists(const QString &firefoxExecutable) const
    {
        QList<ProfileList> lists;
        if (m_style == PathStyle::Windows) {
            const QString folder = m_appData + u"\\Mozilla\\Firefox";
            lists.append({ folder + u"\\Profiles.ini", folder, true });
        } else {
            const QList<FirefoxProfileRoot> roots = m_lookup.firefoxProfileRoots(firefoxExecutable);
            for (const FirefoxProfileRoot &root : roots)
                lists.append({ root.folder + u"/profiles.ini", root.folder, root.ofFoundInstall });
        }
        lists.removeIf([this](const ProfileList &list) { return !m_lookup.fileExists(list.file); });
        return lists;
    }

    QString profileInUse(const ProfileList &list) const
    {
        const QStringList named = installDefaults(list);
        if (!named.isEmpty()) {
            QStringList folders;
            for (const QString &path : named)
                folders.append(profileFolder(list, path));
            return lastOpened(folders);
        }
        const QStringList sections = m_lookup.iniSections(list.file);
        for (const QString &section : sections) {
            if (!section.startsWith(u"Profile", Qt::CaseInsensitive)
                || m_lookup.readIniString(list.file, section, u"Default"_s).trimmed() != u"1")
                continue;
            const QString path = m_lookup.readIniString(list.file, section, u"Path"_s);
            if (!path.isEmpty())
                return profileFolder(list, path);
        }
        return profileFolder(list, m_lookup.readIniString(list.file, u"Profile0"_s, u"Path"_s));
    }

    // The one opened by the Firefox found, else the one opened last, else the first.
    QString lastOpened(const QStringList &folders) const
    {
        if (folders.size() == 1)
            return folders.first();
        for (const QString &folder : folders) {
            if (sameFolder(compatibility(folder, u"LastPlatformDir"_s), m_installFolder))
                return folder;
        }
        QString newest = folders.first();
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

    QString compatibility(const QString &folder, const QString &key) const
    {
        return m_lookup.readIniString(compatibilityFile(folder), u"Compatibility"_s, key);
    }

private:
    QChar separator() const { return m_style == PathStyle::Windows ? u'\\' : u'/'; }

    QString compatibilityFile(const QString &folder) const
    {
        return folder + separator() + u"compatibility.ini";
    }

    // Firefox writes the lock file .parentlock at every start, and compatibility.ini when a Firefox of
    // another build opens the profile.
    QDateTime lastOpenedTime(const QString &folder) const
    {
        const QDateTime locked = m_lookup.lastModified(folder + separator() + u".parentlock");
        const QDateTime written = m_lookup.lastModified(compatibilityFile(folder));
        if (!locked.isValid() || (written.isValid() && written > locked))
            return written;
        return locked;
    }

    // The profile paths that install sections name, each once, those of the list first.
    QStringList installDefaults(const ProfileList &list) const
    {
        QStringList paths;
        const auto addDefault = [&](const QString &file, const QString &section) {
            const QString path = m_lookup.readIniString(file, section, u"Default"_s);
            if (!path.isEmpty() && !paths.contains(path))
                paths.append(path);
        };
        for (const QString &section : m_lookup.iniSections(list.file)) {
            if (section.startsWith(u"Install", Qt::CaseInsensitive))
                addDefault(list.file, section);
        }
        const QString installs = list.folder + separator() + u"installs.ini";
        for (const QString &section : m_lookup.iniSections(installs))
            addDefault(installs, section);
        return paths;
    }

    // On Windows a profile's path is "Profiles/<name>" below the profiles folder; on Linux a relative
    // path is relative to the profile list's folder and an absolute one stands.
    QString profileFolder(const ProfileList &list, const QString &path) const
    {
        if (m_style == PathStyle::Windows)
            return m_appData + u"\\mozilla\\firefox\\profiles\\" + GetDelimitedField(path, u'/', 2);
        return QDir::cleanPath(QDir(list.folder).filePath(path));
    }

    bool sameFolder(const QString &a, const QString &b) const
    {
        if (a.isEmpty() || b.isEmpty())
            return false;
        if (m_style == PathStyle::Windows) {
            const auto normal = [](QString path) { return QDir::cleanPath(path.replace(u'\\', u'/')); };
            return normal(a).compare(normal(b), Qt::CaseInsensitive) == 0;
        }
        const auto normal = [](const QString &path) {
            const QString canonical = QFileInfo(path).canonicalFilePath();
            return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
        };
        return normal(a) == normal(b);
    }

    const SystemLookup &m_lookup;
    PathStyle m_style;
    QString m_appData;
    QString m_installFolder;
};

} // namespace

FirefoxProfile findFirefoxProfile(const SystemLookup &lookup, const QString &appData,
                                  const QString &firefoxExecutable, const QString &installFolder)
{
    const ProfileFinder finder(lookup, appData, installFolder);
    const QList<ProfileList> lists = finder.existingLists(firefoxExecutable);
    if (lists.isEmpty())
        return {};
    QString folder;
    for (const ProfileList &list : lists) {
        if (list.ofFoundInstall)
            folder = finder.profileInUse(list);
    }
    if (folder.isEmpty()) {
        QStringList folders;
        for (const ProfileList &list : lists)
            folders.append(finder.profileInUse(list));
        folder = finder.lastOpened(folders);
    }
    // LastVersion is "<version>_<build id>/<platform build id>".
    const QString lastVersion = finder.compatibility(folder, u"LastVersion"_s);
    return { folder, lastVersion.section(u'_', 0, 0).section(u'/', 0, 0).trimmed() };
}

} // namespace vellumite
