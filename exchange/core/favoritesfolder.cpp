#include "exchange/core/favoritesfolder.h"

#include "base/foreignfile.h"
#include "base/inifile.h"
#include "exchange/core/foldercursor.h"
#include "exchange/core/storefile.h"
#include "main/core/functii.h"
#include "main/core/textcodec.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <utility>
#include <vector>

namespace vellumite {

namespace {

using namespace Qt::StringLiterals;

// The Windows and System folders of a default installation, so that the files stay readable by
// Windows programs.
constexpr QByteArrayView WindowsFolder = "C:\\WINDOWS\\";
constexpr QByteArrayView SystemFolder = "C:\\WINDOWS\\system32";

// A category whose name cleans to nothing still needs a folder of its own: written into its parent's
// folder, its content would mix with its siblings.
const QString UnnamedFolder = u"Untitled"_s;

bool isShortcutName(const QString &fileName)
{
    return fileName.endsWith(u".url"_s, Qt::CaseInsensitive);
}

// The entry name less its extension: without the text from its last ".".
QString shortcutTitle(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString folderMissingMessage(const QString &path)
{
    return u"The folder \"%1\" does not exist."_s.arg(shownPath(path));
}

QString cannotReadFolderMessage(const QString &shown, const QString &reason)
{
    return u"The folder \"%1\" cannot be read. %2"_s.arg(shown, reason);
}

QString cannotCreateFolderMessage(const QString &shown, const QString &reason)
{
    return u"Cannot create folder \"%1\". %2"_s.arg(shown, reason);
}

QString cannotOpenFolderMessage(const QString &shown, const QString &reason)
{
    return u"Cannot open folder \"%1\". %2"_s.arg(shown, reason);
}

// Up to ten quoted names, then how many more there are.
QString quotedList(const QStringList &names)
{
    constexpr qsizetype shownNames = 10;
    QStringList quoted;
    for (const QString &name : names.first(std::min(names.size(), shownNames)))
        quoted << u'"' + name + u'"';
    QString list = quoted.join(u", "_s);
    if (names.size() > shownNames)
        list += u", and %1 more"_s.arg(names.size() - shownNames);
    return list;
}

// One folder of the import: its category, the categories made there for its sub-folders, filled in
// turn, then its shortcut files.
struct ReadFolder
{
    BookmarkNode *category = nullptr;
    std::vector<QString> subFolders;
    std::vector<BookmarkNode *> categories;
    std::vector<QString> shortcuts;
    size_t next = 0;
};

// Lists the folder the cursor is in and makes the categories of its sub-folders in its category.
QString listFolder(const FolderCursor &cursor, ReadFolder &folder, const QString &tooDeep)
{
    std::vector<FolderEntry> entries;
    QString reason;
    if (!cursor.entries(entries, reason))
        return cannotReadFolderMessage(cursor.path(), reason);
    for (FolderEntry &entry : entries) {
        if (entry.kind == EntryKind::Folder && !entry.name.startsWith(u'.'))
            folder.subFolders.push_back(std::move(entry.name));
        else if (entry.kind == EntryKind::File && isShortcutName(entry.name))
            folder.shortcuts.push_back(std::move(entry.name));
    }
    // Both a sub-folder and a shortcut would lie one level below this folder's category.
    if ((!folder.subFolders.empty() || !folder.shortcuts.empty()) && cursor.depth() >= MaxStoreLevels)
        return tooDeep;
    for (const QString &name : folder.subFolders) {
        TBookmark record = makeCategoryRecord(name);
        record.ImportSource = FromFavorites;
        folder.categories.push_back(
            folder.category->appendChild(std::make_unique<BookmarkNode>(std::move(record))));
    }
    return QString();
}

void importShortcuts(const FolderCursor &cursor, const ReadFolder &folder, qint32 browserCode)
{
    for (const QString &name : folder.shortcuts) {
        // An unreadable or oversized shortcut gives an empty link, as a malformed one does.
        const ForeignFileRead read = readForeignFileAt(cursor.descriptor(), name, MaximumShortcutFileSize);
        TBookmark record = makeBookmarkRecord(
            shortcutTitle(name), read.ok() ? internetShortcutLink(read.bytes) : QString(), browserCode);
        record.ImportSource = FromFavorites;
        folder.category->appendChild(std::make_unique<BookmarkNode>(std::move(record)));
    }
}

// Deletes the folder `name` of the cursor's folder with everything in it, symbolic links removed and
// never followed; goes on past what it cannot delete. False when the cursor lost its way (a folder was
// moved meanwhile): it is then in no known folder.
bool removeFolderTree(FolderCursor &cursor, const QString &name)
{
    struct Level
    {
        QString name;
        std::vector<FolderEntry> entries;
        size_t next = 0;
    };
    std::vector<Level> levels;
    QString reason;
    const auto descend = [&](const QString &folder) {
        if (!cursor.enter(folder, reason))
            return false;
        Level level { folder, {}, 0 };
        cursor.entries(level.entries, reason);
        levels.push_back(std::move(level));
        return true;
    };
    if (!descend(name)) {
        cursor.remove(name, EntryKind::Folder);
        return true;
    }
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next < level.entries.size()) {
            const FolderEntry entry = level.entries[level.next++];
            if (entry.kind != EntryKind::Folder || !descend(entry.name))
                cursor.remove(entry.name, entry.kind);
            continue;
        }
        const QString done = std::move(level.name);
        levels.pop_back();
        if (!cursor.leave(reason))
            return false;
        cursor.remove(done, EntryKind::Folder);
    }
    return true;
}

// Empties the folder the cursor is in (the Favorites folder itself), the entries whose names begin with
// "." left; returns the names of the entries still there.
QStringList clearFolder(FolderCursor &cursor, const QString &path)
{
    QStringList left;
    std::vector<FolderEntry> entries;
    QString reason;
    if (!cursor.entries(entries, reason))
        return left;
    for (const FolderEntry &entry : entries) {
        if (entry.name.startsWith(u'.'))
            continue;
        if (entry.kind == EntryKind::Folder) {
            if (!removeFolderTree(cursor, entry.name) && !cursor.open(path, reason)) {
                left << entry.name;
                return left;
            }
        }
        if (!cursor.remove(entry.name, entry.kind))
            left << entry.name;
    }
    return left;
}

QString writeShortcut(const FolderCursor &cursor, const TBookmark &record)
{
    const QString name = favoritesFileName(record.Description) + u".url"_s;
    // Existing shortcuts are never overwritten; neither is whatever else holds the name.
    const EntryKind existing = cursor.kindOf(name);
    if (existing == EntryKind::Folder)
        return cannotCreateFileMessage(cursor.path(name), u"It is a folder."_s);
    if (cursor.exists(name))
        return QString();
    QString reason;
    if (!cursor.writeNewFile(name, internetShortcutText(record.Link), reason))
        return cannotCreateFileMessage(cursor.path(name), reason);
    return QString();
}

} // namespace

QString favoritesFileName(const QString &name)
{
    // The cleaning replaces ASCII bytes only, so the UTF-8 of other characters passes whole.
    QString cleaned = QString::fromUtf8(ReplaceFileNameChars(name.toUtf8(), ' '));
    if (cleaned.size() > MaximumFavoritesNameLength) {
        QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, cleaned);
        boundaries.setPosition(MaximumFavoritesNameLength);
        if (!boundaries.isAtBoundary())
            boundaries.toPreviousBoundary();
        cleaned.truncate(std::max<qsizetype>(boundaries.position(), 0));
    }
    return cleaned;
}

QString internetShortcutLink(QByteArrayView fileBytes)
{
    IniFile ini;
    ini.setData(fileBytes.toByteArray());
    const std::optional<QByteArray> value = ini.readBytes(u"InternetShortcut"_s, u"URL"_s);
    if (!value)
        return QString();
    const QString link = fromUtf8OrWindows1252(*value);
    const qsizetype quote = link.indexOf(u'"');
    return quote < 0 ? link : link.left(quote);
}

QByteArray internetShortcutText(const QString &link)
{
    QByteArray url = link.toUtf8();
    url.replace('\r', "%0D");
    url.replace('\n', "%0A");
    QByteArray text;
    text += "[InternetShortcut]\r\n";
    text += "URL=" + url + "\r\n";
    text += "WorkingDirectory=" + WindowsFolder.toByteArray() + "\r\n";
    text += "IconIndex=0\r\n";
    text += "ShowCommand=7\r\n";
    text += "IconFile=" + SystemFolder.toByteArray() + "\\url.dll\r\n";
    return text;
}

QString readFavoritesFolder(const QString &path, BookmarkNode &staging, qint32 browserCode)
{
    if (!QFileInfo(path).isDir())
        return folderMissingMessage(path);
    FolderCursor cursor;
    QString reason;
    if (!cursor.open(path, reason))
        return cannotReadFolderMessage(shownPath(path), reason);
    const QString tooDeep = cannotReadFolderMessage(cursor.path(), storeTooDeepReason());

    // Each folder's sub-folders are read (and filled) first, then its shortcut files: the order of the
    // recursive walk, kept on an explicit stack of the folders from the top one down to the cursor's.
    BookmarkNode read;
    std::vector<ReadFolder> folders(1);
    folders.back().category = &read;
    if (QString error = listFolder(cursor, folders.back(), tooDeep); !error.isEmpty())
        return error;
    while (!folders.empty()) {
        ReadFolder &folder = folders.back();
        if (folder.next < folder.subFolders.size()) {
            const size_t next = folder.next++;
            BookmarkNode *category = folder.categories[next];
            if (!cursor.enter(folder.subFolders[next], reason))
                return cannotReadFolderMessage(cursor.path(folder.subFolders[next]), reason);
            folders.emplace_back().category = category;
            if (QString error = listFolder(cursor, folders.back(), tooDeep); !error.isEmpty())
                return error;
            continue;
        }
        importShortcuts(cursor, folder, browserCode);
        folders.pop_back();
        if (!folders.empty() && !cursor.leave(reason))
            return cannotReadFolderMessage(cursor.path(), reason);
    }
    staging.appendChildren(read.takeAllChildren());
    return QString();
}

QStringList ClearFolder(const QString &path)
{
    FolderCursor cursor;
    QString reason;
    if (!cursor.open(path, reason))
        return {};
    return clearFolder(cursor, path);
}

QString notClearedMessage(const QString &path, const QStringList &left)
{
    return u"The Favorites folder \"%1\" could not be emptied before the bookmarks were written to it. "
           "Still there: %2."_s.arg(shownPath(path), quotedList(left));
}

QString linksLeftAloneMessage(const QStringList &links)
{
    if (links.size() == 1)
        return u"The folder \"%1\" is a symbolic link, so it was left alone and the bookmarks of its "
               u"category "
               "were not written: nothing is written through a link, which may lead out of the Favorites "
               "folder."_s.arg(links.first());
    return u"These folders are symbolic links, so they were left alone and the bookmarks of their categories "
           "were not written: %1. Nothing is written through a link, which may lead out of the Favorites "
           "folder."_s.arg(quotedList(links));
}

QString favoritesWriteMessage(const QString &path, const FavoritesWriteReport &report)
{
    QStringList messages;
    if (!report.notDeleted.isEmpty())
        messages << notClearedMessage(path, report.notDeleted);
    if (!report.linksLeftAlone.isEmpty())
        messages << linksLeftAloneMessage(report.linksLeftAlone);
    return messages.join(u'\n');
}

QString writeFavoritesFolder(const BookmarkNode &rootCategory, const QString &path, ExportMode mode,
                             FavoritesWriteReport &report)
{
    report = {};
    if (!QFileInfo(path).isDir())
        return folderMissingMessage(path);
    FolderCursor cursor;
    QString reason;
    if (!cursor.open(path, reason))
        return cannotOpenFolderMessage(shownPath(path), reason);
    // What the clear cannot delete stays beside the tree: stopping here would leave the user with an
    // emptied folder and nothing written.
    if (mode == ExportMode::Replace) {
        report.notDeleted = clearFolder(cursor, path);
        if (!cursor.open(path, reason))
            return cannotOpenFolderMessage(shownPath(path), reason);
    }

    // The categories from the root down to the one whose folder the cursor is in, each with the row of
    // the next child to write.
    std::vector<std::pair<const BookmarkNode *, int>> categories { { &rootCategory, 0 } };
    while (!categories.empty()) {
        auto &[node, row] = categories.back();
        if (row == node->childCount()) {
            categories.pop_back();
            if (!categories.empty() && !cursor.leave(reason))
                return cannotOpenFolderMessage(cursor.path(), reason);
            continue;
        }
        const BookmarkNode *child = node->child(row++);
        if (!child->record.IsCategory) {
            if (QString error = writeShortcut(cursor, child->record); !error.isEmpty())
                return error;
            continue;
        }
        QString name = favoritesFileName(child->record.CategoryName);
        if (name.trimmed().isEmpty())
            name = UnnamedFolder;
        // A folder of that name is reused. Nothing is written through a symbolic link, which may lead out
        // of the Favorites folder: the link is left alone and the other categories are written.
        const EntryKind existing = cursor.kindOf(name);
        if (existing == EntryKind::SymbolicLink) {
            report.linksLeftAlone << cursor.path(name);
            continue;
        }
        if (existing != EntryKind::Folder && !cursor.makeFolder(name, reason))
            return cannotCreateFolderMessage(cursor.path(name), reason);
        if (!cursor.enter(name, reason))
            return cannotOpenFolderMessage(cursor.path(name), reason);
        categories.emplace_back(child, 0);
    }
    return QString();
}

} // namespace vellumite
