#pragma once

#include "platform/shell.h"

namespace vellumite {

// The desktop's opener, "xdg-open", started detached and never through a shell: the file or the address
// is its single argument.
class DesktopShell final : public Shell
{
public:
    void openFile(const QString &path) override;
    void openMailAddress(const QString &address) override;
};

} // namespace vellumite
