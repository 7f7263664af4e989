#include "platform/linux/linuxfolderprobe.h"

#include <QFile>

namespace vellumite {

bool LinuxFolderProbe::isWritable(const QString &folder) const
{
    if (folder.isEmpty())
        return false;
    const QString probe = (folder.endsWith(u'/') ? folder : folder + u'/') + ProbeFileName;

    // A probe left by an earlier run is replaced; removing a link removes the link, never its target,
    // and the exclusive creation below never follows one.
    QFile::remove(probe);
    QFile file(probe);
    if (!file.open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
        QFile::remove(probe);
        return false;
    }
    file.close();
    file.remove();
    return true;
}

} // namespace vellumite
