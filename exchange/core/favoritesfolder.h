#pragma once

#include "exchange/core/exportmode.h"
#include "exchange/core/stagingmerge.h"
#include "main/core/bookmarktree.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The Internet Explorer Favorites folder: every sub-folder is a category, every Internet shortcut file
// ("*.url") a bookmark. The folder is walked through open folder descriptors (FolderCursor), so a tree
// nested past the system's path limit is read, written and cleared whole. Symbolic links are never
// followed, neither when reading nor when clearing or writing, so nothing outside the folder is read,
// changed or deleted and a link loop costs nothing. A name beginning with "." is what the hidden
// attribute is on Windows.
namespace vellumite {

// Folder names are the file system's, which ignores case on Windows; bookmark names are compared
// exactly.
inline constexpr NameMatch FavoritesFolderNameMatch = NameMatch::CategoriesIgnoreCase;

// A shortcut file is a few lines; a larger one gives an empty link rather than a large read.
inline constexpr qint64 MaximumShortcutFileSize = 64 * 1024;
// The longest folder or file name the export makes, in UTF-16 units, before ".url".
inline constexpr int MaximumFavoritesNameLength = 50;

// Reads the folder into the children of `staging` as plain records (ImportSource 0): under every
// category its sub-categories (each filled first), then its bookmarks; the shortcut files directly in
// the folder last. A bookmark gets `browserCode` as its ImageIndex; a shortcut file that cannot be read
// gives an empty link. A sub-folder that cannot be opened or listed, and a folder that nests entries
// deeper than MaxStoreLevels, refuse the whole store. Returns "" or the failure's text, with the system's
// reason; on failure `staging` is left as it was.
QString readFavoritesFolder(const QString &path, BookmarkNode &staging, qint32 browserCode);

// What an export into the Favorites folder left undone without stopping.
struct FavoritesWriteReport
{
    // The names of the entries that the clear before a replacing export could not delete.
    QStringList notDeleted;
    // The sub-folders, as paths, that are symbolic links where a category's folder would be: nothing was
    // written through them.
    QStringList linksLeftAlone;
};

// Writes the children of `rootCategory` into the folder as sub-folders and shortcut files. Replace
// first clears the folder (ClearFolder) and writes the tree whatever the clear could not delete. Both
// modes keep existing sub-folders and never overwrite an existing shortcut file; a symbolic link where a
// category's folder would be is left alone, with that category, and the rest is written. Each shortcut
// file is written atomically. Stops at the first folder or file it cannot make and returns its text with
// the system's reason, or "". `report` tells what was left undone either way.
QString writeFavoritesFolder(const BookmarkNode &rootCategory, const QString &path, ExportMode mode,
                             FavoritesWriteReport &report);

// Deletes the content of the folder except the entries whose names begin with "."; a symbolic link is
// removed, never followed. The folder itself stays. Goes on past an entry it cannot delete, and
// returns the names of the entries still there.
QStringList ClearFolder(const QString &path);
// What the user is told of the entries a clear of `path` left, `left` as ClearFolder gives them.
QString notClearedMessage(const QString &path, const QStringList &left);
// What the user is told of the symbolic links an export left alone.
QString linksLeftAloneMessage(const QStringList &links);
// Both, one a line; empty when the report holds nothing.
QString favoritesWriteMessage(const QString &path, const FavoritesWriteReport &report);

// The link of a shortcut file: key "URL" of section "InternetShortcut" (letter case not counted, the
// first key wins), UTF-8 or else Windows-1252, up to its first double quote; empty when missing.
QString internetShortcutLink(QByteArrayView fileBytes);
// The six lines of a shortcut file for `link`; a line break in the link is percent-encoded, so it
// cannot add lines of its own.
QByteArray internetShortcutText(const QString &link);

// The folder or file name (without ".url") for an entry named `name`: control characters and
// " * . / : < > ? \ | become spaces, then it is cut to MaximumFavoritesNameLength at a character
// boundary.
QString favoritesFileName(const QString &name);

} // namespace vellumite
