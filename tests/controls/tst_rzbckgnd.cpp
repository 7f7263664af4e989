// The gradient background panel: the bands of each gradient shape, the layers, the frame and the
// panel's own placement.

#include "controls/RzBckgnd.h"
#include "fixedcolours.h"

#include <QPainter>
#include <QTest>

using namespace vellumite;
using namespace vellumite::testing;

namespace {

constexpr QRgb White = 0xFFFFFFFF;

QImage rendered(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// 0x00BBGGRR from a pixel.
TColor tcolorOf(QRgb rgb)
{
    return TColor(qRed(rgb)) | (TColor(qGreen(rgb)) << 8) | (TColor(qBlue(rgb)) << 16);
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QString at(int x, int y)
{
    return QStringLiteral("%1,%2").arg(x).arg(y);
}

void configure(TRzBackground &panel, QSize size, TGradientDirection direction, QRgb start, QRgb stop)
{
    panel.resize(size);
    panel.SetGradientDirection(direction);
    panel.SetGradientColorStart(tcolorOf(start));
    panel.SetGradientColorStop(tcolorOf(stop));
}

// The colours along the gradient's axis, after checking that the other axis repeats them.
QList<QRgb> profileAlong(const QImage &image, bool rows)
{
    QList<QRgb> profile;
    const int length = rows ? image.height() : image.width();
    const int across = rows ? image.width() : image.height();
    for (int i = 0; i < length; ++i) {
        const QRgb first = rows ? image.pixel(0, i) : image.pixel(i, 0);
        for (int j = 1; j < across; ++j) {
            const QRgb other = rows ? image.pixel(j, i) : image.pixel(i, j);
            if (other != first)
                return {};
        }
        profile.append(first);
    }
    return profile;
}

// Lengths of the runs of equal colours, in order.
QList<int> runLengths(const QList<QRgb> &profile)
{
    QList<int> runs;
    for (qsizetype i = 0; i < profile.size(); ++i) {
        if (i > 0 && profile[i] == profile[i - 1])
            ++runs.last();
        else
            runs.append(1);
    }
    return runs;
}

} // namespace

class TestRzBckgnd : public QObject
{
    Q_OBJECT

private slots:
    void verticalEndGivesOneGreyPerColumn();
    void horizontalCentreMeetsInTheMiddle();
    void smoothFactorWidensBands_data();
    void smoothFactorWidensBands();
    void diagonalShapes_data();
    void diagonalShapes();
    void equalColoursPaintOneColour();
    void boxShapes_data();
    void boxShapes();
    void lastBandReachesTheEdges_data();
    void lastBandReachesTheEdges();
    void tileByDoubling_data();
    void tileByDoubling();
    void textureAndGradientExcludeEachOther_data();
    void textureAndGradientExcludeEachOther();
    void textureIsTiled();
    void imageStyles_data();
    void imageStyles();
    void frameSurroundsTheLayers();
    void keepsAtLeastFivePixels();
    void alignsInItsParent();
};

void TestRzBckgnd::verticalEndGivesOneGreyPerColumn()
{
    TRzBackground panel;
    configure(panel, QSize(256, 20), gdVerticalEnd, qRgb(0, 0, 0), White);
    const QImage image = rendered(panel);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(x, x, x))
                QFAIL(qPrintable(at(x, y)));
        }
    }
}

void TestRzBckgnd::horizontalCentreMeetsInTheMiddle()
{
    // Start colour at both edges, stop colour in the middle: rows 0 to 50 walk from the start up to
    // the stop colour, rows 51 to 99 back down to the start colour.
    TRzBackground panel;
    const QRgb start = qRgb(0, 0, 0);
    const QRgb stop = qRgb(0, 0, 200);
    configure(panel, QSize(12, 100), gdHorizontalCenter, start, stop);
    const QList<QRgb> profile = profileAlong(rendered(panel), true);
    QCOMPARE(profile.size(), 100);

    QCOMPARE(profile[50], stop);
    QCOMPARE(profile[99], start);
    QVERIFY(near(profile[0], start, 200 / 51 + 1));
    for (int y = 1; y <= 50; ++y)
        QVERIFY2(qBlue(profile[y]) > qBlue(profile[y - 1]), qPrintable(at(0, y)));
    for (int y = 52; y < 100; ++y)
        QVERIFY2(qBlue(profile[y]) < qBlue(profile[y - 1]), qPrintable(at(0, y)));
    QVERIFY(qBlue(profile[51]) < 200);
}

void TestRzBckgnd::smoothFactorWidensBands_data()
{
    QTest::addColumn<int>("factor");
    QTest::addColumn<int>("shortestBand");

    QTest::newRow("1: a band per row") << 1 << 1;
    QTest::newRow("3") << 3 << 3;
    QTest::newRow("8") << 8 << 8;
    QTest::newRow("above 8 counts as 255 / factor + 1") << 16 << 16;
}

void TestRzBckgnd::smoothFactorWidensBands()
{
    QFETCH(int, factor);
    QFETCH(int, shortestBand);

    // Black at the top, white at the bottom; bands grow upwards from the bottom row.
    TRzBackground panel;
    configure(panel, QSize(10, 120), gdHorizontalEnd, qRgb(0, 0, 0), White);
    panel.SetGradientSmoothFactor(TSmoothFactor(factor));
    const QList<QRgb> profile = profileAlong(rendered(panel), true);
    QCOMPARE(profile.size(), 120);
    QCOMPARE(profile.last(), White);
    QVERIFY(near(profile.first(), qRgb(0, 0, 0), 255 / 120 * shortestBand + 3));

    const QList<int> runs = runLengths(profile);
    // Only the band that reaches the top edge may be cut short.
    for (qsizetype i = 1; i < runs.size(); ++i)
        QVERIFY2(runs[i] >= shortestBand,
                 qPrintable(QStringLiteral("band %1 of %2").arg(i).arg(runs.size())));
    if (factor == 1)
        QCOMPARE(runs.size(), 120);
}

void TestRzBckgnd::diagonalShapes_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QPoint>("startCorner");
    QTest::addColumn<QPoint>("stopCorner");
    QTest::addColumn<QSize>("size");

    QTest::newRow("up") << int(gdDiagonalUp) << QPoint(0, 39) << QPoint(59, 0) << QSize(60, 40);
    QTest::newRow("down") << int(gdDiagonalDown) << QPoint(0, 0) << QPoint(59, 39) << QSize(60, 40);
    QTest::newRow("up, tall") << int(gdDiagonalUp) << QPoint(0, 90) << QPoint(14, 0) << QSize(15, 91);
    QTest::newRow("down, smallest") << int(gdDiagonalDown) << QPoint(0, 0) << QPoint(4, 4) << QSize(5, 5);
}

void TestRzBckgnd::diagonalShapes()
{
    QFETCH(int, direction);
    QFETCH(QPoint, startCorner);
    QFETCH(QPoint, stopCorner);
    QFETCH(QSize, size);

    const QRgb start = qRgb(250, 0, 0);
    const QRgb stop = qRgb(0, 0, 250);
    TRzBackground panel;
    configure(panel, size, TGradientDirection(direction), start, stop);
    const QImage image = rendered(panel);

    // Every pixel belongs to a band, up to the far corners.
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(qGreen(pixel) == 0 && qRed(pixel) + qBlue(pixel) >= 240, qPrintable(at(x, y)));
        }
    }
    const int tolerance = 250 * 4 / (size.width() + size.height()) + 12;
    QVERIFY(near(image.pixel(startCorner), start, tolerance));
    QVERIFY(near(image.pixel(stopCorner), stop, tolerance));
}

void TestRzBckgnd::equalColoursPaintOneColour()
{
    const FixedSystemColours colours;
    TRzBackground panel;
    panel.resize(40, 30);
    panel.SetGradientDirection(gdDiagonalUp);
    // The same colour once as a system colour and once as its value.
    panel.SetGradientColorStart(clBtnFace);
    panel.SetGradientColorStop(tcolorOf(FaceColour));
    const QImage image = rendered(panel);
    QImage expected(image.size(), QImage::Format_RGB32);
    expected.fill(FaceColour);
    QCOMPARE(image, expected);
}

void TestRzBckgnd::boxShapes_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QSize>("size");

    for (const QSize size : { QSize(60, 40), QSize(61, 41), QSize(5, 5), QSize(200, 38) }) {
        const auto row = [&](const char *name, TGradientDirection direction) {
            QTest::addRow("%s, %dx%d", name, size.width(), size.height()) << int(direction) << size;
        };
        row("horizontal box", gdHorizontalBox);
        row("vertical box", gdVerticalBox);
        row("square box", gdSquareBox);
        row("big square box", gdBigSquareBox);
    }
}

void TestRzBckgnd::boxShapes()
{
    QFETCH(int, direction);
    QFETCH(QSize, size);

    const QRgb start = qRgb(0, 250, 0);
    const QRgb stop = qRgb(0, 0, 250);
    TRzBackground panel;
    configure(panel, size, TGradientDirection(direction), start, stop);
    const QImage image = rendered(panel);
    const int w = size.width();
    const int h = size.height();

    // The stop colour in the centre, the start colour (within the last two colour steps) in the
    // corners, and no pixel left unpainted.
    QCOMPARE(image.pixel((w - 1) / 2, (h - 1) / 2), stop);
    const bool insetX = direction == gdHorizontalBox || direction == gdBigSquareBox;
    const bool insetY = direction == gdVerticalBox || direction == gdBigSquareBox;
    const int steps = std::max((w - 1) / 2 - (insetX ? w / 4 : 0), (h - 1) / 2 - (insetY ? h / 4 : 0)) + 1;
    const int tolerance = 2 * 250 / steps + 5;
    for (const QPoint corner : { QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1) })
        QVERIFY2(near(image.pixel(corner), start, tolerance), qPrintable(at(corner.x(), corner.y())));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(qRed(pixel) == 0 && qGreen(pixel) + qBlue(pixel) >= 240, qPrintable(at(x, y)));
        }
    }
    // An even half width mirrors the left half exactly.
    if ((w / 2) % 2 == 0 && w % 2 == 0) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w / 2; ++x)
                QVERIFY2(image.pixel(x, y) == image.pixel(w - 1 - x, y), qPrintable(at(x, y)));
        }
    }
}

void TestRzBckgnd::lastBandReachesTheEdges_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QSize>("size");

    for (const QSize size : { QSize(200, 38), QSize(250, 120), QSize(37, 211) }) {
        const auto row = [&](const char *name, TGradientDirection direction) {
            QTest::addRow("%s, %dx%d", name, size.width(), size.height()) << int(direction) << size;
        };
        row("diagonal up", gdDiagonalUp);
        row("diagonal down", gdDiagonalDown);
        row("horizontal box", gdHorizontalBox);
        row("vertical box", gdVerticalBox);
        row("square box", gdSquareBox);
        row("big square box", gdBigSquareBox);
    }
}

void TestRzBckgnd::lastBandReachesTheEdges()
{
    QFETCH(int, direction);
    QFETCH(QSize, size);

    // Close colours change only every few steps, so the walk can pass the edge in the middle of a
    // band; that band must still be painted up to the edge.
    TRzBackground panel;
    configure(panel, size, TGradientDirection(direction), qRgb(0xF7, 0xF3, 0xE1), qRgb(0xEB, 0xE1, 0xB1));
    const QImage image = rendered(panel);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QVERIFY2(image.pixel(x, y) != White, qPrintable(at(x, y)));
    }
}

void TestRzBckgnd::tileByDoubling_data()
{
    QTest::addColumn<QSize>("total");
    QTest::newRow("wider than tall") << QSize(10, 7);
    QTest::newRow("taller than wide") << QSize(7, 10);
    QTest::newRow("one block") << QSize(3, 2);
    QTest::newRow("cut block") << QSize(2, 1);
}

void TestRzBckgnd::tileByDoubling()
{
    QFETCH(QSize, total);
    QImage image(total.expandedTo(QSize(3, 2)), QImage::Format_RGB32);
    image.fill(White);
    const QImage block = [] {
        QImage b(3, 2, QImage::Format_RGB32);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x)
                b.setPixel(x, y, qRgb(x * 80, y * 80, 7));
        }
        return b;
    }();
    QPainter(&image).drawImage(0, 0, block);

    TileByDoubling(image, total.width(), total.height(), 3, 2);
    for (int y = 0; y < total.height(); ++y) {
        for (int x = 0; x < total.width(); ++x)
            QCOMPARE(image.pixel(x, y), block.pixel(x % 3, y % 2));
    }
}

void TestRzBckgnd::textureAndGradientExcludeEachOther_data()
{
    QTest::addColumn<bool>("imageShown");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("gradient");
    QTest::addColumn<bool>("texture");

    QTest::newRow("hiding the gradient brings the texture") << false << "gradient off" << false << true;
    QTest::newRow("hiding the gradient under a picture shows neither")
        << true << "gradient off" << false << false;
    QTest::newRow("showing the texture hides the gradient") << false << "texture on" << false << true;
    QTest::newRow("hiding the texture brings the gradient back")
        << false << "texture on, off" << true << false;
}

void TestRzBckgnd::textureAndGradientExcludeEachOther()
{
    QFETCH(bool, imageShown);
    QFETCH(QString, change);
    QFETCH(bool, gradient);
    QFETCH(bool, texture);

    TRzBackground panel;
    QVERIFY(panel.ShowGradient());
    QVERIFY(!panel.ShowTexture());
    panel.SetShowImage(imageShown);
    if (change == u"gradient off")
        panel.SetShowGradient(false);
    if (change.startsWith(u"texture on"))
        panel.SetShowTexture(true);
    if (change.endsWith(u"off") && change != u"gradient off")
        panel.SetShowTexture(false);
    QCOMPARE(panel.ShowGradient(), gradient);
    QCOMPARE(panel.ShowTexture(), texture);
}

void TestRzBckgnd::textureIsTiled()
{
    QImage texture(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            texture.setPixel(x, y, qRgb(x * 100, y * 100, 50));
    }
    TRzBackground panel;
    panel.resize(20, 9);
    panel.SetTexture(texture);
    panel.SetShowTexture(true);
    const QImage image = rendered(panel);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(image.pixel(x, y), texture.pixel(x % 3, y % 2));
    }
}

void TestRzBckgnd::imageStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("covered");
    QTest::addColumn<bool>("gradientBeneath");

    QTest::newRow("centred") << int(isCenter) << QSize(10, 6) << QRect(15, 12, 10, 6) << true;
    QTest::newRow("centred, larger than the panel")
        << int(isCenter) << QSize(50, 6) << QRect(0, 12, 40, 6) << true;
    QTest::newRow("clipped at the top-left") << int(isClip) << QSize(10, 6) << QRect(0, 0, 10, 6) << true;
    QTest::newRow("fill, wide picture: full width")
        << int(isFill) << QSize(10, 5) << QRect(0, 0, 40, 20) << true;
    QTest::newRow("fill, tall picture: full height")
        << int(isFill) << QSize(5, 10) << QRect(0, 0, 15, 30) << true;
    QTest::newRow("stretched over everything")
        << int(isStretch) << QSize(10, 6) << QRect(0, 0, 40, 30) << false;
    QTest::newRow("tiled over everything") << int(isTiled) << QSize(10, 6) << QRect(0, 0, 40, 30) << false;
}

void TestRzBckgnd::imageStyles()
{
    QFETCH(int, style);
    QFETCH(QSize, picture);
    QFETCH(QRect, covered);
    QFETCH(bool, gradientBeneath);

    const QRgb gradientColour = qRgb(10, 20, 30);
    const QRgb pictureColour = qRgb(200, 100, 0);
    QImage image(picture, QImage::Format_RGB32);
    image.fill(pictureColour);

    TRzBackground panel;
    configure(panel, QSize(40, 30), gdHorizontalEnd, gradientColour, gradientColour);
    panel.SetImage(image);
    panel.SetImageStyle(TImageStyle(style));
    panel.SetShowImage(true);
    const QImage result = rendered(panel);
    // Where the picture does not lie, a stretched or tiled picture leaves the gradient out.
    const QRgb elsewhere = gradientBeneath ? gradientColour : White;
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x)
            QCOMPARE(result.pixel(x, y), covered.contains(x, y) ? pictureColour : elsewhere);
    }
}

void TestRzBckgnd::frameSurroundsTheLayers()
{
    const FixedSystemColours colours;
    TRzBackground plain;
    configure(plain, QSize(30, 12), gdVerticalEnd, qRgb(0, 0, 0), White);
    const QImage layers = rendered(plain);

    TRzBackground framed;
    configure(framed, QSize(30, 12), gdVerticalEnd, qRgb(0, 0, 0), White);
    framed.SetFrameStyle(fsPopup);
    const QImage image = rendered(framed);

    // The layers start at (1, 1) inside a one-pixel highlight and shadow frame.
    for (int y = 1; y < 11; ++y) {
        for (int x = 1; x < 29; ++x)
            QCOMPARE(image.pixel(x, y), layers.pixel(x - 1, y - 1));
    }
    for (int x = 0; x < 29; ++x) {
        QCOMPARE(image.pixel(x, 0), HighlightColour);
        QCOMPARE(image.pixel(x, 11), ShadowColour);
    }
    for (int y = 1; y < 11; ++y) {
        QCOMPARE(image.pixel(0, y), HighlightColour);
        QCOMPARE(image.pixel(29, y), ShadowColour);
    }

    // A flat frame takes the frame colour.
    framed.SetFrameStyle(fsFlat);
    framed.SetFrameColor(0x0000FF);
    QCOMPARE(rendered(framed).pixel(0, 5), qRgb(255, 0, 0));
}

void TestRzBckgnd::keepsAtLeastFivePixels()
{
    QWidget window;
    window.resize(50, 50);
    auto *panel = new TRzBackground(&window);
    panel->resize(3, 3);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(panel->size(), QSize(5, 5));
    panel->resize(100, 2);
    QCOMPARE(panel->size(), QSize(100, 5));
}

void TestRzBckgnd::alignsInItsParent()
{
    QWidget window;
    window.resize(300, 100);
    // A bottom bar, 38 high: 212 wide on the left and the rest on the right.
    auto *bar = new TRzBackground(&window);
    bar->resize(10, 38);
    auto *left = new TRzBackground(&window);
    left->resize(212, 10);
    auto *client = new TRzBackground(&window);
    client->SetAlign(alClient);
    left->SetAlign(alLeft);
    bar->SetAlign(alBottom);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(bar->geometry(), QRect(0, 62, 300, 38));
    QCOMPARE(left->geometry(), QRect(0, 0, 212, 62));
    QCOMPARE(client->geometry(), QRect(212, 0, 88, 62));

    window.resize(400, 200);
    QCOMPARE(bar->geometry(), QRect(0, 162, 400, 38));
    QCOMPARE(left->geometry(), QRect(0, 0, 212, 162));
    QCOMPARE(client->geometry(), QRect(212, 0, 188, 162));
}

QTEST_MAIN(TestRzBckgnd)
#include "tst_rzbckgnd.moc"
