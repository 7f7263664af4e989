// Draws the icons of the main window's image list and the banner picture, and optionally a contact sheet
// that shows every icon at its real size and magnified, for checking the drawings by eye.
//
// Usage: make-artwork <resources folder> [contact sheet.png]
//
// Everything is drawn with QPainter on a 16 x 16 grid. A pixel covers [i, i + 1], so a 1-pixel line
// runs along i + 0.5 to stay crisp; shapes are placed on that grid by hand.

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int IconSize = 16;

struct IconDrawing
{
    QString fileName;
    std::function<void(QPainter &)> draw;
};

QColor rgb(const char *name)
{
    return QColor::fromString(QLatin1StringView(name));
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor &from, const QColor &to)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

QPen pen(const QColor &colour, qreal width = 1.0, Qt::PenCapStyle cap = Qt::RoundCap,
         Qt::PenJoinStyle join = Qt::RoundJoin)
{
    return QPen(QBrush(colour), width, Qt::SolidLine, cap, join);
}

// A ball: a vertical gradient, a darker rim and a soft highlight in its upper half.
void ball(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom, const QColor &rim)
{
    p.setPen(pen(rim));
    p.setBrush(vertical(r.top(), r.bottom(), top, bottom));
    p.drawEllipse(r);

    const QRectF shine(r.left() + r.width() * 0.2, r.top() + 1, r.width() * 0.6, r.height() * 0.42);
    QLinearGradient gloss(0, shine.top(), 0, shine.bottom());
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(shine);
}

// A rounded tile: the same treatment as a ball, square.
void tile(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom, const QColor &rim)
{
    p.setPen(pen(rim));
    p.setBrush(vertical(r.top(), r.bottom(), top, bottom));
    p.drawRoundedRect(r, 3, 3);

    const QRectF shine = r.adjusted(1, 1, -1, -r.height() * 0.5);
    QLinearGradient gloss(0, shine.top(), 0, shine.bottom());
    gloss.setColorAt(0, QColor(255, 255, 255, 120));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(shine, 2, 2);
}

// A polyline drawn twice: a dark, wider border first and the colour on top, so the stroke reads on any
// background.
void outlinedStroke(QPainter &p, const QPolygonF &line, qreal width, const QColor &fill, const QColor &border,
                    Qt::PenCapStyle cap = Qt::RoundCap)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(border, width + 2, cap, Qt::RoundJoin));
    p.drawPolyline(line);
    p.setPen(pen(fill, width, cap, Qt::RoundJoin));
    p.drawPolyline(line);
}

// A white glyph stroked on the grid: each letter is a few polylines with a 2-pixel pen.
void glyph(QPainter &p, const std::vector<QPolygonF> &strokes, const QColor &colour = Qt::white,
           qreal width = 2.0)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(colour, width, Qt::FlatCap, Qt::MiterJoin));
    for (const QPolygonF &stroke : strokes)
        p.drawPolyline(stroke);
}

// A glyph of the system font, centred on a point; used for the round letters that polylines draw badly.
void fontGlyph(QPainter &p, const QString &text, const QPointF &centre, int pixelSize, const QColor &colour)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path.translated(centre - box.center()));
}

// A question mark stroked on the grid, its stem on the column pair (x - 1, x).
void questionMark(QPainter &p, qreal x, qreal top, const QColor &colour)
{
    QPainterPath hook;
    const QRectF bend(x - 2.5, top + 0.5, 5, 4.5);
    hook.arcMoveTo(bend, 165);
    hook.arcTo(bend, 165, -245);
    hook.lineTo(x, top + 6.2);
    hook.lineTo(x, top + 7.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(colour, 2.0, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(x - 1, top + 8.5, 2, 2));
}

// A globe: a blue ball with a light meridian and two parallels.
void globe(QPainter &p, const QRectF &r)
{
    ball(p, r, rgb("#7cc4ff"), rgb("#1a5fb4"), rgb("#174a8c"));
    const QPointF c = r.center();
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(QColor(255, 255, 255, 150), 1));
    p.drawEllipse(QRectF(c.x() - r.width() * 0.22, r.top() + 0.5, r.width() * 0.44, r.height() - 1));
    p.drawLine(QPointF(c.x(), r.top() + 0.5), QPointF(c.x(), r.bottom() - 0.5));
    p.drawLine(QPointF(r.left() + 0.5, c.y()), QPointF(r.right() - 0.5, c.y()));
    // Land masses in green.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 190, 80, 200));
    QPainterPath land;
    land.moveTo(r.left() + r.width() * 0.22, r.top() + r.height() * 0.28);
    land.cubicTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.18, r.left() + r.width() * 0.5,
                 r.top() + r.height() * 0.45, r.left() + r.width() * 0.3, r.top() + r.height() * 0.6);
    land.cubicTo(r.left() + r.width() * 0.15, r.top() + r.height() * 0.62, r.left() + r.width() * 0.1,
                 r.top() + r.height() * 0.4, r.left() + r.width() * 0.22, r.top() + r.height() * 0.28);
    land.moveTo(r.left() + r.width() * 0.62, r.top() + r.height() * 0.55);
    land.cubicTo(r.left() + r.width() * 0.85, r.top() + r.height() * 0.5, r.left() + r.width() * 0.85,
                 r.top() + r.height() * 0.8, r.left() + r.width() * 0.62, r.top() + r.height() * 0.85);
    land.cubicTo(r.left() + r.width() * 0.5, r.top() + r.height() * 0.75, r.left() + r.width() * 0.52,
                 r.top() + r.height() * 0.6, r.left() + r.width() * 0.62, r.top() + r.height() * 0.55);
    p.setClipPath([&] {
        QPainterPath clip;
        clip.addEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
        return clip;
    }());
    p.drawPath(land);
    p.setClipping(false);
}

const QRectF FullBall(0.5, 0.5, 15, 15);

// --- The twenty icons, in image-list order. ------------------------------------------------------------

void drawInternetExplorer(QPainter &p)
{
    // A blue lower-case "e" with a golden orbit around it.
    QPainterPath e;
    const QRectF bowl(3.5, 3.5, 9, 9);
    e.moveTo(bowl.left(), bowl.center().y());
    e.lineTo(bowl.right(), bowl.center().y());
    e.arcTo(bowl, 0, 180);
    e.arcTo(bowl, 180, 140);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(rgb("#0b3d91"), 3.6, Qt::FlatCap));
    p.drawPath(e);
    QLinearGradient blue(0, 3, 0, 13);
    blue.setColorAt(0, rgb("#8fd3ff"));
    blue.setColorAt(1, rgb("#1c6fd1"));
    p.setPen(QPen(QBrush(blue), 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(e);

    p.save();
    p.translate(8, 8);
    p.rotate(-30);
    p.setPen(pen(rgb("#f5b400"), 1.3));
    p.drawEllipse(QRectF(-8, -3.2, 16, 6.4));
    p.restore();
}

void drawFirefox(QPainter &p)
{
    // A blue globe hugged by an orange tail that wraps round it from the top right.
    globe(p, QRectF(3.5, 1.5, 11, 11));
    QPainterPath outer;
    outer.addEllipse(FullBall);
    QPainterPath inner;
    inner.addEllipse(QRectF(3.5, 0.5, 12, 12));
    const QPainterPath tail = outer.subtracted(inner);
    QLinearGradient orange(14, 2, 2, 15);
    orange.setColorAt(0, rgb("#ffd54a"));
    orange.setColorAt(0.5, rgb("#ff8a00"));
    orange.setColorAt(1, rgb("#d4380d"));
    p.setPen(pen(rgb("#a8320a"), 0.8));
    p.setBrush(orange);
    p.drawPath(tail);
}

void drawOpera(QPainter &p)
{
    // A red upright ring.
    QPainterPath ring;
    ring.addEllipse(QRectF(1.5, 0.5, 13, 15));
    ring.addEllipse(QRectF(5, 3, 6, 10));
    p.setPen(pen(rgb("#8e0f0f")));
    p.setBrush(vertical(0, 16, rgb("#ff6b6b"), rgb("#b3000c")));
    p.drawPath(ring);
}

void drawSeaMonkey(QPainter &p)
{
    // A sea-green ball with a white "S".
    ball(p, FullBall, rgb("#5fd3b3"), rgb("#0d7a67"), rgb("#0a5a4c"));
    fontGlyph(p, QStringLiteral("S"), QPointF(8, 8.5), 12, Qt::white);
}

void drawNetscape(QPainter &p)
{
    // A dark teal tile with a white "N".
    tile(p, FullBall, rgb("#2a8fa8"), rgb("#0b3d52"), rgb("#082c3b"));
    glyph(p, { QPolygonF({ { 5, 12 }, { 5, 4 }, { 11, 12 }, { 11, 4 } }) }, Qt::white, 2.2);
}

void drawOpenWith(QPainter &p)
{
    // A small program window with a green arrow leaving it.
    p.setPen(pen(rgb("#5a6b80")));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 1.5, 12, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(2, 5, rgb("#6aa8ec"), rgb("#2d6fc2")));
    p.drawRect(QRectF(1, 2, 11, 3));
    p.setBrush(rgb("#d8e2ee"));
    p.drawRect(QRectF(2, 6, 4, 5));
    outlinedStroke(p, QPolygonF({ { 7.5, 12.5 }, { 13, 7 } }), 1.6, rgb("#3cb043"), rgb("#1e6b22"));
    p.setPen(pen(rgb("#1e6b22"), 1, Qt::RoundCap, Qt::MiterJoin));
    p.setBrush(rgb("#3cb043"));
    p.drawPolygon(QPolygonF({ { 15.5, 4.5 }, { 15.5, 10 }, { 10, 4.5 } }));
}

void drawFolder(QPainter &p)
{
    // A closed yellow folder with a tab on its back.
    QPainterPath back;
    back.moveTo(0.5, 13.5);
    back.lineTo(0.5, 2.5);
    back.lineTo(5.5, 2.5);
    back.lineTo(7, 4.5);
    back.lineTo(14.5, 4.5);
    back.lineTo(14.5, 13.5);
    back.closeSubpath();
    p.setPen(pen(rgb("#a8780c"), 1, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(rgb("#e8b339"));
    p.drawPath(back);

    QPainterPath front;
    front.moveTo(0.5, 13.5);
    front.lineTo(2, 6.5);
    front.lineTo(15.5, 6.5);
    front.lineTo(14.5, 13.5);
    front.closeSubpath();
    p.setBrush(vertical(6.5, 13.5, rgb("#ffe28a"), rgb("#f5bd2f")));
    p.drawPath(front);
    p.setPen(pen(QColor(255, 255, 255, 170), 1, Qt::FlatCap));
    p.drawLine(QPointF(2.8, 7.5), QPointF(14.3, 7.5));
}

void drawContents(QPainter &p)
{
    // A closed blue help book with a white question mark on its cover.
    p.setPen(pen(rgb("#8a8f99")));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 12.5, 10, 2));
    p.setPen(pen(rgb("#17367a"), 1, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(vertical(1, 14, rgb("#5b8ef0"), rgb("#2346a8")));
    p.drawRect(QRectF(2.5, 0.5, 11, 12));
    p.setPen(pen(rgb("#17367a"), 1, Qt::FlatCap));
    p.drawLine(QPointF(4.5, 1), QPointF(4.5, 12));
    p.setPen(pen(rgb("#17367a"), 1, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(2.5, 14.5), QPointF(3.5, 14.5));
    questionMark(p, 9, 1.5, Qt::white);
}

void drawDelete(QPainter &p)
{
    // A red cross.
    const QColor fill = rgb("#e5262b");
    const QColor border = rgb("#8a0f12");
    outlinedStroke(p, QPolygonF({ { 3.5, 3.5 }, { 12.5, 12.5 } }), 2.6, fill, border);
    outlinedStroke(p, QPolygonF({ { 12.5, 3.5 }, { 3.5, 12.5 } }), 2.6, fill, border);
    // The second stroke's border cuts the first one: paint the centre again.
    p.setPen(pen(fill, 2.6));
    p.drawLine(QPointF(6.5, 6.5), QPointF(9.5, 9.5));
}

void drawLinkNotVerified(QPainter &p)
{
    // A grey ball with a white question mark: nothing is known of the link yet.
    ball(p, FullBall, rgb("#d6d6d6"), rgb("#858585"), rgb("#6a6a6a"));
    questionMark(p, 8, 2.5, Qt::white);
}

void drawLinkAlive(QPainter &p)
{
    // A green ball with a white tick.
    ball(p, FullBall, rgb("#7fe07a"), rgb("#1f8f2a"), rgb("#17691f"));
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(Qt::white, 2.0, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({ { 4.5, 8.2 }, { 7, 10.8 }, { 11.5, 5 } }));
}

void drawLinkBroken(QPainter &p)
{
    // A red ball with a white cross.
    ball(p, FullBall, rgb("#ff7a6e"), rgb("#c0141b"), rgb("#8c0d12"));
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(Qt::white, 2.0));
    p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
    p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
}

void drawSupport(QPainter &p)
{
    // A closed envelope.
    const QRectF body(0.5, 3.5, 15, 10);
    p.setPen(pen(rgb("#6b7687"), 1, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(vertical(3.5, 13.5, rgb("#ffffff"), rgb("#dfe6ef")));
    p.drawRect(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(rgb("#9aa5b5"), 1, Qt::FlatCap));
    p.drawPolyline(QPolygonF({ { 1, 13 }, { 6.5, 8 } }));
    p.drawPolyline(QPolygonF({ { 15, 13 }, { 9.5, 8 } }));
    p.setPen(pen(rgb("#6b7687"), 1, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(vertical(3.5, 10, rgb("#f4f7fb"), rgb("#c9d3e0")));
    p.drawPolygon(QPolygonF({ { 0.5, 3.5 }, { 8, 10 }, { 15.5, 3.5 } }));
}

void drawCheckUrl(QPainter &p)
{
    // A globe with a magnifying glass held over it.
    globe(p, QRectF(0.5, 0.5, 12, 12));
    p.setPen(pen(rgb("#3b2a1a"), 3.2));
    p.drawLine(QPointF(12, 12), QPointF(14.6, 14.6));
    p.setPen(pen(rgb("#8a5a2b"), 1.6));
    p.drawLine(QPointF(12, 12), QPointF(14.6, 14.6));
    const QRectF lens(6.5, 6.5, 7, 7);
    QRadialGradient glass(lens.center() - QPointF(1, 1), 4);
    glass.setColorAt(0, QColor(255, 255, 255, 220));
    glass.setColorAt(1, QColor(200, 225, 255, 150));
    p.setPen(pen(rgb("#2e3440"), 1.3));
    p.setBrush(glass);
    p.drawEllipse(lens);
}

void drawAdd(QPainter &p)
{
    // A green plus.
    const QColor fill = rgb("#3fb34a");
    const QColor border = rgb("#1d6b24");
    p.setPen(pen(border, 1, Qt::FlatCap, Qt::MiterJoin));
    QPainterPath plus;
    plus.setFillRule(Qt::WindingFill);
    plus.addRect(QRectF(1.5, 5.5, 13, 5));
    plus.addRect(QRectF(5.5, 1.5, 5, 13));
    p.setBrush(vertical(1.5, 14.5, rgb("#8ee27f"), fill));
    p.drawPath(plus.simplified());
    p.setPen(pen(QColor(255, 255, 255, 140), 1, Qt::FlatCap));
    p.drawLine(QPointF(2.5, 6.5), QPointF(5.5, 6.5));
    p.drawLine(QPointF(6.5, 2.5), QPointF(6.5, 5.5));
    p.drawLine(QPointF(10.5, 6.5), QPointF(13.5, 6.5));
}

void drawMaxthon(QPainter &p)
{
    // A sky-blue tile with a white "M".
    tile(p, FullBall, rgb("#6cc0ff"), rgb("#1565c0"), rgb("#0f4c91"));
    glyph(p, { QPolygonF({ { 4, 12 }, { 4, 4.5 }, { 8, 9 }, { 12, 4.5 }, { 12, 12 } }) });
}

void drawSafari(QPainter &p)
{
    // A compass: a pale dial, tick marks and a red and white needle.
    ball(p, FullBall, rgb("#ffffff"), rgb("#c7d3e0"), rgb("#5b6b80"));
    p.setPen(pen(rgb("#7a8797"), 1, Qt::FlatCap));
    p.drawLine(QPointF(8, 1.5), QPointF(8, 3));
    p.drawLine(QPointF(8, 13), QPointF(8, 14.5));
    p.drawLine(QPointF(1.5, 8), QPointF(3, 8));
    p.drawLine(QPointF(13, 8), QPointF(14.5, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(rgb("#e0262b"));
    p.drawPolygon(QPolygonF({ { 12, 4 }, { 9.2, 9.2 }, { 6.8, 6.8 } }));
    p.setBrush(rgb("#9aa3ad"));
    p.drawPolygon(QPolygonF({ { 4, 12 }, { 6.8, 6.8 }, { 9.2, 9.2 } }));
}

void drawKMeleon(QPainter &p)
{
    // A lime ball with a white "K".
    ball(p, FullBall, rgb("#b5e655"), rgb("#4c9a12"), rgb("#3a750e"));
    glyph(
        p,
        { QPolygonF({ { 5.5, 4 }, { 5.5, 12 } }), QPolygonF({ { 11.5, 4 }, { 6.5, 8.5 }, { 11.5, 12.3 } }) });
}

void drawTheWorld(QPainter &p)
{
    // An orange ball with a white "W".
    ball(p, FullBall, rgb("#ffc061"), rgb("#e0560b"), rgb("#a63f08"));
    glyph(p, { QPolygonF({ { 3, 4.5 }, { 5.3, 11.5 }, { 8, 6.5 }, { 10.7, 11.5 }, { 13, 4.5 } }) }, Qt::white,
          1.8);
}

void drawAvant(QPainter &p)
{
    // A violet ball with a white "A".
    ball(p, FullBall, rgb("#c49bff"), rgb("#5b2aa8"), rgb("#44207f"));
    glyph(p,
          { QPolygonF({ { 4.2, 12.5 }, { 8, 3.5 }, { 11.8, 12.5 } }),
            QPolygonF({ { 5.8, 9.5 }, { 10.2, 9.5 } }) });
}

const std::vector<IconDrawing> &iconDrawings()
{
    static const std::vector<IconDrawing> drawings = {
        { QStringLiteral("00-internet-explorer.png"), drawInternetExplorer },
        { QStringLiteral("01-firefox.png"), drawFirefox },
        { QStringLiteral("02-opera.png"), drawOpera },
        { QStringLiteral("03-seamonkey.png"), drawSeaMonkey },
        { QStringLiteral("04-netscape.png"), drawNetscape },
        { QStringLiteral("05-open-with.png"), drawOpenWith },
        { QStringLiteral("06-folder.png"), drawFolder },
        { QStringLiteral("07-contents.png"), drawContents },
        { QStringLiteral("08-delete.png"), drawDelete },
        { QStringLiteral("09-link-not-verified.png"), drawLinkNotVerified },
        { QStringLiteral("10-link-alive.png"), drawLinkAlive },
        { QStringLiteral("11-link-broken.png"), drawLinkBroken },
        { QStringLiteral("12-support.png"), drawSupport },
        { QStringLiteral("13-check-url.png"), drawCheckUrl },
        { QStringLiteral("14-add.png"), drawAdd },
        { QStringLiteral("15-maxthon.png"), drawMaxthon },
        { QStringLiteral("16-safari.png"), drawSafari },
        { QStringLiteral("17-k-meleon.png"), drawKMeleon },
        { QStringLiteral("18-theworld.png"), drawTheWorld },
        { QStringLiteral("19-avant.png"), drawAvant },
    };
    return drawings;
}

QImage renderIcon(const IconDrawing &drawing)
{
    QImage image(IconSize, IconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing.draw(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The banner: 6 x 80, a vertical gradient through three blues, interpolated per row.
QImage renderBanner()
{
    constexpr int width = 6;
    constexpr int height = 80;
    const QColor top = rgb("#e2f2fe");
    const QColor middle = rgb("#bae4f6");
    const QColor bottom = rgb("#f3fafd");
    auto mix = [](const QColor &a, const QColor &b, double t) {
        auto channel = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
        return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
    };
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const double t = double(y) / (height - 1);
        const QColor colour = t <= 0.5 ? mix(top, middle, t / 0.5) : mix(middle, bottom, (t - 0.5) / 0.5);
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, colour);
    }
    return image;
}

// The about box's product picture, 215 x 100: a bookmark ribbon beside the product's name.
QImage renderProductPicture()
{
    QImage image(215, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pen(rgb("#b8c8de")));
    p.setBrush(vertical(0, 100, rgb("#eef3fa"), rgb("#d5e1f1")));
    p.drawRoundedRect(QRectF(0.5, 0.5, 214, 99), 8, 8);

    QPainterPath ribbon;
    ribbon.moveTo(22, 14);
    ribbon.lineTo(52, 14);
    ribbon.lineTo(52, 86);
    ribbon.lineTo(37, 72);
    ribbon.lineTo(22, 86);
    ribbon.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(rgb("#c83a2e"));
    p.drawPath(ribbon);

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(26);
    name.setBold(true);
    p.setFont(name);
    p.setPen(rgb("#1e4e86"));
    p.drawText(QRect(64, 18, 146, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vellumite"));
    name.setPixelSize(16);
    name.setBold(false);
    p.setFont(name);
    p.setPen(rgb("#4a5a70"));
    p.drawText(QRect(66, 52, 146, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Portable Edition"));
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// The feedback program's icon: a speech bubble with three dots.
void drawFeedback(QPainter &p)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.5, 1.5, 15, 10), 3, 3);
    QPainterPath tail;
    tail.moveTo(3.5, 11);
    tail.lineTo(3.5, 15.5);
    tail.lineTo(8, 11);
    tail.closeSubpath();
    p.setPen(pen(rgb("#2f6b2f"), 1, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(vertical(1.5, 15.5, rgb("#d9f5d0"), rgb("#8fd27c")));
    p.drawPath(bubble.united(tail));
    p.setPen(Qt::NoPen);
    p.setBrush(rgb("#2f6b2f"));
    for (qreal x : { 4.0, 7.0, 10.0 })
        p.drawRect(QRectF(x, 6, 2, 2));
}

// A picture of the given size on a transparent ground, drawn by `draw`.
QImage renderTransparent(int width, int height, const std::function<void(QPainter &)> &draw)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The marker in front of the about box's support address: an envelope, 10 x 7.
QImage renderMailMarker()
{
    return renderTransparent(10, 7, [](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(rgb("#004080"));
        p.drawRect(0, 0, 9, 6);
        p.drawLine(0, 0, 4, 4);
        p.drawLine(9, 0, 5, 4);
    });
}

// The marker in front of the about box's web page: a globe, 10 x 9.
QImage renderWebMarker()
{
    return renderTransparent(10, 9, [](QPainter &p) { globe(p, QRectF(0.5, 0.5, 9, 8)); });
}

// Each icon at real size on white and on a mid grey, and magnified 8 times on a checkerboard.
QImage renderContactSheet(const std::vector<QImage> &icons)
{
    constexpr int zoom = 8;
    constexpr int cell = IconSize * zoom + 16;
    constexpr int columns = 5;
    const int rows = int((icons.size() + columns - 1) / columns);
    QImage sheet(columns * cell, rows * (cell + 28), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const int x = int(i % columns) * cell + 8;
        const int y = int(i / columns) * (cell + 28) + 8;
        for (int cy = 0; cy < IconSize; ++cy)
            for (int cx = 0; cx < IconSize; ++cx)
                painter.fillRect(x + cx * zoom, y + cy * zoom, zoom, zoom,
                                 (cx + cy) % 2 ? QColor(225, 225, 225) : QColor(245, 245, 245));
        painter.drawImage(QRect(x, y, IconSize * zoom, IconSize * zoom), icons[i]);
        painter.drawImage(x, y + IconSize * zoom + 6, icons[i]);
        painter.fillRect(x + 24, y + IconSize * zoom + 6, IconSize + 4, IconSize, QColor(128, 128, 128));
        painter.drawImage(x + 26, y + IconSize * zoom + 6, icons[i]);
        painter.fillRect(x + 48, y + IconSize * zoom + 6, IconSize + 4, IconSize, QColor(49, 106, 197));
        painter.drawImage(x + 50, y + IconSize * zoom + 6, icons[i]);
        painter.setPen(Qt::black);
        painter.drawText(x + 74, y + IconSize * zoom + 18, QString::number(i));
    }
    return sheet;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        err << "usage: make-artwork <resources folder> [contact sheet.png]\n";
        return 2;
    }
    const QDir resources(args.at(1));
    if (!resources.mkpath(QStringLiteral("icons"))) {
        err << "cannot create " << resources.filePath(QStringLiteral("icons")) << '\n';
        return 1;
    }

    std::vector<QImage> icons;
    for (const IconDrawing &drawing : iconDrawings()) {
        icons.push_back(renderIcon(drawing));
        const QString path = resources.filePath(QStringLiteral("icons/") + drawing.fileName);
        if (!icons.back().save(path, "PNG")) {
            err << "cannot write " << path << '\n';
            return 1;
        }
    }
    const QString bannerPath = resources.filePath(QStringLiteral("banner.png"));
    if (!renderBanner().save(bannerPath, "PNG")) {
        err << "cannot write " << bannerPath << '\n';
        return 1;
    }
    // The about box's pictures and the feedback program's icon, each folder made when missing.
    const std::vector<std::pair<QString, QImage>> pictures = {
        { QStringLiteral("about/product.png"), renderProductPicture() },
        { QStringLiteral("about/mail-marker.png"), renderMailMarker() },
        { QStringLiteral("about/web-marker.png"), renderWebMarker() },
        { QStringLiteral("feedback/mainicon.png"), renderTransparent(IconSize, IconSize, drawFeedback) },
    };
    for (const auto &[name, picture] : pictures) {
        const QString path = resources.filePath(name);
        if (!resources.mkpath(QFileInfo(name).path()) || !picture.save(path, "PNG")) {
            err << "cannot write " << path << '\n';
            return 1;
        }
    }
    if (args.size() > 2 && !renderContactSheet(icons).save(args.at(2), "PNG")) {
        err << "cannot write " << args.at(2) << '\n';
        return 1;
    }
    return 0;
}
