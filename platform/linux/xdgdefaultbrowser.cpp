#include "platform/linux/xdgdefaultbrowser.h"

#include "platform/linux/inikeyreader.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vellumite {

using namespace Qt::StringLiterals;

namespace {

// The desktop entry id that xdg-mime names as the default handler of `mimeType`.
QString defaultHandler(const QString &xdgMime, const QString &mimeType, std::chrono::milliseconds timeout)
{
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.setStandardErrorFile(QProcess::nullDevice());
    query.start(xdgMime, { u"query"_s, u"default"_s, mimeType });
    if (!query.waitForFinished(static_cast<int>(timeout.count()))) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    const QString output = QString::fromUtf8(query.readAllStandardOutput());
    return output.section(u'\n', 0, 0).trimmed();
}

QStringList applicationFolders()
{
    QStringList dataFolders;
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    dataFolders << (dataHome.isEmpty() ? QDir::homePath() + u"/.local/share" : dataHome);
    const QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    dataFolders
        << (dataDirs.isEmpty() ? u"/usr/local/share:/usr/share"_s : dataDirs).split(u':', Qt::SkipEmptyParts);
    QStringList folders;
    for (const QString &folder : std::as_const(dataFolders))
        folders << folder + u"/applications/";
    return folders;
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
    return firstExecWord(readIniKey(desktopFile, u"Desktop Entry", u"Exec", IniDialect::DesktopEntry));
}

QString findXdgDefaultBrowser(std::chrono::milliseconds timeout)
{
    const QString xdgMime = QStandardPaths::findExecutable(u"xdg-mime"_s);
    if (xdgMime.isEmpty())
        return {};
    for (const QString &mimeType : { u"x-scheme-handler/http"_s, u"text/html"_s }) {
        const QString entry = desktopEntryFile(defaultHandler(xdgMime, mimeType, timeout));
        const QString program = entry.isEmpty() ? QString() : desktopEntryProgram(entry);
        const QString found = resolvedProgram(program);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace vellumite
