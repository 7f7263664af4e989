// make_bookmark_file <path> [node count]: writes a generated tree of realistic bookmarks.

#include "benchmarks/common/treegenerator.h"
#include "main/core/bookmarkfile.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: make_bookmark_file <path> [node count]\n");
        return 2;
    }
    const int count = args.size() > 2 ? args[2].toInt() : 100000;
    vellumite::BookmarkTree tree;
    vellumite::generateTree(tree, count, 2026);
    const QString failure = vellumite::BookmarkFile::saveToFile(tree, args[1]);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    return 0;
}
