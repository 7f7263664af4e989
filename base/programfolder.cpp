#include "base/programfolder.h"

#include <QFile>
#include <QStringDecoder>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vellumite {

namespace {

// Opens a folder by a path of any length: one name after the other, from the root or the current
// folder. -1 with errno set when it fails.
int openFolderByParts(const QByteArray &path)
{
    int folder = ::open(path.startsWith('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QByteArray &part : path.split('/')) {
        if (folder < 0)
            return -1;
        if (part.isEmpty() || part == ".")
            continue;
        const int next = ::openat(folder, part.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int reason = errno;
        ::close(folder);
        folder = next;
        errno = reason;
    }
    return folder;
}

// True when the folder holds, under `name`, the very file this process runs.
bool holdsThisExecutable(int folder, const QByteArray &name)
{
    struct stat running = {};
    struct stat found = {};
    return ::stat("/proc/self/exe", &running) == 0 && ::fstatat(folder, name.constData(), &found, 0) == 0
        && running.st_dev == found.st_dev && running.st_ino == found.st_ino;
}

QByteArray folderPart(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray namePart(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// The current folder's path however long it is (the C library walks up when the system call cannot
// give it), or "." when even that fails.
QByteArray currentFolderPath()
{
    const std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
    return path ? QByteArray(path.get()) : QByteArray(".");
}

} // namespace

QString readablePath(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

ProgramFolder::ProgramFolder(int fd, QString shownPath)
    : m_fd(fd)
    , m_shownPath(std::move(shownPath))
{ }

ProgramFolder::ProgramFolder(const QString &path)
    : m_fd(path.isEmpty() ? -1 : openFolderByParts(QFile::encodeName(path)))
    , m_shownPath(path)
{ }

ProgramFolder ProgramFolder::ofExecutable(const char *argv0)
{
    // The system's own name of the executable, when it fits the buffer the system fills.
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length > 0 && size_t(length) < buffer.size()) {
        const QByteArray path(buffer.data(), length);
        const int folder = openFolderByParts(folderPart(path));
        if (folder >= 0 && holdsThisExecutable(folder, namePart(path)))
            return ProgramFolder(folder, readablePath(folderPart(path)));
        if (folder >= 0)
            ::close(folder);
    }
    // Too long for that (or gone from there): the path the program was started by, from the folder it
    // was started in.
    const QByteArray started = argv0 ? QByteArray(argv0) : QByteArray();
    if (started.contains('/')) {
        const int folder = openFolderByParts(folderPart(started));
        if (folder >= 0 && holdsThisExecutable(folder, namePart(started))) {
            const QByteArray part = folderPart(started);
            const QByteArray shown = started.startsWith('/') ? part
                : part == "."                                ? currentFolderPath()
                                                             : currentFolderPath() + '/' + part;
            return ProgramFolder(folder, readablePath(shown));
        }
        if (folder >= 0)
            ::close(folder);
    }
    return ProgramFolder();
}

QString ProgramFolder::shownPathOf(const QString &name) const
{
    if (m_shownPath.isEmpty() || m_shownPath.endsWith(u'/'))
        return m_shownPath + name;
    return m_shownPath + u'/' + name;
}

bool ProgramFolder::contains(const QString &name) const
{
    struct stat info = {};
    return ::fstatat(m_fd.get(), QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace vellumite
