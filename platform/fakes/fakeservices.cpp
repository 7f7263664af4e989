#include "platform/fakes/fakeservices.h"

namespace vellumite {

namespace {

template<typename Fake, typename Interface> Fake *install(std::unique_ptr<Interface> &slot)
{
    auto fake = std::make_unique<Fake>();
    Fake *raw = fake.get();
    slot = std::move(fake);
    return raw;
}

} // namespace

FakeServices makeFakeServices()
{
    FakeServices fakes;
    fakes.folderProbe = install<FakeFolderProbe>(fakes.services.folderProbe);
    fakes.singleInstance = install<FakeSingleInstance>(fakes.services.singleInstance);
    fakes.sessionEnd = install<FakeSessionEnd>(fakes.services.sessionEnd);
    fakes.messages = install<FakeMessageService>(fakes.services.messages);
    fakes.shell = install<FakeShell>(fakes.services.shell);
    fakes.systemLookup = install<FakeSystemLookup>(fakes.services.systemLookup);
    fakes.systemLookup->setPathStyle(PathStyle::Linux);
    fakes.productVersions = install<FakeProductVersionReader>(fakes.services.productVersions);
    fakes.launcher = install<FakeProgramLauncher>(fakes.services.launcher);
    fakes.urlTester = install<FakeUrlTester>(fakes.services.urlTester);
    fakes.hotKeys = install<FakeGlobalHotKeys>(fakes.services.hotKeys);
    fakes.foregroundWindow = install<FakeForegroundWindow>(fakes.services.foregroundWindow);
    fakes.pageQuery = install<FakeBrowserPageQuery>(fakes.services.pageQuery);
    fakes.pickers = install<FakePickers>(fakes.services.pickers);
    return fakes;
}

} // namespace vellumite
