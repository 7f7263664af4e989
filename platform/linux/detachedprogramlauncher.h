#pragma once

#include "platform/programlauncher.h"

namespace vellumite {

// Starts a program as a detached process of its own, without a shell.
class DetachedProgramLauncher final : public ProgramLauncher
{
public:
    void startDetached(const QString &program, const QStringList &arguments) override;
};

} // namespace vellumite
