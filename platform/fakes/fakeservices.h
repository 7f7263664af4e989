#pragma once

#include "platform/fakes/fakedesktopwindows.h"
#include "platform/fakes/fakefolderprobe.h"
#include "platform/fakes/fakeglobalhotkeys.h"
#include "platform/fakes/fakemessageservice.h"
#include "platform/fakes/fakeproductversion.h"
#include "platform/fakes/fakeprogramlauncher.h"
#include "platform/fakes/fakesessionend.h"
#include "platform/fakes/fakeshell.h"
#include "platform/fakes/fakesingleinstance.h"
#include "platform/fakes/fakesystemlookup.h"
#include "platform/fakes/fakeurltester.h"
#include "platform/platformservices.h"

namespace vellumite {

// Fakes of every service: `services` owns them, the typed pointers let a test set and look.
struct FakeServices
{
    PlatformServices services;
    FakeFolderProbe *folderProbe = nullptr;
    FakeSingleInstance *singleInstance = nullptr;
    FakeSessionEnd *sessionEnd = nullptr;
    FakeMessageService *messages = nullptr;
    FakeShell *shell = nullptr;
    // In the Linux style, as the program runs here; nothing is installed until a test says so.
    FakeSystemLookup *systemLookup = nullptr;
    FakeProductVersionReader *productVersions = nullptr;
    FakeProgramLauncher *launcher = nullptr;
    FakeUrlTester *urlTester = nullptr;
    FakeGlobalHotKeys *hotKeys = nullptr;
    FakeForegroundWindow *foregroundWindow = nullptr;
    FakeBrowserPageQuery *pageQuery = nullptr;
    FakePickers *pickers = nullptr;
};

FakeServices makeFakeServices();

} // namespace vellumite
