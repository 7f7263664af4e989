#pragma once

#include "controls/RzCommon.h"

#include <QImage>
#include <QWidget>

class QPainter;

namespace vellumite {

enum TGradientDirection : quint8 {
    gdDiagonalUp,
    gdDiagonalDown,
    gdHorizontalEnd,
    gdHorizontalCenter,
    gdHorizontalBox,
    gdVerticalEnd,
    gdVerticalCenter,
    gdVerticalBox,
    gdSquareBox,
    gdBigSquareBox
};

enum TImageStyle : quint8 { isCenter, isClip, isFill, isStretch, isTiled };

// How a control places itself in its parent: along one side, or in what the other aligned controls
// leave free.
enum TAlign : quint8 { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The least width of a gradient band, 1 to 8.
using TSmoothFactor = quint8;

// Pixels the frame of a style takes on each side.
int FrameWidth(TFrameStyle style);

// Fills an area by copying its painted top-left block onto itself, doubling it down and to the right
// until the whole area is covered.
void TileByDoubling(QImage &image, int totalWidth, int totalHeight, int paintedWidth, int paintedHeight);

// A panel that paints a layered background: a tiled texture, a colour gradient in one of ten shapes,
// a picture, and a frame. Labels and buttons lie on top of it.
class TRzCustomBackground : public QWidget
{
    Q_OBJECT

public:
    explicit TRzCustomBackground(QWidget *parent = nullptr);
    ~TRzCustomBackground() override;

    bool Active() const { return m_active; }
    TAlign Align() const { return m_align; }
    TColor FrameColor() const { return m_frameColor; }
    TFrameStyle FrameStyle() const { return m_frameStyle; }
    TColor GradientColorStart() const { return m_startColor; }
    TColor GradientColorStop() const { return m_stopColor; }
    TGradientDirection GradientDirection() const { return m_direction; }
    TSmoothFactor GradientSmoothFactor() const { return m_smoothFactor; }
    const QImage &Image() const { return m_image; }
    TImageStyle ImageStyle() const { return m_imageStyle; }
    bool ShowGradient() const { return m_showGradient; }
    bool ShowImage() const { return m_showImage; }
    bool ShowTexture() const { return m_showTexture; }
    const QImage &Texture() const { return m_texture; }

    void SetActive(bool value);
    // A control aligned to anything but alNone places itself whenever its parent changes size; keep
    // such a control out of layouts.
    void SetAlign(TAlign value);
    void SetFrameColor(TColor value);
    void SetFrameStyle(TFrameStyle value);
    void SetGradientColorStart(TColor value);
    void SetGradientColorStop(TColor value);
    void SetGradientDirection(TGradientDirection value);
    // Not range-checked; factors above 8 give bands of about 256 / factor steps.
    void SetGradientSmoothFactor(TSmoothFactor value);
    void SetImage(const QImage &image);
    void SetImageStyle(TImageStyle value);
    // The gradient and the texture exclude each other: showing one hides the other, and hiding the
    // gradient with no picture shown brings the texture back.
    void SetShowGradient(bool value);
    void SetShowImage(bool value);
    void SetShowTexture(bool value);
    void SetTexture(const QImage &image);

protected:
    virtual void BackgroundChanged();
    virtual void RenderGradient(QImage &bitmap);
    virtual void DrawGradient(QImage &canvas);
    virtual void DrawImage(QImage &canvas, const QImage &picture);
    virtual void DrawTexture(QImage &canvas, const QImage &picture);
    virtual void FillLinearBands(QPainter &canvas, int x, int y, int size);
    virtual void FillBoxBands(QPainter &canvas, int width, int height, int insetX, int insetY);
    virtual void FillDiagonalBands(QPainter &canvas, int width, int height);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ImageChanged();
    void TextureChanged();
    void watchParent();
    static void AlignControls(QWidget *parent);

    bool m_active = true;
    TAlign m_align = alNone;
    TColor m_frameColor = clBtnShadow;
    TFrameStyle m_frameStyle = fsNone;
    TColor m_startColor = clBlue;
    TColor m_stopColor = clBlack;
    QRgb m_startRGB = 0;
    QRgb m_stopRGB = 0;
    TGradientDirection m_direction = gdHorizontalEnd;
    TSmoothFactor m_smoothFactor = 1;
    QImage m_image;
    TImageStyle m_imageStyle = isCenter;
    bool m_showGradient = true;
    bool m_showImage = false;
    bool m_showTexture = false;
    QImage m_texture;
    QImage m_gradient;
    QWidget *m_watchedParent = nullptr;
};

// The background panel as windows place it; it only publishes what the base offers.
class TRzBackground : public TRzCustomBackground
{
    Q_OBJECT

public:
    using TRzCustomBackground::TRzCustomBackground;
};

} // namespace vellumite
