#pragma once

#include "base/filelookup.h"
#include "base/firefoxprofile.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vellumite {

enum class RegistryRoot { LocalMachine, CurrentUser };

// The registry keys the browser detection reads. Keys compare without regard to case and to a leading
// or final backslash.
namespace RegistryKeys {
inline constexpr QStringView AppPaths = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
inline constexpr QStringView Uninstall = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr QStringView ShellFolders
    = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
} // namespace RegistryKeys

// A key in the form in which keys compare: lower case, without leading or final backslashes.
inline QString normalisedRegistryKey(QStringView key)
{
    while (key.startsWith(u'\\'))
        key = key.sliced(1);
    while (key.endsWith(u'\\'))
        key.chop(1);
    return key.toString().toLower();
}

// The look-ups that find browsers and their bookmark stores: registry strings and sub-keys, the
// Favorites folder, the program associated with web pages, environment references, and the files that
// FileLookup reads. Missing keys, values and files read as empty text.
class SystemLookup : public FileLookup
{
public:
    virtual QString readRegistryString(RegistryRoot root, const QString &key,
                                       const QString &valueName) const = 0;
    // Sub-key names in the order the registry gives them.
    virtual QStringList registrySubKeys(RegistryRoot root, const QString &key) const = 0;

    // The user's Favorites folder; empty where there is none.
    virtual QString favoritesFolder() const = 0;
    // Full path of the executable that opens web pages; empty when none is known.
    virtual QString defaultBrowser() const = 0;
    // Text with %NAME% references expanded; a text without references comes back unchanged.
    virtual QString expandEnvironment(const QString &text) const = 0;

    // Where the Firefox installs of this system keep their profile lists, one folder per kind of install
    // (the folders need not exist). `firefoxExecutable` is the Firefox found, empty when none was; its
    // kind's folder is marked. Systems whose profile list lies below AppData answer none.
    virtual QList<FirefoxProfileRoot> firefoxProfileRoots(const QString &firefoxExecutable) const = 0;
};

} // namespace vellumite
