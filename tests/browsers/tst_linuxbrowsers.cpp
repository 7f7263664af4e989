#include "main/core/browserdetection.h"
#include "main/core/firefoxstore.h"
#include "main/core/openlink.h"
#include "platform/linux/detachedprogramlauncher.h"
#include "platform/linux/linuxproductversionreader.h"
#include "platform/linux/linuxsystemlookup.h"
#include "platform/linux/mozillaprofileroots.h"
#include "platform/linux/xdgdefaultbrowser.h"
#include "tests/common/finisheswithin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

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
    QString caseRoot() const { return QFileInfo(m_home).absolutePath(); }

    // Builds a machine below the case folder ("@ROOT@" in a text stands for that folder). Each entry:
    //   "path=content"   a file (executable, so that it can stand for a program)
    //   "path->target"   a symbolic link
    //   "path<fixture"   a copy of a folder of tests/data/profiles
    //   "path@seconds"   the file's modification time set that many seconds back
    //   "path~"          a named pipe in place of whatever was there
    //   "$NAME=value"    an environment variable (unset when the value is empty)
    void build(const QStringList &layout)
    {
        const QString root = caseRoot();
        for (QString entry : layout) {
            entry.replace(u"@ROOT@"_s, root);
            qsizetype at = entry.size();
            QString kind;
            for (const QString &op : { u"->"_s, u"<"_s, u"@"_s, u"="_s, u"~"_s }) {
                const qsizetype found = entry.indexOf(op);
                if (found > 0 && found < at) {
                    at = found;
                    kind = op;
                }
            }
            const QString name = entry.first(at);
            const QString value = entry.sliced(at + kind.size());
            const QString path = root + u'/' + name;
            if (name.startsWith(u'$')) {
                if (value.isEmpty())
                    qunsetenv(qPrintable(name.sliced(1)));
                else
                    qputenv(qPrintable(name.sliced(1)), QFile::encodeName(value));
            } else if (kind == u"->") {
                QDir().mkpath(QFileInfo(path).absolutePath());
                QVERIFY(QFile::link(value, path));
            } else if (kind == u"<") {
                copyFolder(QStringLiteral(VELLUMITE_TEST_DATA "/profiles/") + value, path);
            } else if (kind == u"~") {
                QFile::remove(path);
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            } else if (kind == u"@") {
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-value.toInt()),
                                         QFileDevice::FileModificationTime));
            } else {
                writeFile(path, value.toUtf8(), true);
            }
        }
    }
    static void copyFolder(const QString &from, const QString &to)
    {
        QDir().mkpath(to);
        const QDir source(from);
        for (const QFileInfo &entry :
             source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            const QString target = to + u'/' + entry.fileName();
            if (entry.isDir())
                copyFolder(entry.filePath(), target);
            else if (!QFile::copy(entry.filePath(), target))
                qFatal("cannot copy a fixture");
        }
    }

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

    // Where the distributions install Firefox and where each of its packages keeps its profiles: the
    // profile in use, the store it holds and the version the executable gives.
    void firefoxLayouts_data()
    {
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<QString>("store"); // below the case folder; empty: none
        QTest::addColumn<QString>("version"); // of the Firefox found

        const QString elf = u"\x7F"
                            "ELF"_s;
        const QString app = u"[App]\nVendor=Mozilla\nName=Firefox\nVersion="_s;
        // Debian's firefox-esr package.
        const QStringList debian { u"usr/bin/firefox=#!/bin/sh\nexec firefox-esr \"$@\"\n"_s,
                                   u"usr/bin/firefox-esr->../lib/firefox-esr/firefox-esr"_s,
                                   u"usr/lib/firefox-esr/firefox-esr="_s + elf,
                                   u"usr/lib/firefox-esr/application.ini="_s + app + u"153.8.0\n" };
        // A launcher that tells nothing of the browser it starts.
        const QStringList bareScript { u"usr/bin/firefox=#!/bin/sh\nexit 0\n"_s };
        const QString xdg = u"home/.config/mozilla/firefox/"_s;
        const QString fresh = u"home<firefox-esr-153-fresh-home"_s;
        const QString legacy = u"home<firefox-esr-153-legacy-home"_s;
        const QString freshPlaces = xdg + u"fq2v553e.default-esr/places.sqlite";
        const QString legacyPlaces = u"home/.mozilla/firefox/f2j0eb9p.default-esr/places.sqlite"_s;
        // Three profiles, none of them Profile0 in use.
        const QString threeProfiles
            = u"[Profile2]\nName=default\nIsRelative=1\nPath=empty.default\nDefault=1\n"
              "[Profile1]\nName=esr\nIsRelative=1\nPath=inuse.default-esr\n"
              "[Profile0]\nName=old\nIsRelative=1\nPath=old.default\n"_s;

        QTest::newRow("Debian: launcher script, link, application.ini; XDG folder")
            << debian + QStringList { fresh, freshPlaces + u'=' } << freshPlaces << u"153.8.0"_s;
        QTest::newRow("legacy folder only")
            << debian + QStringList { legacy } << legacyPlaces << u"153.8.0"_s;
        QTest::newRow("both folders: the legacy one")
            << debian + QStringList { fresh, legacy } << legacyPlaces << u"153.8.0"_s;
        QTest::newRow("XDG_CONFIG_HOME elsewhere")
            << debian
                + QStringList { u"$XDG_CONFIG_HOME=@ROOT@/conf"_s, fresh,
                                u"conf/mozilla/firefox/profiles.ini=[Profile0]\nPath=a.default\n"_s }
            << u"conf/mozilla/firefox/a.default/places.sqlite"_s << u"153.8.0"_s;
        QTest::newRow("XDG_CONFIG_HOME unset: ~/.config")
            << debian + QStringList { u"$XDG_CONFIG_HOME="_s, fresh } << freshPlaces << u"153.8.0"_s;

        QTest::newRow("link only") << QStringList {
            u"usr/bin/firefox->../lib/firefox/firefox"_s, u"usr/lib/firefox/firefox="_s + elf,
            u"usr/lib/firefox/application.ini="_s + app + u"140.5.0esr\n", fresh
        } << freshPlaces << u"140.5.0esr"_s;
        QTest::newRow("launcher script, browser below /usr/lib64")
            << QStringList { u"usr/bin/firefox=#!/bin/sh\nexec /usr/lib64/firefox/firefox \"$@\"\n"_s,
                             u"usr/lib64/firefox/application.ini="_s + app + u"128.5.0\n", fresh }
            << freshPlaces << u"128.5.0"_s;
        QTest::newRow("launcher script, browser below /opt")
            << QStringList { u"usr/bin/firefox=#!/bin/sh\nexec /opt/firefox/firefox \"$@\"\n"_s,
                             u"opt/firefox/application.ini="_s + app + u"2.0.0.20\n",
                             u"home/.mozilla/firefox/profiles.ini=[Profile0]\nPath=p.default\n"_s }
            << u"home/.mozilla/firefox/p.default/bookmarks.html"_s << u"2.0.0.20"_s;
        QTest::newRow("an executable program is not looked through")
            << QStringList { u"usr/bin/firefox="_s + elf,
                             u"usr/lib/firefox/application.ini="_s + app + u"3.6\n",
                             u"home/.mozilla/firefox/profiles.ini=[Profile0]\nPath=p.default\n"_s }
            << u"home/.mozilla/firefox/p.default/bookmarks.html"_s << QString();

        QTest::newRow("snap, beside a distribution's profiles")
            << QStringList { u"snap/bin/firefox->@ROOT@/usr/bin/snap"_s,
                             u"usr/bin/snap="_s + elf,
                             u"snap/firefox/current->5751"_s,
                             u"snap/firefox/5751/usr/lib/firefox/application.ini="_s + app + u"150.0.1\n",
                             fresh,
                             u"home/snap/firefox/common/.mozilla/firefox/profiles.ini=[Profile0]\nPath=s.default\n"_s }
            << u"home/snap/firefox/common/.mozilla/firefox/s.default/places.sqlite"_s << u"150.0.1"_s;
        QTest::newRow("Flatpak, its XDG folder, beside a distribution's profiles")
            << QStringList { u"var/lib/flatpak/exports/bin/org.mozilla.firefox=#!/bin/sh\nexec flatpak run org.mozilla.firefox\n"_s,
                             u"var/lib/flatpak/app/org.mozilla.firefox/current->x86_64/stable"_s,
                             u"var/lib/flatpak/app/org.mozilla.firefox/x86_64/stable/active/files/lib/firefox/application.ini="_s
                                 + app + u"152.0\n",
                             fresh,
                             u"home/.var/app/org.mozilla.firefox/config/mozilla/firefox/profiles.ini=[Profile0]\nPath=f.default\n"_s }
            << u"home/.var/app/org.mozilla.firefox/config/mozilla/firefox/f.default/places.sqlite"_s
            << u"152.0"_s;
        QTest::newRow("no Firefox found: the Flatpak's old folder, the only one")
            << QStringList { u"home/.var/app/org.mozilla.firefox/.mozilla/firefox/profiles.ini=[Profile0]\nPath=f.default\n"_s,
                             u"home/.var/app/org.mozilla.firefox/.mozilla/firefox/f.default/places.sqlite="_s,
                             u"home/.var/app/org.mozilla.firefox/config/mozilla/firefox/profiles.ini=[Profile0]\nPath=x\n"_s }
            << u"home/.var/app/org.mozilla.firefox/.mozilla/firefox/f.default/places.sqlite"_s << QString();
        QTest::newRow("no Firefox found, two folders: the one started last")
            << QStringList { fresh,
                             xdg + u"fq2v553e.default-esr/.parentlock=",
                             xdg + u"fq2v553e.default-esr/.parentlock@3600",
                             xdg + u"fq2v553e.default-esr/compatibility.ini@60",
                             u"home/snap/firefox/common/.mozilla/firefox/profiles.ini=[Profile0]\nPath=s.default\n"_s,
                             u"home/snap/firefox/common/.mozilla/firefox/s.default/.parentlock="_s,
                             u"home/snap/firefox/common/.mozilla/firefox/s.default/compatibility.ini=[Compatibility]\nLastVersion=150.0_1/1\n"_s,
                             u"home/snap/firefox/common/.mozilla/firefox/s.default/compatibility.ini@7200"_s }
            << u"home/snap/firefox/common/.mozilla/firefox/s.default/places.sqlite"_s << QString();
        QTest::newRow("no Firefox found, two folders: the one a new build opened last") << QStringList {
            fresh, u"home/snap/firefox/common/.mozilla/firefox/profiles.ini=[Profile0]\nPath=s.default\n"_s,
            u"home/snap/firefox/common/.mozilla/firefox/s.default/compatibility.ini=[Compatibility]\nLastVersion=150.0_1/1\n"_s,
            u"home/snap/firefox/common/.mozilla/firefox/s.default/compatibility.ini@60"_s,
            xdg + u"fq2v553e.default-esr/compatibility.ini@3600"
        } << u"home/snap/firefox/common/.mozilla/firefox/s.default/places.sqlite"_s << QString();

        QTest::newRow("[Install] names a profile other than Profile0")
            << debian
                + QStringList { xdg + u"profiles.ini=" + threeProfiles
                                + u"[InstallAB12]\nDefault=inuse.default-esr\nLocked=1\n" }
            << xdg + u"inuse.default-esr/places.sqlite" << u"153.8.0"_s;
        QTest::newRow("installs.ini only") << debian
                + QStringList { xdg + u"profiles.ini=" + threeProfiles,
                                xdg + u"installs.ini=[AB12]\nDefault=inuse.default-esr\nLocked=1\n" }
                                           << xdg + u"inuse.default-esr/places.sqlite" << u"153.8.0"_s;
        QTest::newRow("no install: the profile marked Default=1")
            << debian + QStringList { xdg + u"profiles.ini=" + threeProfiles }
            << xdg + u"empty.default/places.sqlite" << u"153.8.0"_s;
        QTest::newRow("two installs: the one the Firefox found opened") << debian
                + QStringList {
                      xdg + u"profiles.ini=" + threeProfiles + u"[InstallAB12]\nDefault=old.default\n",
                      xdg + u"installs.ini=[CD34]\nDefault=inuse.default-esr\n",
                      xdg + u"old.default/compatibility.ini=[Compatibility]\nLastPlatformDir=/opt/firefox\n",
                      xdg
                          + u"inuse.default-esr/compatibility.ini=[Compatibility]\nLastPlatformDir=@ROOT@/"
                            u"usr/lib/firefox-esr\n",
                      xdg + u"inuse.default-esr/compatibility.ini@3600"
                  } << xdg + u"inuse.default-esr/places.sqlite" << u"153.8.0"_s;
        QTest::newRow("two installs of other Firefoxes: the one opened last") << debian
                + QStringList {
                      xdg + u"profiles.ini=" + threeProfiles + u"[InstallAB12]\nDefault=old.default\n",
                      xdg + u"installs.ini=[CD34]\nDefault=inuse.default-esr\n",
                      xdg + u"old.default/compatibility.ini=[Compatibility]\nLastPlatformDir=/opt/firefox\n",
                      xdg
                          + u"inuse.default-esr/compatibility.ini=[Compatibility]\nLastPlatformDir=/opt/"
                            u"other\n",
                      xdg + u"old.default/compatibility.ini@3600"
                  } << xdg + u"inuse.default-esr/places.sqlite" << u"153.8.0"_s;

        QTest::newRow("no version: compatibility.ini only")
            << bareScript + QStringList { fresh } << freshPlaces << QString();
        QTest::newRow("no version: places.sqlite only")
            << bareScript
                + QStringList { u"home/.mozilla/firefox/profiles.ini=[Profile0]\nPath=p.default\n"_s,
                                u"home/.mozilla/firefox/p.default/places.sqlite="_s }
            << u"home/.mozilla/firefox/p.default/places.sqlite"_s << QString();
        QTest::newRow("no version, no database: the bookmark file")
            << bareScript
                + QStringList { u"home/.mozilla/firefox/profiles.ini=[Profile0]\nPath=p.default\n"_s }
            << u"home/.mozilla/firefox/p.default/bookmarks.html"_s << QString();
    }

    void firefoxLayouts()
    {
        QFETCH(QStringList, layout);
        QFETCH(QString, store);
        QFETCH(QString, version);

        const QString root = caseRoot();
        qputenv("PATH",
                QFile::encodeName(root + u"/usr/bin:" + root + u"/snap/bin:" + root
                                  + u"/var/lib/flatpak/exports/bin"));
        build(layout);
        const LinuxProductVersionReader versions(root);
        BrowserPaths paths;
        detectBrowsers(paths, LinuxSystemLookup(), versions);
        QCOMPARE(paths.PathFavFirefox, store.isEmpty() ? QString() : root + u'/' + store);
        QCOMPARE(paths.firefoxStore == FirefoxStore::PlacesDatabase, store.endsWith(u"places.sqlite"));
        QCOMPARE(versions.productVersion(paths.PathToFirefox), version);
    }

    // A pipe among the files of a profile home made by Firefox is read as a file that cannot be read:
    // the detection goes on at once, as it does without that file.
    void pipeInTheProfileHomeDoesNotHangTheDetection_data()
    {
        QTest::addColumn<QString>("pipe"); // below the Firefox folder of the fixture
        QTest::addColumn<QString>("store"); // below that folder too; empty: none
        const QString inUse = u"fq2v553e.default-esr/places.sqlite"_s;
        QTest::newRow("installs.ini") << u"installs.ini"_s << inUse;
        QTest::newRow("compatibility.ini") << u"fq2v553e.default-esr/compatibility.ini"_s << inUse;
        QTest::newRow("profiles.ini") << u"profiles.ini"_s << QString();
    }
    void pipeInTheProfileHomeDoesNotHangTheDetection()
    {
        QFETCH(QString, pipe);
        QFETCH(QString, store);
        const QString root = caseRoot();
        const QString firefox = u"home/.config/mozilla/firefox/"_s;
        qputenv("PATH", QFile::encodeName(root + u"/usr/bin"));
        const QString elf = u"\x7F"
                            "ELF"_s;
        build({ u"usr/bin/firefox-esr->../lib/firefox-esr/firefox-esr"_s,
                u"usr/lib/firefox-esr/firefox-esr="_s + elf,
                u"usr/lib/firefox-esr/application.ini=[App]\nName=Firefox\nVersion=153.8.0\n"_s,
                u"home<firefox-esr-153-fresh-home"_s, firefox + pipe + u'~' });
        auto paths = std::make_shared<BrowserPaths>();
        QVERIFY(testfiles::finishesWithin(
            5000, [paths] { detectBrowsers(*paths, LinuxSystemLookup(), LinuxProductVersionReader()); }));
        QCOMPARE(paths->PathFavFirefox, store.isEmpty() ? QString() : root + u'/' + firefox + store);
    }

    // Every folder that holds profiles, of every package and of SeaMonkey.
    void everyProfileFolderIsFound()
    {
        build({ u"home<firefox-esr-153-fresh-home"_s, u"home/.mozilla/seamonkey/x.default/prefs.js="_s,
                u"home/snap/firefox/common/.mozilla/firefox/s.default/prefs.js="_s,
                u"home/.var/app/org.mozilla.firefox/config/mozilla/firefox/f.default/prefs.js="_s });
        const QString xdg = m_home + u"/.config/mozilla/firefox";
        QCOMPARE(existingMozillaProfileRoots(),
                 (QStringList { xdg, m_home + u"/snap/firefox/common/.mozilla/firefox",
                                m_home + u"/.var/app/org.mozilla.firefox/config/mozilla/firefox",
                                m_home + u"/.mozilla/seamonkey" }));
        // The old folder comes first where both exist.
        QVERIFY(QDir().mkpath(m_home + u"/.mozilla/firefox"));
        QCOMPARE(existingMozillaProfileRoots().mid(0, 2),
                 (QStringList { m_home + u"/.mozilla/firefox", xdg }));
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
