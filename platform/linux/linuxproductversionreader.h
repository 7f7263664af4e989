#pragma once

#include "platform/productversion.h"

namespace vellumite {

// Linux executables carry no version resource. The Mozilla browsers describe themselves in an
// application.ini in their install folder, whose [App] Version is taken; every other executable has no
// product version. The install folder is found as findMozillaInstall finds it (mozillainstall.h).
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
