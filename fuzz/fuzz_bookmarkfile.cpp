// Loads arbitrary bytes as a bookmark file. Whatever a load leaves in the tree, even after a failure,
// must save to a stream that loads cleanly and saves to the same bytes again.
#include "main/core/bookmarkfile.h"

#include <cstdio>
#include <cstdlib>

using namespace vellumite;

namespace {

[[noreturn]] void failWith(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    BookmarkTree tree;
    BookmarkFile::load(tree, input);
    const QByteArray saved = BookmarkFile::save(tree);

    BookmarkTree again;
    const QString error = BookmarkFile::load(again, saved);
    if (!error.isEmpty())
        failWith("a saved tree does not load:", error);
    if (BookmarkFile::save(again) != saved)
        failWith("a saved tree does not save to the same bytes");

    // The clipboard form reads the same chunks.
    BookmarkNode parent;
    if (saved.size() > 16) {
        const QString clipboardError
            = BookmarkFile::readNodeChunks(QByteArrayView(saved).sliced(16), parent, nullptr);
        if (!clipboardError.isEmpty())
            failWith("node chunks of a saved tree do not read:", clipboardError);
    }
    return 0;
}
