#include "main/dialogs/balloonhint.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace vellumite {

namespace {
constexpr int Margin = 8;
constexpr int IconSize = 16;
constexpr int Spacing = 6;
constexpr int TailHeight = 12;
constexpr int TailWidth = 14;
constexpr int TailInset = 18; // distance of the tip from the balloon's left edge, where room allows
constexpr int Radius = 6;
constexpr int ShowMilliseconds = 10000;

QStyle::StandardPixmap standardPixmap(BalloonIcon icon)
{
    switch (icon) {
    case BalloonIcon::Warning:
        break;
    }
    return QStyle::SP_MessageBoxWarning;
}

QFont boldFont(QFont font)
{
    font.setBold(true);
    return font;
}
} // namespace

BalloonHintWidget::BalloonHintWidget(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(ShowMilliseconds);
    connect(&m_hideTimer, &QTimer::timeout, this, &BalloonHintWidget::hideBalloon);
}

void BalloonHintWidget::showBalloon(QWidget *anchor, QPoint point, BalloonIcon icon, const QString &title,
                                    const QString &text, int preferredWidth)
{
    if (!anchor)
        return;
    hideBalloon();
    m_icon = icon;
    m_title = title;
    m_text = text;
    m_tip = anchor->mapToGlobal(point);
    watchAnchor(anchor);
    layOut(preferredWidth);
    show();
    raise();
    m_hideTimer.start();
}

void BalloonHintWidget::hideBalloon()
{
    m_hideTimer.stop();
    if (m_anchor)
        m_anchor->removeEventFilter(this);
    if (m_anchorWindow)
        m_anchorWindow->removeEventFilter(this);
    m_anchor.clear();
    m_anchorWindow.clear();
    hide();
}

void BalloonHintWidget::watchAnchor(QWidget *anchor)
{
    m_anchor = anchor;
    m_anchorWindow = anchor->window();
    anchor->installEventFilter(this);
    if (m_anchorWindow != anchor)
        m_anchorWindow->installEventFilter(this);
}

void BalloonHintWidget::layOut(int preferredWidth)
{
    const int bodyWidth = qMax(preferredWidth, 2 * Margin + IconSize + Spacing + 40);
    const int textWidth = bodyWidth - 2 * Margin;
    const int titleWidth = textWidth - IconSize - Spacing;

    const QFontMetrics titleMetrics(boldFont(font()));
    const QRect titleBounds
        = titleMetrics.boundingRect(QRect(0, 0, titleWidth, 1000), Qt::TextWordWrap, m_title);
    const QRect textBounds
        = fontMetrics().boundingRect(QRect(0, 0, textWidth, 1000), Qt::TextWordWrap, m_text);
    const int headerHeight = qMax(IconSize, titleBounds.height());
    const int bodyHeight = Margin + headerHeight + Spacing + textBounds.height() + Margin;

    // Below the tip when there is room on the screen, above it otherwise; shifted sideways to stay on
    // the screen while the tail keeps touching the tip.
    const QScreen *screen = QGuiApplication::screenAt(m_tip);
    const QRect area
        = screen ? screen->availableGeometry() : QRect(m_tip - QPoint(2000, 2000), QSize(4000, 4000));
    const int height = bodyHeight + TailHeight;
    m_tailOnTop = m_tip.y() + height <= area.bottom() || m_tip.y() - height < area.top();
    int left = m_tip.x() - TailInset;
    left = qBound(area.left(), left, qMax(area.left(), area.right() - bodyWidth));
    m_tailX = qBound(Radius + TailWidth / 2, m_tip.x() - left, bodyWidth - Radius - TailWidth / 2);
    const int top = m_tailOnTop ? m_tip.y() : m_tip.y() - height;
    setGeometry(left, top, bodyWidth + 1, height + 1);

    const int bodyTop = m_tailOnTop ? TailHeight : 0;
    m_iconRect = QRect(Margin, bodyTop + Margin, IconSize, IconSize);
    m_titleRect = QRect(Margin + IconSize + Spacing, bodyTop + Margin, titleWidth, headerHeight);
    m_textRect = QRect(Margin, bodyTop + Margin + headerHeight + Spacing, textWidth, textBounds.height());
    // A mask rather than a translucent window: the shape then shows without a compositing manager.
    QBitmap shape(size());
    shape.fill(Qt::color0);
    QPainter painter(&shape);
    painter.setPen(Qt::color1);
    painter.setBrush(Qt::color1);
    painter.drawPath(outline());
    painter.end();
    setMask(shape);
    update();
}

QPainterPath BalloonHintWidget::outline() const
{
    const int bodyTop = m_tailOnTop ? TailHeight : 0;
    const QRectF body(0.5, bodyTop + 0.5, width() - 1.0, height() - TailHeight - 1.0);
    QPainterPath path;
    path.addRoundedRect(body, Radius, Radius);
    QPainterPath tail;
    if (m_tailOnTop) {
        tail.moveTo(m_tailX - TailWidth / 2.0, body.top() + 1);
        tail.lineTo(m_tailX, 0.5);
        tail.lineTo(m_tailX + TailWidth / 2.0, body.top() + 1);
    } else {
        tail.moveTo(m_tailX - TailWidth / 2.0, body.bottom() - 1);
        tail.lineTo(m_tailX, height() - 0.5);
        tail.lineTo(m_tailX + TailWidth / 2.0, body.bottom() - 1);
    }
    tail.closeSubpath();
    return path.united(tail);
}

void BalloonHintWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QPainterPath path = outline();
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.drawPath(path);

    style()->standardIcon(standardPixmap(m_icon), nullptr, this).paint(&painter, m_iconRect);

    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.setFont(boldFont(font()));
    painter.drawText(m_titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, m_title);
    painter.setFont(font());
    painter.drawText(m_textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_text);
}

void BalloonHintWidget::mousePressEvent(QMouseEvent *)
{
    hideBalloon();
}

bool BalloonHintWidget::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == m_anchor)
            hideBalloon();
        break;
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
        if (watched == m_anchorWindow || watched == m_anchor)
            hideBalloon();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vellumite
