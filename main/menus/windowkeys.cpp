#include "main/menus/windowkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace vellumite {

WindowKeys::WindowKeys(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    // Only the application sees a key before the control that has the focus.
    qApp->installEventFilter(this);
}

WindowKeys::~WindowKeys()
{
    qApp->removeEventFilter(this);
}

bool WindowKeys::TntFormKeyDown(const QKeyEvent &event)
{
    if (event.key() == Qt::Key_F && event.modifiers().testFlag(Qt::ControlModifier)) {
        emit searchRequested();
        return true;
    }
    if (event.key() == Qt::Key_F1) {
        emit helpRequested();
        return true;
    }
    return false;
}

bool WindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_window || !watched->isWidgetType())
        return false;
    // A key the focused control ignores travels on to its parents; only its first receiver counts, so
    // the command runs once per key press.
    auto *receiver = static_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget();
    if (receiver != (focus ? focus : m_window.data()) || receiver->window() != m_window)
        return false;
    TntFormKeyDown(*static_cast<QKeyEvent *>(event));
    return false;
}

} // namespace vellumite
