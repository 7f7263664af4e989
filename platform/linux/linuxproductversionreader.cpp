#include "platform/linux/linuxproductversionreader.h"

#include "base/inifile.h"
#include "platform/linux/mozillainstall.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace vellumite {

LinuxProductVersionReader::LinuxProductVersionReader(QString systemRoot)
    : m_root(std::move(systemRoot))
{ }

QString LinuxProductVersionReader::applicationDescription(const QString &fileName) const
{
    return findMozillaInstall(fileName, m_root).description;
}

QString LinuxProductVersionReader::productVersion(const QString &fileName) const
{
    const QString description = applicationDescription(fileName);
    return description.isEmpty() ? QString() : IniFile::readValue(description, u"App"_s, u"Version"_s);
}

QString LinuxProductVersionReader::installFolder(const QString &fileName) const
{
    const QString description = applicationDescription(fileName);
    return description.isEmpty() ? QString() : QFileInfo(description).canonicalPath();
}

} // namespace vellumite
