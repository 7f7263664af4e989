#pragma once

#include "platform/productversion.h"

namespace vellumite {

// Linux executables carry no version resource. The Mozilla browsers describe themselves in an
// application.ini beside the executable (found through symbolic links), whose [App] Version is taken;
// every other executable has no product version.
class LinuxProductVersionReader final : public ProductVersionReader
{
public:
    QString productVersion(const QString &fileName) const override;
};

} // namespace vellumite
