#pragma once

#include "base/uniquedescriptor.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace vellumite {

// What a folder holds, as a walk sees it: symbolic links are never taken for what they point to.
enum class EntryKind { Folder, File, SymbolicLink, Other };

struct FolderEntry
{
    QString name;
    EntryKind kind = EntryKind::Other;
};

// A walk down a folder tree through open folder descriptors, as `find` walks: every step opens a name
// relative to the folder it is in, so the length of the path is no limit, and a symbolic link is never
// followed below the starting folder. Only the folder the walk is in stays open; going back up opens ".."
// and checks that it is the folder the walk came from, so a folder moved meanwhile ends the walk
// rather than leading it elsewhere. Failures give the system's reason ("Permission denied").
class FolderCursor
{
public:
    FolderCursor() = default;
    FolderCursor(const FolderCursor &) = delete;
    FolderCursor &operator=(const FolderCursor &) = delete;

    // Opens the folder the walk starts in; a symbolic link to a folder is followed for it alone.
    bool open(const QString &path, QString &reason);
    // Goes down into the folder `name` of the current folder; a symbolic link there is refused.
    bool enter(const QString &name, QString &reason);
    // Goes back up into the folder the last enter() came from.
    bool leave(QString &reason);

    // The entries of the current folder, "." and ".." left out, sorted by name without regard to case.
    // A file system that does not tell an entry's kind in the listing costs one look-up per entry.
    bool entries(std::vector<FolderEntry> &entries, QString &reason) const;
    // What `name` in the current folder is; Other also when nothing is there.
    EntryKind kindOf(const QString &name) const;
    bool exists(const QString &name) const;
    // Makes the folder `name` in the current folder.
    bool makeFolder(const QString &name, QString &reason) const;
    // Deletes the file, link or empty folder `name` of the current folder; the result is whether
    // nothing is left by that name.
    bool remove(const QString &name, EntryKind kind) const;
    // Writes a new file `name` in the current folder as a whole: a temporary file, then a rename that
    // never replaces anything. When something appeared by that name meanwhile, it stays, and that counts
    // as done.
    bool writeNewFile(const QString &name, const QByteArray &bytes, QString &reason) const;

    // The descriptor of the current folder, for reads relative to it.
    int descriptor() const { return m_fd.get(); }
    // How many folders below the starting folder the walk is.
    int depth() const { return int(m_names.size()); }
    // The path of the current folder, or of `name` in it, for messages.
    QString path(const QString &name = QString()) const;

private:
    struct Identity
    {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Identity &) const = default;
    };
    static bool identify(int fd, Identity &identity, QString &reason);

    UniqueDescriptor m_fd;
    QString m_start;
    std::vector<QString> m_names;
    // The identity of every folder from the start down to the current one.
    std::vector<Identity> m_identities;
};

} // namespace vellumite
