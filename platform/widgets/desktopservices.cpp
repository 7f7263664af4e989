#include "platform/linux/desktopshell.h"
#include "platform/linux/linuxfolderprobe.h"
#include "platform/linux/localsingleinstance.h"
#include "platform/platformservices.h"
#include "platform/widgets/desktopsessionend.h"
#include "platform/widgets/widgetmessageservice.h"

namespace vellumite {

// The one place that picks the backings of the desktop.
PlatformServices makeDesktopServices(const QString &applicationTitle)
{
    PlatformServices services;
    services.folderProbe = std::make_unique<LinuxFolderProbe>();
    services.singleInstance = std::make_unique<LocalSingleInstance>(applicationTitle);
    services.sessionEnd = std::make_unique<DesktopSessionEnd>();
    services.messages = std::make_unique<WidgetMessageService>();
    services.shell = std::make_unique<DesktopShell>();
    return services;
}

} // namespace vellumite
