#pragma once

#include "platform/folderprobe.h"
#include "platform/messageservice.h"
#include "platform/sessionend.h"
#include "platform/shell.h"
#include "platform/singleinstance.h"

#include <memory>

namespace vellumite {

// The services of the desktop the program runs on, handed to the windows that need them.
struct PlatformServices
{
    std::unique_ptr<FolderProbe> folderProbe;
    std::unique_ptr<SingleInstance> singleInstance;
    std::unique_ptr<SessionEnd> sessionEnd;
    std::unique_ptr<MessageService> messages;
    std::unique_ptr<Shell> shell;
};

// The backings of this desktop (built with the widget library, since some need the application
// object). Call it once, after the QApplication exists; `applicationTitle` names the single instance.
PlatformServices makeDesktopServices(const QString &applicationTitle);

} // namespace vellumite
