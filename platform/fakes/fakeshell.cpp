#include "platform/fakes/fakeshell.h"

#include <QDebug>

namespace vellumite {

QDebug operator<<(QDebug debug, const ShellRequest &request)
{
    QDebugStateSaver saver(debug);
    static constexpr const char *Kinds[] = { "OpenFile", "OpenMailAddress", "OpenWebPage" };
    debug.nospace() << Kinds[static_cast<int>(request.kind)] << '(';
    if (!request.program.isEmpty())
        debug << request.program << ", ";
    debug << request.target << ')';
    return debug;
}

void FakeShell::openFile(const QString &path)
{
    requests.append({ ShellRequest::Kind::OpenFile, {}, path });
}

void FakeShell::openMailAddress(const QString &address)
{
    requests.append({ ShellRequest::Kind::OpenMailAddress, {}, address });
}

void FakeShell::openWebPage(const QString &browserExecutable, const QString &address)
{
    requests.append({ ShellRequest::Kind::OpenWebPage, browserExecutable, address });
}

} // namespace vellumite
