#include "main/tree/imagelist.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <set>

using namespace vellumite;

namespace {

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

bool hasAlpha(const QImage &image, int minimum, int maximum)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const int alpha = qAlpha(image.pixel(x, y)); alpha >= minimum && alpha <= maximum)
                return true;
    return false;
}

} // namespace

class TestImageList : public QObject
{
    Q_OBJECT

private slots:
    void everyImageLoads_data();
    void everyImageLoads();
    void imagesAreDistinct();
    void outsideIndexYieldsNothing_data();
    void outsideIndexYieldsNothing();
    void drawPlacesImageAtPoint();
    void bannerIsLightBlueGradient();
};

void TestImageList::everyImageLoads_data()
{
    QTest::addColumn<int>("index");
    for (int index = 0; index < ImageList::ImageCount; ++index)
        QTest::addRow("%s", qPrintable(ImageList::resourcePath(index))) << index;
}

void TestImageList::everyImageLoads()
{
    QFETCH(int, index);
    const ImageList &list = ImageList::instance();
    QCOMPARE(list.count(), 20);
    QCOMPARE(list.width(), 16);

    const QPixmap pixmap = list.pixmap(index);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(16, 16));
    QVERIFY(pixmap.hasAlphaChannel());

    // Drawn, not blank: some pixels fully covered, and a see-through margin somewhere.
    const QImage image = pixmap.toImage();
    QVERIFY(hasAlpha(image, 255, 255));
    QVERIFY(hasAlpha(image, 0, 0));

    const QIcon icon = list.icon(index);
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
             image.convertToFormat(QImage::Format_ARGB32));
}

// Two slots showing the same picture would hide one browser or state from the user.
void TestImageList::imagesAreDistinct()
{
    const ImageList &list = ImageList::instance();
    std::set<QByteArray> seen;
    for (int index = 0; index < list.count(); ++index) {
        const QImage image = list.pixmap(index).toImage().convertToFormat(QImage::Format_ARGB32);
        const QByteArray bytes(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
        QVERIFY2(seen.insert(bytes).second, qPrintable(ImageList::resourcePath(index)));
    }
}

// Records read from a damaged file may carry any number as their icon.
void TestImageList::outsideIndexYieldsNothing_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("category link state") << LinkCategory;
    QTest::newRow("one past the end") << ImageList::ImageCount;
    QTest::newRow("large") << 0x7fffffff;
    QTest::newRow("most negative") << int(0x80000000);
}

void TestImageList::outsideIndexYieldsNothing()
{
    QFETCH(int, index);
    const ImageList &list = ImageList::instance();
    QVERIFY(list.pixmap(index).isNull());
    QVERIFY(list.icon(index).isNull());
    QVERIFY(ImageList::resourcePath(index).isEmpty());

    QImage canvas = transparentImage(32, 32);
    QPainter painter(&canvas);
    list.draw(painter, 8, 8, index);
    painter.end();
    QCOMPARE(canvas, transparentImage(32, 32));
}

void TestImageList::drawPlacesImageAtPoint()
{
    const ImageList &list = ImageList::instance();
    QImage canvas = transparentImage(40, 40);
    QPainter painter(&canvas);
    list.draw(painter, 20, 4, ImageFolder);
    painter.end();

    const QImage expected = list.pixmap(ImageFolder).toImage().convertToFormat(canvas.format());
    QCOMPARE(canvas.copy(20, 4, 16, 16), expected);
    QImage outside = canvas;
    QPainter eraser(&outside);
    eraser.setCompositionMode(QPainter::CompositionMode_Clear);
    eraser.fillRect(20, 4, 16, 16, Qt::transparent);
    eraser.end();
    QCOMPARE(outside, transparentImage(40, 40));
}

void TestImageList::bannerIsLightBlueGradient()
{
    const QImage banner(QStringLiteral(":/banner.png"));
    QCOMPARE(banner.size(), QSize(6, 80));
    QCOMPARE(banner.pixelColor(0, 0), QColor(0xE2, 0xF2, 0xFE));
    QCOMPARE(banner.pixelColor(5, 79), QColor(0xF3, 0xFA, 0xFD));
    // Darkest near the middle, and every column alike.
    const QColor middle = banner.pixelColor(0, 40);
    QVERIFY(qAbs(middle.red() - 0xBA) <= 2 && qAbs(middle.green() - 0xE4) <= 2
            && qAbs(middle.blue() - 0xF6) <= 2);
    for (int y = 0; y < banner.height(); ++y)
        QCOMPARE(banner.pixel(5, y), banner.pixel(0, y));
}

QTEST_MAIN(TestImageList)
#include "tst_imagelist.moc"
