#pragma once

#include "main/core/bookmarktree.h"

#include <QTest>

namespace vellumite {

inline BookmarkNode *addNode(BookmarkNode *parent, TBookmark record)
{
    return parent->appendChild(std::make_unique<BookmarkNode>(std::move(record)));
}

// A copy holds equal records in the same shape, in nodes of its own.
inline void compareSubtrees(const BookmarkNode &actual, const BookmarkNode &expected)
{
    QVERIFY(&actual != &expected);
    QCOMPARE(actual.record, expected.record);
    QCOMPARE(actual.childCount(), expected.childCount());
    for (int i = 0; i < expected.childCount(); ++i)
        compareSubtrees(*actual.child(i), *expected.child(i));
}

} // namespace vellumite
