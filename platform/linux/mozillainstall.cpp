#include "platform/linux/mozillainstall.h"

#include "base/firefoxexecutables.h"
#include "base/foreignfile.h"
#include "platform/linux/launcherscript.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

namespace vellumite {

namespace {

using namespace Qt::StringLiterals;

constexpr QStringView Description = u"application.ini";

// A launcher may start another; more than this many in a row is a loop.
constexpr int MaximumLaunchers = 8;

// The names one browser is installed under; a launcher of one name may start the executable of another.
constexpr std::array<std::array<QStringView, 2>, 2> BrowserNames { {
    FirefoxProgramNames,
    { u"seamonkey", {} },
} };

// The Flatpak keeps an application's files in app/<id>/current/active/files beside the folder
// exports/bin that holds its launcher; Firefox's are in lib/firefox there.
constexpr QStringView FlatpakLibraryFolder = u"/current/active/files/lib/";

QString descriptionIn(const QString &folder)
{
    const QString path = folder + u'/' + Description;
    return QFileInfo(path).isFile() ? path : QString();
}

bool hasElfHeader(const QString &path)
{
    constexpr QByteArrayView ElfMagic("\x7F"
                                      "ELF");
    ForeignFile file(path, ForeignFile::Unbounded);
    char start[ElfMagic.size()];
    return file.read(start, sizeof start) == ElfMagic.size()
        && QByteArrayView(start, sizeof start) == ElfMagic;
}

// The executable's own name first, then the browser's other names.
QStringList namesOf(const QString &executableName)
{
    QStringList names { executableName };
    for (const auto &family : BrowserNames) {
        if (!std::any_of(family.begin(), family.end(), [&](QStringView n) { return n == executableName; }))
            continue;
        for (QStringView name : family) {
            if (!name.isEmpty() && name != executableName)
                names.append(name.toString());
        }
    }
    return names;
}

// The Flatpak's exported launcher: .../exports/bin/<id>, whose files are in .../app/<id>.
QString flatpakDescription(const QFileInfo &launcher)
{
    const QDir bin = launcher.absoluteDir();
    const QString id = launcher.fileName();
    if (bin.dirName() != u"bin" || !id.contains(u'.'))
        return {};
    QDir exports = bin;
    if (!exports.cdUp() || exports.dirName() != u"exports" || !exports.cdUp())
        return {};
    const QString library = id.section(u'.', -1).toLower();
    return descriptionIn(exports.filePath(u"app/"_s + id + FlatpakLibraryFolder + library));
}

class InstallFinder
{
public:
    explicit InstallFinder(const QString &systemRoot)
    {
        m_root = QFileInfo(systemRoot).canonicalFilePath();
        if (m_root.isEmpty() || m_root == u"/")
            m_root.clear();
    }

    MozillaInstall find(const QString &executable) const
    {
        if (executable.isEmpty() || !QFileInfo(executable).isFile())
            return {};
        QString current = executable;
        for (int launcher = 0; launcher < MaximumLaunchers; ++launcher) {
            const QFileInfo file(current);
            const QString target = file.canonicalFilePath();
            const QString name = file.fileName();
            if (name == FirefoxFlatpakId || target.contains(u"/app/"_s + FirefoxFlatpakId + u'/'))
                return { FirefoxPackage::Flatpak, flatpakDescription(file) };
            // A snap's command is a link to the snap program; the snap's files are mounted below
            // /snap/<name>.
            if (QFileInfo(target).fileName() == u"snap" && name != u"snap")
                return { FirefoxPackage::Snap,
                         descriptionIn(m_root + u"/snap/" + name + u"/current/usr/lib/" + name) };
            const FirefoxPackage package
                = target.startsWith(m_root + u"/snap/") ? FirefoxPackage::Snap : FirefoxPackage::Distribution;
            // /usr/bin/firefox often links to the executable in the browser's own folder.
            for (const QString &folder : { QFileInfo(target).absolutePath(), file.absolutePath() }) {
                if (const QString found = descriptionIn(folder); !found.isEmpty())
                    return { package, found };
            }
            if (package == FirefoxPackage::Snap || hasElfHeader(target))
                return { package, {} };

            // A launcher script: what it starts decides.
            const QString started = launcherScriptTarget(target);
            if (!started.isEmpty()) {
                const QFileInfo program(m_root + started);
                if (program.isFile()) {
                    current = program.filePath();
                    continue;
                }
                if (const QString found = descriptionIn(program.absolutePath()); !found.isEmpty())
                    return { FirefoxPackage::Distribution, found };
            }
            return { FirefoxPackage::Distribution, installedDescription(file) };
        }
        return {};
    }

private:
    // Where the distributions install the browser that a script of `launcher`'s name starts.
    QString installedDescription(const QFileInfo &launcher) const
    {
        const QStringList names = namesOf(launcher.fileName());
        for (const QString &other : names.mid(1)) {
            const QFileInfo sibling(launcher.absoluteDir().filePath(other));
            if (sibling.isFile()) {
                if (const QString found
                    = descriptionIn(QFileInfo(sibling.canonicalFilePath()).absolutePath());
                    !found.isEmpty())
                    return found;
            }
        }
        if (const QString found = flatpakDescription(launcher); !found.isEmpty())
            return found;
        for (const QStringView base : { u"/usr/lib", u"/usr/lib64", u"/opt" }) {
            for (const QString &browser : names) {
                if (const QString found = descriptionIn(m_root + base + u'/' + browser); !found.isEmpty())
                    return found;
            }
        }
        return {};
    }

    QString m_root;
};

} // namespace

MozillaInstall findMozillaInstall(const QString &executable, const QString &systemRoot)
{
    return InstallFinder(systemRoot).find(executable);
}

} // namespace vellumite
