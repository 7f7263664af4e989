#include "main/options/hotkeyfield.h"

#include <QKeyEvent>

namespace vellumite {

HotKeyField::HotKeyField(QWidget *parent)
    : QLineEdit(parent)
{
    setContextMenuPolicy(Qt::NoContextMenu);
    setText(QStringLiteral("None"));
}

void HotKeyField::setHotKey(HotKeyValue value)
{
    m_value = value;
    const QString text = HotKeyToText(value);
    setText(text.isEmpty() ? QStringLiteral("None") : text);
}

quint8 HotKeyField::virtualKeyOf(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return quint8(VirtualKey::Numpad0 + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return quint8(VirtualKey::LetterA + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return quint8(VirtualKey::Digit0 + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return quint8(VirtualKey::F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Pause:
        return VirtualKey::Pause;
    case Qt::Key_Space:
        return VirtualKey::Space;
    case Qt::Key_PageUp:
        return VirtualKey::PageUp;
    case Qt::Key_PageDown:
        return VirtualKey::PageDown;
    case Qt::Key_End:
        return VirtualKey::End;
    case Qt::Key_Home:
        return VirtualKey::Home;
    case Qt::Key_Left:
        return VirtualKey::Left;
    case Qt::Key_Up:
        return VirtualKey::Up;
    case Qt::Key_Right:
        return VirtualKey::Right;
    case Qt::Key_Down:
        return VirtualKey::Down;
    case Qt::Key_Insert:
        return VirtualKey::Insert;
    case Qt::Key_Delete:
        return keypad ? VirtualKey::NumpadDecimal : VirtualKey::Delete;
    case Qt::Key_Asterisk:
        return keypad ? VirtualKey::NumpadMultiply : 0;
    case Qt::Key_Plus:
        return keypad ? VirtualKey::NumpadAdd : 0;
    case Qt::Key_Minus:
        return keypad ? VirtualKey::NumpadSubtract : VirtualKey::Minus;
    case Qt::Key_Slash:
        return keypad ? VirtualKey::NumpadDivide : VirtualKey::Slash;
    case Qt::Key_Period:
        return keypad ? VirtualKey::NumpadDecimal : VirtualKey::Period;
    case Qt::Key_Semicolon:
        return VirtualKey::Semicolon;
    case Qt::Key_Equal:
        return VirtualKey::Equal;
    case Qt::Key_Comma:
        return VirtualKey::Comma;
    case Qt::Key_QuoteLeft:
        return VirtualKey::Grave;
    case Qt::Key_BracketLeft:
        return VirtualKey::BracketLeft;
    case Qt::Key_Backslash:
        return VirtualKey::Backslash;
    case Qt::Key_BracketRight:
        return VirtualKey::BracketRight;
    case Qt::Key_Apostrophe:
        return VirtualKey::Apostrophe;
    default:
        return 0;
    }
}

void HotKeyField::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape || key == Qt::Key_Return
        || key == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    event->accept();
    if (key == Qt::Key_Backspace && modifiers == Qt::NoModifier) {
        setHotKey(0);
        emit changed();
        return;
    }
    const quint8 code = virtualKeyOf(key, event->modifiers());
    if (code == 0)
        return;
    HotKeyValue held = 0;
    if (modifiers & Qt::ShiftModifier)
        held |= HotKeyModifier::Shift;
    if (modifiers & Qt::ControlModifier)
        held |= HotKeyModifier::Ctrl;
    if (modifiers & Qt::AltModifier)
        held |= HotKeyModifier::Alt;
    // No modifier, or Shift alone, is no hot key: Ctrl+Alt stands in for it.
    if (held == 0 || held == HotKeyModifier::Shift)
        held = HotKeyModifier::Ctrl | HotKeyModifier::Alt;
    setHotKey(HotKeyValue(held | code));
    emit changed();
}

void HotKeyField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    emit focusLeft();
}

} // namespace vellumite
