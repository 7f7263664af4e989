#pragma once

#include "platform/programlauncher.h"

#include <QList>

namespace vellumite {

// Records the programs it is asked to start, for tests to look at.
class FakeProgramLauncher final : public ProgramLauncher
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        friend bool operator==(const Start &, const Start &) = default;
    };

    void startDetached(const QString &program, const QStringList &arguments) override
    {
        starts.append({ program, arguments });
    }

    QList<Start> starts;
};

} // namespace vellumite
