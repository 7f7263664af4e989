#pragma once

#include "main/core/windowplacement.h"

#include <QBasicTimer>
#include <QObject>

class QWidget;

namespace vellumite {

// The screens as the window system reports them now.
ScreenLayout currentScreenLayout();

// Keeps a top-level window where it can be reached: placed before it shows, for the frame the window
// manager is expected to give it, and corrected once the real frame is known, should the framed window
// not fit after all. Lives as a child of the window. Attach it once the window has set its own minimum
// size: that is the size given up where a screen is smaller.
class ScreenFit : public QObject
{
    Q_OBJECT

public:
    // The main window at the bounds it stored (outer corner and client size), placed at once
    // (fitWindowOnScreens).
    static void placeAtStoredBounds(QWidget &window, const QRect &stored);
    // A dialog, centred on the window it belongs to (on the primary screen without one) each time it
    // shows, and kept wholly on the screen (keepWindowOnScreen).
    static void centreOnParent(QWidget &dialog);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    enum class Kind { StoredBounds, CentredOnParent };

    ScreenFit(QWidget &window, Kind kind);
    static ScreenFit *attachedTo(QWidget &window, Kind kind);
    WindowFit decide(const QRect &bounds, const QMargins &frame) const;
    void apply(const WindowFit &place);
    void centre();
    // The frame the window manager will give the window: the one it gave the window it belongs to.
    QMargins expectedFrame() const;
    QMargins frame() const;
    void correctOnceFramed();

    QWidget &m_window;
    const Kind m_kind;
    const QSize m_minimumSize;
    QBasicTimer m_frameTimer;
    int m_frameChecks = 0;
};

} // namespace vellumite
