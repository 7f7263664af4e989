#include "controls/RzGrafx.h"

#include <QPainter>
#include <QWidget>

namespace vellumite {

namespace {

// The source part with the key colour's pixels made fully transparent.
QImage keyedOut(const QImage &bitmap, const QRect &source, TColor transparentColor)
{
    QImage image = bitmap.copy(source).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = toQColor(transparentColor).rgb() & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
        }
    }
    return image;
}

// Stretching picks the nearest source pixel, so the key colour never blends into its neighbours.
void drawStretched(QPainter &canvas, const QRect &destination, const QImage &image)
{
    canvas.save();
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.drawImage(destination, image);
    canvas.restore();
}

template<typename DrawTile>
void forEachTile(const QImage &bitmap, const QRect &destination, DrawTile drawTile)
{
    const int width = bitmap.width();
    const int height = bitmap.height();
    if (width <= 0 || height <= 0)
        return;
    const int right = destination.left() + destination.width();
    const int bottom = destination.top() + destination.height();
    for (int y = destination.top(); y < bottom; y += height) {
        for (int x = destination.left(); x < right; x += width) {
            const QRect tile(x, y, MinInt(width, right - x), MinInt(height, bottom - y));
            drawTile(tile, QRect(QPoint(0, 0), tile.size()));
        }
    }
}

} // namespace

void BlitTransparent(QPainter &canvas, const QImage &bitmap, const QRect &destination, const QRect &source,
                     TColor transparentColor)
{
    if (destination.isEmpty() || source.isEmpty())
        return;
    drawStretched(canvas, destination, keyedOut(bitmap, source, transparentColor));
}

void BlitStretchedMasked(QPainter &canvas, const QImage &bitmap, const QRect &destination,
                         const QRect &source, TColor transparentColor)
{
    BlitTransparent(canvas, bitmap, destination, source, transparentColor);
}

void BlitTransparentWhole(QPainter &canvas, const QImage &bitmap, const QRect &destination,
                          TColor transparentColor)
{
    BlitTransparent(canvas, bitmap, destination, bitmap.rect(), transparentColor);
}

void TileTransparent(QPainter &canvas, const QImage &bitmap, const QRect &destination,
                     TColor transparentColor)
{
    forEachTile(bitmap, destination, [&](const QRect &tile, const QRect &source) {
        BlitTransparent(canvas, bitmap, tile, source, transparentColor);
    });
}

void TileBitmapOpaque(QPainter &canvas, const QImage &bitmap, const QRect &destination)
{
    forEachTile(bitmap, destination,
                [&](const QRect &tile, const QRect &source) { canvas.drawImage(tile, bitmap, source); });
}

void PaintParentBackground(const QWidget *control, QPainter &canvas)
{
    QWidget *parent = control->parentWidget();
    if (!parent)
        return;
    const QRect area = control->geometry() & parent->rect();
    if (area.isEmpty())
        return;

    canvas.save();
    const QPoint origin = area.topLeft() - control->pos();
    // The parent alone, without its children: the control itself is one of them.
    parent->render(&canvas, origin, QRegion(area), QWidget::DrawWindowBackground);

    // Siblings stacked below the control (a picture under a toolbar, say) belong to what it stands on.
    for (QObject *child : parent->children()) {
        if (child == control)
            break;
        auto *sibling = qobject_cast<QWidget *>(child);
        if (!sibling || sibling->isWindow() || !sibling->isVisibleTo(parent))
            continue;
        const QRect overlap = area & sibling->geometry();
        if (overlap.isEmpty())
            continue;
        sibling->render(&canvas, overlap.topLeft() - control->pos(),
                        QRegion(overlap.translated(-sibling->pos())));
    }
    canvas.restore();
}

} // namespace vellumite
