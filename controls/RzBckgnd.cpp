#include "controls/RzBckgnd.h"

#include "controls/RzGrafx.h"

#include <QEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace vellumite {

namespace {

// The band routines keep no side under this, so their step divisors stay positive.
constexpr int MinimumSide = 5;

QRgb rgbOf(TColor color)
{
    return toQColor(color).rgb();
}

// The number of steps a band takes at least. Factors above 8 stand for a band count.
int bandSteps(TSmoothFactor factor, int levels)
{
    return factor > 8 ? levels / factor + 1 : factor;
}

// A colour walk from one colour to another in a given number of steps, in 16.16 fixed point per
// channel; every step moves each channel by the same truncated amount.
class ColourRun
{
public:
    ColourRun(QRgb from, QRgb to, int steps)
    {
        const int fromChannels[3] = { qRed(from), qGreen(from), qBlue(from) };
        const int toChannels[3] = { qRed(to), qGreen(to), qBlue(to) };
        for (int i = 0; i < 3; ++i) {
            m_value[i] = fromChannels[i] * 65536;
            m_step[i] = steps > 0 ? (toChannels[i] * 65536 - fromChannels[i] * 65536) / steps : 0;
        }
    }

    QRgb colour() const { return qRgb(channel(0), channel(1), channel(2)); }

    void step()
    {
        for (int i = 0; i < 3; ++i)
            m_value[i] += m_step[i];
    }

private:
    // Walks that run a step past their end stay at the end colour instead of wrapping round.
    int channel(int i) const { return std::clamp(m_value[i] >> 16, 0, 255); }

    int m_value[3];
    int m_step[3];
};

void fillPolygon(QPainter &canvas, const QPoint (&points)[4], QRgb colour)
{
    canvas.setBrush(QColor(colour));
    canvas.drawPolygon(points, 4);
}

// A stretch copy of an image part onto the same image; a negative extent mirrors the part, and the
// origin is the first pixel written on that axis.
void stretchCopy(QImage &image, const QRect &source, QPoint origin, int width, int height)
{
    if (source.isEmpty() || width == 0 || height == 0)
        return;
    QImage part = image.copy(source).mirrored(width < 0, height < 0);
    const QSize size(std::abs(width), std::abs(height));
    if (part.size() != size)
        part = part.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const int left = width < 0 ? origin.x() - size.width() + 1 : origin.x();
    const int top = height < 0 ? origin.y() - size.height() + 1 : origin.y();
    QPainter canvas(&image);
    canvas.setCompositionMode(QPainter::CompositionMode_Source);
    canvas.drawImage(left, top, part);
}

// Completes a box gradient painted in the top-left quadrant: flipped into the bottom-left, then the
// left half mirrored into the right.
void MirrorQuadrants(QImage &image, int width, int height)
{
    const int hw = width / 2;
    const int hh = height / 2;
    const int odd = hw % 2;
    stretchCopy(image, QRect(0, 0, hw, hh), QPoint(0, height - 1), hw + 1, -hh);
    stretchCopy(image, QRect(0, 0, hw - odd, height), QPoint(width - 1, 0), -(hw + odd), height);
}

void copyBlock(QImage &image, const QRect &source, QPoint destination)
{
    const QRect block = source & image.rect();
    if (block.isEmpty())
        return;
    const QImage part = image.copy(block);
    QPainter canvas(&image);
    canvas.setCompositionMode(QPainter::CompositionMode_Source);
    canvas.drawImage(destination, part);
}

} // namespace

int FrameWidth(TFrameStyle style)
{
    switch (style) {
    case fsNone:
        return 0;
    case fsFlat:
    case fsStatus:
    case fsPopup:
        return 1;
    default:
        return 2;
    }
}

void TileByDoubling(QImage &image, int totalWidth, int totalHeight, int paintedWidth, int paintedHeight)
{
    if (paintedWidth <= 0 || paintedHeight <= 0)
        return;
    bool down = paintedHeight < totalHeight;
    while (paintedWidth < totalWidth || paintedHeight < totalHeight) {
        if (down) {
            const int rows = MinInt(paintedHeight, totalHeight - paintedHeight);
            copyBlock(image, QRect(0, 0, paintedWidth, rows), QPoint(0, paintedHeight));
            paintedHeight = MinInt(2 * paintedHeight, totalHeight);
            down = paintedWidth >= totalWidth;
        } else {
            const int columns = MinInt(paintedWidth, totalWidth - paintedWidth);
            copyBlock(image, QRect(0, 0, columns, paintedHeight), QPoint(paintedWidth, 0));
            paintedWidth = MinInt(2 * paintedWidth, totalWidth);
            down = paintedHeight < totalHeight;
        }
    }
}

// ---------------------------------------------------------------------------------------------------

TRzCustomBackground::TRzCustomBackground(QWidget *parent)
    : QWidget(parent)
{
    // The panel paints its whole area.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 100);
    m_startRGB = rgbOf(m_startColor);
    m_stopRGB = rgbOf(m_stopColor);
    watchParent();
}

TRzCustomBackground::~TRzCustomBackground() = default;

void TRzCustomBackground::BackgroundChanged()
{
    update();
}

void TRzCustomBackground::ImageChanged()
{
    if (m_showImage)
        BackgroundChanged();
}

void TRzCustomBackground::TextureChanged()
{
    if (m_showTexture)
        BackgroundChanged();
}

void TRzCustomBackground::SetActive(bool value)
{
    if (assignIfChanged(m_active, value))
        BackgroundChanged();
}

void TRzCustomBackground::SetAlign(TAlign value)
{
    if (!assignIfChanged(m_align, value))
        return;
    if (parentWidget())
        AlignControls(parentWidget());
}

void TRzCustomBackground::SetFrameColor(TColor value)
{
    if (assignIfChanged(m_frameColor, value))
        BackgroundChanged();
}

void TRzCustomBackground::SetFrameStyle(TFrameStyle value)
{
    if (assignIfChanged(m_frameStyle, value))
        BackgroundChanged();
}

void TRzCustomBackground::SetGradientColorStart(TColor value)
{
    if (!assignIfChanged(m_startColor, value))
        return;
    m_startRGB = rgbOf(value);
    BackgroundChanged();
}

void TRzCustomBackground::SetGradientColorStop(TColor value)
{
    if (!assignIfChanged(m_stopColor, value))
        return;
    m_stopRGB = rgbOf(value);
    BackgroundChanged();
}

void TRzCustomBackground::SetGradientDirection(TGradientDirection value)
{
    if (assignIfChanged(m_direction, value))
        BackgroundChanged();
}

void TRzCustomBackground::SetGradientSmoothFactor(TSmoothFactor value)
{
    if (assignIfChanged(m_smoothFactor, value))
        BackgroundChanged();
}

void TRzCustomBackground::SetImage(const QImage &image)
{
    if (!m_image.isNull() && image.cacheKey() == m_image.cacheKey())
        return;
    m_image = image;
    ImageChanged();
}

void TRzCustomBackground::SetImageStyle(TImageStyle value)
{
    if (!assignIfChanged(m_imageStyle, value))
        return;
    if (m_showImage)
        BackgroundChanged();
}

void TRzCustomBackground::SetShowGradient(bool value)
{
    if (!assignIfChanged(m_showGradient, value))
        return;
    if (value)
        SetShowTexture(false);
    else if (!m_showImage)
        SetShowTexture(true);
    BackgroundChanged();
}

void TRzCustomBackground::SetShowImage(bool value)
{
    if (assignIfChanged(m_showImage, value))
        BackgroundChanged();
}

void TRzCustomBackground::SetShowTexture(bool value)
{
    if (!assignIfChanged(m_showTexture, value))
        return;
    SetShowGradient(!value);
    BackgroundChanged();
}

void TRzCustomBackground::SetTexture(const QImage &image)
{
    if (!m_texture.isNull() && image.cacheKey() == m_texture.cacheKey())
        return;
    m_texture = image;
    TextureChanged();
}

// ---------------------------------------------------------------------------------------------------

void TRzCustomBackground::paintEvent(QPaintEvent *)
{
    const QSize area(std::max(width(), MinimumSide), std::max(height(), MinimumSide));
    QImage layers(area, QImage::Format_RGB32);
    layers.fill(Qt::white);
    if (m_showTexture)
        DrawTexture(layers, m_texture);
    if (m_showGradient)
        DrawGradient(layers);
    if (m_showImage)
        DrawImage(layers, m_image);

    QPainter canvas(this);
    const int frame = FrameWidth(m_frameStyle);
    canvas.drawImage(frame, frame, layers);
    if (m_frameStyle == fsFlat)
        PaintFrameEdges(canvas, rect(), m_frameColor, m_frameColor, sdAllSides);
    else
        PaintFrameAllEdges(canvas, rect(), m_frameStyle);
}

void TRzCustomBackground::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (width() < MinimumSide || height() < MinimumSide)
        resize(std::max(width(), MinimumSide), std::max(height(), MinimumSide));
}

void TRzCustomBackground::DrawGradient(QImage &canvas)
{
    if (!m_active || (m_showImage && (m_imageStyle == isStretch || m_imageStyle == isTiled)))
        return;
    RenderGradient(m_gradient);
    QPainter(&canvas).drawImage(0, 0, m_gradient);
}

void TRzCustomBackground::RenderGradient(QImage &bitmap)
{
    const int w = std::max(width(), MinimumSide);
    const int h = std::max(height(), MinimumSide);
    bitmap = QImage(w, h, QImage::Format_RGB32);
    bitmap.fill(Qt::white);

    enum class Completion { None, TileColumns, TileRows, Mirror } completion = Completion::None;
    {
        QPainter canvas(&bitmap);
        canvas.setPen(Qt::NoPen);
        switch (m_direction) {
        case gdDiagonalUp:
        case gdDiagonalDown:
            if ((m_startRGB & RGB_MASK) == (m_stopRGB & RGB_MASK))
                canvas.fillRect(bitmap.rect(), QColor(m_startRGB));
            else
                FillDiagonalBands(canvas, m_direction == gdDiagonalUp ? w : -w, h);
            break;
        case gdHorizontalEnd:
            FillLinearBands(canvas, 0, -1, h);
            completion = Completion::TileRows;
            break;
        case gdHorizontalCenter:
            FillLinearBands(canvas, 0, h / 2, h);
            completion = Completion::TileRows;
            break;
        case gdVerticalEnd:
            FillLinearBands(canvas, -1, 0, w);
            completion = Completion::TileColumns;
            break;
        case gdVerticalCenter:
            FillLinearBands(canvas, w / 2, 0, w);
            completion = Completion::TileColumns;
            break;
        case gdHorizontalBox:
            FillBoxBands(canvas, w, h, w / 4, 0);
            completion = Completion::Mirror;
            break;
        case gdVerticalBox:
            FillBoxBands(canvas, w, h, 0, h / 4);
            completion = Completion::Mirror;
            break;
        case gdSquareBox:
            FillBoxBands(canvas, w, h, 0, 0);
            completion = Completion::Mirror;
            break;
        case gdBigSquareBox:
            FillBoxBands(canvas, w, h, w / 4, h / 4);
            completion = Completion::Mirror;
            break;
        }
    }

    // The linear shapes are painted as one 8-pixel strip, the box shapes as one quadrant.
    switch (completion) {
    case Completion::None:
        break;
    case Completion::TileRows:
        TileByDoubling(bitmap, w, h, 8, h);
        break;
    case Completion::TileColumns:
        TileByDoubling(bitmap, w, h, w, 8);
        break;
    case Completion::Mirror:
        MirrorQuadrants(bitmap, w, h);
        break;
    }
}

void TRzCustomBackground::FillLinearBands(QPainter &canvas, int x, int y, int size)
{
    // Columns of an 8-row strip when x is set, else rows of an 8-column strip; the positions count
    // down from the far end (or from the centre), each band ending where the previous one began.
    const bool columns = x != 0;
    const int centre = columns ? x : y;
    const int minimumSteps = bandSteps(m_smoothFactor, 255);

    const auto run = [&](int start, int end, QRgb from, QRgb to) {
        ColourRun colours(from, to, start - end + 1);
        int position = start;
        while (position >= end) {
            const int began = position;
            const QRgb colour = colours.colour();
            int steps = 0;
            do {
                colours.step();
                --position;
                ++steps;
            } while (position >= end && (colours.colour() == colour || steps < minimumSteps));
            const QRect band = columns ? fromEdges(position, 0, began, 8) : fromEdges(0, position, 8, began);
            canvas.fillRect(band, QColor(colour));
        }
    };

    run(centre < 0 ? size : centre + 1, 1, m_stopRGB, m_startRGB);
    if (centre > 0)
        run(size, centre + 2, m_startRGB, m_stopRGB);
}

void TRzCustomBackground::FillBoxBands(QPainter &canvas, int width, int height, int insetX, int insetY)
{
    // Concentric L-shaped bands in the top-left quadrant, from the centre (stop colour) outwards.
    const int cx = (width - 1) / 2;
    const int cy = (height - 1) / 2;
    const int hx = cx - insetX;
    const int hy = cy - insetY;
    const int count = std::max(hx, hy) + 1;
    const int minimumSteps = bandSteps(m_smoothFactor, 256);

    ColourRun colours(m_stopRGB, m_startRGB, count);
    qint64 bx = qint64(hx) * 65536;
    qint64 by = qint64(hy) * 65536;
    const qint64 dx = bx / count;
    const qint64 dy = by / count;
    if (dx <= 0 && dy <= 0)
        return;
    int px = cx + 1;
    int py = cy + 1;
    bool finished = false;
    while (!finished) {
        const QRgb colour = colours.colour();
        int steps = 0;
        do {
            colours.step();
            bx -= dx;
            by -= dy;
            ++steps;
            finished = bx < 0 && by < 0;
        } while (!finished && (colours.colour() == colour || steps < minimumSteps));
        // A coordinate that has passed zero stays on the edge, so the band that ends the run still
        // reaches the quadrant's outer sides.
        const int x = bx < 0 ? 0 : int(bx >> 16);
        const int y = by < 0 ? 0 : int(by >> 16);
        if (y != py)
            canvas.fillRect(fromEdges(x, y, cx + 1, py), QColor(colour));
        if (x != px)
            canvas.fillRect(fromEdges(x, py, px, cy + 1), QColor(colour));
        px = x;
        py = y;
    }
}

void TRzCustomBackground::FillDiagonalBands(QPainter &canvas, int width, int height)
{
    // Bands parallel to the diagonal, from the corner (x0, height) to the diagonal and on to the far
    // corner (x1, 0). A negative width runs the other way, right to left.
    const bool up = width > 0;
    const int w = std::abs(width);
    const int x0 = up ? 0 : w;
    const int x1 = up ? w : 0;
    const int diagonal = int(std::sqrt(double(width) * width + double(height) * height)) + 1;
    const int half = diagonal / 2;
    const int minimumSteps = bandSteps(m_smoothFactor, 255);

    ColourRun colours(up ? m_startRGB : m_stopRGB, up ? m_stopRGB : m_startRGB, diagonal);
    const qint64 dx = (qint64(x1 - x0) * 65536) / half;
    const qint64 dy = (qint64(height) * 65536) / half;
    QPoint p[4] = { QPoint(x0, 0), QPoint(x0, height), QPoint(x0, height), QPoint(x0, height) };

    // Runs one band; false once the walk has passed the far edge.
    qint64 bx = 0;
    qint64 by = 0;
    QRgb colour = 0;
    const auto band = [&] {
        colour = colours.colour();
        int steps = 0;
        do {
            colours.step();
            bx += dx;
            by -= dy;
            ++steps;
        } while (by >= 0 && (colours.colour() == colour || steps < minimumSteps));
        return by >= 0;
    };

    bx = qint64(x0) * 65536;
    by = qint64(height) * 65536;
    while (band()) {
        p[0].setY(int(by >> 16));
        p[3].setX(int(bx >> 16));
        if (p[0].y() < p[1].y() || p[3].x() != p[2].x())
            fillPolygon(canvas, p, colour);
        p[1].setY(p[0].y());
        p[2].setX(p[3].x());
    }
    p[0].setY(0);
    p[3].setX(x1);
    if (p[0].y() < p[1].y() || p[3].x() != p[2].x())
        fillPolygon(canvas, p, colour);
    p[1].setY(0);
    p[2].setX(x1);

    bx = qint64(x0) * 65536;
    by = qint64(height) * 65536;
    while (band()) {
        p[0].setX(int(bx >> 16));
        p[3].setY(int(by >> 16));
        if (p[0].x() != p[1].x() || p[3].y() < p[2].y())
            fillPolygon(canvas, p, colour);
        p[1].setX(p[0].x());
        p[2].setY(p[3].y());
    }
    // The band that the far edge cut short still reaches the far corner.
    p[0].setX(x1);
    p[3].setY(0);
    if (p[0].x() != p[1].x() || p[3].y() < p[2].y())
        fillPolygon(canvas, p, colour);
}

void TRzCustomBackground::DrawImage(QImage &canvas, const QImage &picture)
{
    if (picture.isNull())
        return;
    const int w = canvas.width();
    const int h = canvas.height();
    const int pw = picture.width();
    const int ph = picture.height();
    QPainter painter(&canvas);
    switch (m_imageStyle) {
    case isCenter:
        painter.drawImage((w - pw) / 2, (h - ph) / 2, picture);
        break;
    case isClip:
        painter.drawImage(0, 0, picture);
        break;
    case isFill: {
        // The largest copy of the picture's shape that fits, from the top-left corner.
        const double aspect = double(ph) / pw;
        if (double(h) / w >= aspect)
            painter.drawImage(QRect(0, 0, w, int(w * aspect)), picture);
        else
            painter.drawImage(QRect(0, 0, int(h / aspect), h), picture);
        break;
    }
    case isStretch:
        painter.drawImage(QRect(0, 0, w, h), picture);
        break;
    case isTiled:
        painter.drawImage(0, 0, picture);
        painter.end();
        TileByDoubling(canvas, w, h, pw, ph);
        break;
    }
}

void TRzCustomBackground::DrawTexture(QImage &canvas, const QImage &picture)
{
    if (picture.isNull())
        return;
    QPainter painter(&canvas);
    TileBitmapOpaque(painter, picture, canvas.rect());
}

// ---------------------------------------------------------------------------------------------------

void TRzCustomBackground::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ParentChange)
        watchParent();
}

void TRzCustomBackground::watchParent()
{
    if (m_watchedParent == parentWidget())
        return;
    if (m_watchedParent)
        m_watchedParent->removeEventFilter(this);
    m_watchedParent = parentWidget();
    if (m_watchedParent)
        m_watchedParent->installEventFilter(this);
}

bool TRzCustomBackground::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedParent && m_align != alNone
        && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        AlignControls(m_watchedParent);
    return QWidget::eventFilter(watched, event);
}

void TRzCustomBackground::AlignControls(QWidget *parent)
{
    // Top and bottom bars first, then the sides, then what is left goes to the client-aligned ones.
    QRect space = parent->contentsRect();
    const QList<TRzCustomBackground *> controls
        = parent->findChildren<TRzCustomBackground *>(Qt::FindDirectChildrenOnly);
    for (const TAlign kind : { alTop, alBottom, alLeft, alRight, alClient }) {
        for (TRzCustomBackground *control : controls) {
            if (control->m_align != kind || control->isHidden())
                continue;
            QRect place = space;
            switch (kind) {
            case alTop:
                place.setHeight(control->height());
                space.setTop(place.bottom() + 1);
                break;
            case alBottom:
                place.setTop(space.bottom() + 1 - control->height());
                space.setBottom(place.top() - 1);
                break;
            case alLeft:
                place.setWidth(control->width());
                space.setLeft(place.right() + 1);
                break;
            case alRight:
                place.setLeft(space.right() + 1 - control->width());
                space.setRight(place.left() - 1);
                break;
            default:
                break;
            }
            control->setGeometry(place);
        }
    }
}

} // namespace vellumite
