#include "main/core/popupoffer.h"

#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<FocusedNodeFacts>)

namespace {

const char *const ItemNames[PopupItemCount]
    = { "Openwith1", "Add1",  "Expandall1", "Collapseall1", "Priority1", "Checkurl1",
        "Cut1",      "Copy1", "Paste1",     "mDelete",      "Rename1",   "Edit1" };

QStringList shown(const PopupOffer &offer)
{
    QStringList names;
    for (int i = 0; i < PopupItemCount; ++i) {
        if (offer.visible[static_cast<size_t>(i)])
            names << QLatin1StringView(ItemNames[i]);
    }
    return names;
}

QStringList split(const char *names)
{
    return QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts);
}

const FocusedNodeFacts Root { true, true, PriorityLow };
const FocusedNodeFacts Category { true, false, PriorityLow };
const FocusedNodeFacts Bookmark { false, false, PriorityLow };

} // namespace

class TestPopupOffer : public QObject
{
    Q_OBJECT

private slots:
    void offerRules_data()
    {
        QTest::addColumn<std::optional<FocusedNodeFacts>>("focused");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("treeData");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("pasteEnabled");

        const QStringList none;
        const QStringList always = split("Add1 Expandall1 Collapseall1 Paste1");
        const QStringList manyBelowRoot = split("Add1 Expandall1 Collapseall1 Cut1 Copy1 Paste1 mDelete");
        const QStringList oneCategory
            = split("Add1 Expandall1 Collapseall1 Priority1 Cut1 Copy1 Paste1 mDelete Rename1 Edit1");

        QTest::newRow("no focused node") << std::optional<FocusedNodeFacts>() << 1 << true << none << false;
        QTest::newRow("focused, nothing selected")
            << std::optional<FocusedNodeFacts>(Category) << 0 << true << none << false;
        QTest::newRow("root alone") << std::optional(Root) << 1 << false << always << false;
        QTest::newRow("root alone, tree data") << std::optional(Root) << 1 << true << always << true;
        QTest::newRow("root focused, a bookmark selected too")
            << std::optional(Root) << 2 << false << always << false;
        QTest::newRow("category") << std::optional(Category) << 1 << false << oneCategory << false;
        QTest::newRow("category, tree data") << std::optional(Category) << 1 << true << oneCategory << true;
        QTest::newRow("two categories") << std::optional(Category) << 2 << true << manyBelowRoot << true;
        QTest::newRow("bookmark, tree data")
            << std::optional(Bookmark) << 1 << true
            << split("Openwith1 Add1 Expandall1 Collapseall1 Priority1 Checkurl1 Cut1 Copy1 Paste1 mDelete "
                     "Rename1 Edit1")
            << false;
        QTest::newRow("two bookmarks") << std::optional(Bookmark) << 2 << false << manyBelowRoot << false;
    }

    void offerRules()
    {
        QFETCH(std::optional<FocusedNodeFacts>, focused);
        QFETCH(int, selected);
        QFETCH(bool, treeData);
        QFETCH(QStringList, expected);
        QFETCH(bool, pasteEnabled);

        // Each opening starts from what the last one left; an opening that offers everything is the
        // hardest start, since every item that must go has to be hidden.
        PopupOffer everything = PopupOffer::initial();
        everything.visible.fill(true);
        for (const PopupOffer &previous : { PopupOffer::initial(), everything }) {
            const PopupOffer offer = popupOfferFor(previous, focused, selected, treeData);
            QCOMPARE(shown(offer), expected);
            if (focused && selected > 0)
                QCOMPARE(offer.pasteEnabled, pasteEnabled);
            else
                QCOMPARE(offer.pasteEnabled, previous.pasteEnabled);
        }
    }

    void priorityMark_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("previous");
        QTest::addColumn<int>("expected");
        QTest::newRow("high") << quint32(PriorityHigh) << PriorityTagLow << PriorityTagHigh;
        QTest::newRow("medium") << quint32(PriorityMedium) << PriorityTagHigh << PriorityTagMedium;
        QTest::newRow("low") << quint32(PriorityLow) << PriorityTagMedium << PriorityTagLow;
        QTest::newRow("another colour keeps the mark")
            << 0x00123456u << PriorityTagMedium << PriorityTagMedium;
    }

    void priorityMark()
    {
        QFETCH(quint32, colour);
        QFETCH(int, previous);
        QFETCH(int, expected);
        PopupOffer before = PopupOffer::initial();
        before.checkedPriority = previous;
        for (const FocusedNodeFacts &kind : { Category, Bookmark, Root }) {
            FocusedNodeFacts facts = kind;
            facts.priority = colour;
            QCOMPARE(popupOfferFor(before, facts, 1, false).checkedPriority, expected);
        }
        // Without a focused node the marks stay as they were.
        QCOMPARE(popupOfferFor(before, std::nullopt, 1, false).checkedPriority, previous);
    }

    void pasteFollowsTheLastOpening()
    {
        PopupOffer offer = PopupOffer::initial();
        QVERIFY(!offer.pasteEnabled);
        offer = popupOfferFor(offer, std::nullopt, 0, true);
        QVERIFY(shown(offer).isEmpty());
        // Empty space hid everything; a category with tree data on the clipboard offers Paste again.
        offer = popupOfferFor(offer, Category, 1, true);
        QVERIFY(offer.isVisible(PopupItem::Paste1));
        QVERIFY(offer.pasteEnabled);
        // Once the clipboard holds something else, a category no longer offers a paste of nothing.
        QVERIFY(!popupOfferFor(offer, Category, 1, false).pasteEnabled);
        QVERIFY(!popupOfferFor(offer, Bookmark, 1, true).pasteEnabled);
    }

    void priorityTags()
    {
        QCOMPARE(priorityColourOfTag(PriorityTagHigh), std::optional<Colour>(PriorityHigh));
        QCOMPARE(priorityColourOfTag(PriorityTagMedium), std::optional<Colour>(PriorityMedium));
        QCOMPARE(priorityColourOfTag(PriorityTagLow), std::optional<Colour>(PriorityLow));
        for (int tag : { 0, 4, -1 })
            QCOMPARE(priorityColourOfTag(tag), std::optional<Colour>());
    }
};

QTEST_GUILESS_MAIN(TestPopupOffer)
#include "tst_popupoffer.moc"
