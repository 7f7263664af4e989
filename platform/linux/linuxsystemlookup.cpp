#include "platform/linux/linuxsystemlookup.h"

#include "base/firefoxexecutables.h"
#include "platform/linux/mozillaprofileroots.h"
#include "platform/linux/xdgdefaultbrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <array>
#include <pwd.h>
#include <span>
#include <unistd.h>

namespace vellumite {

using namespace Qt::StringLiterals;

namespace {

struct LinuxExecutables
{
    QStringView registeredName;
    std::array<QStringView, 3> executables; // looked for in turn
};

// The registered application names that have a Linux executable.
constexpr std::array<LinuxExecutables, 4> ApplicationPaths { {
    { u"Firefox", FirefoxExecutableNames },
    { u"Netscape", { u"netscape" } },
    { u"navigator", { u"navigator" } },
    { u"seamonkey", { u"seamonkey" } },
} };

// The installed products that have a Linux executable; the name is also the product's display name.
constexpr std::array<LinuxExecutables, 2> Products { {
    { u"Opera", { u"opera" } },
    { u"Maxthon", { u"maxthon" } },
} };

// The part of `key` below `parent`, or a null string when `key` is not below it.
QString keyBelow(const QString &key, QStringView parent)
{
    const QString normal = normalisedRegistryKey(key);
    const QString prefix = normalisedRegistryKey(parent) + u'\\';
    return normal.startsWith(prefix) ? normal.sliced(prefix.size()) : QString();
}

const LinuxExecutables *findByName(std::span<const LinuxExecutables> table, const QString &name)
{
    for (const LinuxExecutables &row : table) {
        if (row.registeredName.compare(name, Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

// The folder of the first of the row's executables found on PATH, empty when none is.
QString folderOnPath(const LinuxExecutables *row)
{
    if (!row)
        return {};
    for (QStringView executable : row->executables) {
        if (executable.isEmpty())
            break;
        const QString found = QStandardPaths::findExecutable(executable.toString());
        if (!found.isEmpty())
            return QFileInfo(found).absolutePath();
    }
    return {};
}

} // namespace

QString LinuxSystemLookup::readRegistryString(RegistryRoot root, const QString &key,
                                              const QString &valueName) const
{
    if (root == RegistryRoot::CurrentUser) {
        const bool shellFolders
            = normalisedRegistryKey(key) == normalisedRegistryKey(RegistryKeys::ShellFolders);
        return shellFolders && valueName.compare(u"AppData", Qt::CaseInsensitive) == 0 ? QDir::homePath()
                                                                                       : QString();
    }

    QString application = keyBelow(key, RegistryKeys::AppPaths);
    if (!application.isEmpty() && valueName.compare(u"Path", Qt::CaseInsensitive) == 0) {
        if (application.endsWith(u".exe"))
            application.chop(4);
        return folderOnPath(findByName(ApplicationPaths, application));
    }

    const QString entry = keyBelow(key, RegistryKeys::Uninstall);
    const LinuxExecutables *product = entry.isEmpty() ? nullptr : findByName(Products, entry);
    const QString folder = folderOnPath(product);
    if (folder.isEmpty())
        return {};
    if (valueName.compare(u"DisplayName", Qt::CaseInsensitive) == 0)
        return product->registeredName.toString();
    if (valueName.compare(u"InstallLocation", Qt::CaseInsensitive) == 0)
        return folder + u'/';
    return {};
}

QStringList LinuxSystemLookup::registrySubKeys(RegistryRoot root, const QString &key) const
{
    QStringList entries;
    if (root != RegistryRoot::LocalMachine
        || normalisedRegistryKey(key) != normalisedRegistryKey(RegistryKeys::Uninstall))
        return entries;
    for (const LinuxExecutables &product : Products) {
        if (!folderOnPath(&product).isEmpty())
            entries << product.registeredName.toString();
    }
    return entries;
}

QString LinuxSystemLookup::favoritesFolder() const
{
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + u"/.wine";
    // Wine names the Windows user after the Unix one.
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) {
        if (const passwd *entry = getpwuid(getuid()))
            user = QFile::decodeName(entry->pw_name);
    }
    if (user.isEmpty())
        return {};
    const QString folder = QDir::cleanPath(prefix + u"/drive_c/users/" + user + u"/Favorites");
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString LinuxSystemLookup::defaultBrowser() const
{
    return findXdgDefaultBrowser();
}

QList<FirefoxProfileRoot> LinuxSystemLookup::firefoxProfileRoots(const QString &firefoxExecutable) const
{
    const bool found = !firefoxExecutable.isEmpty();
    const FirefoxPackage foundPackage
        = found ? firefoxPackageOf(firefoxExecutable) : FirefoxPackage::Distribution;
    QList<FirefoxProfileRoot> roots;
    for (const FirefoxPackage package :
         { FirefoxPackage::Distribution, FirefoxPackage::Snap, FirefoxPackage::Flatpak })
        roots.append({ firefoxProfileRoot(package), found && package == foundPackage });
    return roots;
}

} // namespace vellumite
