#include "platform/linux/xdgdefaultbrowser.h"

#include "base/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <vector>

namespace vellumite {

using namespace Qt::StringLiterals;

namespace {

// An XDG base folder, then its list of further folders, each from its environment variable or the
// desktop's standard default.
QStringList xdgFolders(const char *homeVariable, const QString &homeDefault, const char *listVariable,
                       const QString &listDefault)
{
    const QString home = qEnvironmentVariable(homeVariable);
    QStringList folders { home.isEmpty() ? QDir::homePath() + homeDefault : home };
    const QString list = qEnvironmentVariable(listVariable);
    folders << (list.isEmpty() ? listDefault : list).split(u':', Qt::SkipEmptyParts);
    return folders;
}

QStringList applicationFolders()
{
    QStringList folders;
    for (const QString &folder :
         xdgFolders("XDG_DATA_HOME", u"/.local/share"_s, "XDG_DATA_DIRS", u"/usr/local/share:/usr/share"_s))
        folders << folder + u"/applications/";
    return folders;
}

// The mimeapps.list files in the order the desktop reads them: the configuration folders, then the
// applications folders; in each, the current desktops' own lists before the common one.
QStringList mimeAppsLists()
{
    QStringList names;
    const QStringList desktops
        = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(u':', Qt::SkipEmptyParts);
    for (const QString &desktop : desktops)
        names << desktop + u"-mimeapps.list";
    names << u"mimeapps.list"_s;

    QStringList folders;
    for (const QString &folder :
         xdgFolders("XDG_CONFIG_HOME", u"/.config"_s, "XDG_CONFIG_DIRS", u"/etc/xdg"_s))
        folders << folder + u'/';
    folders << applicationFolders();
    QStringList lists;
    for (const QString &folder : std::as_const(folders)) {
        for (const QString &name : std::as_const(names))
            lists << folder + name;
    }
    return lists;
}

// A desktop entry id names a file below an applications folder; a "-" in the id may stand for a
// sub-folder ("kde4-browser.desktop" is kde4/browser.desktop).
QString desktopEntryFile(const QString &id)
{
    if (id.isEmpty() || id.contains(u'/'))
        return {};
    QString nested = id;
    const qsizetype dash = nested.indexOf(u'-');
    if (dash > 0)
        nested[dash] = u'/';
    const QStringList folders = applicationFolders();
    for (const QString &folder : folders) {
        for (const QString &name : { id, nested }) {
            if (QFileInfo(folder + name).isFile())
                return folder + name;
        }
    }
    return {};
}

// The first word of an Exec value: a quoted word has its backslash escapes undone.
QString firstExecWord(QStringView exec)
{
    exec = exec.trimmed();
    QString word;
    if (exec.startsWith(u'"')) {
        for (qsizetype i = 1; i < exec.size(); ++i) {
            if (exec[i] == u'"')
                return word;
            if (exec[i] == u'\\' && i + 1 < exec.size())
                ++i;
            word += exec[i];
        }
        return {}; // no closing quote
    }
    const qsizetype blank = exec.indexOf(u' ');
    return (blank < 0 ? exec : exec.first(blank)).toString();
}

// A program named by its path stands as it is; a bare name is looked for on PATH.
QString resolvedProgram(const QString &program)
{
    if (program.isEmpty())
        return {};
    if (!program.contains(u'/'))
        return QStandardPaths::findExecutable(program);
    const QFileInfo file(program);
    return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
}

} // namespace

QString desktopEntryProgram(const QString &desktopFile)
{
    return firstExecWord(
        IniFile::readValue(desktopFile, u"Desktop Entry"_s, u"Exec"_s, IniDialect::DesktopEntry));
}

QString findXdgDefaultBrowser()
{
    // Each list is read once for both types; one that cannot be read names no choice.
    std::vector<IniFile> lists;
    for (const QString &fileName : mimeAppsLists()) {
        lists.emplace_back(fileName, IniDialect::DesktopEntry);
        lists.back().load();
    }
    // A list names its choices in order; the first one installed is the default of that type.
    const auto defaultEntry = [&lists](const QString &mimeType) -> QString {
        for (const IniFile &choices : lists) {
            const QString ids = choices.readString(u"Default Applications"_s, mimeType, {});
            for (const QString &id : ids.split(u';', Qt::SkipEmptyParts)) {
                if (const QString entry = desktopEntryFile(id.trimmed()); !entry.isEmpty())
                    return entry;
            }
        }
        return {};
    };
    for (const QString &mimeType : { u"x-scheme-handler/http"_s, u"text/html"_s }) {
        const QString entry = defaultEntry(mimeType);
        const QString found = entry.isEmpty() ? QString() : resolvedProgram(desktopEntryProgram(entry));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace vellumite
