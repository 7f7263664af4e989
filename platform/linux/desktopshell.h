#pragma once

#include "platform/shell.h"

namespace vellumite {

// The desktop's opener ("xdg-open") for files and mail addresses; browsers are started directly. Every
// program is started detached and never through a shell: the file or address is its single argument.
class DesktopShell final : public Shell
{
public:
    void openFile(const QString &path) override;
    void openMailAddress(const QString &address) override;
    void openWebPage(const QString &browserExecutable, const QString &address) override;
};

} // namespace vellumite
