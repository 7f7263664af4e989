#include "platform/fakes/fakeshell.h"

#include <QDebug>

namespace vellumite {

QDebug operator<<(QDebug debug, const ShellRequest &request)
{
    QDebugStateSaver saver(debug);
    static constexpr const char *Kinds[] = { "OpenFile", "OpenMailAddress" };
    debug.nospace() << Kinds[static_cast<int>(request.kind)] << '(' << request.target << ')';
    return debug;
}

void FakeShell::openFile(const QString &path)
{
    requests.append({ ShellRequest::Kind::OpenFile, path });
}

void FakeShell::openMailAddress(const QString &address)
{
    requests.append({ ShellRequest::Kind::OpenMailAddress, address });
}

} // namespace vellumite
