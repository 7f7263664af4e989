#include "platform/linux/linuxfolderprobe.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

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

bool LinuxFolderProbe::isFileWritable(const QString &path) const
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) != 0)
        return true;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(name.constData(), W_OK) == 0;
}

} // namespace vellumite
