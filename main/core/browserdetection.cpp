#include "main/core/browserdetection.h"

#include "base/firefoxexecutables.h"
#include "base/firefoxprofile.h"
#include "main/core/functii.h"
#include "platform/productversion.h"

#include <QDir>
#include <QFileInfo>
#include <array>
#include <optional>

namespace vellumite {

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<BrowserInfo, 10> MenuBrowsers { {
    { BrowserIExplorer, &BrowserPaths::PathToIExplorer, u"OpenWithIE", u"Internet Explorer" },
    { BrowserFirefox, &BrowserPaths::PathToFirefox, u"OpenWithFirefox", u"Firefox" },
    { BrowserOpera, &BrowserPaths::PathToOpera, u"OpenWithOpera", u"Opera" },
    { BrowserSafari, &BrowserPaths::PathToSafari, u"OpenWithSafari", u"Safari" },
    { BrowserKMeleon, &BrowserPaths::PathToKMeleon, u"OpenWithKMEleon", u"K-Meleon" },
    { BrowserSeaMonkey, &BrowserPaths::PathToMozilla, u"OpenWithMozilla", u"SeaMonkey" },
    { BrowserNetscape, &BrowserPaths::PathToNetscape, u"OpenWithNetscape", u"Netscape" },
    { BrowserAvant, &BrowserPaths::PathToAvant, u"OpenWithAvant", u"Avant" },
    { BrowserMaxthon, &BrowserPaths::PathToMaxthon, u"OpenWithMaxthon", u"Maxthon" },
    { BrowserTheWorld, &BrowserPaths::PathToTheWorld, u"OpenWithTheWorld", u"TheWorld" },
} };

enum class LookUp { AppPath, InstallFolder };

// How one browser's executable is found: the look-up answers a folder and the file name is appended.
// A folder from an uninstall entry ends with a separator, so those file names start without one; on
// Linux the separator goes between an application's folder and the name.
struct FileLookUp
{
    LookUp how;
    QStringView name;
    QStringView windowsFile;
    // Tried in turn; the first that exists is taken. None: the browser does not exist on Linux.
    std::array<QStringView, 3> linuxFiles;
};

struct DetectionRow
{
    BrowserCode code;
    FileLookUp lookUp;
    // Tried when the first look-up names no existing file.
    std::optional<FileLookUp> fallback;
};

constexpr std::array<DetectionRow, 10> DetectionOrder { {
    { BrowserIExplorer, { LookUp::AppPath, u"IEXPLORE", u"\\IExplore.exe", {} }, {} },
    { BrowserFirefox, { LookUp::AppPath, u"Firefox", u"\\Firefox.exe", FirefoxExecutableNames }, {} },
    { BrowserOpera, { LookUp::InstallFolder, u"Opera", u"opera.exe", { u"opera" } }, {} },
    { BrowserSafari, { LookUp::InstallFolder, u"Safari", u"Safari.exe", {} }, {} },
    { BrowserKMeleon, { LookUp::InstallFolder, u"K-Meleon", u"\\K-Meleon.exe", {} }, {} },
    { BrowserNetscape,
      { LookUp::AppPath, u"Netscape", u"\\Netscape.exe", { u"netscape" } },
      FileLookUp { LookUp::AppPath, u"navigator", u"\\navigator.exe", { u"navigator" } } },
    { BrowserSeaMonkey, { LookUp::AppPath, u"seamonkey", u"\\seamonkey.exe", { u"seamonkey" } }, {} },
    { BrowserAvant, { LookUp::InstallFolder, u"Avant", u"Avant.exe", {} }, {} },
    { BrowserMaxthon, { LookUp::InstallFolder, u"Maxthon", u"Maxthon.exe", { u"maxthon" } }, {} },
    { BrowserTheWorld, { LookUp::InstallFolder, u"TheWorld", u"TheWorld.exe", {} }, {} },
} };

// The order in which the open-with browser is compared; the last equal one wins.
constexpr std::array<BrowserCode, 10> ComparisonOrder { BrowserIExplorer, BrowserFirefox, BrowserNetscape,
                                                        BrowserSeaMonkey, BrowserOpera,   BrowserKMeleon,
                                                        BrowserSafari,    BrowserAvant,   BrowserMaxthon,
                                                        BrowserTheWorld };

// Up to and including the last "\" or ":".
QString windowsFolderPart(const QString &path)
{
    const qsizetype last = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u':'));
    return path.left(last + 1);
}

QString browserPath(const FileLookUp &row, const SystemLookup &lookup)
{
    const QString folder = row.how == LookUp::AppPath ? GetAppPath(lookup, row.name.toString())
                                                      : FindInstallFolder(lookup, row.name.toString());
    if (lookup.pathStyle() == PathStyle::Windows)
        return lookup.expandEnvironment(folder + row.windowsFile);

    // On Linux a browser that was not found leaves no path at all, rather than a bare file name that
    // would name a file in the current folder.
    if (folder.isEmpty() || row.linuxFiles[0].isEmpty())
        return {};
    const QString separated = row.how == LookUp::AppPath ? folder + u'/' : folder;
    QString first;
    for (QStringView file : row.linuxFiles) {
        if (file.isEmpty())
            break;
        const QString path = lookup.expandEnvironment(separated + file);
        if (lookup.fileExists(path))
            return path;
        if (first.isEmpty())
            first = path;
    }
    return first;
}

// The store files below AppData, and the two Firefox stores within a profile folder.
struct StoreNames
{
    QStringView placesDatabase;
    QStringView bookmarkFile;
    // The first that exists is the hotlist; when none does, the last one named.
    std::array<QStringView, 2> operaHotlists;
};

constexpr StoreNames WindowsStores { u"\\places.sqlite",
                                     u"\\bookmarks.html",
                                     { u"\\Opera\\Opera\\profile\\opera6.adr" } };
// Opera for Linux named its hotlist both ways.
constexpr StoreNames LinuxStores { u"/places.sqlite",
                                   u"/bookmarks.html",
                                   { u"/.opera/bookmarks.adr", u"/.opera/opera6.adr" } };

const StoreNames &storeNames(PathStyle style)
{
    return style == PathStyle::Windows ? WindowsStores : LinuxStores;
}

// The store of the profile in use, and which of the two kinds it is.
void findFirefoxStore(BrowserPaths &paths, const QString &appData, const SystemLookup &lookup,
                      const ProductVersionReader &versions)
{
    const StoreNames &names = storeNames(lookup.pathStyle());
    const QString executable = paths.PathToFirefox;
    const QString installFolder = executable.isEmpty() ? QString() : versions.installFolder(executable);
    const FirefoxProfile profile
        = findFirefoxProfile(lookup, appData, lookup.firefoxProfileRoots(executable), installFolder);
    FirefoxStoreEvidence evidence;
    evidence.executableVersion = executable.isEmpty() ? QString() : versions.productVersion(executable);
    evidence.profileVersion = profile.lastVersion;
    evidence.profileHoldsPlaces
        = !profile.folder.isEmpty() && lookup.fileExists(profile.folder + names.placesDatabase);
    paths.firefoxStore = firefoxStoreFor(evidence);
    if (profile.folder.isEmpty())
        paths.PathFavFirefox.clear();
    else
        paths.PathFavFirefox = profile.folder
            + (paths.firefoxStore == FirefoxStore::PlacesDatabase ? names.placesDatabase
                                                                  : names.bookmarkFile);
}

QString operaHotlistPath(const QString &appData, const SystemLookup &lookup)
{
    QString path;
    for (QStringView name : storeNames(lookup.pathStyle()).operaHotlists) {
        if (name.isEmpty())
            break;
        path = appData + name;
        if (lookup.fileExists(path))
            break;
    }
    return path;
}

// What two executables must share to count as one browser: the folder (compared without regard to
// case) where each browser has a folder of its own, the executable itself where browsers share one.
QString browserIdentity(const QString &path, PathStyle style)
{
    if (style == PathStyle::Windows)
        return windowsFolderPart(path).toLower();
    if (path.isEmpty())
        return {};
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

} // namespace

QString *BrowserPaths::pathOf(qint32 code)
{
    const BrowserInfo *info = browserInfo(code);
    return info ? &(this->*(info->path)) : nullptr;
}

const QString *BrowserPaths::pathOf(qint32 code) const
{
    return const_cast<BrowserPaths *>(this)->pathOf(code);
}

std::span<const BrowserInfo> openWithMenuBrowsers()
{
    return MenuBrowsers;
}

const BrowserInfo *browserInfo(qint32 code)
{
    for (const BrowserInfo &info : MenuBrowsers) {
        if (info.code == code)
            return &info;
    }
    return nullptr;
}

QString GetAppPath(const SystemLookup &lookup, const QString &name)
{
    QString path = lookup.readRegistryString(RegistryRoot::LocalMachine,
                                             RegistryKeys::AppPaths + name + u".exe", u"Path"_s);
    // "Path" lists folders separated by ";"; a single folder may carry a closing one.
    const qsizetype semicolon = path.indexOf(u';');
    if (semicolon >= 0 && semicolon == path.size() - 1)
        path.chop(1);
    return path;
}

QString FindInstallFolder(const SystemLookup &lookup, const QString &name)
{
    QString folder;
    const QString uninstall = RegistryKeys::Uninstall.toString();
    const QStringList entries = lookup.registrySubKeys(RegistryRoot::LocalMachine, uninstall);
    for (const QString &entry : entries) {
        const QString key = uninstall + entry;
        const QString displayName
            = lookup.readRegistryString(RegistryRoot::LocalMachine, key, u"DisplayName"_s);
        if (!displayName.contains(name, Qt::CaseSensitive))
            continue;
        folder = lookup.readRegistryString(RegistryRoot::LocalMachine, key, u"InstallLocation"_s);
        if (folder.isEmpty()) {
            folder = windowsFolderPart(
                lookup.readRegistryString(RegistryRoot::LocalMachine, key, u"UninstallString"_s));
            folder.remove(u'"');
        }
    }
    return folder;
}

QString GetShellFolder(const SystemLookup &lookup, const QString &valueName)
{
    return lookup.readRegistryString(RegistryRoot::CurrentUser, RegistryKeys::ShellFolders.toString(),
                                     valueName);
}

void FindDefaultBrowser(BrowserPaths &paths, const SystemLookup &lookup)
{
    const QString browser = lookup.defaultBrowser();
    if (!browser.isEmpty())
        paths.DefaultBrowser.Caption = browser;
}

void DetectOpenWithBrowserCode(BrowserPaths &paths, PathStyle style)
{
    paths.DefaultBrowser.Tag = BrowserIExplorer;
    const QString key = browserIdentity(paths.OpenWithBrowser, style);
    // An unknown executable matches nothing; on Windows an empty folder is a folder like any other.
    if (key.isEmpty() && style == PathStyle::Linux)
        return;
    for (BrowserCode code : ComparisonOrder) {
        if (browserIdentity(*paths.pathOf(code), style) == key)
            paths.DefaultBrowser.Tag = code;
    }
}

InstalledBrowsers detectBrowsers(BrowserPaths &paths, const SystemLookup &lookup,
                                 const ProductVersionReader &versions)
{
    FindDefaultBrowser(paths, lookup);
    if (paths.OpenWithBrowser.isEmpty() || !lookup.fileExists(paths.OpenWithBrowser))
        paths.OpenWithBrowser = paths.DefaultBrowser.Caption;

    InstalledBrowsers installed;
    for (const DetectionRow &row : DetectionOrder) {
        QString path = browserPath(row.lookUp, lookup);
        if (row.fallback && !lookup.fileExists(path))
            path = browserPath(*row.fallback, lookup);
        *paths.pathOf(row.code) = path;
        if (lookup.fileExists(path))
            installed.append(row.code);
    }
    // Without a default browser the first browser found opens the bookmarks, so that they open at all.
    if ((paths.OpenWithBrowser.isEmpty() || !lookup.fileExists(paths.OpenWithBrowser))
        && !installed.isEmpty())
        paths.OpenWithBrowser = *paths.pathOf(installed.first());

    paths.ExplorerFavoritesPath = lookup.favoritesFolder();
    const QString appData = GetShellFolder(lookup, u"AppData"_s);
    findFirefoxStore(paths, appData, lookup, versions);
    paths.OperaFavPath = operaHotlistPath(appData, lookup);
    DetectOpenWithBrowserCode(paths, lookup.pathStyle());
    return installed;
}

} // namespace vellumite
