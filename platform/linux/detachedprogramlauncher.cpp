#include "platform/linux/detachedprogramlauncher.h"

#include <QProcess>

namespace vellumite {

void DetachedProgramLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    QProcess::startDetached(program, arguments);
}

} // namespace vellumite
