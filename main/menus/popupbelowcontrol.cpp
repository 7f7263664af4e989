#include "main/menus/popupbelowcontrol.h"

#include <QAbstractButton>
#include <QMenu>

namespace vellumite {

void PopupBelowControl(QWidget *control, QMenu *menu)
{
    if (!control || !menu)
        return;
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setDown(false);
    menu->exec(control->mapToGlobal(QPoint(-1, control->height())));
}

} // namespace vellumite
