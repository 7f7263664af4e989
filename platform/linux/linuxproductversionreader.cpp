#include "platform/linux/linuxproductversionreader.h"

#include "main/core/inifile.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

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
            return IniFile::readValue(description, u"App"_s, u"Version"_s);
    }
    return {};
}

} // namespace vellumite
