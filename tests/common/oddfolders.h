#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Program folders that a path of the system's text cannot reach: a name that is not UTF-8, and a path
// longer than PATH_MAX. Everything here works one name at a time, relative to open folders.
namespace vellumite::testfiles {

// A folder name holding a Latin-1 byte, as unpacking a Windows archive gives.
inline const QByteArray Latin1FolderName = QByteArrayLiteral("Cl\xe9 latin1");

// Makes `depth` folders named `name`, each inside the one before, below the open folder `base`; returns
// the deepest one open, or -1. With a 200-byte name and a depth of 21 the path is over 4,200 bytes.
inline int makeFolderChain(int base, const QByteArray &name, int depth)
{
    int folder = ::fcntl(base, F_DUPFD_CLOEXEC, 0);
    for (int level = 0; level < depth && folder >= 0; ++level) {
        ::mkdirat(folder, name.constData(), 0700);
        const int next = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = next;
    }
    return folder;
}

// The path `makeFolderChain` made, below `base`.
inline QByteArray folderChainPath(const QByteArray &base, const QByteArray &name, int depth)
{
    QByteArray path = base;
    for (int level = 0; level < depth; ++level)
        path += '/' + name;
    return path;
}

// Copies the file at `from` to `name` in the open folder, with `mode`.
inline bool copyFileInto(const QString &from, int folder, const char *name, mode_t mode)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    const int fd = ::openat(folder, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written <= 0)
            break;
        done += written;
    }
    return ::close(fd) == 0 && done == bytes.size();
}

// Reads the whole file `name` of the open folder; empty when it cannot.
inline QByteArray readFileIn(int folder, const char *name)
{
    const int fd = ::openat(folder, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray bytes;
    char buffer[65536];
    for (ssize_t count; (count = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, count);
    ::close(fd);
    return bytes;
}

// Removes `name` of the open folder with all it holds, one name at a time (a temporary folder cannot
// remove what its path does not reach).
inline bool removeAllAt(int folder, const char *name)
{
    if (::unlinkat(folder, name, 0) == 0)
        return true;
    const int fd = ::openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR *entries = ::fdopendir(fd);
    if (!entries) {
        ::close(fd);
        return false;
    }
    bool removed = true;
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray child(entry->d_name);
        if (child != "." && child != "..")
            removed = removeAllAt(::dirfd(entries), entry->d_name) && removed;
    }
    ::closedir(entries);
    return ::unlinkat(folder, name, AT_REMOVEDIR) == 0 && removed;
}

// Changes into the folder at `path`, one name at a time (for a child process, before its exec).
inline bool changeFolderByParts(const QByteArray &path)
{
    if (path.startsWith('/') && ::chdir("/") != 0)
        return false;
    for (const QByteArray &part : path.split('/')) {
        if (!part.isEmpty() && ::chdir(part.constData()) != 0)
            return false;
    }
    return true;
}

} // namespace vellumite::testfiles
