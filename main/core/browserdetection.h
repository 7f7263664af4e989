#pragma once

#include "main/core/firefoxstore.h"
#include "platform/systemlookup.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <span>

namespace vellumite {

class ProductVersionReader;

// A browser's number: its icon in the main window's image list, the open-with browser's tag and the
// ImageIndex of every bookmark.
enum BrowserCode : qint32 {
    BrowserIExplorer = 0,
    BrowserFirefox = 1,
    BrowserOpera = 2,
    BrowserSeaMonkey = 3,
    BrowserNetscape = 4,
    BrowserMaxthon = 15,
    BrowserSafari = 16,
    BrowserKMeleon = 17,
    BrowserTheWorld = 18,
    BrowserAvant = 19,
};

// Icon of the "Open with" submenu in the main window's image list.
inline constexpr qint32 OpenWithImageIndex = 5;

// A text slot with a number beside it.
struct TextSlot
{
    QString Caption;
    qint32 Tag = 0;
};

// Where the browsers and their bookmark stores are. Every path may name a file that does not exist;
// users of a path test that before they offer it.
struct BrowserPaths
{
    // Caption: the default browser's executable. Tag: the BrowserCode of the open-with browser.
    TextSlot DefaultBrowser;
    // The executable that opens bookmarks.
    QString OpenWithBrowser;

    QString PathToIExplorer;
    QString PathToFirefox;
    QString PathToOpera;
    QString PathToSafari;
    QString PathToKMeleon;
    QString PathToNetscape;
    QString PathToMozilla; // SeaMonkey
    QString PathToAvant;
    QString PathToMaxthon;
    QString PathToTheWorld;

    QString ExplorerFavoritesPath;
    QString PathFavFirefox;
    QString OperaFavPath;
    // Which store the user's Firefox keeps, decided once by the detection; the exchange and the options
    // window follow it.
    FirefoxStore firefoxStore = FirefoxStore::BookmarkFile;

    // The path slot of a browser; nullptr for a code that is none of the ten.
    QString *pathOf(qint32 code);
    const QString *pathOf(qint32 code) const;
};

struct BrowserInfo
{
    BrowserCode code;
    QString BrowserPaths::*path;
    QStringView menuItemName; // object name of its "Open with" item
    QStringView caption;
};

// The ten browsers in the order of the "Open with" submenu.
std::span<const BrowserInfo> openWithMenuBrowsers();
const BrowserInfo *browserInfo(qint32 code);

// The browser look-ups. Each answers empty text when nothing is registered.
QString GetAppPath(const SystemLookup &lookup, const QString &name);
QString FindInstallFolder(const SystemLookup &lookup, const QString &name);
QString GetShellFolder(const SystemLookup &lookup, const QString &valueName);

// Sets DefaultBrowser.Caption when the system names a default browser.
void FindDefaultBrowser(BrowserPaths &paths, const SystemLookup &lookup);
// Sets DefaultBrowser.Tag to the code of the browser that OpenWithBrowser names, 0 when none matches.
void DetectOpenWithBrowserCode(BrowserPaths &paths, PathStyle style);

// The browsers whose executables existed at detection, in detection order.
using InstalledBrowsers = QList<BrowserCode>;

// The detection at start-up: default browser, open-with browser, the ten browser paths, the three
// stores and the open-with browser's code. Returns the browsers found.
InstalledBrowsers detectBrowsers(BrowserPaths &paths, const SystemLookup &lookup,
                                 const ProductVersionReader &versions);

} // namespace vellumite
