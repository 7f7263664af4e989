#include "platform/linux/desktopshell.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

void StartDetached(const QString &program, const QString &argument)
{
    if (program.isEmpty() || argument.isEmpty())
        return;
    QProcess::startDetached(program, { argument });
}

} // namespace

void DesktopShell::openFile(const QString &path)
{
    StartDetached(u"xdg-open"_s, path);
}

void DesktopShell::openMailAddress(const QString &address)
{
    StartDetached(u"xdg-open"_s, address);
}

void DesktopShell::openWebPage(const QString &browserExecutable, const QString &address)
{
    StartDetached(browserExecutable, address);
}

} // namespace vellumite
