#pragma once

#include "controls/RzCommon.h"

#include <QImage>
#include <QRect>

class QPainter;
class QWidget;

namespace vellumite {

// Copies the source part of the bitmap, stretched to the destination rectangle, leaving out the pixels
// of the transparent colour so that what the canvas holds shows through them.
void BlitTransparent(QPainter &canvas, const QImage &bitmap, const QRect &destination, const QRect &source,
                     TColor transparentColor);
// The same picture; kept as a routine of its own for the callers that name the masked copy.
void BlitStretchedMasked(QPainter &canvas, const QImage &bitmap, const QRect &destination,
                         const QRect &source, TColor transparentColor);
void BlitTransparentWhole(QPainter &canvas, const QImage &bitmap, const QRect &destination,
                          TColor transparentColor);

// Repeat the bitmap over the rectangle from its top-left corner; the last column and row of tiles are
// cut, not scaled. An empty bitmap paints nothing.
void TileTransparent(QPainter &canvas, const QImage &bitmap, const QRect &destination,
                     TColor transparentColor);
void TileBitmapOpaque(QPainter &canvas, const QImage &bitmap, const QRect &destination);

// Paints what lies beneath the control (its parent's background and the siblings stacked below it) into
// the canvas, so that a control that paints every pixel itself can still look transparent.
void PaintParentBackground(const QWidget *control, QPainter &canvas);

} // namespace vellumite
