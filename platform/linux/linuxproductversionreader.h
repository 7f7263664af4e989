#pragma once

#include "platform/productversion.h"

namespace vellumite {

// Linux executables carry no version resource. The Mozilla browsers describe themselves in an
// application.ini in their install folder, whose [App] Version is taken; every other executable has no
// product version. The install folder is found where the distributions put it: beside the executable
// once symbolic links are followed; for the snap's command (a link to the snap program) in the snap's
// files; and behind a launcher script (a file with no ELF header, such as Debian's /usr/bin/firefox)
// beside the browser's other executables in the script's folder (firefox-esr for firefox), in the
// Flatpak's files for its exported launcher, and in the browser's folders below /usr/lib, /usr/lib64
// and /opt.
class LinuxProductVersionReader final : public ProductVersionReader
{
public:
    // `systemRoot` stands for "/" where the packages' folders are looked for; empty for "/" itself.
    explicit LinuxProductVersionReader(QString systemRoot = {});

    QString productVersion(const QString &fileName) const override;
    // The folder of the application.ini, with its links resolved.
    QString installFolder(const QString &fileName) const override;

private:
    // The application.ini of the browser that `fileName` starts; empty when there is none.
    QString applicationDescription(const QString &fileName) const;

    QString m_root;
};

} // namespace vellumite
