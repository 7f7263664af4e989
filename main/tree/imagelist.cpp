#include "main/tree/imagelist.h"

#include <QLatin1StringView>
#include <QPainter>

// The resources are compiled into a static library: name them here so the linker keeps them.
static void initImageResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace vellumite {

namespace {

constexpr std::array<QLatin1StringView, ImageList::ImageCount> ImageFileNames = {
    QLatin1StringView("00-internet-explorer.png"),
    QLatin1StringView("01-firefox.png"),
    QLatin1StringView("02-opera.png"),
    QLatin1StringView("03-seamonkey.png"),
    QLatin1StringView("04-netscape.png"),
    QLatin1StringView("05-open-with.png"),
    QLatin1StringView("06-folder.png"),
    QLatin1StringView("07-contents.png"),
    QLatin1StringView("08-delete.png"),
    QLatin1StringView("09-link-not-verified.png"),
    QLatin1StringView("10-link-alive.png"),
    QLatin1StringView("11-link-broken.png"),
    QLatin1StringView("12-support.png"),
    QLatin1StringView("13-check-url.png"),
    QLatin1StringView("14-add.png"),
    QLatin1StringView("15-maxthon.png"),
    QLatin1StringView("16-safari.png"),
    QLatin1StringView("17-k-meleon.png"),
    QLatin1StringView("18-theworld.png"),
    QLatin1StringView("19-avant.png"),
};

} // namespace

ImageList::ImageList()
{
    initImageResources();
    for (int index = 0; index < ImageCount; ++index) {
        m_pixmaps[index] = QPixmap(resourcePath(index));
        m_icons[index] = QIcon(m_pixmaps[index]);
    }
}

const ImageList &ImageList::instance()
{
    static const ImageList list;
    return list;
}

QString ImageList::resourcePath(int index)
{
    if (index < 0 || index >= ImageCount)
        return {};
    return QLatin1StringView(":/icons/") + ImageFileNames[index];
}

QPixmap ImageList::pixmap(int index) const
{
    return isValidIndex(index) ? m_pixmaps[index] : QPixmap();
}

QIcon ImageList::icon(int index) const
{
    return isValidIndex(index) ? m_icons[index] : QIcon();
}

void ImageList::draw(QPainter &painter, int x, int y, int index) const
{
    if (isValidIndex(index))
        painter.drawPixmap(x, y, m_pixmaps[index]);
}

} // namespace vellumite
