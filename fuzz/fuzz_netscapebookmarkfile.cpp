// Reads arbitrary bytes as a Netscape bookmark file. Whatever it reads must write to a file that reads
// back to the same folders, names and links.
#include "exchange/core/netscapebookmarkfile.h"

#include <cstdio>
#include <cstdlib>

using namespace vellumite;

namespace {

bool sameTree(const BookmarkNode &a, const BookmarkNode &b)
{
    const BookmarkNode *x = a.firstChild();
    const BookmarkNode *y = b.firstChild();
    while (x && y) {
        if (x->depth() != y->depth() || x->record != y->record)
            return false;
        x = x->nextInTreeOrder(&a);
        y = y->nextInTreeOrder(&b);
    }
    return !x && !y;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    BookmarkNode staging;
    if (!ImportBookmarksHtml(input, staging, 1).isEmpty())
        return 0;
    const QByteArray written = ExportBookmarksHtml(staging);
    BookmarkNode again;
    if (!ImportBookmarksHtml(written, again, 1).isEmpty()) {
        std::fprintf(stderr, "a written file is refused when read back\n");
        std::abort();
    }
    if (!sameTree(staging, again)) {
        std::fprintf(stderr, "a written file does not read back to the same tree\n");
        std::abort();
    }
    return 0;
}
