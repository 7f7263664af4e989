#include "platform/widgets/windowactivation.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace vellumite {

namespace {

// How long a restored owner may take to be given the focus by the window manager.
constexpr int RestoreWaitMs = 1000;

// Activates `window` again when the window manager has given the focus to `owner`, once; ends with
// the wait or with `window`.
void activateAgainWhenOwnerFocused(QWidget *window, QWidget *owner)
{
    auto *follower = new QObject(window);
    const auto onFocusChanged
        = [follower, window = QPointer<QWidget>(window), owner = QPointer<QWidget>(owner)](QWindow *focused) {
              if (!window || !owner || !focused || focused != owner->windowHandle())
                  return;
              if (window->isVisible()) {
                  window->raise();
                  window->activateWindow();
              }
              follower->deleteLater();
          };
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, follower, onFocusChanged);
    QTimer::singleShot(RestoreWaitMs, follower, &QObject::deleteLater);
}

} // namespace

void bringToFront(QWidget *window)
{
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void bringToFrontAbove(QWidget *window, QWidget *owner)
{
    const bool ownerWasMinimised = owner && owner->isMinimized();
    bringToFront(owner);
    bringToFront(window);
    if (window && ownerWasMinimised)
        activateAgainWhenOwnerFocused(window, owner);
}

} // namespace vellumite
