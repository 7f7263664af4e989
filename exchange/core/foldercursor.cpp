#include "exchange/core/foldercursor.h"

#include "base/atomicfile.h"
#include "base/systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumite {

namespace {

using namespace Qt::StringLiterals;

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;

EntryKind kindOfMode(mode_t mode)
{
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISLNK(mode))
        return EntryKind::SymbolicLink;
    return EntryKind::Other;
}

EntryKind kindOfDirent(const dirent &entry)
{
    switch (entry.d_type) {
    case DT_DIR:
        return EntryKind::Folder;
    case DT_REG:
        return EntryKind::File;
    case DT_LNK:
        return EntryKind::SymbolicLink;
    default:
        return EntryKind::Other;
    }
}

} // namespace

bool FolderCursor::identify(int fd, Identity &identity, QString &reason)
{
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        reason = systemErrorText(errno);
        return false;
    }
    identity = { quint64(info.st_dev), quint64(info.st_ino) };
    return true;
}

bool FolderCursor::open(const QString &path, QString &reason)
{
    m_fd.reset();
    m_names.clear();
    m_identities.clear();
    m_start = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const QByteArray encoded = QFile::encodeName(path);
    UniqueDescriptor fd(encoded.isEmpty() ? -1 : ::open(encoded.constData(), FolderFlags));
    if (!fd.isValid()) {
        reason = systemErrorText(encoded.isEmpty() ? ENOENT : errno);
        return false;
    }
    Identity identity;
    if (!identify(fd.get(), identity, reason))
        return false;
    m_fd = std::move(fd);
    m_identities.push_back(identity);
    return true;
}

bool FolderCursor::enter(const QString &name, QString &reason)
{
    UniqueDescriptor fd(::openat(m_fd.get(), QFile::encodeName(name).constData(), FolderFlags | O_NOFOLLOW));
    if (!fd.isValid()) {
        const int error = errno;
        reason = error == ELOOP && kindOf(name) == EntryKind::SymbolicLink ? u"It is a symbolic link."_s
                                                                           : systemErrorText(error);
        return false;
    }
    Identity identity;
    if (!identify(fd.get(), identity, reason))
        return false;
    m_fd = std::move(fd);
    m_names.push_back(name);
    m_identities.push_back(identity);
    return true;
}

bool FolderCursor::leave(QString &reason)
{
    if (m_names.empty()) {
        reason = systemErrorText(EINVAL);
        return false;
    }
    UniqueDescriptor fd(::openat(m_fd.get(), "..", FolderFlags));
    if (!fd.isValid()) {
        reason = systemErrorText(errno);
        return false;
    }
    Identity identity;
    if (!identify(fd.get(), identity, reason))
        return false;
    if (identity != m_identities[m_identities.size() - 2]) {
        reason = u"It was moved while it was being worked on."_s;
        return false;
    }
    m_fd = std::move(fd);
    m_names.pop_back();
    m_identities.pop_back();
    return true;
}

bool FolderCursor::entries(std::vector<FolderEntry> &entries, QString &reason) const
{
    entries.clear();
    // A descriptor of its own: the listing moves the descriptor's position.
    UniqueDescriptor fd(::openat(m_fd.get(), ".", FolderFlags));
    DIR *folder = fd.isValid() ? ::fdopendir(fd.get()) : nullptr;
    if (!folder) {
        reason = systemErrorText(errno);
        return false;
    }
    // The listing owns the descriptor now; closedir() closes it.
    fd.release();
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(folder);
        if (!entry)
            break;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        FolderEntry found { QFile::decodeName(entry->d_name), kindOfDirent(*entry) };
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info;
            if (::fstatat(m_fd.get(), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                found.kind = kindOfMode(info.st_mode);
        }
        entries.push_back(std::move(found));
    }
    const int error = errno;
    ::closedir(folder);
    if (error != 0) {
        reason = systemErrorText(error);
        entries.clear();
        return false;
    }
    // The file system's order is no order; the same names in the same order on every run.
    std::sort(entries.begin(), entries.end(), [](const FolderEntry &a, const FolderEntry &b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return true;
}

EntryKind FolderCursor::kindOf(const QString &name) const
{
    struct stat info;
    if (::fstatat(m_fd.get(), QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    return kindOfMode(info.st_mode);
}

bool FolderCursor::exists(const QString &name) const
{
    struct stat info;
    return ::fstatat(m_fd.get(), QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool FolderCursor::makeFolder(const QString &name, QString &reason) const
{
    if (::mkdirat(m_fd.get(), QFile::encodeName(name).constData(), 0777) == 0)
        return true;
    reason = systemErrorText(errno);
    return false;
}

bool FolderCursor::remove(const QString &name, EntryKind kind) const
{
    ::unlinkat(m_fd.get(), QFile::encodeName(name).constData(), kind == EntryKind::Folder ? AT_REMOVEDIR : 0);
    return !exists(name);
}

bool FolderCursor::writeNewFile(const QString &name, const QByteArray &bytes, QString &reason) const
{
    const QByteArray target = QFile::encodeName(name);
    // Hidden, so that a reader passes over it should the program end before the rename.
    QByteArray temporary;
    UniqueDescriptor fd;
    for (int attempt = 0; attempt < 100 && !fd.isValid(); ++attempt) {
        temporary = ".vellumite-" + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        fd.reset(::openat(m_fd.get(), temporary.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!fd.isValid() && errno != EEXIST)
            break;
    }
    if (!fd.isValid()) {
        reason = systemErrorText(errno);
        return false;
    }
    const auto failed = [&](int error) {
        ::unlinkat(m_fd.get(), temporary.constData(), 0);
        reason = systemErrorText(error);
        return false;
    };
    if (!writeAllToDescriptor(fd.get(), bytes.constData(), bytes.size()) || ::fdatasync(fd.get()) != 0)
        return failed(errno);
    // Closed here, so that a failure of the close itself is seen.
    if (::close(fd.release()) != 0)
        return failed(errno);
    if (::renameat2(m_fd.get(), temporary.constData(), m_fd.get(), target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    int error = errno;
    // A file system that cannot refuse to replace in the rename: nothing is replaced all the same.
    if (error == EINVAL || error == ENOSYS) {
        if (exists(name))
            error = EEXIST;
        else if (::renameat(m_fd.get(), temporary.constData(), m_fd.get(), target.constData()) == 0)
            return true;
        else
            error = errno;
    }
    if (error == EEXIST) {
        ::unlinkat(m_fd.get(), temporary.constData(), 0);
        return true;
    }
    return failed(error);
}

QString FolderCursor::path(const QString &name) const
{
    QString path = m_start;
    const QChar separator = QDir::separator();
    for (const QString &folder : m_names)
        path += separator + folder;
    if (!name.isEmpty())
        path += separator + name;
    return path;
}

} // namespace vellumite
