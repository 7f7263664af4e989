#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

namespace vellumite {

// The keys a window handles whatever control has the focus: Ctrl+F (with Shift or Alt too) asks for
// the search, F1 (with any modifiers) for the help. The window sees the key first, then the key goes on
// to the focused control as if nothing had looked at it.
class WindowKeys : public QObject
{
    Q_OBJECT

public:
    // Watches the key presses of `window` and of every control in it.
    explicit WindowKeys(QWidget *window);
    ~WindowKeys() override;

    // Runs the window's command for the key; false for any other key.
    bool TntFormKeyDown(const QKeyEvent &event);

signals:
    void searchRequested();
    void helpRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace vellumite
