#include "main/core/openlink.h"

#include "platform/programlauncher.h"

namespace vellumite {

std::optional<QStringList> browserArgumentsForLink(const QString &link)
{
    if (link.isEmpty())
        return QStringList();
    if (link.startsWith(u'-'))
        return std::nullopt;
    return QStringList { link };
}

bool openLinkWith(ProgramLauncher &launcher, const QString &program, const QString &link)
{
    const std::optional<QStringList> arguments = browserArgumentsForLink(link);
    if (program.isEmpty() || !arguments)
        return false;
    launcher.startDetached(program, *arguments);
    return true;
}

QString openedLinkStatusText(const QString &title, const QString &link)
{
    return title + u" :::: " + link;
}

} // namespace vellumite
