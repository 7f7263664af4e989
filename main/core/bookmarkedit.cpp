#include "main/core/bookmarkedit.h"

#include <array>

namespace vellumite {

namespace {
constexpr std::array<Colour, 3> PriorityColours { PriorityHigh, PriorityMedium, PriorityLow };
} // namespace

int priorityIndexOf(Colour colour)
{
    for (size_t i = 0; i < PriorityColours.size(); ++i) {
        if (PriorityColours[i] == colour)
            return static_cast<int>(i);
    }
    return -1;
}

std::optional<Colour> priorityColourAt(int index)
{
    if (index < 0 || index >= static_cast<int>(PriorityColours.size()))
        return std::nullopt;
    return PriorityColours[static_cast<size_t>(index)];
}

BookmarkNode *addTargetParent(const BookmarkTree &tree, BookmarkNode *focused)
{
    BookmarkNode *root = tree.firstNode();
    BookmarkNode *reference = focused ? focused : root;
    if (!reference)
        return nullptr;
    BookmarkNode *parent = reference->record.IsCategory ? reference : reference->parent();
    if (parent == &tree.topLevel() || !parent)
        parent = root;
    return parent && parent->record.IsCategory ? parent : nullptr;
}

} // namespace vellumite
