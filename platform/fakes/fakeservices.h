#pragma once

#include "platform/fakes/fakefolderprobe.h"
#include "platform/fakes/fakemessageservice.h"
#include "platform/fakes/fakesessionend.h"
#include "platform/fakes/fakeshell.h"
#include "platform/fakes/fakesingleinstance.h"
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
};

FakeServices makeFakeServices();

} // namespace vellumite
