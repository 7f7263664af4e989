// Reads arbitrary bytes as an Opera hotlist. Whatever is read must write out and read back as the same
// records, and a merging export over the same bytes must succeed and read back cleanly.
#include "exchange/core/operahotlist.h"

#include <cstdio>
#include <cstdlib>

using namespace vellumite;

namespace {

[[noreturn]] void failWith(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, qPrintable(detail));
    std::abort();
}

bool sameRecords(const BookmarkNode &a, const BookmarkNode &b)
{
    const BookmarkNode *x = a.firstChild();
    const BookmarkNode *y = b.firstChild();
    for (; x && y; x = x->nextInTreeOrder(&a), y = y->nextInTreeOrder(&b)) {
        if (x->record != y->record || x->depth() != y->depth())
            return false;
    }
    return !x && !y;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    BookmarkNode root(makeRootRecord());
    if (!parseOperaHotlist(input, root, 1).isEmpty()) {
        if (root.childCount() != 0)
            failWith("a refused hotlist left records behind");
        return 0;
    }

    BookmarkNode again(makeRootRecord());
    const QByteArray written = formatOperaHotlist(root);
    if (const QString error = parseOperaHotlist(written, again, 1); !error.isEmpty())
        failWith("a written hotlist does not read:", error);
    if (!sameRecords(root, again))
        failWith("a written hotlist reads as other records");

    QByteArray merged;
    if (const QString error = mergeOperaHotlist(input, root, merged); !error.isEmpty())
        failWith("a hotlist that reads does not merge:", error);
    BookmarkNode fromMerge(makeRootRecord());
    if (const QString error = parseOperaHotlist(merged, fromMerge, 1); !error.isEmpty())
        failWith("a merged hotlist does not read:", error);
    return 0;
}
