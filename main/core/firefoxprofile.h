#pragma once

#include <QString>

namespace vellumite {

class SystemLookup;

// The profile of the user's Firefox that the exchange reads and writes.
struct FirefoxProfile
{
    // Empty when no profile list exists.
    QString folder;
    // The version of the Firefox that last opened the profile ("153.8.0" of compatibility.ini's
    // LastVersion=153.8.0_20261117185949/20261117185949); empty when the profile does not say.
    QString lastVersion;
};

// The profile in use. Each profile list (profiles.ini) names it in this order: the profile that an
// install's section names ([Install<hash>] of the list, or a section of installs.ini beside it), where
// several installs name different ones the one last opened by the Firefox found; then the profile
// marked Default=1; then [Profile0]. Where several folders hold profile lists, the one of the kind of
// install found is taken, else the profile of theirs that was opened last.
//
// A profile counts as opened by the Firefox found when its compatibility.ini names `installFolder`
// (LastPlatformDir); otherwise the one whose lock file (.parentlock) or compatibility.ini was written
// last counts as opened last.
// On Windows the only profile list is the one below `appData`.
FirefoxProfile findFirefoxProfile(const SystemLookup &lookup, const QString &appData,
                                  const QString &firefoxExecutable, const QString &installFolder);

} // namespace vellumite
