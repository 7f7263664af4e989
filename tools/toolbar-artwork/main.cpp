// Draws the main window's toolbar pictures: one Up and one Down picture per button, each the size of
// its button. Every pixel the artwork does not cover is the buttons' transparent colour (olive); edge
// pixels that the artwork covers only in part are blended with the banner row they will sit on, so no
// olive fringe shows around the shapes.
//
// Usage: toolbar-artwork <resources folder>   (reads banner.png there, writes toolbar/*.png)

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr QRgb Key = 0xFF808000; // olive, the buttons' transparent colour
constexpr int ButtonTop = 2; // the buttons' offset on the banner

const QColor Ink(0x1B, 0x3A, 0x5C);
const QColor Outline(0x2A, 0x4E, 0x78);

// Turns antialiased artwork on a transparent ground into an opaque picture with the key colour.
QImage flatten(const QImage &drawn, const QImage &banner)
{
    const QImage art = drawn.convertToFormat(QImage::Format_ARGB32);
    QImage result(art.size(), QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y) {
        const QColor ground = banner.pixelColor(0, std::min(y + ButtonTop, banner.height() - 1));
        for (int x = 0; x < art.width(); ++x) {
            const QColor pixel = QColor::fromRgba(art.pixel(x, y));
            if (pixel.alpha() == 0) {
                result.setPixel(x, y, Key);
                continue;
            }
            const double a = pixel.alphaF();
            QRgb blended = qRgb(int(std::lround(pixel.red() * a + ground.red() * (1 - a))),
                                int(std::lround(pixel.green() * a + ground.green() * (1 - a))),
                                int(std::lround(pixel.blue() * a + ground.blue() * (1 - a))));
            if (blended == Key)
                blended = qRgb(qRed(Key), qGreen(Key), qBlue(Key) + 1);
            result.setPixel(x, y, blended);
        }
    }
    return result;
}

// A closed outline through points around a centre, at equal angles from the first; the radius of each
// point is chosen by its index.
QPainterPath radialOutline(QPointF centre, int points, double firstAngle,
                           const std::function<double(int)> &radius)
{
    QPainterPath path;
    for (int i = 0; i < points; ++i) {
        const double angle = firstAngle + i * 2 * M_PI / points;
        const QPointF p = centre + QPointF(radius(i) * std::cos(angle), radius(i) * std::sin(angle));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QPainterPath star(QPointF centre, double outer, double inner)
{
    return radialOutline(centre, 10, -M_PI / 2, [=](int i) { return i % 2 == 0 ? outer : inner; });
}

void drawStar(QPainter &p, QPointF centre, double size)
{
    QLinearGradient gold(centre - QPointF(0, size), centre + QPointF(0, size));
    gold.setColorAt(0, QColor(0xFF, 0xE4, 0x6B));
    gold.setColorAt(1, QColor(0xF2, 0xA2, 0x0C));
    p.setPen(QPen(QColor(0xB0, 0x6A, 0x00), 1.2));
    p.setBrush(gold);
    p.drawPath(star(centre, size, size * 0.45));
}

// An open tray with a star on its front, the bookmark store the arrows lead into or out of.
void drawTray(QPainter &p)
{
    QPainterPath tray;
    tray.moveTo(20, 34);
    tray.lineTo(26, 34);
    tray.lineTo(30, 40);
    tray.lineTo(54, 40);
    tray.lineTo(58, 34);
    tray.lineTo(64, 34);
    tray.lineTo(64, 50);
    tray.quadTo(64, 52, 62, 52);
    tray.lineTo(22, 52);
    tray.quadTo(20, 52, 20, 50);
    tray.closeSubpath();
    QLinearGradient fill(0, 34, 0, 52);
    fill.setColorAt(0, QColor(0x9C, 0xCB, 0xF0));
    fill.setColorAt(1, QColor(0x3E, 0x86, 0xC8));
    p.setPen(QPen(Outline, 1.4));
    p.setBrush(fill);
    p.drawPath(tray);
    drawStar(p, QPointF(42, 46.5), 5);
}

void drawArrow(QPainter &p, bool down, const QColor &light, const QColor &dark)
{
    // A thick arrow on the centre line pointing down from y 6 to 38, or up from y 36 to 4.
    QPolygonF outline({ { 37, 6 }, { 47, 6 }, { 47, 22 }, { 55, 22 }, { 42, 38 }, { 29, 22 }, { 37, 22 } });
    if (!down)
        outline = QTransform(1, 0, 0, -1, 0, 42).map(outline);
    QPainterPath arrow;
    arrow.addPolygon(outline);
    arrow.closeSubpath();
    QLinearGradient fill(29, 0, 55, 0);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(140), 1.3));
    p.setBrush(fill);
    p.drawPath(arrow);
}

void drawImport(QPainter &p)
{
    drawTray(p);
    drawArrow(p, true, QColor(0x8E, 0xE0, 0x6A), QColor(0x2E, 0x9A, 0x2A));
}

void drawExport(QPainter &p)
{
    drawTray(p);
    drawArrow(p, false, QColor(0xFF, 0xC0, 0x6A), QColor(0xE0, 0x6A, 0x10));
}

void drawSearch(QPainter &p)
{
    // Handle first, then the lens over its end.
    p.save();
    p.translate(53, 41);
    p.rotate(45);
    QLinearGradient handle(-4, 0, 4, 0);
    handle.setColorAt(0, QColor(0x8A, 0x5A, 0x2E));
    handle.setColorAt(1, QColor(0x4E, 0x2E, 0x12));
    p.setPen(QPen(QColor(0x3A, 0x20, 0x08), 1.2));
    p.setBrush(handle);
    p.drawRoundedRect(QRectF(-4.5, -2, 9, 17), 3, 3);
    p.restore();

    const QPointF centre(37, 25);
    QRadialGradient glass(centre + QPointF(-4, -5), 16);
    glass.setColorAt(0, QColor(0xFF, 0xFF, 0xFF, 230));
    glass.setColorAt(1, QColor(0x9E, 0xD4, 0xF5, 200));
    p.setPen(QPen(Outline, 4.5));
    p.setBrush(glass);
    p.drawEllipse(centre, 14, 14);
    p.setPen(QPen(QColor(0x6F, 0x9F, 0xCF), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 16.5, 16.5);
}

void drawCheckLinks(QPainter &p)
{
    // Two links of a chain across the middle, and a green tick in a badge.
    p.save();
    p.translate(38, 26);
    p.rotate(-40);
    p.setBrush(Qt::NoBrush);
    for (const double x : { -9.0, 9.0 }) {
        p.setPen(QPen(Outline, 7, Qt::SolidLine, Qt::RoundCap));
        p.drawRoundedRect(QRectF(x - 11, -6, 22, 12), 6, 6);
        p.setPen(QPen(QColor(0xA8, 0xC8, 0xE8), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawRoundedRect(QRectF(x - 11, -6, 22, 12), 6, 6);
    }
    p.restore();

    const QPointF badge(54, 40);
    QRadialGradient green(badge + QPointF(-3, -3), 12);
    green.setColorAt(0, QColor(0x9A, 0xE8, 0x70));
    green.setColorAt(1, QColor(0x2E, 0x9A, 0x2A));
    p.setPen(QPen(QColor(0x1E, 0x6A, 0x1A), 1.2));
    p.setBrush(green);
    p.drawEllipse(badge, 10, 10);
    QPainterPath tick;
    tick.moveTo(badge + QPointF(-5, 0));
    tick.lineTo(badge + QPointF(-1.5, 4));
    tick.lineTo(badge + QPointF(5.5, -4.5));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void drawOptions(QPainter &p)
{
    const QPointF centre(42, 27);
    // Each tooth: rise, top, fall, root.
    constexpr int Teeth = 8;
    QPainterPath gear
        = radialOutline(centre, Teeth * 4, 0, [](int i) { return (i % 4 == 1 || i % 4 == 2) ? 20.0 : 15.0; });
    QPainterPath hole;
    hole.addEllipse(centre, 6.5, 6.5);
    gear = gear.subtracted(hole);

    QLinearGradient metal(centre - QPointF(20, 20), centre + QPointF(20, 20));
    metal.setColorAt(0, QColor(0xD8, 0xE2, 0xEE));
    metal.setColorAt(1, QColor(0x6A, 0x82, 0xA0));
    p.setPen(QPen(Outline, 1.4));
    p.setBrush(metal);
    p.drawPath(gear);
    p.setPen(QPen(QColor(0x4A, 0x62, 0x80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 11, 11);
}

void drawHelp(QPainter &p)
{
    const QPointF centre(42, 27);
    QRadialGradient blue(centre + QPointF(-6, -7), 24);
    blue.setColorAt(0, QColor(0x8E, 0xC8, 0xF6));
    blue.setColorAt(1, QColor(0x1F, 0x5F, 0xB0));
    p.setPen(QPen(QColor(0x15, 0x40, 0x80), 1.4));
    p.setBrush(blue);
    p.drawEllipse(centre, 19, 19);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(28);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(centre.x() - 19, centre.y() - 19, 38, 38), Qt::AlignCenter, QStringLiteral("?"));
}

struct ButtonArt
{
    const char *file;
    int width;
    const char *label;
    std::function<void(QPainter &)> draw;
};

QImage drawButton(const ButtonArt &art, bool down, const QImage &banner)
{
    constexpr int Height = 78;
    QImage image(art.width, Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    if (down) {
        // A pressed button sinks into a soft blue plate.
        QLinearGradient plate(0, 1, 0, Height - 1);
        plate.setColorAt(0, QColor(0x6A, 0xAE, 0xE0, 110));
        plate.setColorAt(1, QColor(0x9A, 0xCC, 0xF0, 90));
        p.setPen(QPen(QColor(0x3C, 0x7E, 0xBE, 200), 1));
        p.setBrush(plate);
        p.drawRoundedRect(QRectF(1.5, 1.5, art.width - 3, Height - 3), 7, 7);
        p.translate(1, 1);
    }

    // The icon is drawn for an 84-pixel width; wider buttons centre it.
    p.save();
    p.translate((art.width - 84) / 2.0, 2);
    art.draw(p);
    p.restore();

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Ink);
    p.drawText(QRectF(0, 58, art.width, 16), Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(art.label));
    p.end();
    return flatten(image, banner);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: toolbar-artwork <resources folder>\n";
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    const QImage banner(resources.filePath(QStringLiteral("banner.png")));
    if (banner.isNull()) {
        err << "cannot read " << resources.filePath(QStringLiteral("banner.png")) << '\n';
        return 1;
    }
    const QDir folder(resources.filePath(QStringLiteral("toolbar")));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        err << "cannot create " << folder.path() << '\n';
        return 1;
    }

    const ButtonArt buttons[] = {
        { "import", 84, "Import", drawImport },    { "export", 84, "Export", drawExport },
        { "search", 85, "Search", drawSearch },    { "checklinks", 84, "Check links", drawCheckLinks },
        { "options", 85, "Options", drawOptions }, { "help", 84, "Help", drawHelp },
    };
    for (const ButtonArt &button : buttons) {
        for (const bool down : { false, true }) {
            const QString name = QString::fromLatin1(button.file) + (down ? u"-down.png" : u"-up.png");
            if (!drawButton(button, down, banner).save(folder.filePath(name))) {
                err << "cannot write " << folder.filePath(name) << '\n';
                return 1;
            }
        }
    }
    return 0;
}
