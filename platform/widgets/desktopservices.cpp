#include "platform/linux/curlurltester.h"
#include "platform/linux/desktopshell.h"
#include "platform/linux/detachedprogramlauncher.h"
#include "platform/linux/flockfolderinstance.h"
#include "platform/linux/linuxfolderprobe.h"
#include "platform/linux/linuxproductversionreader.h"
#include "platform/linux/linuxsystemlookup.h"
#include "platform/linux/localsingleinstance.h"
#include "platform/linux/mozillapagequery.h"
#include "platform/platformservices.h"
#include "platform/widgets/desktopsessionend.h"
#include "platform/widgets/dialogpickers.h"
#include "platform/widgets/widgetmessageservice.h"
#include "platform/widgets/x11foregroundwindow.h"
#include "platform/widgets/x11globalhotkeys.h"

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
    services.systemLookup = std::make_unique<LinuxSystemLookup>();
    services.productVersions = std::make_unique<LinuxProductVersionReader>();
    services.launcher = std::make_unique<DetachedProgramLauncher>();
    services.urlTester = std::make_unique<CurlUrlTester>();
    services.hotKeys = std::make_unique<X11GlobalHotKeys>();
    services.foregroundWindow = std::make_unique<X11ForegroundWindow>();
    services.pageQuery = std::make_unique<MozillaPageQuery>();
    services.pickers = std::make_unique<DialogPickers>();
    return services;
}

std::unique_ptr<FolderInstance> makeFolderInstance(const QString &applicationTitle, int programFolderFd,
                                                   const QString &lockFileName)
{
    return std::make_unique<FlockFolderInstance>(applicationTitle, programFolderFd, lockFileName);
}

} // namespace vellumite
