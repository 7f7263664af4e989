#include "main/window/screenfit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>

namespace vellumite {

namespace {

// The frame is looked for this often after a window shows, and for this long at most: a window manager
// frames a window within a few frames, and without one no frame ever comes.
constexpr int FrameCheckIntervalMs = 20;
constexpr int FrameChecks = 100;

} // namespace

ScreenLayout currentScreenLayout()
{
    ScreenLayout layout;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return layout;
    layout.availableAreas = { primary->availableGeometry() };
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != primary)
            layout.availableAreas << screen->availableGeometry();
    }
    return layout;
}

ScreenFit::ScreenFit(QWidget &window, Kind kind)
    : QObject(&window)
    , m_window(window)
    , m_kind(kind)
    , m_minimumSize(window.minimumSize())
{
    window.installEventFilter(this);
}

ScreenFit *ScreenFit::attachedTo(QWidget &window, Kind kind)
{
    if (auto *fit = window.findChild<ScreenFit *>(QString(), Qt::FindDirectChildrenOnly))
        return fit;
    return new ScreenFit(window, kind);
}

void ScreenFit::placeAtStoredBounds(QWidget &window, const QRect &stored)
{
    ScreenFit *fit = attachedTo(window, Kind::StoredBounds);
    fit->apply(fit->decide(stored, fit->frame()));
}

void ScreenFit::centreOnParent(QWidget &dialog)
{
    attachedTo(dialog, Kind::CentredOnParent);
}

WindowFit ScreenFit::decide(const QRect &bounds, const QMargins &frame) const
{
    const ScreenLayout screens = currentScreenLayout();
    return m_kind == Kind::StoredBounds ? fitWindowOnScreens(bounds, m_minimumSize, frame, screens)
                                        : keepWindowOnScreen(bounds, m_minimumSize, frame, screens);
}

void ScreenFit::apply(const WindowFit &place)
{
    m_window.setMinimumSize(place.minimumSize);
    if (m_window.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        return;
    m_window.resize(place.bounds.size());
    // A window's position is that of its frame, where the window manager puts the title bar.
    m_window.move(place.bounds.topLeft());
}

QMargins ScreenFit::frame() const
{
    const QWindow *handle = m_window.windowHandle();
    return handle && m_window.isVisible() ? handle->frameMargins() : QMargins();
}

QMargins ScreenFit::expectedFrame() const
{
    if (m_window.windowFlags() & Qt::FramelessWindowHint)
        return {};
    const QWidget *owner = m_window.parentWidget() ? m_window.parentWidget()->window() : nullptr;
    const QWindow *handle = owner && owner->isVisible() ? owner->windowHandle() : nullptr;
    return handle ? handle->frameMargins() : QMargins();
}

void ScreenFit::centre()
{
    const QMargins frame = expectedFrame();
    const QSize framedSize
        = m_window.size() + QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QWidget *owner = m_window.parentWidget() ? m_window.parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible() && !owner->isMinimized()) {
        const QWindow *handle = owner->windowHandle();
        const QMargins ownerFrame = handle ? handle->frameMargins() : QMargins();
        area = owner->geometry().marginsAdded(ownerFrame);
    } else if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        area = primary->availableGeometry();
    } else {
        return;
    }
    apply(decide(QRect(centredCorner(area, framedSize), m_window.size()), frame));
}

bool ScreenFit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Show && !event->spontaneous()) {
        // Moved before the show goes on, so that QDialog's own centring, which knows no screen edges,
        // stays out of the way.
        if (m_kind == Kind::CentredOnParent)
            centre();
        m_frameChecks = 0;
        m_frameTimer.start(FrameCheckIntervalMs, this);
    }
    return QObject::eventFilter(watched, event);
}

void ScreenFit::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_frameTimer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (!m_window.isVisible()) {
        m_frameTimer.stop();
        return;
    }
    // While the window manager is still framing the window, the margins can be partial: the title bar
    // is what marks the frame as done. Without one in time, the frame as it stands is taken.
    const QMargins margins = frame();
    const bool lastCheck = ++m_frameChecks >= FrameChecks;
    if ((margins.top() > 0 && !m_window.geometry().isEmpty()) || (lastCheck && !margins.isNull())) {
        m_frameTimer.stop();
        correctOnceFramed();
    } else if (lastCheck) {
        m_frameTimer.stop();
    }
}

// The frame is known: where the framed window does not fit, it is placed again for that frame, once.
void ScreenFit::correctOnceFramed()
{
    const QMargins margins = frame();
    const QRect current(m_window.geometry().topLeft() - QPoint(margins.left(), margins.top()),
                        m_window.size());
    const WindowFit place = decide(current, margins);
    if (place.bounds != current || place.minimumSize != m_window.minimumSize())
        apply(place);
}

} // namespace vellumite
