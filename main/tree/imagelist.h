#pragma once

#include "main/core/bookmark.h"

#include <QIcon>
#include <QPixmap>
#include <array>

class QPainter;

namespace vellumite {

// Indices of the main window's image list. They are stored in bookmark records and named by menus, so
// their order is fixed. The icon of a browser sits at the browser's code (0 to 4 and 15 to 19) and the
// icon of a link state at its LinkState value (9 to 11).
enum ImageListIndex : int {
    ImageOpenWith = 5,
    ImageFolder = FolderImageIndex,
    ImageContents = 7,
    ImageDelete = 8,
    ImageLinkNotVerified = LinkNotVerified,
    ImageLinkAlive = LinkAlive,
    ImageLinkBroken = LinkBroken,
    ImageSupport = 12,
    ImageCheckUrl = 13,
    ImageAdd = 14,
};

// The main window's 20 icons of 16 x 16 pixels with alpha, loaded once from the program's resources.
// An index outside the list (a record read from a damaged file may hold one) yields a null pixmap and an
// empty icon, and draws nothing.
class ImageList
{
public:
    static constexpr int ImageCount = 20;
    static constexpr int ImageSize = 16;

    ImageList();

    // The list shared by every window; the first call must come after the application object exists.
    static const ImageList &instance();

    // The resource path of image index, such as ":/icons/06-folder.png"; empty outside the list.
    static QString resourcePath(int index);

    int count() const { return ImageCount; }
    int width() const { return ImageSize; }
    int height() const { return ImageSize; }
    bool isValidIndex(int index) const { return index >= 0 && index < ImageCount; }

    QPixmap pixmap(int index) const;
    QIcon icon(int index) const;

    // Draws image index in its normal (enabled) look with its top left corner at x, y.
    void draw(QPainter &painter, int x, int y, int index) const;

private:
    std::array<QPixmap, ImageCount> m_pixmaps;
    std::array<QIcon, ImageCount> m_icons;
};

} // namespace vellumite
