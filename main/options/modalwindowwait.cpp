#include "main/options/modalwindowwait.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace vellumite {

void ModalWindowWait::runWhenNoModalWindow(std::function<void()> task)
{
    m_task = std::move(task);
    check();
}

void ModalWindowWait::watch(QWidget *modal)
{
    if (m_watched == modal)
        return;
    unwatch();
    m_watched = modal;
    modal->installEventFilter(this);
    m_destroyed = connect(modal, &QObject::destroyed, this, &ModalWindowWait::checkLater);
}

void ModalWindowWait::unwatch()
{
    if (m_watched)
        m_watched->removeEventFilter(this);
    disconnect(m_destroyed);
    m_watched = nullptr;
}

bool ModalWindowWait::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watched && event->type() == QEvent::Hide)
        checkLater();
    return false;
}

void ModalWindowWait::checkLater()
{
    // Once the hide is through, the window no longer counts as modal, and a window it opened on
    // closing has been shown.
    QTimer::singleShot(0, this, &ModalWindowWait::check);
}

void ModalWindowWait::check()
{
    if (!m_task)
        return;
    if (QWidget *modal = QApplication::activeModalWidget()) {
        watch(modal);
        return;
    }
    unwatch();
    std::exchange(m_task, {})();
}

} // namespace vellumite
