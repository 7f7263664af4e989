#include "exchange/core/favoritesfolder.h"

#include "base/inifile.h"
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

// Entries sorted by name, so the order does not depend on the file system's.
QFileInfoList entries(const QString &folder, QDir::Filters filters)
{
    return QDir(folder).entryInfoList(filters | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                      QDir::Name | QDir::IgnoreCase);
}

// The entry name less its extension: without the text from its last ".".
QString shortcutTitle(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

QString readShortcutLink(const QString &path)
{
    QByteArray bytes;
    // An unreadable or oversized shortcut gives an empty link, as a malformed one does.
    if (!readStoreFile(path, MaximumShortcutFileSize, bytes).isEmpty())
        return QString();
    return internetShortcutLink(bytes);
}

// False when the folder holds a shortcut but `parent` lies too deep for one more level.
bool importUrlFiles(const QString &folder, BookmarkNode &parent, int depth, qint32 browserCode)
{
    for (const QFileInfo &entry : entries(folder, QDir::Files | QDir::Hidden)) {
        if (!isShortcutName(entry.fileName()))
            continue;
        if (depth >= MaxStoreLevels)
            return false;
        TBookmark record = makeBookmarkRecord(shortcutTitle(entry.fileName()),
                                              readShortcutLink(entry.filePath()), browserCode);
        record.ImportSource = FromFavorites;
        parent.appendChild(std::make_unique<BookmarkNode>(std::move(record)));
    }
    return true;
}

// True when `path` exists as anything, a symbolic link (even a dangling one) included.
bool somethingAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString cannotCreateFolderMessage(const QString &path)
{
    return u"Cannot create folder \"%1\"."_s.arg(
        QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

// The folder for a category below `parent`: an existing real folder is reused; anything else there (a
// file, a symbolic link) is refused, since writing through it would leave the Favorites folder.
QString categoryFolder(const QString &parent, const QString &name, QString &error)
{
    const QString path = parent + u'/' + name;
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isDir())) {
        error = cannotCreateFolderMessage(path);
        return {};
    }
    if (!info.exists() && !QDir(parent).mkdir(name)) {
        error = cannotCreateFolderMessage(path);
        return {};
    }
    return path;
}

QString writeShortcut(const QString &folder, const TBookmark &record)
{
    const QString path = folder + u'/' + favoritesFileName(record.Description) + u".url"_s;
    // Existing shortcuts are never overwritten; neither is whatever else holds the name.
    if (somethingAt(path)) {
        const QFileInfo info(path);
        return info.isDir() && !info.isSymLink() ? cannotCreateFileMessage(path, u"It is a folder."_s)
                                                 : QString();
    }
    return writeStoreFile(path, internetShortcutText(record.Link));
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
    const QFileInfo root(path);
    const QString shown = QDir::toNativeSeparators(root.absoluteFilePath());
    if (!root.isDir())
        return u"The folder \"%1\" does not exist."_s.arg(shown);

    // Each folder's sub-folders are read (and filled) first, then its shortcut files: the order of the
    // recursive walk, kept on an explicit stack.
    struct Step
    {
        QString folder;
        BookmarkNode *category;
        int depth; // of the category; 0 for the folder itself
        bool filesOnly; // the sub-folders are done
    };
    BookmarkNode read;
    const QString tooDeep = u"The folder \"%1\" cannot be read. %2"_s.arg(shown, storeTooDeepReason());
    std::vector<Step> pending { { root.filePath(), &read, 0, false } };
    while (!pending.empty()) {
        Step step = std::move(pending.back());
        pending.pop_back();
        if (step.filesOnly) {
            if (!importUrlFiles(step.folder, *step.category, step.depth, browserCode))
                return tooDeep;
            continue;
        }
        pending.push_back({ step.folder, step.category, step.depth, true });
        const QFileInfoList subFolders = entries(step.folder, QDir::Dirs);
        if (!subFolders.isEmpty() && step.depth >= MaxStoreLevels)
            return tooDeep;
        std::vector<Step> filled;
        for (const QFileInfo &entry : subFolders) {
            TBookmark record = makeCategoryRecord(entry.fileName());
            record.ImportSource = FromFavorites;
            BookmarkNode *category
                = step.category->appendChild(std::make_unique<BookmarkNode>(std::move(record)));
            filled.push_back({ entry.filePath(), category, step.depth + 1, false });
        }
        // The stack takes the last first.
        for (auto it = filled.rbegin(); it != filled.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    staging.appendChildren(read.takeAllChildren());
    return QString();
}

QStringList ClearFolder(const QString &path)
{
    QStringList left;
    const QFileInfoList content
        = QDir(path).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : content) {
        // QDir::removeRecursively removes symbolic links inside without following them.
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
        if (somethingAt(entry.filePath()))
            left << entry.fileName();
    }
    return left;
}

QString notClearedMessage(const QString &path, const QStringList &left)
{
    constexpr qsizetype shownNames = 10;
    QStringList names;
    for (const QString &name : left.first(std::min(left.size(), shownNames)))
        names << u'"' + name + u'"';
    QString list = names.join(u", "_s);
    if (left.size() > shownNames)
        list += u", and %1 more"_s.arg(left.size() - shownNames);
    return u"The Favorites folder \"%1\" could not be emptied before the bookmarks were written to it. "
           "Still there: %2."_s.arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), list);
}

QString writeFavoritesFolder(const BookmarkNode &rootCategory, const QString &path, ExportMode mode,
                             QStringList &notDeleted)
{
    notDeleted.clear();
    const QFileInfo root(path);
    if (!root.isDir())
        return u"The folder \"%1\" does not exist."_s.arg(QDir::toNativeSeparators(root.absoluteFilePath()));
    // What the clear cannot delete stays beside the tree: stopping here would leave the user with an
    // emptied folder and nothing written.
    if (mode == ExportMode::Replace)
        notDeleted = ClearFolder(path);

    std::vector<std::pair<const BookmarkNode *, QString>> pending { { &rootCategory, root.filePath() } };
    while (!pending.empty()) {
        const auto [node, folder] = std::move(pending.back());
        pending.pop_back();
        std::vector<std::pair<const BookmarkNode *, QString>> categories;
        for (int row = 0; row < node->childCount(); ++row) {
            const BookmarkNode *child = node->child(row);
            if (!child->record.IsCategory) {
                if (QString error = writeShortcut(folder, child->record); !error.isEmpty())
                    return error;
                continue;
            }
            QString name = favoritesFileName(child->record.CategoryName);
            if (name.trimmed().isEmpty())
                name = UnnamedFolder;
            QString error;
            const QString sub = categoryFolder(folder, name, error);
            if (!error.isEmpty())
                return error;
            categories.emplace_back(child, sub);
        }
        for (auto it = categories.rbegin(); it != categories.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    return QString();
}

} // namespace vellumite
