#include "base/filelookup.h"

#include "base/inifile.h"

#include <QFileInfo>

namespace vellumite {

bool LocalFileLookup::fileExists(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString LocalFileLookup::readIniString(const QString &file, const QString &section, const QString &key) const
{
    return IniFile::readValue(file, section, key);
}

QStringList LocalFileLookup::iniSections(const QString &file) const
{
    IniFile ini(file);
    if (!ini.load())
        return {};
    return ini.sectionNames();
}

QDateTime LocalFileLookup::lastModified(const QString &path) const
{
    const QFileInfo file(path);
    return file.exists() ? file.lastModified() : QDateTime();
}

} // namespace vellumite
