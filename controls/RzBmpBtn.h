#pragma once

#include "controls/RzCommon.h"

#include <QImage>
#include <QObject>
#include <QWidget>

namespace vellumite {

// The pictures a bitmap button shows per state, and the colour that is transparent in all of them.
class TRzButtonBitmaps : public QObject
{
    Q_OBJECT

public:
    explicit TRzButtonBitmaps(QObject *parent = nullptr);

    const QImage &Up() const { return m_up; }
    const QImage &UpAndFocused() const { return m_upAndFocused; }
    const QImage &Disabled() const { return m_disabled; }
    const QImage &Down() const { return m_down; }
    const QImage &StayDown() const { return m_stayDown; }
    TColor TransparentColor() const { return m_transparentColor; }

    // Each setter copies the picture and announces the change; handing back the picture already held
    // changes nothing.
    void SetUp(const QImage &image);
    void SetUpAndFocused(const QImage &image);
    void SetDisabled(const QImage &image);
    void SetDown(const QImage &image);
    void SetStayDown(const QImage &image);
    void SetTransparentColor(TColor color);

signals:
    // OnChange: any picture or the transparent colour changed.
    void changed();

private:
    void assign(QImage &slot, const QImage &image);

    QImage m_up;
    QImage m_upAndFocused;
    QImage m_disabled;
    QImage m_down;
    QImage m_stayDown;
    TColor m_transparentColor = clOlive;
};

enum TButtonBorder : quint8 { bbNone, bbSingle, bbButton };
enum TBtnSize : quint8 { bszNeither, bszButtonToBitmap, bszStretchToButton, bszTileToButton };
enum TButtonStyle : quint8 { bsAutoDetect, bsWin31, bsNew };
enum TButtonLayout : quint8 { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Where the glyph and the caption go inside a client rectangle. `glyph` is the client rectangle itself
// unless the glyph has a size of its own; `caption` is the caption's rectangle.
struct CaptionLayout
{
    QRect glyph;
    QRect caption;
};

// Margin and spacing of -1 mean "automatic"; a caption or glyph of zero width drops the spacing.
CaptionLayout CalcCaptionLayout(const QRect &client, QSize glyphSize, QSize captionSize, TButtonLayout layout,
                                int margin, int spacing);

// A focusable push button that draws one bitmap per state, optionally with a caption, a border and a
// focus rectangle. Buttons of one parent that share a non-zero GroupIndex latch like radio buttons.
class TRzBmpButton : public QWidget
{
    Q_OBJECT

public:
    enum class VisualState : quint8 { Up, Disabled, Pressed, Latched };

    explicit TRzBmpButton(QWidget *parent = nullptr);
    ~TRzBmpButton() override;

    TRzButtonBitmaps *Bitmaps() const { return m_bitmaps; }

    bool AllowAllUp() const { return m_allowAllUp; }
    int ModalResult() const { return m_modalResult; }
    int GroupIndex() const { return m_groupIndex; }
    bool Down() const { return m_down; }
    TColor Color() const { return m_color; }
    TButtonBorder ButtonBorder() const { return m_buttonBorder; }
    bool ShowDownPattern() const { return m_showDownPattern; }
    bool ShowFocus() const { return m_showFocus; }
    TBtnSize ButtonSize() const { return m_buttonSize; }
    TButtonStyle ButtonStyle() const { return m_buttonStyle; }
    TButtonLayout Layout() const { return m_layout; }
    int Margin() const { return m_margin; }
    int Spacing() const { return m_spacing; }
    const QString &Caption() const { return m_caption; }
    // A free number for the owner's use, such as a mode that a command keeps between runs.
    int Tag() const { return m_tag; }
    VisualState visualState() const { return m_state; }

    void SetAllowAllUp(bool value);
    void SetModalResult(int value) { m_modalResult = value; }
    void SetButtonBorder(TButtonBorder value);
    void SetButtonSize(TBtnSize value);
    void SetButtonStyle(TButtonStyle value);
    void SetColor(TColor value);
    // Latches or releases the button; a button outside any group never latches, and a latched button
    // of a group that does not allow all up stays down.
    void SetDown(bool value);
    void SetGroupIndex(int value);
    void SetLayout(TButtonLayout value);
    void SetMargin(int value);
    void SetShowDownPattern(bool value);
    void SetShowFocus(bool value);
    void SetSpacing(int value);
    void SetCaption(const QString &caption);
    void SetTag(int value) { m_tag = value; }

    // Hands the button's modal result to its dialog and reports the click.
    void Click();

    QSize sizeHint() const override;

signals:
    void clicked();
    // Only a latched button reports double clicks.
    void doubleClicked();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool isNewStyle() const;
    int bevelWidth() const { return isNewStyle() ? 1 : 2; }
    int borderWidth() const;
    QSize sizeForBitmap() const;
    void AdjustSizeToBitmap();
    void BitmapsChanged();
    void NotifyGroup();
    void GroupButtonPressed(int groupIndex, TRzBmpButton *sender);
    void FinishPress(bool click);
    bool isInside(const QPoint &pos) const;
    const QImage *chooseGlyph() const;
    CaptionLayout CalcCaptionLayout(const QRect &client, const QImage *glyph) const;
    QString captionText() const;
    void updateMnemonic();

    TRzButtonBitmaps *m_bitmaps;
    bool m_allowAllUp = false;
    int m_modalResult = 0;
    int m_groupIndex = 0;
    bool m_down = false;
    TColor m_color = clBtnFace;
    TButtonBorder m_buttonBorder = bbNone;
    bool m_showDownPattern = true;
    bool m_showFocus = true;
    TBtnSize m_buttonSize = bszButtonToBitmap;
    TButtonStyle m_buttonStyle = bsAutoDetect;
    TButtonLayout m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_spacing = 4;
    QString m_caption;
    int m_tag = 0;
    int m_mnemonicId = 0;

    VisualState m_state = VisualState::Up;
    bool m_focused = false;
    bool m_tracking = false;
};

} // namespace vellumite
