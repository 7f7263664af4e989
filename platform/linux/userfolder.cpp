#include "platform/linux/userfolder.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vellumite {

std::optional<UserFolder> UserFolder::open(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.isEmpty())
        return std::nullopt;
    // O_NONBLOCK: a pipe by that name must not stall the open before O_DIRECTORY refuses it.
    UniqueDescriptor fd(::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (!fd.isValid() || ::fstat(fd.get(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()
        || (info.st_mode & (S_IWGRP | S_IWOTH)))
        return std::nullopt;
    return UserFolder(std::move(fd), path);
}

UserFolder::UserFolder(UniqueDescriptor fd, QString path)
    : m_fd(std::move(fd))
    , m_path(std::move(path))
{ }

} // namespace vellumite
