#pragma once

#include <QString>
#include <QStringList>

namespace vellumite {

// Starts other programs (browsers, the mail program). A program is started detached and never through a
// shell, so each argument reaches it whole; whether it started is not reported.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;

    virtual void startDetached(const QString &program, const QStringList &arguments) = 0;
};

} // namespace vellumite
