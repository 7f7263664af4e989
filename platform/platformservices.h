#pragma once

#include "platform/browserpagequery.h"
#include "platform/folderinstance.h"
#include "platform/folderprobe.h"
#include "platform/foregroundwindow.h"
#include "platform/globalhotkeys.h"
#include "platform/messageservice.h"
#include "platform/pickers.h"
#include "platform/productversion.h"
#include "platform/programlauncher.h"
#include "platform/sessionend.h"
#include "platform/shell.h"
#include "platform/singleinstance.h"
#include "platform/systemlookup.h"
#include "platform/urltester.h"

#include <memory>

namespace vellumite {

// The services of the desktop the program runs on, handed to the windows that need them.
struct PlatformServices
{
    std::unique_ptr<FolderProbe> folderProbe;
    // The lock on the program folder (null where none was taken), and the one instance of a user.
    std::unique_ptr<FolderInstance> folderInstance;
    std::unique_ptr<SingleInstance> singleInstance;
    std::unique_ptr<SessionEnd> sessionEnd;
    std::unique_ptr<MessageService> messages;
    // The desktop's opener for the help file and mail addresses.
    std::unique_ptr<Shell> shell;
    // Finding browsers and their stores, their versions, and starting them.
    std::unique_ptr<SystemLookup> systemLookup;
    std::unique_ptr<ProductVersionReader> productVersions;
    std::unique_ptr<ProgramLauncher> launcher;
    // The HTTP test of link verification.
    std::unique_ptr<UrlTester> urlTester;
    // The capture hot key, the window in front and the page its browser shows; the options pickers.
    std::unique_ptr<GlobalHotKeys> hotKeys;
    std::unique_ptr<ForegroundWindow> foregroundWindow;
    std::unique_ptr<BrowserPageQuery> pageQuery;
    std::unique_ptr<Pickers> pickers;
};

// The backings of this desktop (built with the widget library, since some need the application
// object). Call it once, after the QApplication exists; `applicationTitle` names the single instance.
// The folder instance is made on its own (makeFolderInstance), before the rest.
PlatformServices makeDesktopServices(const QString &applicationTitle);
// The lock of the open program folder `programFolderFd`, held with the lock file `lockFileName` in it.
std::unique_ptr<FolderInstance> makeFolderInstance(const QString &applicationTitle, int programFolderFd,
                                                   const QString &lockFileName);

} // namespace vellumite
