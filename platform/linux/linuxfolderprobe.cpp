#include "platform/linux/linuxfolderprobe.h"

#include "base/programfolder.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumite {

bool LinuxFolderProbe::isWritable(const ProgramFolder &folder) const
{
    if (!folder.isOpen())
        return false;
    const QByteArray probe = QFile::encodeName(ProbeFileName);
    // A probe left by an earlier run is replaced; removing a link removes the link, never its target,
    // and the exclusive creation below never follows one.
    ::unlinkat(folder.fd(), probe.constData(), 0);
    const int fd = ::openat(folder.fd(), probe.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        ::unlinkat(folder.fd(), probe.constData(), 0);
        return false;
    }
    ::close(fd);
    ::unlinkat(folder.fd(), probe.constData(), 0);
    return true;
}

bool LinuxFolderProbe::isFileWritable(const ProgramFolder &folder, const QString &name) const
{
    const QByteArray encoded = QFile::encodeName(name);
    struct stat info = {};
    if (::fstatat(folder.fd(), encoded.constData(), &info, 0) != 0)
        return true;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
        && ::faccessat(folder.fd(), encoded.constData(), W_OK, AT_EACCESS) == 0;
}

} // namespace vellumite
