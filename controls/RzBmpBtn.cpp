#include "controls/RzBmpBtn.h"

#include "controls/RzGrafx.h"

#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <memory>

namespace vellumite {

namespace {

// The longest caption the button measures and draws.
constexpr qsizetype MaxCaptionLength = 255;

// One 8 x 8 checker, button face and white, shared by every button and released with the last one.
struct SharedDownPattern
{
    int liveButtons = 0;
    std::unique_ptr<QImage> pattern;
};

SharedDownPattern &sharedDownPattern()
{
    static SharedDownPattern shared;
    return shared;
}

const QImage &CreateDownPatternBitmap()
{
    SharedDownPattern &shared = sharedDownPattern();
    if (!shared.pattern) {
        auto pattern = std::make_unique<QImage>(8, 8, QImage::Format_RGB32);
        pattern->fill(toQColor(clBtnFace));
        for (int y = 0; y < 8; ++y) {
            for (int x = y % 2; x < 8; x += 2)
                pattern->setPixel(x, y, qRgb(255, 255, 255));
        }
        shared.pattern = std::move(pattern);
    }
    return *shared.pattern;
}

// The button face of a bordered button: raised, or sunken while down. Returns the face's inner area.
QRect DrawButtonFace(QPainter &canvas, const QRect &client, int bevelWidth, bool rounded, bool down,
                     bool focused)
{
    canvas.fillRect(client, toQColor(clBtnFace));
    QRect edge = client;
    if (focused || rounded)
        edge = PaintFrameEdges(canvas, edge, clWindowFrame, clWindowFrame, sdAllSides);
    if (down)
        PaintFrameEdgesN(canvas, edge, clBtnShadow, clBtnShadow, bevelWidth, sdAllSides);
    else if (bevelWidth == 1)
        PaintPushFrameEdges(canvas, edge, EdgeDepth::Raised, sdAllSides);
    else
        PaintFrameEdgesN(canvas, edge, clBtnHighlight, clBtnShadow, bevelWidth, sdAllSides);

    const QRect face = fromEdges(client.left() + 1, client.top() + 1, client.left() + client.width() - 2,
                                 client.top() + client.height() - 2);
    return down ? face.translated(1, 1) : face;
}

// The grey picture of a disabled button without a picture of its own: the black pixels of its Up
// picture in button shadow, with a white copy one pixel down and right, on the button face.
QImage disabledImageFrom(const QImage &up)
{
    const QImage source = up.convertToFormat(QImage::Format_RGB32);
    QImage image(source.size(), QImage::Format_RGB32);
    image.fill(toQColor(clBtnFace));
    const auto isSet = [&](int x, int y) { return (source.pixel(x, y) & RGB_MASK) == 0; };
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (isSet(x, y) && x + 1 < image.width() && y + 1 < image.height())
                image.setPixel(x + 1, y + 1, white);
        }
    }
    const QRgb shadow = toQColor(clBtnShadow).rgb();
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (isSet(x, y))
                image.setPixel(x, y, shadow);
        }
    }
    return image;
}

// A dotted rectangle of alternate pixels.
void DrawFocusRect(QPainter &canvas, const QRect &rect, const QColor &color)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const auto dot = [&](int x, int y) {
        if ((x + y) % 2 == 0)
            canvas.fillRect(QRect(x, y, 1, 1), color);
    };
    for (int x = rect.left(); x <= rect.right(); ++x) {
        dot(x, rect.top());
        dot(x, rect.bottom());
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        dot(rect.left(), y);
        dot(rect.right(), y);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------

TRzButtonBitmaps::TRzButtonBitmaps(QObject *parent)
    : QObject(parent)
{ }

void TRzButtonBitmaps::assign(QImage &slot, const QImage &image)
{
    if (!slot.isNull() && slot.cacheKey() == image.cacheKey())
        return;
    slot = image;
    emit changed();
}

void TRzButtonBitmaps::SetUp(const QImage &image)
{
    assign(m_up, image);
}

void TRzButtonBitmaps::SetUpAndFocused(const QImage &image)
{
    assign(m_upAndFocused, image);
}

void TRzButtonBitmaps::SetDisabled(const QImage &image)
{
    assign(m_disabled, image);
}

void TRzButtonBitmaps::SetDown(const QImage &image)
{
    assign(m_down, image);
}

void TRzButtonBitmaps::SetStayDown(const QImage &image)
{
    assign(m_stayDown, image);
}

void TRzButtonBitmaps::SetTransparentColor(TColor color)
{
    if (assignIfChanged(m_transparentColor, color))
        emit changed();
}

// ---------------------------------------------------------------------------------------------------

CaptionLayout CalcCaptionLayout(const QRect &client, QSize glyphSize, QSize captionSize, TButtonLayout layout,
                                int margin, int spacing)
{
    const QSize area = client.size();
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    QPoint glyphPos;
    QPoint textPos;
    if (horizontal) {
        glyphPos.setY(area.height() / 2 - glyphSize.height() / 2);
        textPos.setY(area.height() / 2 - captionSize.height() / 2);
    } else {
        glyphPos.setX(area.width() / 2 - glyphSize.width() / 2);
        textPos.setX(area.width() / 2 - captionSize.width() / 2);
    }

    int sp = spacing;
    int m = margin;
    if (captionSize.width() == 0 || glyphSize.width() == 0)
        sp = 0;

    // Along the layout's axis.
    const int s = horizontal ? area.width() : area.height();
    const int gs = horizontal ? glyphSize.width() : glyphSize.height();
    const int ts = horizontal ? captionSize.width() : captionSize.height();
    if (m == -1) {
        if (sp == -1) {
            const int total = gs + ts;
            m = (s - total) / 3;
            sp = m;
        } else {
            const int total = gs + sp + ts;
            m = s / 2 - total / 2;
        }
    }
    if (m != -1 && sp == -1) {
        const int total = s - (m + gs);
        sp = total / 2 - ts / 2;
    }

    switch (layout) {
    case blGlyphLeft:
        glyphPos.setX(m);
        textPos.setX(glyphPos.x() + glyphSize.width() + sp);
        break;
    case blGlyphRight:
        glyphPos.setX(area.width() - m - glyphSize.width());
        textPos.setX(glyphPos.x() - sp - captionSize.width());
        break;
    case blGlyphTop:
        glyphPos.setY(m);
        textPos.setY(glyphPos.y() + glyphSize.height() + sp);
        break;
    case blGlyphBottom:
        glyphPos.setY(area.height() - m - glyphSize.height());
        textPos.setY(glyphPos.y() - sp - captionSize.height());
        break;
    }

    CaptionLayout result;
    result.caption = QRect(client.topLeft() + textPos, captionSize);
    result.glyph = glyphSize.width() != 0 && glyphSize.height() != 0
        ? QRect(client.topLeft() + glyphPos, glyphSize)
        : client;
    return result;
}

// ---------------------------------------------------------------------------------------------------

TRzBmpButton::TRzBmpButton(QWidget *parent)
    : QWidget(parent)
    , m_bitmaps(new TRzButtonBitmaps(this))
{
    ++sharedDownPattern().liveButtons;
    // The button paints every pixel itself, the parent's background included.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    resize(80, 30);
    connect(m_bitmaps, &TRzButtonBitmaps::changed, this, &TRzBmpButton::BitmapsChanged);
}

TRzBmpButton::~TRzBmpButton()
{
    SharedDownPattern &shared = sharedDownPattern();
    if (--shared.liveButtons == 0)
        shared.pattern.reset();
}

bool TRzBmpButton::isNewStyle() const
{
    // Every desktop this runs on has the flat look that auto-detection picks.
    return m_buttonStyle != bsWin31;
}

int TRzBmpButton::borderWidth() const
{
    switch (m_buttonBorder) {
    case bbNone:
        return 0;
    case bbSingle:
        return 1;
    case bbButton:
        return isNewStyle() ? 2 : 3;
    }
    return 0;
}

QSize TRzBmpButton::sizeForBitmap() const
{
    const int border = 2 * borderWidth();
    return m_bitmaps->Up().size() + QSize(border, border);
}

QSize TRzBmpButton::sizeHint() const
{
    if (m_buttonSize == bszButtonToBitmap && !m_bitmaps->Up().isNull())
        return sizeForBitmap();
    return QSize(80, 30);
}

void TRzBmpButton::AdjustSizeToBitmap()
{
    if (m_buttonSize == bszNeither || m_bitmaps->Up().isNull())
        return;
    if (m_buttonSize == bszButtonToBitmap && size() != sizeForBitmap())
        resize(sizeForBitmap());
    update();
}

void TRzBmpButton::BitmapsChanged()
{
    if (m_buttonSize == bszButtonToBitmap)
        AdjustSizeToBitmap();
    update();
}

void TRzBmpButton::SetAllowAllUp(bool value)
{
    if (assignIfChanged(m_allowAllUp, value))
        NotifyGroup();
}

void TRzBmpButton::SetButtonBorder(TButtonBorder value)
{
    if (!assignIfChanged(m_buttonBorder, value))
        return;
    AdjustSizeToBitmap();
    update();
}

void TRzBmpButton::SetButtonSize(TBtnSize value)
{
    if (!assignIfChanged(m_buttonSize, value))
        return;
    AdjustSizeToBitmap();
    update();
}

void TRzBmpButton::SetButtonStyle(TButtonStyle value)
{
    if (!assignIfChanged(m_buttonStyle, value))
        return;
    AdjustSizeToBitmap();
    update();
}

void TRzBmpButton::SetColor(TColor value)
{
    if (assignIfChanged(m_color, value))
        update();
}

void TRzBmpButton::SetDown(bool value)
{
    if (m_groupIndex == 0)
        value = false;
    if (value == m_down)
        return;
    if (m_down && !m_allowAllUp)
        return;
    m_down = value;
    m_state = value ? VisualState::Latched : VisualState::Up;
    update();
    if (value)
        NotifyGroup();
}

void TRzBmpButton::SetGroupIndex(int value)
{
    if (assignIfChanged(m_groupIndex, value))
        NotifyGroup();
}

void TRzBmpButton::SetLayout(TButtonLayout value)
{
    if (assignIfChanged(m_layout, value))
        update();
}

void TRzBmpButton::SetMargin(int value)
{
    if (value == m_margin || value < -1)
        return;
    m_margin = value;
    update();
}

void TRzBmpButton::SetShowDownPattern(bool value)
{
    if (assignIfChanged(m_showDownPattern, value))
        update();
}

void TRzBmpButton::SetShowFocus(bool value)
{
    if (assignIfChanged(m_showFocus, value))
        update();
}

void TRzBmpButton::SetSpacing(int value)
{
    if (assignIfChanged(m_spacing, value))
        update();
}

void TRzBmpButton::SetCaption(const QString &caption)
{
    if (!assignIfChanged(m_caption, caption))
        return;
    updateMnemonic();
    update();
}

QString TRzBmpButton::captionText() const
{
    return m_caption.left(MaxCaptionLength);
}

void TRzBmpButton::updateMnemonic()
{
    if (m_mnemonicId != 0)
        releaseShortcut(m_mnemonicId);
    const QKeySequence mnemonic = QKeySequence::mnemonic(m_caption);
    m_mnemonicId = mnemonic.isEmpty() ? 0 : grabShortcut(mnemonic);
}

void TRzBmpButton::NotifyGroup()
{
    QWidget *parent = parentWidget();
    if (m_groupIndex == 0 || !parent)
        return;
    for (QObject *child : parent->children()) {
        if (auto *button = qobject_cast<TRzBmpButton *>(child))
            button->GroupButtonPressed(m_groupIndex, this);
    }
}

void TRzBmpButton::GroupButtonPressed(int groupIndex, TRzBmpButton *sender)
{
    if (groupIndex != m_groupIndex || sender == this)
        return;
    if (sender->Down() && m_down) {
        m_down = false;
        m_state = VisualState::Up;
        update();
    }
    m_allowAllUp = sender->AllowAllUp();
}

void TRzBmpButton::Click()
{
    const QPointer<TRzBmpButton> alive(this);
    emit clicked();
    if (!alive || m_modalResult == 0)
        return;
    if (auto *dialog = qobject_cast<QDialog *>(window()))
        dialog->done(m_modalResult);
}

// The row just below the button still counts, as it always has for this button.
bool TRzBmpButton::isInside(const QPoint &pos) const
{
    return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
}

void TRzBmpButton::FinishPress(bool click)
{
    if (m_groupIndex == 0) {
        repaint();
    } else if (click) {
        SetDown(!m_down);
        if (m_down) {
            m_state = VisualState::Latched;
            repaint();
        }
    } else {
        if (m_down)
            m_state = VisualState::Latched;
        repaint();
    }
    if (click)
        Click();
}

bool TRzBmpButton::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        const auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (m_mnemonicId != 0 && shortcut->shortcutId() == m_mnemonicId) {
            if (isEnabled())
                Click();
            return true;
        }
    }
    return QWidget::event(event);
}

void TRzBmpButton::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (isEnabled() && !m_down && !m_focused)
        setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!m_down) {
        m_state = VisualState::Pressed;
        repaint();
    }
    m_tracking = true;
}

void TRzBmpButton::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    if (!m_tracking)
        return;
    VisualState state = VisualState::Latched;
    if (!m_down)
        state = isInside(event->position().toPoint()) ? VisualState::Pressed : VisualState::Up;
    if (state != m_state) {
        m_state = state;
        repaint();
    }
}

void TRzBmpButton::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (!m_tracking)
        return;
    m_tracking = false;
    m_state = VisualState::Up;
    FinishPress(isInside(event->position().toPoint()));
}

void TRzBmpButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
    if (m_down)
        emit doubleClicked();
}

void TRzBmpButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Click();
        return;
    case Qt::Key_Space:
        // Held keys repeat; only the first press counts.
        if (isEnabled() && !event->isAutoRepeat()) {
            if (!m_down) {
                m_state = VisualState::Pressed;
                repaint();
            }
            m_tracking = true;
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TRzBmpButton::keyReleaseEvent(QKeyEvent *event)
{
    if (!m_tracking || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    m_tracking = false;
    m_state = VisualState::Up;
    FinishPress(true);
}

void TRzBmpButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_focused = true;
    update();
}

void TRzBmpButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    m_focused = false;
    update();
}

void TRzBmpButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
}

void TRzBmpButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    AdjustSizeToBitmap();
}

const QImage *TRzBmpButton::chooseGlyph() const
{
    const TRzButtonBitmaps &b = *m_bitmaps;
    const auto held = [](const QImage &image) { return !image.isNull(); };
    switch (m_state) {
    case VisualState::Up:
        return m_focused && m_showFocus && held(b.UpAndFocused()) ? &b.UpAndFocused() : &b.Up();
    case VisualState::Disabled:
        return held(b.Disabled()) ? &b.Disabled() : nullptr;
    case VisualState::Pressed:
        return held(b.Down()) ? &b.Down() : &b.Up();
    case VisualState::Latched:
        if (held(b.StayDown()))
            return &b.StayDown();
        return held(b.Down()) ? &b.Down() : &b.Up();
    }
    return &b.Up();
}

CaptionLayout TRzBmpButton::CalcCaptionLayout(const QRect &client, const QImage *glyph) const
{
    const QSize glyphSize
        = glyph && !glyph->isNull() && m_buttonSize == bszNeither ? glyph->size() : QSize(0, 0);
    const QString text = captionText();
    const QSize captionSize = text.isEmpty()
        ? QSize(0, 0)
        : QFontMetrics(font()).size(Qt::TextSingleLine | Qt::TextShowMnemonic, text);
    return vellumite::CalcCaptionLayout(client, glyphSize, captionSize, m_layout, m_margin, m_spacing);
}

void TRzBmpButton::paintEvent(QPaintEvent *)
{
    if (!isEnabled()) {
        m_state = VisualState::Disabled;
        m_tracking = false;
    } else if (m_state == VisualState::Disabled) {
        m_state = VisualState::Up;
    }

    // Everything is composed off screen and copied in one go, so the button never flickers.
    QImage offscreen(size(), QImage::Format_ARGB32_Premultiplied);
    const QColor color = toQColor(m_color);
    offscreen.fill(color);
    {
        QPainter canvas(&offscreen);
        QRect r = rect();
        switch (m_buttonBorder) {
        case bbNone:
            PaintParentBackground(this, canvas);
            break;
        case bbSingle:
            PaintFrameEdges(canvas, r, clBlack, clBlack, sdAllSides);
            r.adjust(1, 1, -1, -1);
            break;
        case bbButton: {
            const bool pressed = m_state == VisualState::Pressed || m_state == VisualState::Latched;
            r = DrawButtonFace(canvas, rect(), bevelWidth(), !isNewStyle(), pressed, m_focused && m_showFocus)
                    .adjusted(1, 1, -1, -1);
            break;
        }
        }
        const QRect focusBase = r;

        if (m_state == VisualState::Latched && m_buttonBorder != bbNone) {
            const QBrush brush = m_showDownPattern ? QBrush(CreateDownPatternBitmap()) : QBrush(color);
            const int bw = bevelWidth();
            const int n = isNewStyle() ? 1 : 0;
            const QRect latched = fromEdges(r.left() - bw, r.top() - bw, r.left() + r.width() - 1 - n + bw,
                                            r.top() + r.height() - 1 - n + bw);
            canvas.fillRect(latched, brush);
        }

        const bool haveGlyph = !m_bitmaps->Up().isNull()
            || (m_state == VisualState::Disabled && !m_bitmaps->Disabled().isNull());
        QImage generated;
        const QImage *glyph = nullptr;
        if (haveGlyph) {
            glyph = chooseGlyph();
            if (!glyph) {
                generated = disabledImageFrom(m_bitmaps->Up());
                glyph = &generated;
            }
        }

        const CaptionLayout layout = CalcCaptionLayout(r, glyph);
        if (glyph) {
            const TColor key = m_bitmaps->TransparentColor();
            switch (m_buttonSize) {
            case bszNeither:
                BlitTransparent(canvas, *glyph, layout.glyph, glyph->rect(), key);
                break;
            case bszButtonToBitmap:
                BlitStretchedMasked(canvas, *glyph, layout.glyph, glyph->rect(), key);
                break;
            case bszStretchToButton:
                BlitTransparentWhole(canvas, *glyph, layout.glyph, key);
                break;
            case bszTileToButton:
                TileTransparent(canvas, *glyph, layout.glyph, key);
                break;
            }
        }

        const QString text = captionText();
        if (!text.isEmpty()) {
            canvas.setFont(font());
            constexpr int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
            if (m_state == VisualState::Disabled) {
                canvas.setPen(QColor(255, 255, 255));
                canvas.drawText(layout.caption.translated(1, 1), flags, text);
                canvas.setPen(QColor(128, 128, 128));
            } else {
                canvas.setPen(palette().color(QPalette::WindowText));
            }
            canvas.drawText(layout.caption, flags, text);

            if (m_focused && m_showFocus) {
                QRect focus;
                if (isNewStyle()) {
                    focus = focusBase.adjusted(2, 2, -2, -2);
                    if (m_state == VisualState::Pressed)
                        focus.translate(-1, -1);
                } else {
                    focus = layout.caption.adjusted(-1, -1, 1, 1);
                }
                DrawFocusRect(canvas, focus, toQColor(clBtnText));
            }
        }
    }
    QPainter(this).drawImage(0, 0, offscreen);
}

} // namespace vellumite
