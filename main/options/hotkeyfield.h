#pragma once

#include "platform/hotkeytext.h"

#include <QLineEdit>

namespace vellumite {

// A field that takes one key with its modifiers, as the system's hot-key control does: a key typed
// without a modifier, or with Shift alone, gets Ctrl+Alt instead. Backspace without modifiers clears
// it; Tab, Enter and Escape keep their usual work in the dialog.
class HotKeyField final : public QLineEdit
{
    Q_OBJECT

public:
    explicit HotKeyField(QWidget *parent = nullptr);

    HotKeyValue HotKey() const { return m_value; }
    void setHotKey(HotKeyValue value);

    // The key as the settings file keeps it, and the index it is registered under (0: none).
    QString Hint;
    quint16 Tag = 0;

    // The virtual-key code of a Qt key; 0 for a key a hot key cannot name.
    static quint8 virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

signals:
    // The user typed a new key.
    void changed();
    void focusLeft();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    HotKeyValue m_value = 0;
};

} // namespace vellumite
