#pragma once

#include "platform/linux/mozillaprofileroots.h"

#include <QString>

namespace vellumite {

// What the executable of a Mozilla browser found on PATH starts, and where that browser describes itself
// (its application.ini). Links are followed. A launcher script (a file with no ELF header) is read as
// text, never run, and classed by the program its `exec` names by an absolute path (Ubuntu's
// /usr/bin/firefox ends with `exec /snap/bin/firefox "$@"`); a script that names none is looked through
// the way the distributions install their browsers: the browser's other executables beside the script
// (firefox-esr for firefox), the Flatpak's files for its exported launcher, and the browser's folders
// below /usr/lib, /usr/lib64 and /opt.
struct MozillaInstall
{
    FirefoxPackage package = FirefoxPackage::Distribution;
    // The browser's application.ini; empty when none was found.
    QString description;

    // Whether this is an install the user has: a snap, a Flatpak, or a distribution's browser that
    // describes itself. A script that starts nothing found is none.
    bool isKnown() const { return package != FirefoxPackage::Distribution || !description.isEmpty(); }
};

// `systemRoot` stands for "/" where absolute paths are looked for (the packages' folders, the programs
// that launcher scripts start); empty for "/" itself.
MozillaInstall findMozillaInstall(const QString &executable, const QString &systemRoot);

} // namespace vellumite
