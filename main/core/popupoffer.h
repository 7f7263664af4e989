#pragma once

#include "main/core/bookmark.h"

#include <array>
#include <optional>

namespace vellumite {

// The command items of the tree's context menu whose offer depends on the focused node and the
// selection (the separators always stay).
enum class PopupItem : int {
    Openwith1,
    Add1,
    Expandall1,
    Collapseall1,
    Priority1,
    Checkurl1,
    Cut1,
    Copy1,
    Paste1,
    mDelete,
    Rename1,
    Edit1,
};
inline constexpr int PopupItemCount = static_cast<int>(PopupItem::Edit1) + 1;

// The Tags of the priority items: 1 High, 2 Medium, 3 Low; 0 is none of them.
inline constexpr int PriorityTagNone = 0;
inline constexpr int PriorityTagHigh = 1;
inline constexpr int PriorityTagMedium = 2;
inline constexpr int PriorityTagLow = 3;
int priorityTagOf(Colour colour);
std::optional<Colour> priorityColourOfTag(int tag);

// What the menu offers: which items show, whether Paste is enabled and which priority is checked. The
// menu keeps it between openings, so each opening starts from what the last one left.
struct PopupOffer
{
    std::array<bool, PopupItemCount> visible {};
    bool pasteEnabled = false;
    int checkedPriority = PriorityTagLow;

    bool isVisible(PopupItem item) const { return visible[static_cast<size_t>(item)]; }
    void setVisible(PopupItem item, bool shown) { visible[static_cast<size_t>(item)] = shown; }

    // The states the menu is built with: Open with, Priority, Check url, Delete, Rename and Edit
    // hidden, Paste disabled, Low checked.
    static PopupOffer initial();

    friend bool operator==(const PopupOffer &, const PopupOffer &) = default;
};

// What the rules need to know of the focused node.
struct FocusedNodeFacts
{
    bool isCategory = false;
    // The tree's first node: the root category "Bookmarks".
    bool isFirstNode = false;
    Colour priority = PriorityLow;
};

// The offer rules, applied when the menu opens on the focused node (none: nullopt) with
// `selectedCount` nodes selected. Paste is enabled on a category exactly when the clipboard holds the
// tree's own data. A priority none of the three leaves the check mark where it was.
PopupOffer popupOfferFor(const PopupOffer &previous, const std::optional<FocusedNodeFacts> &focused,
                         int selectedCount, bool clipboardHasTreeData);

} // namespace vellumite
