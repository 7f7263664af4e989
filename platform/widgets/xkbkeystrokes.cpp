#include "platform/widgets/xkbkeystrokes.h"

#include <bit>
#include <optional>

namespace vellumite {

namespace {

// The masks xkbcommon gives are effective masks: virtual modifiers already resolved to the real
// ones, which keep the X order in the first eight bits.
constexpr xkb_mod_mask_t RealModifiers = 0xff;

// Of the masks that reach one level, the one a user would press: no lock when another mask does
// without one, then the fewest modifiers held.
std::optional<quint16> simplestMask(const xkb_mod_mask_t *masks, std::size_t count, quint16 lockMask)
{
    std::optional<quint16> best;
    bool bestNeedsLock = false;
    for (std::size_t i = 0; i < count; ++i) {
        const auto mask = quint16(masks[i] & RealModifiers);
        const bool needsLock = mask & lockMask;
        const auto held = quint16(mask & ~lockMask);
        if (!best || (bestNeedsLock && !needsLock)
            || (needsLock == bestNeedsLock && std::popcount(held) < std::popcount(*best))) {
            best = held;
            bestNeedsLock = needsLock;
        }
    }
    return best;
}

// The keys of one layout that give the keysym.
QList<KeyStroke> strokesInLayout(xkb_keymap *keymap, xkb_layout_index_t layout, xkb_keysym_t keysym,
                                 quint16 lockMask)
{
    QList<KeyStroke> strokes;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= last && key <= 0xff; ++key) {
        if (xkb_keymap_num_layouts_for_key(keymap, key) == 0)
            continue;
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, key, layout);
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            const xkb_keysym_t *syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap, key, layout, level, &syms) != 1 || syms[0] != keysym)
                continue;
            xkb_mod_mask_t masks[16];
            const std::size_t count
                = xkb_keymap_key_get_mods_for_level(keymap, key, layout, level, masks, std::size(masks));
            if (const std::optional<quint16> mask = simplestMask(masks, count, lockMask)) {
                strokes.append({ key, *mask });
                break;
            }
        }
    }
    return strokes;
}

} // namespace

QList<KeyStroke> keyStrokesFor(xkb_keymap *keymap, xkb_layout_index_t layout, xkb_keysym_t keysym,
                               quint16 lockMask)
{
    if (!keymap || keysym == XKB_KEY_NoSymbol)
        return {};
    QList<KeyStroke> strokes = strokesInLayout(keymap, layout, keysym, lockMask);
    for (xkb_layout_index_t other = 0; strokes.isEmpty() && other < xkb_keymap_num_layouts(keymap); ++other) {
        if (other != layout)
            strokes = strokesInLayout(keymap, other, keysym, lockMask);
    }
    return strokes;
}

} // namespace vellumite
