#include "main/core/browserdetection.h"
#include "main/core/firefoxstore.h"
#include "main/core/openlink.h"
#include "platform/linux/detachedprogramlauncher.h"
#include "platform/linux/linuxproductversionreader.h"
#include "platform/linux/linuxsystemlookup.h"
#include "platform/linux/xdgdefaultbrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

// A machine of its own for each test: a home folder, XDG_DATA_HOME below it and a PATH that holds only
// the stub programs a test writes.
class TestLinuxBrowsers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_bin;
    QString m_home;
    QByteArray m_savedPath;
    int m_case = 0;

    QString writeFile(const QString &path, const QByteArray &content, bool executable = false)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write a test file");
        file.write(content);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
        return path;
    }
    QString stub(const QString &name, const QByteArray &body = "exit 0\n")
    {
        return writeFile(m_bin + u'/' + name, "#!/bin/sh\n" + body, true);
    }
    // The desktop's defaults: `httpHandler` for http links and `htmlHandler` for web pages, in the
    // user's mimeapps.list.
    void writeDefaults(const QByteArray &httpHandler, const QByteArray &htmlHandler)
    {
        QByteArray list
            = "[Added Associations]\nx-scheme-handler/http=other.desktop;\n[Default Applications]\n";
        if (!httpHandler.isEmpty())
            list += "x-scheme-handler/http=" + httpHandler + ";\n";
        if (!htmlHandler.isEmpty())
            list += "text/html=" + htmlHandler + "\n";
        writeFile(m_home + u"/.config/mimeapps.list", list);
    }
    QString inBin(const QString &name) const { return m_bin + u'/' + name; }
    QString applications() const { return m_home + u"/.local/share/applications/"; }

private slots:
    void initTestCase() { m_savedPath = qgetenv("PATH"); }
    void cleanupTestCase() { qputenv("PATH", m_savedPath); }

    void init()
    {
        QVERIFY(m_dir.isValid());
        // Data tags may hold a ":", which PATH cannot carry.
        const QString root = m_dir.path() + u"/case" + QString::number(++m_case);
        m_bin = root + u"/bin";
        m_home = root + u"/home";
        QVERIFY(QDir().mkpath(m_bin) && QDir().mkpath(m_home));
        qputenv("PATH", QFile::encodeName(m_bin));
        qputenv("HOME", QFile::encodeName(m_home));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home + u"/.local/share"));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(root + u"/share"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home + u"/.config"));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root + u"/etc"));
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("WINEPREFIX");
        qputenv("USER", "ann");
    }

    void favoritesFolderOfWine_data()
    {
        QTest::addColumn<QString>("prefix"); // below the case folder; empty: no WINEPREFIX
        QTest::addColumn<QString>("made"); // the folder the test makes, below the case folder
        QTest::addColumn<QString>("found");
        QTest::newRow("default prefix") << QString() << u"home/.wine/drive_c/users/ann/Favorites"_s
                                        << u"home/.wine/drive_c/users/ann/Favorites"_s;
        QTest::newRow("WINEPREFIX") << u"wine32"_s << u"wine32/drive_c/users/ann/Favorites"_s
                                    << u"wine32/drive_c/users/ann/Favorites"_s;
        QTest::newRow("WINEPREFIX wins over ~/.wine")
            << u"wine32"_s << u"home/.wine/drive_c/users/ann/Favorites"_s << QString();
        QTest::newRow("another user's folder")
            << QString() << u"home/.wine/drive_c/users/bob/Favorites"_s << QString();
        QTest::newRow("no prefix") << QString() << QString() << QString();
    }
    void favoritesFolderOfWine()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, made);
        QFETCH(QString, found);
        const QString root = QFileInfo(m_home).absolutePath() + u'/';
        if (!prefix.isEmpty())
            qputenv("WINEPREFIX", QFile::encodeName(root + prefix));
        if (!made.isEmpty())
            QVERIFY(QDir().mkpath(root + made));
        const QString expected = found.isEmpty() ? QString() : root + found;
        QCOMPARE(LinuxSystemLookup().favoritesFolder(), expected);
        BrowserPaths paths;
        detectBrowsers(paths, LinuxSystemLookup(), LinuxProductVersionReader());
        QCOMPARE(paths.ExplorerFavoritesPath, expected);
    }

    void defaultBrowser_data()
    {
        QTest::addColumn<QByteArray>("httpHandler");
        QTest::addColumn<QByteArray>("htmlHandler");
        QTest::addColumn<QByteArray>("desktopEntry");
        QTest::addColumn<QString>("expected"); // below the stub folder; empty for none

        QTest::newRow("http handler, program on PATH")
            << QByteArray("web.desktop") << QByteArray() << QByteArray("[Desktop Entry]\nExec=firefox %u\n")
            << u"firefox"_s;
        QTest::newRow("no http handler: the one for web pages")
            << QByteArray() << QByteArray("web.desktop") << QByteArray("[Desktop Entry]\nExec=firefox %u\n")
            << u"firefox"_s;
        QTest::newRow("quoted program with a blank")
            << QByteArray("web.desktop") << QByteArray()
            << QByteArray("[Desktop Entry]\nName=Web\nExec=\"@BIN@/my browser\" --new-window %u\n")
            << u"my browser"_s;
        QTest::newRow("Exec of another group is not taken")
            << QByteArray("web.desktop") << QByteArray()
            << QByteArray("[Desktop Action new]\nExec=opera\n[Desktop Entry]\nTryExec=opera\nExec=firefox\n")
            << u"firefox"_s;
        QTest::newRow("desktop id naming a sub-folder")
            << QByteArray("vendor-web.desktop") << QByteArray()
            << QByteArray("[Desktop Entry]\nExec=firefox\n") << u"firefox"_s;
        QTest::newRow("program not on PATH")
            << QByteArray("web.desktop") << QByteArray() << QByteArray("[Desktop Entry]\nExec=chromium %U\n")
            << QString();
        QTest::newRow("no desktop entry")
            << QByteArray("missing.desktop") << QByteArray() << QByteArray() << QString();
    }

    void defaultBrowser()
    {
        QFETCH(QByteArray, httpHandler);
        QFETCH(QByteArray, htmlHandler);
        QFETCH(QByteArray, desktopEntry);
        QFETCH(QString, expected);

        writeDefaults(httpHandler, htmlHandler);
        stub(u"firefox"_s);
        stub(u"my browser"_s);
        if (!desktopEntry.isEmpty()) {
            const QString id = QString::fromLatin1(httpHandler.isEmpty() ? htmlHandler : httpHandler);
            const QString file = id.startsWith(u"vendor-") ? u"vendor/"_s + id.sliced(7) : id;
            writeFile(applications() + file, desktopEntry.replace("@BIN@", QFile::encodeName(m_bin)));
        }
        QCOMPARE(LinuxSystemLookup().defaultBrowser(), expected.isEmpty() ? QString() : inBin(expected));
    }

    // The user's list comes before the system's, a desktop's own list before the common one, and
    // within a list the first installed choice wins; no program is run to find any of it.
    void defaultBrowserFollowsTheListsOrder()
    {
        stub(u"xdg-mime"_s, "exec /bin/sleep 20\n");
        stub(u"firefox"_s);
        stub(u"opera"_s);
        writeFile(applications() + u"fx.desktop"_s, "[Desktop Entry]\nExec=firefox %u\n");
        writeFile(applications() + u"op.desktop"_s, "[Desktop Entry]\nExec=opera %u\n");
        const QString etc = QFileInfo(m_home).absolutePath() + u"/etc"_s;
        writeFile(etc + u"/mimeapps.list"_s, "[Default Applications]\nx-scheme-handler/http=fx.desktop\n");
        QCOMPARE(findXdgDefaultBrowser(), inBin(u"firefox"_s));

        writeFile(m_home + u"/.config/mimeapps.list"_s,
                  "[Default Applications]\nx-scheme-handler/http=gone.desktop;op.desktop;fx.desktop\n");
        QCOMPARE(findXdgDefaultBrowser(), inBin(u"opera"_s));

        qputenv("XDG_CURRENT_DESKTOP", "Test:Other");
        writeFile(m_home + u"/.config/test-mimeapps.list"_s,
                  "[Default Applications]\nx-scheme-handler/http=fx.desktop\n");
        QCOMPARE(findXdgDefaultBrowser(), inBin(u"firefox"_s));
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    void firefoxProfile_data()
    {
        QTest::addColumn<QByteArray>("profileList");
        QTest::addColumn<QString>("expected"); // @HOME@ stands for the home folder

        QTest::newRow("relative path")
            << QByteArray("[General]\nStartWithLastProfile=1\n\n[Profile0]\nName=default\n"
                          "IsRelative=1\nPath=x1y2.default-release\nDefault=1\n")
            << u"@HOME@/.mozilla/firefox/x1y2.default-release/places.sqlite"_s;
        QTest::newRow("absolute path")
            << QByteArray("[Profile0]\nIsRelative=0\nPath=@HOME@/elsewhere/profile\n")
            << u"@HOME@/elsewhere/profile/places.sqlite"_s;
        QTest::newRow("only the first profile") << QByteArray("[Profile1]\nIsRelative=1\nPath=second\n"
                                                              "[Profile0]\nIsRelative=1\nPath=first\n")
                                                << u"@HOME@/.mozilla/firefox/first/places.sqlite"_s;
        QTest::newRow("no profile path: the profile list's folder")
            << QByteArray("[General]\nVersion=2\n") << u"@HOME@/.mozilla/firefox/places.sqlite"_s;
    }

    void firefoxProfile()
    {
        QFETCH(QByteArray, profileList);
        QFETCH(QString, expected);

        // Firefox 115 beside its launcher link, as the distributions install it.
        const QString lib = m_home + u"/lib/firefox";
        writeFile(lib + u"/firefox", "#!/bin/sh\n", true);
        writeFile(lib + u"/application.ini", "[App]\nVendor=Mozilla\nName=Firefox\nVersion=115.3.1esr\n");
        QVERIFY(QFile::link(lib + u"/firefox", inBin(u"firefox"_s)));
        writeFile(m_home + u"/.mozilla/firefox/profiles.ini",
                  profileList.replace("@HOME@", QFile::encodeName(m_home)));

        BrowserPaths paths;
        detectBrowsers(paths, LinuxSystemLookup(), LinuxProductVersionReader());
        QCOMPARE(paths.PathToFirefox, inBin(u"firefox"_s));
        QCOMPARE(paths.PathFavFirefox, QString(expected).replace(u"@HOME@"_s, m_home));
    }

    void operaHotlist_data()
    {
        QTest::addColumn<QStringList>("present"); // files below ~/.opera
        QTest::addColumn<QString>("expected");
        QTest::newRow("none: the older name") << QStringList() << u"opera6.adr"_s;
        QTest::newRow("only the older name") << QStringList { u"opera6.adr"_s } << u"opera6.adr"_s;
        QTest::newRow("only the newer name") << QStringList { u"bookmarks.adr"_s } << u"bookmarks.adr"_s;
        QTest::newRow("both: the newer name")
            << QStringList { u"opera6.adr"_s, u"bookmarks.adr"_s } << u"bookmarks.adr"_s;
    }

    void operaHotlist()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        for (const QString &name : present)
            writeFile(m_home + u"/.opera/" + name, "Opera Hotlist version 2.0\n");
        BrowserPaths paths;
        detectBrowsers(paths, LinuxSystemLookup(), LinuxProductVersionReader());
        QCOMPARE(paths.OperaFavPath, QString(m_home + u"/.opera/" + expected));
    }

    void productVersion_data()
    {
        QTest::addColumn<QByteArray>("applicationIni");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Mozilla browser") << QByteArray("[App]\nVersion=115.0\n") << u"115.0"_s;
        QTest::newRow("version of another section") << QByteArray("[Gecko]\nVersion=3.0\n") << QString();
        QTest::newRow("no application description") << QByteArray() << QString();
    }

    void productVersion()
    {
        QFETCH(QByteArray, applicationIni);
        QFETCH(QString, expected);
        const QString browser = stub(u"seamonkey"_s);
        if (!applicationIni.isEmpty())
            writeFile(m_bin + u"/application.ini", applicationIni);
        QCOMPARE(LinuxProductVersionReader().productVersion(browser), expected);
        QCOMPARE(LinuxProductVersionReader().productVersion(inBin(u"missing"_s)), QString());
    }

    void detectionOnPath()
    {
        // Only firefox-esr, Opera and SeaMonkey are installed, all in one folder; SeaMonkey is the
        // desktop's browser.
        stub(u"firefox-esr"_s);
        stub(u"opera"_s);
        stub(u"seamonkey"_s);
        writeDefaults("seamonkey.desktop", "");
        writeFile(applications() + u"seamonkey.desktop", "[Desktop Entry]\nExec=seamonkey %u\n");

        BrowserPaths paths;
        const InstalledBrowsers found
            = detectBrowsers(paths, LinuxSystemLookup(), LinuxProductVersionReader());
        QCOMPARE(found, (InstalledBrowsers { BrowserFirefox, BrowserOpera, BrowserSeaMonkey }));
        QCOMPARE(paths.PathToFirefox, inBin(u"firefox-esr"_s));
        QCOMPARE(paths.PathToOpera, inBin(u"opera"_s));
        QCOMPARE(paths.PathToMozilla, inBin(u"seamonkey"_s));
        for (const QString *absent :
             { &paths.PathToIExplorer, &paths.PathToSafari, &paths.PathToKMeleon, &paths.PathToNetscape,
               &paths.PathToAvant, &paths.PathToMaxthon, &paths.PathToTheWorld })
            QCOMPARE(*absent, QString());
        QCOMPARE(paths.DefaultBrowser.Caption, inBin(u"seamonkey"_s));
        QCOMPARE(paths.OpenWithBrowser, inBin(u"seamonkey"_s));
        QCOMPARE(paths.DefaultBrowser.Tag, int(BrowserSeaMonkey));
        QCOMPARE(paths.ExplorerFavoritesPath, QString());
        QCOMPARE(paths.PathFavFirefox, QString()); // no profile list
        QCOMPARE(paths.OperaFavPath, QString(m_home + u"/.opera/opera6.adr"));
    }

    void launcherPassesTheLinkWhole()
    {
        const QString out = m_home + u"/args";
        const QString browser
            = stub(u"browser"_s,
                   "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" + QFile::encodeName(out) + "'\n");
        const QString link = u"http://x/a b;touch '"_s + m_home + u"/pwned';$(id)"_s;
        DetachedProgramLauncher launcher;
        QVERIFY(openLinkWith(launcher, browser, link));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 5000);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), u'[' + link + u"]\n");
        QVERIFY(!QFile::exists(m_home + u"/pwned"));
    }
};

QTEST_GUILESS_MAIN(TestLinuxBrowsers)
#include "tst_linuxbrowsers.moc"
