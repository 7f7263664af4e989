// Bitmap copies with a transparent colour, tiling, and painting what lies beneath a control.

#include "controls/RzGrafx.h"
#include "fixedcolours.h"

#include <QPainter>
#include <QTest>
#include <QWidget>

using namespace vellumite;
using namespace vellumite::testing;

namespace {

// Every pixel tells where it came from.
QImage coordinateBitmap(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 10, y * 10, 77));
    }
    return image;
}

QImage canvasOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Background);
    return image;
}

QRgb colourOf(TColor color)
{
    return toQColor(color).rgb();
}

// A widget that paints a colour given by the position of each pixel.
class PatternWidget : public QWidget
{
public:
    using QWidget::QWidget;

    static QRgb patternAt(int x, int y) { return qRgb(x * 2, y * 3, 200); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                painter.fillRect(QRect(x, y, 1, 1), QColor::fromRgb(patternAt(x, y)));
            }
        }
    }
};

} // namespace

class TestRzGrafx : public QObject
{
    Q_OBJECT

private slots:
    void tilesAreCutNotScaled_data();
    void tilesAreCutNotScaled();
    void emptyBitmapTilesNothing();
    void transparentColourShowsCanvas_data();
    void transparentColourShowsCanvas();
    void stretchingKeepsTheKeyExact();
    void parentBackgroundShowsThrough();
};

void TestRzGrafx::tilesAreCutNotScaled_data()
{
    QTest::addColumn<bool>("transparent");
    QTest::newRow("opaque") << false;
    QTest::newRow("transparent") << true;
}

void TestRzGrafx::tilesAreCutNotScaled()
{
    QFETCH(bool, transparent);
    // 20 x 20 over 50 x 30: three columns (20, 20, 10) by two rows (20, 10).
    QImage bitmap = coordinateBitmap(20, 20);
    const QRgb key = qRgb(50, 50, 77);
    bitmap.setPixel(5, 5, key);
    const QRect destination(3, 2, 50, 30);

    QImage image = canvasOf(60, 40);
    {
        QPainter canvas(&image);
        if (transparent)
            TileTransparent(canvas, bitmap, destination, TColor(0x4D3232));
        else
            TileBitmapOpaque(canvas, bitmap, destination);
    }

    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb expected = Background;
            if (destination.contains(x, y)) {
                const QPoint source((x - destination.left()) % 20, (y - destination.top()) % 20);
                expected = transparent && source == QPoint(5, 5) ? Background : bitmap.pixel(source);
            }
            if (image.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    }
}

void TestRzGrafx::emptyBitmapTilesNothing()
{
    QImage image = canvasOf(10, 10);
    QPainter canvas(&image);
    TileBitmapOpaque(canvas, QImage(), image.rect());
    TileTransparent(canvas, QImage(), image.rect(), clOlive);
    canvas.end();
    QCOMPARE(image, canvasOf(10, 10));
}

void TestRzGrafx::transparentColourShowsCanvas_data()
{
    QTest::addColumn<TColor>("key");
    QTest::addColumn<TColor>("other");

    QTest::newRow("olive") << clOlive << TColor(0x0000FF);
    QTest::newRow("black") << clBlack << TColor(0xFFFFFF);
    QTest::newRow("a system colour") << clBtnFace << TColor(0x000000);
}

void TestRzGrafx::transparentColourShowsCanvas()
{
    QFETCH(TColor, key);
    QFETCH(TColor, other);
    const FixedSystemColours colours;

    // Key pixels on the diagonal and in the last column; the rest are the other colour.
    QImage bitmap(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            bitmap.setPixel(x, y, x == y || x == 3 ? colourOf(key) : colourOf(other));
    }

    QImage image = canvasOf(6, 6);
    {
        QPainter canvas(&image);
        BlitTransparentWhole(canvas, bitmap, QRect(1, 1, 4, 4), key);
    }
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 4;
            const bool keyed = inside && (x == y || x == 4);
            QCOMPARE(image.pixel(x, y), inside && !keyed ? colourOf(other) : Background);
        }
    }
}

void TestRzGrafx::stretchingKeepsTheKeyExact()
{
    // The source's middle 2 x 2 doubled onto 4 x 4: every source pixel becomes a 2 x 2 block, and no
    // pixel mixes the key colour into its neighbours.
    QImage bitmap = coordinateBitmap(4, 4);
    bitmap.setPixel(1, 2, colourOf(clOlive));

    QImage image = canvasOf(4, 4);
    for (const bool masked : { false, true }) {
        image.fill(Background);
        QPainter canvas(&image);
        if (masked)
            BlitStretchedMasked(canvas, bitmap, image.rect(), QRect(1, 1, 2, 2), clOlive);
        else
            BlitTransparent(canvas, bitmap, image.rect(), QRect(1, 1, 2, 2), clOlive);
        canvas.end();
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const QPoint source(1 + x / 2, 1 + y / 2);
                const QRgb expected = source == QPoint(1, 2) ? Background : bitmap.pixel(source);
                QCOMPARE(image.pixel(x, y), expected);
            }
        }
    }
}

void TestRzGrafx::parentBackgroundShowsThrough()
{
    PatternWidget parent;
    parent.resize(60, 40);

    // Below the control: a red sibling covering its left part; above it: a blue one that must not show.
    auto *below = new QWidget(&parent);
    below->setGeometry(0, 0, 15, 40);
    below->setAutoFillBackground(true);
    QPalette red = below->palette();
    red.setColor(QPalette::Window, Qt::red);
    below->setPalette(red);

    auto *control = new QWidget(&parent);
    control->setGeometry(10, 5, 20, 10);

    auto *above = new QWidget(&parent);
    above->setGeometry(25, 5, 10, 10);
    above->setAutoFillBackground(true);
    QPalette blue = above->palette();
    blue.setColor(QPalette::Window, Qt::blue);
    above->setPalette(blue);

    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    QImage image = canvasOf(20, 10);
    {
        QPainter canvas(&image);
        PaintParentBackground(control, canvas);
    }
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            const int px = x + 10;
            const QRgb expected = px < 15 ? qRgb(255, 0, 0) : PatternWidget::patternAt(px, y + 5);
            QCOMPARE(image.pixel(x, y), expected);
        }
    }

    // A control without a parent leaves the canvas alone.
    QWidget orphan;
    orphan.resize(20, 10);
    image.fill(Background);
    QPainter canvas(&image);
    PaintParentBackground(&orphan, canvas);
    canvas.end();
    QCOMPARE(image, canvasOf(20, 10));
}

QTEST_MAIN(TestRzGrafx)
#include "tst_rzgrafx.moc"
