#include "platform/widgets/windowactivation.h"

#include <QWidget>

namespace vellumite {

void bringToFront(QWidget *window)
{
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace vellumite
