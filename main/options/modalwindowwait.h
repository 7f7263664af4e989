#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace vellumite {

// Runs a task once no modal window is open. While one is open it takes every key and click: a window
// shown meanwhile would come up in front without the keyboard, and what the user typed for it would
// land in the modal window behind. A task given while another waits replaces it.
class ModalWindowWait final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Runs `task` now when no modal window is open, else when the last one has closed.
    void runWhenNoModalWindow(std::function<void()> task);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *modal);
    void unwatch();
    // A watched window closed: the next modal window, if one is still open, is watched in its place.
    void checkLater();
    void check();

    std::function<void()> m_task;
    QPointer<QWidget> m_watched;
    QMetaObject::Connection m_destroyed;
};

} // namespace vellumite
