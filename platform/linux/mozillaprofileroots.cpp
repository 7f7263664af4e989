#include "platform/linux/mozillaprofileroots.h"

#include "base/firefoxexecutables.h"

#include <QDir>
#include <QFileInfo>

namespace vellumite {

using namespace Qt::StringLiterals;

namespace {

// The home folder that a package's Firefox sees as its own.
QString packageHome(FirefoxPackage package)
{
    const QString home = QDir::homePath();
    switch (package) {
    case FirefoxPackage::Snap:
        return home + u"/snap/firefox/common";
    case FirefoxPackage::Flatpak:
        return home + u"/.var/app/" + FirefoxFlatpakId;
    case FirefoxPackage::Distribution:
        break;
    }
    return home;
}

QString legacyRoot(FirefoxPackage package)
{
    return packageHome(package) + u"/.mozilla/firefox";
}

// The XDG folder; the Flatpak points XDG_CONFIG_HOME at a folder of its own. A relative value is no
// value, as the XDG rules say.
QString xdgRoot(FirefoxPackage package)
{
    if (package == FirefoxPackage::Flatpak)
        return packageHome(package) + u"/config/mozilla/firefox";
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + u"/.config";
    return QDir::cleanPath(config) + u"/mozilla/firefox";
}

// The folders a package's Firefox may use, the one it prefers first.
QStringList candidateRoots(FirefoxPackage package)
{
    if (package == FirefoxPackage::Snap)
        return { legacyRoot(package) };
    return { legacyRoot(package), xdgRoot(package) };
}

} // namespace

QString firefoxProfileRoot(FirefoxPackage package)
{
    const QStringList roots = candidateRoots(package);
    return QFileInfo(roots.first()).isDir() ? roots.first() : roots.last();
}

FirefoxPackage firefoxPackageOf(const QString &executable)
{
    const QFileInfo file(executable);
    const QString target = file.canonicalFilePath();
    if (file.fileName() == FirefoxFlatpakId || target.contains(u"/app/"_s + FirefoxFlatpakId + u'/'))
        return FirefoxPackage::Flatpak;
    if ((QFileInfo(target).fileName() == u"snap" && file.fileName() != u"snap")
        || target.startsWith(u"/snap/"))
        return FirefoxPackage::Snap;
    return FirefoxPackage::Distribution;
}

QStringList existingMozillaProfileRoots()
{
    QStringList roots;
    for (const FirefoxPackage package :
         { FirefoxPackage::Distribution, FirefoxPackage::Snap, FirefoxPackage::Flatpak }) {
        for (const QString &root : candidateRoots(package)) {
            if (QFileInfo(root).isDir())
                roots.append(root);
        }
    }
    const QString seamonkey = QDir::homePath() + u"/.mozilla/seamonkey";
    if (QFileInfo(seamonkey).isDir())
        roots.append(seamonkey);
    return roots;
}

} // namespace vellumite
