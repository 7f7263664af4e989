#pragma once

#include "platform/productversionreader.h"
#include "platform/programlauncher.h"
#include "platform/systemlookup.h"

#include <memory>

namespace vellumite {

// What the main window needs of the system to find and start browsers.
struct BrowserServices
{
    std::unique_ptr<SystemLookup> lookup;
    std::unique_ptr<ProductVersionReader> versions;
    std::unique_ptr<ProgramLauncher> launcher;
};

// The services of the desktop this program runs on.
BrowserServices makeBrowserServices();

} // namespace vellumite
