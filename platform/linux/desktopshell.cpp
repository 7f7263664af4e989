#include "platform/linux/desktopshell.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

void OpenWithDesktop(const QString &target)
{
    if (!target.isEmpty())
        QProcess::startDetached(u"xdg-open"_s, { target });
}

} // namespace

void DesktopShell::openFile(const QString &path)
{
    OpenWithDesktop(path);
}

void DesktopShell::openMailAddress(const QString &address)
{
    OpenWithDesktop(address);
}

} // namespace vellumite
