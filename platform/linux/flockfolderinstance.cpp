#include "platform/linux/flockfolderinstance.h"

#include "platform/linux/showrequest.h"

#include <QFile>
#include <QtDebug>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumite {

namespace {

// "Vellumite Portable Edition" and the folder -> "vellumite-portable-edition-folder-<device>-<inode>".
QString folderServerName(const QString &applicationTitle, const struct stat &folder)
{
    QString name;
    for (const QChar c : applicationTitle.toLower())
        name += (c.isLetterOrNumber() && c.unicode() < 128) ? c : u'-';
    return name + QStringLiteral("-folder-") + QString::number(quint64(folder.st_dev), 16) + u'-'
        + QString::number(quint64(folder.st_ino), 16);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

FlockFolderInstance::FlockFolderInstance(const QString &applicationTitle, int folderFd,
                                         const QString &lockFileName, QObject *parent)
    : FolderInstance(parent)
    , m_folderFd(folderFd >= 0 ? ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0) : -1)
    , m_lockFileName(lockFileName)
{
    struct stat folder = {};
    if (m_folderFd >= 0 && ::fstat(m_folderFd, &folder) == 0)
        m_serverName = folderServerName(applicationTitle, folder);
}

FlockFolderInstance::~FlockFolderInstance()
{
    release();
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

void FlockFolderInstance::release()
{
    if (m_heldFd < 0)
        return;
    // Removed while it is still held: a start that opened it meanwhile finds that its lock is on a
    // file no longer in the folder, and tries again.
    if (m_holdsLockFile)
        ::unlinkat(m_folderFd, QFile::encodeName(m_lockFileName).constData(), 0);
    if (m_heldFd != m_folderFd)
        ::close(m_heldFd);
    m_heldFd = -1;
    m_holdsLockFile = false;
}

FolderInstance::Claim FlockFolderInstance::claim()
{
    if (m_heldFd >= 0)
        return Claim::Taken;
    if (m_folderFd < 0)
        return Claim::Unavailable;
    return claimLockFile();
}

FolderInstance::Claim FlockFolderInstance::claimLockFile()
{
    const QByteArray name = QFile::encodeName(m_lockFileName);
    // Opened for reading: a descriptor open for writing would keep the medium from being made read-only.
    // Network file systems lock only what is open for writing.
    int access = O_RDONLY;
    for (;;) {
        // Never through a link: whatever a link named so points at is not ours to lock or remove.
        const int fd
            = ::openat(m_folderFd, name.constData(), access | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return claimFolder();
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int reason = errno;
            ::close(fd);
            if (reason == EWOULDBLOCK)
                return Claim::Busy;
            if (reason == EBADF && access == O_RDONLY) {
                access = O_RDWR;
                continue;
            }
            return claimFolder();
        }
        struct stat held = {};
        struct stat named = {};
        if (::fstat(fd, &held) == 0
            && ::fstatat(m_folderFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
            && sameFile(held, named)) {
            m_heldFd = fd;
            m_holdsLockFile = true;
            return Claim::Taken;
        }
        // The holder removed it between our open and our lock: the next one made is the lock.
        ::close(fd);
    }
}

FolderInstance::Claim FlockFolderInstance::claimFolder()
{
    if (::flock(m_folderFd, LOCK_EX | LOCK_NB) == 0) {
        m_heldFd = m_folderFd;
        return Claim::Taken;
    }
    if (errno == EWOULDBLOCK)
        return Claim::Busy;
    qWarning("The program folder cannot be locked, so another copy of the program could work on it at "
             "the same time: %s",
             std::strerror(errno));
    return Claim::Unavailable;
}

FolderInstance::Answer FlockFolderInstance::askHolderToShow()
{
    if (m_serverName.isEmpty())
        return Answer::NoAnswer;
    switch (askToShow(m_serverName, QLocalSocket::AbstractNamespaceOption)) {
    case ShowAnswer::Shown:
        return Answer::Shown;
    case ShowAnswer::OtherUser:
        return Answer::OtherUser;
    case ShowAnswer::NoAnswer:
        break;
    }
    return Answer::NoAnswer;
}

bool FlockFolderInstance::startListening()
{
    if (m_heldFd < 0 || m_serverName.isEmpty())
        return false;
    if (m_server)
        return m_server->isListening();
    m_server = new ShowRequestServer(this);
    connect(m_server, &ShowRequestServer::showRequested, this, &FolderInstance::showRequested);
    return m_server->listen(m_serverName, QLocalServer::AbstractNamespaceOption);
}

} // namespace vellumite
