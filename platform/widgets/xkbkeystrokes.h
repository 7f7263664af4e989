#pragma once

#include <QList>
#include <xkbcommon/xkbcommon.h>

namespace vellumite {

// One way of typing a keysym: the key, and the modifiers that select the shift level the keysym
// stands on (an X modifier mask: Shift, Lock, Control, Mod1 to Mod5 in bits 0 to 7).
struct KeyStroke
{
    xkb_keycode_t keycode = 0;
    quint16 modifiers = 0;

    friend bool operator==(const KeyStroke &, const KeyStroke &) = default;
};

// Every key that gives `keysym` in `layout` of `keymap` (a layout a key lacks is wrapped as the
// server wraps it), each at the lowest level that gives it. Where no key of that layout gives it (a
// Latin letter in a Cyrillic or Greek layout), the keys of the first layout that does, as shortcuts
// go with such layouts. The lock modifiers in `lockMask` are left out of the strokes: a hot key
// counts in every lock state, so a level that only a lock reaches (the digits of the keypad under Num
// Lock) is taken as reached without it.
QList<KeyStroke> keyStrokesFor(xkb_keymap *keymap, xkb_layout_index_t layout, xkb_keysym_t keysym,
                               quint16 lockMask);

} // namespace vellumite
