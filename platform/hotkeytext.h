#pragma once

#include <QString>
#include <QStringView>

namespace vellumite {

// A capture hot key as one 16-bit value: the key's virtual-key code in the low byte and the modifiers
// in the high bits. This is the form the options window keeps and the global hot keys register.
using HotKeyValue = quint16;

namespace HotKeyModifier {
inline constexpr HotKeyValue Shift = 0x2000;
inline constexpr HotKeyValue Ctrl = 0x4000;
inline constexpr HotKeyValue Alt = 0x8000;
inline constexpr HotKeyValue All = Shift | Ctrl | Alt;
} // namespace HotKeyModifier

// Virtual-key codes of the keys a hot key may name (the low byte of a value).
namespace VirtualKey {
inline constexpr quint8 Backspace = 0x08;
inline constexpr quint8 Tab = 0x09;
inline constexpr quint8 Enter = 0x0D;
inline constexpr quint8 Pause = 0x13;
inline constexpr quint8 Escape = 0x1B;
inline constexpr quint8 Space = 0x20;
inline constexpr quint8 PageUp = 0x21;
inline constexpr quint8 PageDown = 0x22;
inline constexpr quint8 End = 0x23;
inline constexpr quint8 Home = 0x24;
inline constexpr quint8 Left = 0x25;
inline constexpr quint8 Up = 0x26;
inline constexpr quint8 Right = 0x27;
inline constexpr quint8 Down = 0x28;
inline constexpr quint8 Insert = 0x2D;
inline constexpr quint8 Delete = 0x2E;
inline constexpr quint8 Digit0 = 0x30; // to 0x39
inline constexpr quint8 LetterA = 0x41; // to 0x5A
inline constexpr quint8 Numpad0 = 0x60; // to 0x69
inline constexpr quint8 NumpadMultiply = 0x6A;
inline constexpr quint8 NumpadAdd = 0x6B;
inline constexpr quint8 NumpadSubtract = 0x6D;
inline constexpr quint8 NumpadDecimal = 0x6E;
inline constexpr quint8 NumpadDivide = 0x6F;
inline constexpr quint8 F1 = 0x70; // to F24, 0x87
inline constexpr quint8 Semicolon = 0xBA;
inline constexpr quint8 Equal = 0xBB;
inline constexpr quint8 Comma = 0xBC;
inline constexpr quint8 Minus = 0xBD;
inline constexpr quint8 Period = 0xBE;
inline constexpr quint8 Slash = 0xBF;
inline constexpr quint8 Grave = 0xC0;
inline constexpr quint8 BracketLeft = 0xDB;
inline constexpr quint8 Backslash = 0xDC;
inline constexpr quint8 BracketRight = 0xDD;
inline constexpr quint8 Apostrophe = 0xDE;
} // namespace VirtualKey

inline const QString DefaultHotKeyText = QStringLiteral("Ctrl+Alt+S");

inline constexpr quint8 hotKeyVirtualKey(HotKeyValue value)
{
    return quint8(value & 0xFF);
}
inline constexpr HotKeyValue hotKeyModifiers(HotKeyValue value)
{
    return value & HotKeyModifier::All;
}

// The name of a key such as "S", "F5", "PgUp" or "Num 7"; empty for a code that names no key.
QString virtualKeyName(quint8 virtualKey);

// The value named by a text of modifiers and one key joined by "+", such as "Ctrl+Alt+S". Names are
// taken without regard to case and modifiers in any order. 0 when the text names no key, names a key
// this module does not know, or names a modifier the value cannot hold.
HotKeyValue TextToHotKey(QStringView text);
// The text of a value in the same form, modifiers in the order Shift, Ctrl, Alt; empty for 0 and for a
// value whose key has no name.
QString HotKeyToText(HotKeyValue value);

// True when the text names a modifier that a value cannot hold: the Windows or Super key.
bool namesUnheldModifier(QStringView text);
// The hot-key text to start with, from the one stored in the settings: a text naming a modifier the
// value cannot hold is refused and the default applies; any other text is kept as it is.
QString startupHotKeyText(const QString &stored);

} // namespace vellumite
