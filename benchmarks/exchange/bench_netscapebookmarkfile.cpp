// A bookmark file of the shape a browser exports: 50,000 links in 2,000 folders nested up to four
// levels, one folder of 20,000 links, dates on every entry, an icon on some, some titles in other
// scripts. Importing reads the file and merges it into a tree; exporting writes the tree's file.
// The file is also left in the temporary folder (netscape-50000.html) for timing other programs.
#include "exchange/core/netscapebookmarkfile.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <random>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

constexpr int LinkCount = 50000;
constexpr int FolderCount = 2000;
constexpr int LargeFolderLinks = 20000;

QString title(std::mt19937 &random, int number)
{
    static const QStringList words = { u"How"_s,    u"to"_s,     u"build"_s,   u"better"_s, u"guide"_s,
                                       u"review"_s, u"news"_s,   u"Linux"_s,   u"kernel"_s, u"release"_s,
                                       u"notes"_s,  u"recipe"_s, u"weather"_s, u"travel"_s, u"forum"_s };
    static const QStringList foreign = { u"café"_s,   u"Ünïcödé"_s, u"Привет"_s, u"мир"_s,
                                         u"日本語"_s, u"中文"_s,    u"عربي"_s,   u"\U0001F3B5"_s };
    QStringList parts;
    const int count = 3 + int(random() % 6);
    for (int i = 0; i < count; ++i)
        parts << (random() % 10 == 0 ? foreign[int(random() % foreign.size())]
                                     : words[int(random() % words.size())]);
    return parts.join(u' ') + u' ' + QString::number(number);
}

const QByteArray &bookmarkFile()
{
    static const QByteArray bytes = [] {
        std::mt19937 random(20261210);
        QByteArray out
            = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
              "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n\n"
              "<DL><p>\n";
        int links = 0;
        const auto link = [&](int indent) {
            const QByteArray pad(indent * 4, ' ');
            out += pad + "<DT><A HREF=\"https://www.example" + QByteArray::number(links % 977) + ".com/path/"
                + QByteArray::number(links) + "?q=a&amp;b=" + QByteArray::number(random() % 1000)
                + "\" ADD_DATE=\"1466008580\" LAST_MODIFIED=\"1466011730\"";
            if (links % 10 == 0)
                out += " ICON=\"data:image/png;base64," + QByteArray(400, 'Q') + "\"";
            out += ">" + escapeBookmarkHtml(title(random, links)) + "</A>\n";
            ++links;
        };
        // The large folder, then 1,999 folders in groups nested up to four deep.
        out += "    <DT><H3 ADD_DATE=\"1466008580\">Reading list</H3>\n    <DL><p>\n";
        for (int i = 0; i < LargeFolderLinks; ++i)
            link(2);
        out += "    </DL><p>\n";
        const int perFolder = (LinkCount - LargeFolderLinks) / (FolderCount - 1);
        int depth = 0;
        for (int folder = 1; folder < FolderCount; ++folder) {
            const int wanted = folder % 5 == 0 ? 0 : 1 + int(random() % 4);
            for (; depth >= wanted; --depth)
                out += QByteArray((depth + 1) * 4, ' ') + "</DL><p>\n";
            ++depth;
            out += QByteArray(depth * 4, ' ') + "<DT><H3 ADD_DATE=\"1466008580\">"
                + escapeBookmarkHtml(title(random, folder)) + "</H3>\n" + QByteArray(depth * 4, ' ')
                + "<DL><p>\n";
            const int count = folder == FolderCount - 1 ? LinkCount - links : perFolder;
            for (int i = 0; i < count; ++i)
                link(depth + 1);
        }
        for (; depth > 0; --depth)
            out += QByteArray(depth * 4, ' ') + "</DL><p>\n";
        out += "</DL><p>\n";
        return out;
    }();
    return bytes;
}

QString filePath()
{
    static const QString path = [] {
        const QString written = QDir::temp().filePath(u"netscape-50000.html"_s);
        QFile file(written);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bookmarkFile());
        return written;
    }();
    return path;
}

qsizetype countNodes(const BookmarkNode &top)
{
    qsizetype count = 0;
    for (const BookmarkNode *n = top.firstChild(); n; n = n->nextInTreeOrder(&top))
        ++count;
    return count;
}

void BM_ImportBookmarkFile(benchmark::State &state)
{
    const QString path = filePath();
    qsizetype added = 0;
    for (auto _ : state) {
        BookmarkTree tree;
        BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        BookmarkNode staging;
        if (!readNetscapeBookmarkFile(path, staging, 1).isEmpty())
            state.SkipWithError("cannot read the file");
        added = mergeInto(*root, staging, NetscapeBookmarkFileNameMatch);
        benchmark::DoNotOptimize(root);
    }
    state.counters["nodes"] = static_cast<double>(added);
    state.counters["fileBytes"] = static_cast<double>(bookmarkFile().size());
}

void BM_ExportBookmarkFile(benchmark::State &state)
{
    BookmarkNode root(makeRootRecord());
    ImportBookmarksHtml(bookmarkFile(), root, 1);
    const QString path = QDir::temp().filePath(u"netscape-50000-export.html"_s);
    for (auto _ : state) {
        if (!writeNetscapeBookmarkFile(root, path, ExportMode::Replace).isEmpty())
            state.SkipWithError("cannot write the file");
    }
    state.counters["nodes"] = static_cast<double>(countNodes(root));
    QFile::remove(path);
}

} // namespace

BENCHMARK(BM_ImportBookmarkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportBookmarkFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
