#pragma once

#include <QString>
#include <QStringList>

namespace vellumite {

// The ways Firefox is installed on Linux; each keeps its profiles in a folder of its own.
enum class FirefoxPackage { Distribution, Snap, Flatpak };

// The folder that holds profiles.ini for a package's Firefox, by Firefox's own rule: ~/.mozilla/firefox
// where that folder exists, else mozilla/firefox below the XDG configuration folder ($XDG_CONFIG_HOME,
// ~/.config when it is unset). The Flatpak applies the rule below its own home folder; the snap keeps to
// its old folder. The folder need not exist.
QString firefoxProfileRoot(FirefoxPackage package);

// Every folder of the user's where a Firefox of any package or a SeaMonkey keeps profiles and that
// exists, the old and the XDG folder of a package both.
QStringList existingMozillaProfileRoots();

} // namespace vellumite
