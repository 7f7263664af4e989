#pragma once

#include "base/uniquedescriptor.h"

#include <QString>

namespace vellumite {

// The program's folder, held open for the whole run. Its files are reached relative to this
// descriptor (openat, renameat, unlinkat), so neither the bytes of the folder's path (a name that is
// not UTF-8, as unpacking a Windows archive or a medium mounted with another character set gives) nor
// its length (beyond PATH_MAX) matter. The path is kept only to be shown.
class ProgramFolder
{
public:
    // Not open: every file in it is missing, nothing can be written.
    ProgramFolder() = default;
    // The folder at `path`, opened one name at a time, so a path of any length opens.
    explicit ProgramFolder(const QString &path);

    // The folder of the running executable: the one /proc/self/exe names, or, where that path is too
    // long to be read, the folder of `argv0` (as the program was started, ./PortableVellumite for one),
    // each only when it holds this very executable.
    static ProgramFolder ofExecutable(const char *argv0);

    bool isOpen() const { return m_fd.isValid(); }
    // The open descriptor (-1 when not open); it stays this object's.
    int fd() const { return m_fd.get(); }
    // The path for messages: as the system gave it, decoded as Latin-1 where it is not UTF-8, so that
    // it reads well even where it cannot be typed back.
    const QString &shownPath() const { return m_shownPath; }
    QString shownPathOf(const QString &name) const;
    // Whether anything stands under `name` in the folder (a link counts as itself).
    bool contains(const QString &name) const;

private:
    ProgramFolder(int fd, QString shownPath);

    UniqueDescriptor m_fd;
    QString m_shownPath;
};

// What the system's bytes of a path read as: UTF-8 where they are that, else Latin-1.
QString readablePath(const QByteArray &bytes);

} // namespace vellumite
