#pragma once

#include "platform/systemlookup.h"

namespace vellumite {

// Answers the browser look-ups on Linux. A browser is registered when its executable is on PATH: its
// application path is the folder it was found in, and the browsers that install as a product have an
// uninstall entry whose InstallLocation is that folder. The user's AppData is the home folder; the
// Favorites folder is the one Internet Explorer keeps in the Wine prefix ($WINEPREFIX, else ~/.wine),
// drive_c/users/<user>/Favorites, when it exists. The default browser is the one the desktop's mimeapps.list
// files name. Firefox keeps its profile lists where each of its packages puts them (see
// mozillaprofileroots.h).
class LinuxSystemLookup final : public SystemLookup
{
public:
    PathStyle pathStyle() const override { return m_files.pathStyle(); }
    QString readRegistryString(RegistryRoot root, const QString &key,
                               const QString &valueName) const override;
    QStringList registrySubKeys(RegistryRoot root, const QString &key) const override;
    QString favoritesFolder() const override;
    QString defaultBrowser() const override;
    // Linux paths carry no %NAME% references.
    QString expandEnvironment(const QString &text) const override { return text; }
    bool fileExists(const QString &path) const override { return m_files.fileExists(path); }
    QString readIniString(const QString &file, const QString &section, const QString &key) const override
    {
        return m_files.readIniString(file, section, key);
    }
    QStringList iniSections(const QString &file) const override { return m_files.iniSections(file); }
    QDateTime lastModified(const QString &path) const override { return m_files.lastModified(path); }
    QList<FirefoxProfileRoot> firefoxProfileRoots(const QString &firefoxExecutable) const override;

private:
    LocalFileLookup m_files;
};

} // namespace vellumite
