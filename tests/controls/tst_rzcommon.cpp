// Frame painters: every style on every side combination that matters, pixel by pixel.

#include "controls/RzCommon.h"
#include "fixedcolours.h"

#include <QPainter>
#include <QTest>

using namespace vellumite;
using namespace vellumite::testing;

namespace {

// Frames are painted on a 6 x 5 canvas; the grids below read row by row, rows split by '|'.
const QRect Bounds(0, 0, 6, 5);

QImage blankCanvas()
{
    QImage image(Bounds.size(), QImage::Format_RGB32);
    image.fill(Background);
    return image;
}

QRect edges(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace

class TestRzCommon : public QObject
{
    Q_OBJECT

private slots:
    void colourValues_data();
    void colourValues();
    void frameStyles_data();
    void frameStyles();
    void frameEdgesRepeated_data();
    void frameEdgesRepeated();
};

void TestRzCommon::colourValues_data()
{
    QTest::addColumn<TColor>("color");
    QTest::addColumn<QRgb>("drawn");

    QTest::newRow("plain value is blue-green-red") << TColor(0x00332211) << QRgb(0xFF112233);
    QTest::newRow("olive") << clOlive << QRgb(0xFF808000);
    QTest::newRow("system colour by index") << clBtnFace << FaceColour;
    QTest::newRow("3D dark shadow") << cl3DDkShadow << DarkShadowColour;
}

void TestRzCommon::colourValues()
{
    QFETCH(TColor, color);
    QFETCH(QRgb, drawn);
    const FixedSystemColours colours;

    QCOMPARE(toQColor(color).rgba(), drawn);
    const TColor rgb = ColorToRGB(color);
    QCOMPARE(qRgb(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)), drawn);
}

void TestRzCommon::frameStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("sides");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QRect>("inner");

    const auto row = [](const char *name, TFrameStyle style, int sides, const char *grid, QRect inner) {
        QTest::newRow(name) << int(style) << sides << QString::fromLatin1(grid) << inner;
    };

    row("none", fsNone, 15, "......|......|......|......|......", Bounds);
    row("flat", fsFlat, 15, "FFFFFF|F....F|F....F|F....F|FFFFFF", edges(1, 1, 5, 4));
    row("status", fsStatus, 15, "SSSSSH|S....H|S....H|S....H|HHHHHH", edges(1, 1, 5, 4));
    row("popup", fsPopup, 15, "HHHHHS|H....S|H....S|H....S|SSSSSS", edges(1, 1, 5, 4));
    row("raised", fsRaised, 15, "LLLLLT|LHHHST|LH..ST|LSSSST|TTTTTT", edges(2, 2, 4, 3));
    row("lowered", fsLowered, 15, "SSSSSH|STTTLH|ST..LH|SLLLLH|HHHHHH", edges(2, 2, 4, 3));
    row("button up", fsButtonUp, 15, "HHHHHD|HLLLSD|HL..SD|HSSSSD|DDDDDD", edges(2, 2, 4, 3));
    row("button down", fsButtonDown, 15, "TTTTTT|TSSSST|TS..ST|TSSSST|TTTTTT", edges(2, 2, 4, 3));
    row("groove", fsGroove, 15, "SSSSSH|SHHHSH|SH..SH|SSSSSH|HHHHHH", edges(2, 2, 4, 3));
    row("bump", fsBump, 15, "HHHHHS|HSSSHS|HS..HS|HHHHHS|SSSSSS", edges(2, 2, 4, 3));

    row("no sides paint nothing", fsRaised, 0, "......|......|......|......|......", Bounds);
    row("left and right shrink only the width", fsFlat, 5, "F....F|F....F|F....F|F....F|F....F",
        edges(1, 0, 5, 5));
    row("groove on the top only turns its corners", fsGroove, 2, "SSSSSS|HHHHHH|......|......|......",
        edges(0, 2, 6, 5));
    row("bump on the right and bottom", fsBump, 12, "....HS|....HS|....HS|HHHHHS|SSSSSS", edges(0, 0, 4, 3));
    row("button up on the left and top", fsButtonUp, 3, "HHHHHH|HLLLLL|HL....|HL....|HL....",
        edges(2, 2, 6, 5));
    row("lowered top and bottom", fsLowered, 10, "SSSSSS|TTTTTT|......|LLLLLL|HHHHHH", edges(0, 2, 6, 3));
}

void TestRzCommon::frameStyles()
{
    QFETCH(int, style);
    QFETCH(int, sides);
    QFETCH(QString, grid);
    QFETCH(QRect, inner);
    const FixedSystemColours colours;

    QImage image = blankCanvas();
    QRect result;
    {
        QPainter canvas(&image);
        result = PaintFrameStyleEdges(canvas, Bounds, TFrameStyle(style), TSides::fromInt(sides));
    }
    QCOMPARE(pixelGrid(image), grid);
    QCOMPARE(result, inner);

    if (sides == 15) {
        QImage all = blankCanvas();
        QPainter canvas(&all);
        QCOMPARE(PaintFrameAllEdges(canvas, Bounds, TFrameStyle(style)), inner);
        canvas.end();
        QCOMPARE(pixelGrid(all), grid);
    }
}

void TestRzCommon::frameEdgesRepeated_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QRect>("inner");

    QTest::newRow("negative count") << -1 << "......|......|......|......|......" << Bounds;
    QTest::newRow("zero count") << 0 << "......|......|......|......|......" << Bounds;
    QTest::newRow("two rings") << 2 << "HHHHHS|HHHHSS|HH..SS|HSSSSS|SSSSSS" << edges(2, 2, 4, 3);
}

void TestRzCommon::frameEdgesRepeated()
{
    QFETCH(int, count);
    QFETCH(QString, grid);
    QFETCH(QRect, inner);
    const FixedSystemColours colours;

    QImage image = blankCanvas();
    QPainter canvas(&image);
    QCOMPARE(PaintFrameEdgesN(canvas, Bounds, clBtnHighlight, clBtnShadow, count, sdAllSides), inner);
    canvas.end();
    QCOMPARE(pixelGrid(image), grid);
}

QTEST_MAIN(TestRzCommon)
#include "tst_rzcommon.moc"
