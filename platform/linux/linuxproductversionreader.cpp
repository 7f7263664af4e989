#include "platform/linux/linuxproductversionreader.h"

#include "platform/linux/inikeyreader.h"

#include <QDir>
#include <QFileInfo>

namespace vellumite {

QString LinuxProductVersionReader::productVersion(const QString &fileName) const
{
    const QFileInfo executable(fileName);
    if (fileName.isEmpty() || !executable.isFile())
        return {};
    // /usr/bin/firefox usually links to the executable in the browser's own folder.
    const QString folders[]
        = { QFileInfo(executable.canonicalFilePath()).absolutePath(), executable.absolutePath() };
    for (const QString &folder : folders) {
        const QString description = folder + u"/application.ini";
        if (QFileInfo(description).isFile())
            return readIniKey(description, u"App", u"Version");
    }
    return {};
}

} // namespace vellumite
