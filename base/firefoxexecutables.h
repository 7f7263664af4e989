#pragma once

#include <QStringView>
#include <array>

namespace vellumite {

// The names Firefox's own program is installed under on Linux: Mozilla's and most distributions', and
// Debian's for its extended-support release. A launcher of one name may start the program of the other.
inline constexpr std::array<QStringView, 2> FirefoxProgramNames { u"firefox", u"firefox-esr" };

// The launcher the Flatpak puts on PATH, named after the application's id.
inline constexpr QStringView FirefoxFlatpakId = u"org.mozilla.firefox";

// Every name Firefox stands on PATH under, in the order they are looked for.
inline constexpr std::array<QStringView, 3> FirefoxExecutableNames { FirefoxProgramNames[0],
                                                                     FirefoxProgramNames[1],
                                                                     FirefoxFlatpakId };

} // namespace vellumite
