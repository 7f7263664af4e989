// The bitmap button: caption layout, sizing to the bitmap, pressing with the mouse and the keyboard,
// latching in groups, and the pictures it paints in each state.

#include "controls/RzBmpBtn.h"
#include "fixedcolours.h"

#include <QSignalSpy>
#include <QTest>

using namespace vellumite;
using namespace vellumite::testing;

using State = TRzBmpButton::VisualState;

namespace {

constexpr QRgb ParentColour = 0xFF112233;
constexpr QRgb UpColour = 0xFFCC0000;
constexpr QRgb DownColour = 0xFF0000CC;
constexpr QRgb StayDownColour = 0xFF00CC00;
constexpr QSize BitmapSize(20, 10);

QRgb keyColour()
{
    return toQColor(clOlive).rgb();
}

// The left half is the transparent colour, the right half the given colour.
QImage halfKeyed(QRgb colour, QSize size = BitmapSize)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, keyColour());
    }
    return image;
}

QImage rendered(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void press(QWidget *widget, QPoint pos)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

void moveWithButton(QWidget *widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void release(QWidget *widget, QPoint pos)
{
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

void clickAt(QWidget *widget, QPoint pos = QPoint(5, 5))
{
    press(widget, pos);
    release(widget, pos);
}

// A parent of a known colour holding toolbar-like buttons.
class Toolbar : public QWidget
{
public:
    Toolbar()
    {
        resize(200, 60);
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(ParentColour));
        setPalette(palette);
    }

    TRzBmpButton *addButton(QPoint pos)
    {
        auto *button = new TRzBmpButton(this);
        button->Bitmaps()->SetUp(halfKeyed(UpColour));
        button->Bitmaps()->SetDown(halfKeyed(DownColour));
        button->move(pos);
        return button;
    }
};

} // namespace

class TestRzBmpBtn : public QObject
{
    Q_OBJECT

private slots:
    void captionLayout_data();
    void captionLayout();
    void sizeFollowsBitmap_data();
    void sizeFollowsBitmap();
    void mousePress_data();
    void mousePress();
    void keyboard_data();
    void keyboard();
    void groups_data();
    void groups();
    void doubleClickOnlyWhileDown();
    void picturePerState();
    void latchedPattern_data();
    void latchedPattern();
    void generatedDisabledPicture();
    void bitmapsAnnounceChanges();
};

void TestRzBmpBtn::captionLayout_data()
{
    QTest::addColumn<QRect>("client");
    QTest::addColumn<QSize>("glyph");
    QTest::addColumn<QSize>("caption");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QRect>("glyphRect");
    QTest::addColumn<QRect>("captionRect");

    const QRect wide(0, 0, 80, 30);
    QTest::newRow("automatic margin and spacing share the room")
        << wide << QSize(16, 16) << QSize(40, 13) << int(blGlyphLeft) << -1 << -1 << QRect(8, 7, 16, 16)
        << QRect(32, 9, 40, 13);
    QTest::newRow("automatic margin centres glyph and caption")
        << wide << QSize(16, 16) << QSize(40, 13) << int(blGlyphLeft) << -1 << 4 << QRect(10, 7, 16, 16)
        << QRect(30, 9, 40, 13);
    QTest::newRow("glyph on the right") << wide << QSize(16, 16) << QSize(40, 13) << int(blGlyphRight) << -1
                                        << 4 << QRect(54, 7, 16, 16) << QRect(10, 9, 40, 13);
    QTest::newRow("fixed margin, automatic spacing centres the caption in the rest")
        << wide << QSize(16, 16) << QSize(40, 13) << int(blGlyphLeft) << 2 << -1 << QRect(2, 7, 16, 16)
        << QRect(29, 9, 40, 13);
    QTest::newRow("glyph on top") << QRect(0, 0, 60, 50) << QSize(16, 16) << QSize(30, 10) << int(blGlyphTop)
                                  << -1 << -1 << QRect(22, 8, 16, 16) << QRect(15, 32, 30, 10);
    QTest::newRow("glyph at the bottom")
        << QRect(0, 0, 60, 50) << QSize(16, 16) << QSize(30, 10) << int(blGlyphBottom) << 3 << -1
        << QRect(22, 31, 16, 16) << QRect(15, 11, 30, 10);
    QTest::newRow("no caption: the glyph alone is centred")
        << wide << QSize(16, 16) << QSize(0, 0) << int(blGlyphLeft) << -1 << 4 << QRect(32, 7, 16, 16)
        << QRect(48, 15, 0, 0);
    QTest::newRow("no glyph: the client stays, the caption is centred")
        << wide << QSize(0, 0) << QSize(40, 13) << int(blGlyphLeft) << -1 << 4 << wide
        << QRect(20, 9, 40, 13);
    QTest::newRow("offset client") << QRect(10, 5, 80, 30) << QSize(16, 16) << QSize(40, 13)
                                   << int(blGlyphLeft) << -1 << -1 << QRect(18, 12, 16, 16)
                                   << QRect(42, 14, 40, 13);
    QTest::newRow("too narrow: halving rounds toward zero")
        << QRect(0, 0, 30, 30) << QSize(16, 16) << QSize(40, 13) << int(blGlyphLeft) << -1 << -1
        << QRect(-8, 7, 16, 16) << QRect(0, 9, 40, 13);
}

void TestRzBmpBtn::captionLayout()
{
    QFETCH(QRect, client);
    QFETCH(QSize, glyph);
    QFETCH(QSize, caption);
    QFETCH(int, layout);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(QRect, glyphRect);
    QFETCH(QRect, captionRect);

    const CaptionLayout result
        = CalcCaptionLayout(client, glyph, caption, TButtonLayout(layout), margin, spacing);
    QCOMPARE(result.glyph, glyphRect);
    QCOMPARE(result.caption, captionRect);
}

void TestRzBmpBtn::sizeFollowsBitmap_data()
{
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("style");
    QTest::addColumn<QSize>("size");

    QTest::newRow("no border") << int(bbNone) << int(bsAutoDetect) << QSize(84, 78);
    QTest::newRow("single line") << int(bbSingle) << int(bsNew) << QSize(86, 80);
    QTest::newRow("button face") << int(bbButton) << int(bsNew) << QSize(88, 82);
    QTest::newRow("old-style button face") << int(bbButton) << int(bsWin31) << QSize(90, 84);
}

void TestRzBmpBtn::sizeFollowsBitmap()
{
    QFETCH(int, border);
    QFETCH(int, style);
    QFETCH(QSize, size);

    Toolbar toolbar;
    auto *button = new TRzBmpButton(&toolbar);
    QCOMPARE(button->size(), QSize(80, 30));
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    button->SetButtonBorder(TButtonBorder(border));
    button->SetButtonStyle(TButtonStyle(style));
    button->Bitmaps()->SetUp(halfKeyed(UpColour, QSize(84, 78)));
    QCOMPARE(button->size(), size);
    QCOMPARE(button->sizeHint(), size);

    // While the button follows its bitmap, other sizes do not hold.
    button->resize(40, 40);
    QCOMPARE(button->size(), size);
    button->SetButtonSize(bszNeither);
    button->resize(40, 40);
    QCOMPARE(button->size(), QSize(40, 40));
}

void TestRzBmpBtn::mousePress_data()
{
    QTest::addColumn<QList<QPoint>>("moves");
    QTest::addColumn<QList<int>>("statesAfterMoves");
    QTest::addColumn<int>("clicks");

    const int pressed = int(State::Pressed);
    const int up = int(State::Up);
    QTest::newRow("released inside") << QList<QPoint> {} << QList<int> {} << 1;
    QTest::newRow("released on the row just below")
        << QList<QPoint> { { 5, 10 } } << QList<int> { pressed } << 1;
    QTest::newRow("dragged out below") << QList<QPoint> { { 5, 11 } } << QList<int> { up } << 0;
    QTest::newRow("dragged out to the right") << QList<QPoint> { { 20, 5 } } << QList<int> { up } << 0;
    QTest::newRow("dragged out to the left") << QList<QPoint> { { -1, 5 } } << QList<int> { up } << 0;
    QTest::newRow("dragged out and back")
        << QList<QPoint> { { 30, 5 }, { 19, 0 } } << QList<int> { up, pressed } << 1;
}

void TestRzBmpBtn::mousePress()
{
    QFETCH(QList<QPoint>, moves);
    QFETCH(QList<int>, statesAfterMoves);
    QFETCH(int, clicks);

    Toolbar toolbar;
    TRzBmpButton *button = toolbar.addButton(QPoint(10, 10));
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    QCOMPARE(button->size(), BitmapSize);
    QSignalSpy clicked(button, &TRzBmpButton::clicked);

    press(button, QPoint(5, 5));
    QCOMPARE(button->visualState(), State::Pressed);
    QVERIFY(button->hasFocus());
    QPoint last(5, 5);
    for (qsizetype i = 0; i < moves.size(); ++i) {
        moveWithButton(button, moves[i]);
        QCOMPARE(int(button->visualState()), statesAfterMoves[i]);
        last = moves[i];
    }
    QCOMPARE(clicked.count(), 0);
    release(button, last);
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(button->visualState(), State::Up);
}

void TestRzBmpBtn::keyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("clicksOnPress");
    QTest::addColumn<bool>("clicksOnRelease");

    QTest::newRow("space clicks when let go") << int(Qt::Key_Space) << false << true;
    QTest::newRow("return clicks at once") << int(Qt::Key_Return) << true << false;
    QTest::newRow("enter clicks at once") << int(Qt::Key_Enter) << true << false;
    QTest::newRow("other keys do nothing") << int(Qt::Key_A) << false << false;
}

void TestRzBmpBtn::keyboard()
{
    QFETCH(int, key);
    QFETCH(bool, clicksOnPress);
    QFETCH(bool, clicksOnRelease);

    Toolbar toolbar;
    TRzBmpButton *button = toolbar.addButton(QPoint(0, 0));
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    button->setFocus();
    QSignalSpy clicked(button, &TRzBmpButton::clicked);

    QTest::keyPress(button, Qt::Key(key));
    QCOMPARE(clicked.count(), clicksOnPress ? 1 : 0);
    QCOMPARE(button->visualState(), key == Qt::Key_Space ? State::Pressed : State::Up);

    // A held key repeats its release and press; that is not a click.
    if (key == Qt::Key_Space) {
        QKeyEvent repeatedRelease(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(button, &repeatedRelease);
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(button->visualState(), State::Pressed);
    }

    QTest::keyRelease(button, Qt::Key(key));
    QCOMPARE(clicked.count(), (clicksOnPress ? 1 : 0) + (clicksOnRelease ? 1 : 0));
    QCOMPARE(button->visualState(), State::Up);
}

void TestRzBmpBtn::groups_data()
{
    QTest::addColumn<int>("firstGroup");
    QTest::addColumn<int>("secondGroup");
    QTest::addColumn<bool>("allowAllUp");
    QTest::addColumn<int>("clickOn"); // 0 first, 1 second
    QTest::addColumn<bool>("firstDown");
    QTest::addColumn<bool>("secondDown");

    // The first button is latched before the click.
    QTest::newRow("latching the second releases the first") << 1 << 1 << false << 1 << false << true;
    QTest::newRow("the latched one stays down") << 1 << 1 << false << 0 << true << false;
    QTest::newRow("all up allowed: the latched one comes up") << 1 << 1 << true << 0 << false << false;
    QTest::newRow("other groups are left alone") << 1 << 2 << false << 1 << true << true;
    QTest::newRow("outside any group nothing latches") << 0 << 0 << false << 1 << false << false;
}

void TestRzBmpBtn::groups()
{
    QFETCH(int, firstGroup);
    QFETCH(int, secondGroup);
    QFETCH(bool, allowAllUp);
    QFETCH(int, clickOn);
    QFETCH(bool, firstDown);
    QFETCH(bool, secondDown);

    Toolbar toolbar;
    TRzBmpButton *first = toolbar.addButton(QPoint(0, 0));
    TRzBmpButton *second = toolbar.addButton(QPoint(30, 0));
    first->SetGroupIndex(firstGroup);
    second->SetGroupIndex(secondGroup);
    first->SetDown(true);
    // Allowing all up on one button of a group hands the setting to the others and leaves the latched
    // one down.
    second->SetAllowAllUp(allowAllUp);
    QCOMPARE(first->AllowAllUp(), allowAllUp && firstGroup == secondGroup && firstGroup != 0);
    QCOMPARE(first->Down(), firstGroup != 0);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));

    TRzBmpButton *target = clickOn == 0 ? first : second;
    QSignalSpy clicked(target, &TRzBmpButton::clicked);
    clickAt(target);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(first->Down(), firstDown);
    QCOMPARE(second->Down(), secondDown);
    QCOMPARE(first->visualState(), firstDown ? State::Latched : State::Up);
    QCOMPARE(second->visualState(), secondDown ? State::Latched : State::Up);
}

void TestRzBmpBtn::doubleClickOnlyWhileDown()
{
    Toolbar toolbar;
    TRzBmpButton *plain = toolbar.addButton(QPoint(0, 0));
    TRzBmpButton *latched = toolbar.addButton(QPoint(30, 0));
    latched->SetGroupIndex(1);
    latched->SetDown(true);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));

    QSignalSpy plainDouble(plain, &TRzBmpButton::doubleClicked);
    QSignalSpy latchedDouble(latched, &TRzBmpButton::doubleClicked);
    QTest::mouseDClick(plain, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseDClick(latched, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(plainDouble.count(), 0);
    QCOMPARE(latchedDouble.count(), 1);
}

void TestRzBmpBtn::picturePerState()
{
    Toolbar toolbar;
    TRzBmpButton *button = toolbar.addButton(QPoint(10, 10));
    button->Bitmaps()->SetStayDown(halfKeyed(StayDownColour));
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));

    // The transparent half shows the parent behind the button.
    const auto check = [&](QRgb pictureColour) {
        const QImage image = rendered(button);
        QCOMPARE(image.size(), BitmapSize);
        QCOMPARE(image.pixel(2, 5) | 0xFF000000, ParentColour);
        QCOMPARE(image.pixel(15, 5) | 0xFF000000, pictureColour);
    };
    check(UpColour);

    press(button, QPoint(5, 5));
    check(DownColour);
    moveWithButton(button, QPoint(40, 5));
    check(UpColour);
    release(button, QPoint(40, 5));

    button->SetGroupIndex(1);
    button->SetDown(true);
    check(StayDownColour);
    button->Bitmaps()->SetStayDown(QImage());
    check(DownColour);
}

void TestRzBmpBtn::latchedPattern_data()
{
    QTest::addColumn<bool>("showPattern");
    QTest::newRow("pattern") << true;
    QTest::newRow("no pattern") << false;
}

void TestRzBmpBtn::latchedPattern()
{
    QFETCH(bool, showPattern);
    const FixedSystemColours colours;
    constexpr QRgb ButtonColour = 0xFF336699;

    Toolbar toolbar;
    TRzBmpButton *button = toolbar.addButton(QPoint(0, 0));
    button->SetButtonBorder(bbSingle);
    button->SetColor(0x00996633);
    button->SetShowDownPattern(showPattern);
    button->SetGroupIndex(1);
    button->SetDown(true);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));

    // The bitmap fills the inside of the one-pixel black line; its transparent half shows what the
    // latched state laid beneath: the checker of face and white, or the button's own colour.
    const QImage image = rendered(button);
    QCOMPARE(image.size(), BitmapSize + QSize(2, 2));
    QCOMPARE(image.pixel(image.width() - 1, image.height() - 1) | 0xFF000000, 0xFF000000);
    for (int y = 2; y < 9; ++y) {
        for (int x = 2; x < 10; ++x) {
            const QRgb expected = !showPattern ? ButtonColour : (x % 2 == y % 2 ? 0xFFFFFFFF : FaceColour);
            QCOMPARE(image.pixel(x, y) | 0xFF000000, expected);
        }
    }
    QCOMPARE(image.pixel(15, 5) | 0xFF000000, DownColour);
}

void TestRzBmpBtn::generatedDisabledPicture()
{
    const FixedSystemColours colours;

    // An Up picture with a 3 x 2 black block; no Disabled picture.
    QImage up = halfKeyed(UpColour);
    for (int y = 3; y < 5; ++y) {
        for (int x = 12; x < 15; ++x)
            up.setPixel(x, y, qRgb(0, 0, 0));
    }
    Toolbar toolbar;
    TRzBmpButton *button = toolbar.addButton(QPoint(0, 0));
    button->Bitmaps()->SetUp(up);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    button->setEnabled(false);

    QImage expected(BitmapSize, QImage::Format_RGB32);
    expected.fill(FaceColour);
    for (int y = 4; y < 6; ++y) {
        for (int x = 13; x < 16; ++x)
            expected.setPixel(x, y, qRgb(255, 255, 255));
    }
    for (int y = 3; y < 5; ++y) {
        for (int x = 12; x < 15; ++x)
            expected.setPixel(x, y, ShadowColour);
    }
    QCOMPARE(pixelGrid(rendered(button), { { 0xFFFFFFFF, u'W' } }),
             pixelGrid(expected, { { 0xFFFFFFFF, u'W' } }));
    QCOMPARE(button->visualState(), State::Disabled);

    // A caption of a disabled button: once in white one pixel down and right, then in grey.
    button->Bitmaps()->SetUp(QImage());
    button->SetButtonSize(bszNeither);
    button->resize(80, 30);
    QFont font = button->font();
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(14);
    button->setFont(font);
    button->SetCaption(QStringLiteral("Ab"));
    const QImage captioned = rendered(button);
    bool white = false;
    bool grey = false;
    for (int y = 0; y < captioned.height(); ++y) {
        for (int x = 0; x < captioned.width(); ++x) {
            const QRgb pixel = captioned.pixel(x, y) | 0xFF000000;
            if (pixel == 0xFF808080) {
                grey = true;
                // Where grey was drawn, white lies one pixel down and right unless covered by grey.
                const QRgb below = captioned.pixel(x + 1, y + 1) | 0xFF000000;
                QVERIFY(below == 0xFFFFFFFF || below == 0xFF808080);
            }
            white = white || pixel == 0xFFFFFFFF;
        }
    }
    QVERIFY(white);
    QVERIFY(grey);
}

void TestRzBmpBtn::bitmapsAnnounceChanges()
{
    TRzButtonBitmaps bitmaps;
    QCOMPARE(bitmaps.TransparentColor(), clOlive);
    QSignalSpy changed(&bitmaps, &TRzButtonBitmaps::changed);

    bitmaps.SetUp(halfKeyed(UpColour));
    bitmaps.SetUp(bitmaps.Up());
    bitmaps.SetTransparentColor(clOlive);
    QCOMPARE(changed.count(), 1);
    bitmaps.SetTransparentColor(clBlack);
    bitmaps.SetDown(halfKeyed(UpColour));
    QCOMPARE(changed.count(), 3);
}

QTEST_MAIN(TestRzBmpBtn)
#include "tst_rzbmpbtn.moc"
