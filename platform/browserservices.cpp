#include "platform/browserservices.h"

#include "platform/linux/detachedprogramlauncher.h"
#include "platform/linux/linuxproductversionreader.h"
#include "platform/linux/linuxsystemlookup.h"

namespace vellumite {

BrowserServices makeBrowserServices()
{
    return { std::make_unique<LinuxSystemLookup>(), std::make_unique<LinuxProductVersionReader>(),
             std::make_unique<DetachedProgramLauncher>() };
}

} // namespace vellumite
