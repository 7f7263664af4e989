#include "main/core/popupoffer.h"

#include "main/core/bookmarkedit.h"

namespace vellumite {

int priorityTagOf(Colour colour)
{
    return priorityIndexOf(colour) + 1;
}

std::optional<Colour> priorityColourOfTag(int tag)
{
    return tag == PriorityTagNone ? std::nullopt : priorityColourAt(tag - 1);
}

PopupOffer PopupOffer::initial()
{
    PopupOffer offer;
    offer.visible.fill(true);
    for (PopupItem item : { PopupItem::Openwith1, PopupItem::Priority1, PopupItem::Checkurl1,
                            PopupItem::mDelete, PopupItem::Rename1, PopupItem::Edit1 })
        offer.setVisible(item, false);
    offer.pasteEnabled = false;
    offer.checkedPriority = PriorityTagLow;
    return offer;
}

PopupOffer popupOfferFor(const PopupOffer &previous, const std::optional<FocusedNodeFacts> &focused,
                         int selectedCount, bool clipboardHasTreeData)
{
    PopupOffer offer = previous;
    if (!focused || selectedCount <= 0) {
        offer.visible.fill(false);
        return offer;
    }
    const bool single = selectedCount == 1;

    offer.setVisible(PopupItem::Add1, true);
    offer.setVisible(PopupItem::Expandall1, true);
    offer.setVisible(PopupItem::Collapseall1, true);
    offer.setVisible(PopupItem::Paste1, true);

    if (focused->isCategory) {
        offer.setVisible(PopupItem::Openwith1, false);
        offer.setVisible(PopupItem::Checkurl1, false);
        offer.pasteEnabled = clipboardHasTreeData;
    } else {
        offer.pasteEnabled = false;
        offer.setVisible(PopupItem::Openwith1, single);
        offer.setVisible(PopupItem::Checkurl1, single);
    }

    if (focused->isFirstNode) {
        for (PopupItem item : { PopupItem::Priority1, PopupItem::Edit1, PopupItem::Cut1, PopupItem::Copy1,
                                PopupItem::mDelete, PopupItem::Rename1 })
            offer.setVisible(item, false);
    } else {
        offer.setVisible(PopupItem::Priority1, single);
        offer.setVisible(PopupItem::Edit1, single);
        offer.setVisible(PopupItem::Rename1, single);
        offer.setVisible(PopupItem::Cut1, true);
        offer.setVisible(PopupItem::Copy1, true);
        offer.setVisible(PopupItem::mDelete, true);
    }

    if (const int tag = priorityTagOf(focused->priority); tag != PriorityTagNone)
        offer.checkedPriority = tag;
    return offer;
}

} // namespace vellumite
