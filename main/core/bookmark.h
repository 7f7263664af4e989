#pragma once

#include <QString>
#include <QtGlobal>

namespace vellumite {

// Colours are 0x00BBGGRR; a system colour is 0xFF000000 plus the system-colour index.
using Colour = quint32;

inline constexpr Colour PriorityHigh = 0x000000FF;
inline constexpr Colour PriorityMedium = 0x00007100;
inline constexpr Colour PriorityLow = 0x00232323;

// LinkState values; the same numbers are the icons of the "State" column.
inline constexpr qint32 LinkCategory = -1;
inline constexpr qint32 LinkNotVerified = 9;
inline constexpr qint32 LinkAlive = 10;
inline constexpr qint32 LinkBroken = 11;

// ImageIndex of a category: the folder icon.
inline constexpr qint32 FolderImageIndex = 6;

enum ImportSourceKind : qint32 { FromFavorites = 0, FromFirefox = 1, FromOpera = 2 };

// The record every node of a bookmark tree carries; the field order is the order of the values in the
// bookmark file, so it must not change.
struct TBookmark
{
    QString CategoryName;
    QString Description;
    QString Link;
    QString Comment;
    QString OperaBlock;
    bool Editable = false;
    bool IsCategory = false;
    qint32 ImageIndex = 0;
    qint32 ImportSource = 0;
    qint32 LinkState = 0;
    Colour PriorityColor = 0;

    // Column-0 text: the name of a category, the title of a bookmark.
    const QString &name() const { return IsCategory ? CategoryName : Description; }
    void setName(const QString &text) { (IsCategory ? CategoryName : Description) = text; }

    friend bool operator==(const TBookmark &, const TBookmark &) = default;
};

// The root category "Bookmarks", the first and only top-level node of a normal tree.
inline const QString RootCategoryName = QStringLiteral("Bookmarks");
TBookmark makeRootRecord();
// A new editable category or bookmark with the values every creator gives it: the folder icon for a
// category, "not verified" and the open-with browser's icon for a bookmark, low priority.
TBookmark makeCategoryRecord(const QString &name);
TBookmark makeBookmarkRecord(const QString &title, const QString &link, qint32 browserCode);

} // namespace vellumite
