#include "exchange/dialog/storepictures.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace vellumite {

namespace {

QPixmap transparentPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Eight dots on a ring; the dot of the frame is darkest and the ones behind it fade out.
QPixmap spinnerFrame(int frame)
{
    QPixmap pixmap = transparentPixmap(SpinnerFrameSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPointF centre(SpinnerFrameSize / 2.0, SpinnerFrameSize / 2.0);
    for (int dot = 0; dot < SpinnerFrameCount; ++dot) {
        const int age = (frame - dot + SpinnerFrameCount) % SpinnerFrameCount;
        const double angle = dot * 2 * std::numbers::pi / SpinnerFrameCount - std::numbers::pi / 2;
        const QPointF at = centre + QPointF(std::cos(angle), std::sin(angle)) * 7.0;
        painter.setBrush(QColor(0x40, 0x60, 0x90, 255 - age * 28));
        painter.drawEllipse(at, 2.0, 2.0);
    }
    return pixmap;
}

// A rounded tile in the browser's colours with its initial letter.
QPixmap storeIcon(const QColor &light, const QColor &dark, const QString &letter)
{
    QPixmap pixmap = transparentPixmap(StoreIconSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(3, 3, StoreIconSize - 6, StoreIconSize - 6);
    QLinearGradient gradient(tile.topLeft(), tile.bottomRight());
    gradient.setColorAt(0, light);
    gradient.setColorAt(1, dark);
    painter.setPen(QPen(dark.darker(130), 1.5));
    painter.setBrush(gradient);
    painter.drawEllipse(tile);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(26);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(tile, Qt::AlignCenter, letter);
    return pixmap;
}

} // namespace

std::vector<QPixmap> spinnerFrames()
{
    std::vector<QPixmap> frames;
    for (int frame = 0; frame < SpinnerFrameCount; ++frame)
        frames.push_back(spinnerFrame(frame));
    return frames;
}

std::vector<QPixmap> storeIcons()
{
    return { storeIcon(QColor(0x6f, 0xb7, 0xf0), QColor(0x1c, 0x5a, 0xb4), QStringLiteral("e")),
             storeIcon(QColor(0xff, 0xb3, 0x40), QColor(0xc8, 0x40, 0x10), QStringLiteral("F")),
             storeIcon(QColor(0xf0, 0x50, 0x50), QColor(0x9a, 0x10, 0x10), QStringLiteral("O")) };
}

} // namespace vellumite
