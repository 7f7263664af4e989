#include "platform/linux/linuxproductversionreader.h"

#include "base/firefoxexecutables.h"
#include "base/foreignfile.h"
#include "base/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <array>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

constexpr QStringView Description = u"application.ini";

// The names one browser is installed under; a launcher of one name may start the executable of another.
constexpr std::array<std::array<QStringView, 2>, 2> BrowserNames { {
    FirefoxProgramNames,
    { u"seamonkey", {} },
} };

// The Flatpak keeps an application's files in app/<id>/current/active/files beside the folder
// exports/bin that holds its launcher; Firefox's are in lib/firefox there.
constexpr QStringView FlatpakLibraryFolder = u"/current/active/files/lib/";

bool isFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

QString descriptionIn(const QString &folder)
{
    const QString path = folder + u'/' + Description;
    return isFile(path) ? path : QString();
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

} // namespace

LinuxProductVersionReader::LinuxProductVersionReader(QString systemRoot)
    : m_root(std::move(systemRoot))
{
    while (m_root.endsWith(u'/'))
        m_root.chop(1);
}

QString LinuxProductVersionReader::applicationDescription(const QString &fileName) const
{
    const QFileInfo executable(fileName);
    if (fileName.isEmpty() || !executable.isFile())
        return {};
    const QString target = executable.canonicalFilePath();
    // /usr/bin/firefox often links to the executable in the browser's own folder.
    for (const QString &folder : { QFileInfo(target).absolutePath(), executable.absolutePath() }) {
        if (const QString found = descriptionIn(folder); !found.isEmpty())
            return found;
    }
    const QString name = executable.fileName();
    // A snap's command is a link to the snap program; the snap's files are mounted below /snap/<name>.
    if (QFileInfo(target).fileName() == u"snap" && name != u"snap")
        return descriptionIn(m_root + u"/snap/" + name + u"/current/usr/lib/" + name);
    if (hasElfHeader(target))
        return {};

    // A launcher script: it starts the browser from wherever the distribution installed it.
    const QStringList names = namesOf(name);
    for (const QString &other : names.mid(1)) {
        const QFileInfo sibling(executable.absoluteDir().filePath(other));
        if (sibling.isFile()) {
            if (const QString found = descriptionIn(QFileInfo(sibling.canonicalFilePath()).absolutePath());
                !found.isEmpty())
                return found;
        }
    }
    if (const QString found = flatpakDescription(executable); !found.isEmpty())
        return found;
    for (const QStringView base : { u"/usr/lib", u"/usr/lib64", u"/opt" }) {
        for (const QString &browser : names) {
            if (const QString found = descriptionIn(m_root + base + u'/' + browser); !found.isEmpty())
                return found;
        }
    }
    return {};
}

QString LinuxProductVersionReader::productVersion(const QString &fileName) const
{
    const QString description = applicationDescription(fileName);
    return description.isEmpty() ? QString() : IniFile::readValue(description, u"App"_s, u"Version"_s);
}

QString LinuxProductVersionReader::installFolder(const QString &fileName) const
{
    const QString description = applicationDescription(fileName);
    return description.isEmpty() ? QString() : QFileInfo(description).canonicalPath();
}

} // namespace vellumite
