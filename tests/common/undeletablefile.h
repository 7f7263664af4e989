#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vellumite::testfiles {

// Makes a file impossible to delete while it lives, as a file held by another user would be: through
// the immutable flag for root, whom permissions do not stop, and through a read-only folder for anyone
// else, which keeps every other entry of that folder too: a test gives the file a folder of its own.
// isSet() is false where neither can be done (a file system without the flag, or root without the
// capability to set it).
class UndeletableFile
{
public:
    explicit UndeletableFile(const QString &path)
        : m_path(path)
        , m_folder(QFileInfo(path).absolutePath())
    {
        if (::geteuid() == 0) {
            m_immutable = setImmutable(true);
            m_set = m_immutable;
        } else {
            m_permissions = QFile::permissions(m_folder);
            m_set = QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
        }
    }
    ~UndeletableFile()
    {
        if (m_immutable)
            setImmutable(false);
        else if (m_set)
            QFile::setPermissions(m_folder, m_permissions);
    }
    UndeletableFile(const UndeletableFile &) = delete;
    UndeletableFile &operator=(const UndeletableFile &) = delete;
    bool isSet() const { return m_set; }

private:
    bool setImmutable(bool on) const
    {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QString m_path;
    QString m_folder;
    QFile::Permissions m_permissions;
    bool m_immutable = false;
    bool m_set = false;
};

} // namespace vellumite::testfiles
