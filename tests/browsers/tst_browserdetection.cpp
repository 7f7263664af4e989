#include "main/core/browserdetection.h"
#include "main/core/firefoxstore.h"
#include "main/core/openlink.h"
#include "platform/fakes/fakeproductversion.h"
#include "platform/fakes/fakeprogramlauncher.h"
#include "platform/fakes/fakesystemlookup.h"

#include <QTest>
#include <functional>

using namespace vellumite;
using namespace Qt::StringLiterals;

using Setup = std::function<void(FakeSystemLookup &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

void setAppPath(FakeSystemLookup &lookup, const QString &name, const QString &path)
{
    lookup.setRegistryString(RegistryRoot::LocalMachine, RegistryKeys::AppPaths + name + u".exe", u"Path"_s,
                             path);
}

void addUninstallEntry(FakeSystemLookup &lookup, const QString &entry, const QString &displayName,
                       const QString &installLocation, const QString &uninstallString = {})
{
    const QString key = RegistryKeys::Uninstall + entry;
    lookup.setRegistryString(RegistryRoot::LocalMachine, key, u"DisplayName"_s, displayName);
    lookup.setRegistryString(RegistryRoot::LocalMachine, key, u"InstallLocation"_s, installLocation);
    lookup.setRegistryString(RegistryRoot::LocalMachine, key, u"UninstallString"_s, uninstallString);
}

const QString AppData = u"C:\\Users\\ann\\AppData\\Roaming"_s;
const QString ProfileList = AppData + u"\\Mozilla\\Firefox\\Profiles.ini";
const QString FirefoxExe = u"C:\\Program Files\\Mozilla Firefox\\Firefox.exe"_s;

} // namespace

class TestBrowserDetection : public QObject
{
    Q_OBJECT

private slots:
    void browserPaths_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expectedPath");
        QTest::addColumn<bool>("installed");

        QTest::newRow("app path: a single closing ';' is dropped") << Setup([](FakeSystemLookup &l) {
            setAppPath(l, u"Firefox"_s, u"C:\\Program Files\\Mozilla Firefox;"_s);
            l.addFile(FirefoxExe);
        }) << int(BrowserFirefox) << FirefoxExe << true;
        QTest::newRow("app path: ';' inside and at the end stays")
            << Setup([](FakeSystemLookup &l) { setAppPath(l, u"Firefox"_s, u"C:\\a;C:\\b;"_s); })
            << int(BrowserFirefox) << u"C:\\a;C:\\b;\\Firefox.exe"_s << false;
        QTest::newRow("app path: not registered")
            << Setup([](FakeSystemLookup &) {}) << int(BrowserIExplorer) << u"\\IExplore.exe"_s << false;
        QTest::newRow("app path: environment references expanded") << Setup([](FakeSystemLookup &l) {
            l.setEnvironment(u"ProgramFiles"_s, u"C:\\Program Files"_s);
            setAppPath(l, u"seamonkey"_s, u"%ProgramFiles%\\SeaMonkey"_s);
            l.addFile(u"C:\\Program Files\\SeaMonkey\\seamonkey.exe"_s);
        }) << int(BrowserSeaMonkey) << u"C:\\Program Files\\SeaMonkey\\seamonkey.exe"_s
                                                                   << true;

        QTest::newRow("uninstall: the last matching entry wins") << Setup([](FakeSystemLookup &l) {
            addUninstallEntry(l, u"Opera 9.6"_s, u"Opera 9.6"_s, u"C:\\Old Opera\\"_s);
            addUninstallEntry(l, u"Other"_s, u"Something else"_s, u"C:\\Other\\"_s);
            addUninstallEntry(l, u"Opera 10"_s, u"Opera 10.0"_s, u"D:\\Opera\\"_s);
            l.addFile(u"C:\\Old Opera\\opera.exe"_s);
        }) << int(BrowserOpera) << u"D:\\Opera\\opera.exe"_s << false;
        QTest::newRow("uninstall: quoted uninstall command when no location")
            << Setup([](FakeSystemLookup &l) {
                   addUninstallEntry(l, u"{1234}"_s, u"Maxthon 2"_s, {},
                                     u"\"C:\\Program Files\\Maxthon\\uninst.exe\" /S"_s);
                   l.addFile(u"C:\\Program Files\\Maxthon\\Maxthon.exe"_s);
               })
            << int(BrowserMaxthon) << u"C:\\Program Files\\Maxthon\\Maxthon.exe"_s << true;
        QTest::newRow("uninstall: display name compared with case") << Setup([](FakeSystemLookup &l) {
            addUninstallEntry(l, u"opera"_s, u"opera browser"_s, u"C:\\Opera\\"_s);
        }) << int(BrowserOpera) << u"opera.exe"_s << false;
        QTest::newRow("uninstall: location without final backslash") << Setup([](FakeSystemLookup &l) {
            addUninstallEntry(l, u"Safari"_s, u"Safari"_s, u"C:\\Program Files\\Safari"_s);
            l.addFile(u"C:\\Program Files\\Safari\\Safari.exe"_s);
        }) << int(BrowserSafari) << u"C:\\Program Files\\SafariSafari.exe"_s
                                                                     << false;
        QTest::newRow("uninstall: doubled backslash names the file") << Setup([](FakeSystemLookup &l) {
            addUninstallEntry(l, u"K-Meleon"_s, u"K-Meleon 1.5"_s, u"C:\\K-Meleon\\"_s);
            l.addFile(u"C:\\K-Meleon\\K-Meleon.exe"_s);
        }) << int(BrowserKMeleon) << u"C:\\K-Meleon\\\\K-Meleon.exe"_s
                                                                     << true;

        QTest::newRow("netscape found under its own name") << Setup([](FakeSystemLookup &l) {
            setAppPath(l, u"Netscape"_s, u"C:\\Netscape"_s);
            setAppPath(l, u"navigator"_s, u"C:\\Navigator"_s);
            l.addFile(u"C:\\Netscape\\Netscape.exe"_s);
        }) << int(BrowserNetscape) << u"C:\\Netscape\\Netscape.exe"_s
                                                           << true;
        QTest::newRow("netscape falls back to navigator, found or not") << Setup([](FakeSystemLookup &l) {
            setAppPath(l, u"Netscape"_s, u"C:\\Netscape"_s);
            setAppPath(l, u"navigator"_s, u"C:\\Navigator"_s);
        }) << int(BrowserNetscape) << u"C:\\Navigator\\navigator.exe"_s << false;
    }

    void browserPaths()
    {
        QFETCH(Setup, setup);
        QFETCH(int, code);
        QFETCH(QString, expectedPath);
        QFETCH(bool, installed);

        FakeSystemLookup lookup;
        setup(lookup);
        BrowserPaths paths;
        const InstalledBrowsers found = detectBrowsers(paths, lookup, FakeProductVersionReader());
        QCOMPARE(*paths.pathOf(code), expectedPath);
        QCOMPARE(found.contains(BrowserCode(code)), installed);
    }

    void openWithBrowserCode_data()
    {
        QTest::addColumn<PathStyle>("style");
        QTest::addColumn<QString>("firefox");
        QTest::addColumn<QString>("seaMonkey");
        QTest::addColumn<QString>("openWith");
        QTest::addColumn<int>("expected");

        const QString ff = u"C:\\Program Files\\Mozilla Firefox\\firefox.exe"_s;
        const QString sm = u"C:\\Program Files\\SeaMonkey\\seamonkey.exe"_s;
        const QString shared = u"C:\\Browsers\\"_s;
        QTest::newRow("own folder") << PathStyle::Windows << ff << sm << ff << int(BrowserFirefox);
        QTest::newRow("folder compared without case, file name ignored")
            << PathStyle::Windows << ff << sm << u"c:\\program files\\SEAMONKEY\\other.exe"_s
            << int(BrowserSeaMonkey);
        QTest::newRow("shared folder: the later in comparison order wins")
            << PathStyle::Windows << QString(shared + u"firefox.exe") << QString(shared + u"seamonkey.exe")
            << QString(shared + u"firefox.exe") << int(BrowserSeaMonkey);
        QTest::newRow("unknown browser")
            << PathStyle::Windows << ff << sm << u"C:\\Chrome\\chrome.exe"_s << int(BrowserIExplorer);
        QTest::newRow("linux: shared folder, executables compared")
            << PathStyle::Linux << u"/usr/bin/firefox"_s << u"/usr/bin/seamonkey"_s << u"/usr/bin/firefox"_s
            << int(BrowserFirefox);
        QTest::newRow("linux: separators cleaned")
            << PathStyle::Linux << u"/usr/bin/firefox"_s << u"/usr/bin/seamonkey"_s
            << u"/usr//bin/seamonkey"_s << int(BrowserSeaMonkey);
        QTest::newRow("linux: no open-with browser matches no missing one")
            << PathStyle::Linux << u"/usr/bin/firefox"_s << QString() << QString() << int(BrowserIExplorer);
    }

    void openWithBrowserCode()
    {
        QFETCH(PathStyle, style);
        QFETCH(QString, firefox);
        QFETCH(QString, seaMonkey);
        QFETCH(QString, openWith);
        QFETCH(int, expected);

        BrowserPaths paths;
        paths.DefaultBrowser.Tag = 99;
        paths.PathToIExplorer = u"C:\\Program Files\\Internet Explorer\\IExplore.exe"_s;
        if (style == PathStyle::Linux)
            paths.PathToIExplorer.clear();
        paths.PathToFirefox = firefox;
        paths.PathToMozilla = seaMonkey;
        paths.OpenWithBrowser = openWith;
        DetectOpenWithBrowserCode(paths, style);
        QCOMPARE(paths.DefaultBrowser.Tag, expected);
    }

    void openWithBrowserChoice_data()
    {
        QTest::addColumn<QString>("fromSettings");
        QTest::addColumn<QString>("defaultBrowser");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("expectedTag");

        const QString opera = u"D:\\Opera\\opera.exe"_s;
        QTest::newRow("settings name an existing browser")
            << opera << FirefoxExe << opera << int(BrowserOpera);
        QTest::newRow("nothing in the settings")
            << QString() << FirefoxExe << FirefoxExe << int(BrowserFirefox);
        QTest::newRow("settings name a removed browser")
            << u"C:\\Gone\\gone.exe"_s << FirefoxExe << FirefoxExe << int(BrowserFirefox);
        QTest::newRow("no default browser: the first browser found")
            << QString() << QString() << FirefoxExe << int(BrowserFirefox);
    }

    void openWithBrowserChoice()
    {
        QFETCH(QString, fromSettings);
        QFETCH(QString, defaultBrowser);
        QFETCH(QString, expected);
        QFETCH(int, expectedTag);

        FakeSystemLookup lookup;
        setAppPath(lookup, u"Firefox"_s, u"C:\\Program Files\\Mozilla Firefox"_s);
        lookup.addFile(FirefoxExe);
        addUninstallEntry(lookup, u"Opera"_s, u"Opera"_s, u"D:\\Opera\\"_s);
        lookup.addFile(u"D:\\Opera\\opera.exe"_s);
        lookup.setDefaultBrowser(defaultBrowser);

        BrowserPaths paths;
        paths.OpenWithBrowser = fromSettings;
        const InstalledBrowsers found = detectBrowsers(paths, lookup, FakeProductVersionReader());
        QCOMPARE(found, (InstalledBrowsers { BrowserFirefox, BrowserOpera }));
        QCOMPARE(paths.DefaultBrowser.Caption, defaultBrowser);
        QCOMPARE(paths.OpenWithBrowser, expected);
        QCOMPARE(paths.DefaultBrowser.Tag, expectedTag);
    }

    void stores_data()
    {
        QTest::addColumn<bool>("hasProfileList");
        QTest::addColumn<QString>("profilePath");
        QTest::addColumn<QString>("firefoxVersion");
        QTest::addColumn<QString>("expected");

        const QString profiles = AppData + u"\\mozilla\\firefox\\profiles\\";
        QTest::newRow("version 3: places database") << true << u"Profiles/x1y2.default"_s << u"3.0.1"_s
                                                    << QString(profiles + u"x1y2.default\\places.sqlite");
        QTest::newRow("version 2: bookmark file") << true << u"Profiles/x1y2.default"_s << u"2.0.0.20"_s
                                                  << QString(profiles + u"x1y2.default\\bookmarks.html");
        QTest::newRow("no version: bookmark file") << true << u"Profiles/x1y2.default"_s << QString()
                                                   << QString(profiles + u"x1y2.default\\bookmarks.html");
        // The profiles' own folder is no profile: a store there would lie outside every profile.
        QTest::newRow("no profile path: no store") << true << QString() << u"115.0"_s << QString();
        QTest::newRow("a path naming no folder: no store")
            << true << u"Profiles/"_s << u"115.0"_s << QString();
        QTest::newRow("no profile list") << false << u"Profiles/x1y2.default"_s << u"115.0"_s << QString();
    }

    void stores()
    {
        QFETCH(bool, hasProfileList);
        QFETCH(QString, profilePath);
        QFETCH(QString, firefoxVersion);
        QFETCH(QString, expected);

        FakeSystemLookup lookup;
        lookup.setRegistryString(RegistryRoot::CurrentUser, RegistryKeys::ShellFolders.toString(),
                                 u"AppData"_s, AppData);
        lookup.setFavoritesFolder(u"C:\\Users\\ann\\Favorites"_s);
        setAppPath(lookup, u"Firefox"_s, u"C:\\Program Files\\Mozilla Firefox"_s);
        if (hasProfileList) {
            lookup.addFile(ProfileList);
            if (!profilePath.isEmpty())
                lookup.setIniString(ProfileList, u"Profile0"_s, u"Path"_s, profilePath);
        }
        FakeProductVersionReader versions;
        versions.setVersion(FirefoxExe, firefoxVersion);

        BrowserPaths paths;
        detectBrowsers(paths, lookup, versions);
        QCOMPARE(paths.PathFavFirefox, expected);
        QCOMPARE(paths.OperaFavPath, QString(AppData + u"\\Opera\\Opera\\profile\\opera6.adr"));
        QCOMPARE(paths.ExplorerFavoritesPath, u"C:\\Users\\ann\\Favorites"_s);
    }

    // The profile that an install names, and the store its compatibility.ini tells of when the
    // executable gives no version.
    void profileOfTheInstall()
    {
        FakeSystemLookup lookup;
        lookup.setRegistryString(RegistryRoot::CurrentUser, RegistryKeys::ShellFolders.toString(),
                                 u"AppData"_s, AppData);
        setAppPath(lookup, u"Firefox"_s, u"C:\\Program Files\\Mozilla Firefox"_s);
        lookup.addFile(ProfileList);
        lookup.setIniString(ProfileList, u"Profile1"_s, u"Path"_s, u"Profiles/new.default-release"_s);
        lookup.setIniString(ProfileList, u"Profile0"_s, u"Path"_s, u"Profiles/old.default"_s);
        lookup.setIniString(ProfileList, u"Profile0"_s, u"Default"_s, u"1"_s);
        lookup.setIniString(ProfileList, u"Install308046B0AF4A39CB"_s, u"Default"_s,
                            u"Profiles/new.default-release"_s);
        const QString profile = AppData + u"\\mozilla\\firefox\\profiles\\new.default-release";
        lookup.setIniString(profile + u"\\compatibility.ini", u"Compatibility"_s, u"LastVersion"_s,
                            u"128.0_20240704121409/20240704121409"_s);

        BrowserPaths paths;
        detectBrowsers(paths, lookup, FakeProductVersionReader());
        QCOMPARE(paths.PathFavFirefox, QString(profile + u"\\places.sqlite"));
        QCOMPARE(paths.firefoxStore, FirefoxStore::PlacesDatabase);
    }

    void firefoxStoreEvidence_data()
    {
        QTest::addColumn<QString>("executableVersion");
        QTest::addColumn<QString>("profileVersion");
        QTest::addColumn<bool>("holdsPlaces");
        QTest::addColumn<bool>("places");
        QTest::newRow("the executable's version first") << u"2.0.0.20"_s << u"153.8.0"_s << true << false;
        QTest::newRow("then the profile's") << u" \t"_s << u"153.8.0"_s << false << true;
        QTest::newRow("an old profile's version before its database")
            << QString() << u"2.0"_s << true << false;
        QTest::newRow("then the database") << QString() << QString() << true << true;
        QTest::newRow("nothing: the bookmark file") << QString() << QString() << false << false;
    }

    void firefoxStoreEvidence()
    {
        QFETCH(QString, executableVersion);
        QFETCH(QString, profileVersion);
        QFETCH(bool, holdsPlaces);
        QFETCH(bool, places);
        const FirefoxStoreEvidence evidence { executableVersion, profileVersion, holdsPlaces };
        QCOMPARE(firefoxStoreFor(evidence) == FirefoxStore::PlacesDatabase, places);
    }

    void firefoxStoreByVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("places");
        QTest::newRow("3.0.1") << u"3.0.1"_s << true;
        QTest::newRow("3.6") << u"3.6"_s << true;
        QTest::newRow("4.0") << u"4.0"_s << true;
        QTest::newRow("10.0") << u"10.0"_s << true;
        QTest::newRow("30.0") << u"30.0"_s << true;
        QTest::newRow("115.0") << u"115.0"_s << true;
        QTest::newRow("blanks around 3.6") << u" \t3.6\r\n"_s << true;
        QTest::newRow("2.0.0.20") << u"2.0.0.20"_s << false;
        QTest::newRow("1.5") << u"1.5"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("no leading number") << u"v3.0"_s << false;
    }

    void firefoxStoreByVersion()
    {
        QFETCH(QString, version);
        QFETCH(bool, places);
        QCOMPARE(firefoxStoreForVersion(version) == FirefoxStore::PlacesDatabase, places);
    }

    void openLink_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QStringList>("arguments");

        const QString ff = u"/usr/bin/firefox"_s;
        QTest::newRow("plain link") << ff << u"http://example.org/"_s << true
                                    << QStringList { u"http://example.org/"_s };
        QTest::newRow("link with blanks stays one argument")
            << ff << u"http://example.org/a b c"_s << true << QStringList { u"http://example.org/a b c"_s };
        QTest::newRow("shell characters are plain text")
            << ff << u"http://x/;rm -rf ~ $(id) \"q\""_s << true
            << QStringList { u"http://x/;rm -rf ~ $(id) \"q\""_s };
        QTest::newRow("empty link starts the browser alone") << ff << QString() << true << QStringList();
        QTest::newRow("link that reads as an option") << ff << u"-profile /tmp/x"_s << false << QStringList();
        QTest::newRow("no browser") << QString() << u"http://example.org/"_s << false << QStringList();
    }

    void openLink()
    {
        QFETCH(QString, program);
        QFETCH(QString, link);
        QFETCH(bool, started);
        QFETCH(QStringList, arguments);

        FakeProgramLauncher launcher;
        QCOMPARE(openLinkWith(launcher, program, link), started);
        if (started)
            QCOMPARE(launcher.starts, (QList<FakeProgramLauncher::Start> { { program, arguments } }));
        else
            QVERIFY(launcher.starts.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBrowserDetection)
#include "tst_browserdetection.moc"
