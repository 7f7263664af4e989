#pragma once

// A reproducible bookmark tree of realistic shape for benchmarks: one root, folders nested several
// levels deep, one large flat folder, titles and links of the lengths real bookmarks have, some of
// them outside ASCII.

#include "main/core/bookmarktree.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <random>
#include <vector>

namespace vellumite {

namespace treegenerator_detail {

inline const QStringList &words()
{
    static const QStringList list = {
        QStringLiteral("How"),      QStringLiteral("to"),      QStringLiteral("build"),
        QStringLiteral("a"),        QStringLiteral("better"),  QStringLiteral("guide"),
        QStringLiteral("review"),   QStringLiteral("news"),    QStringLiteral("Linux"),
        QStringLiteral("kernel"),   QStringLiteral("release"), QStringLiteral("notes"),
        QStringLiteral("recipe"),   QStringLiteral("weather"), QStringLiteral("travel"),
        QStringLiteral("tips"),     QStringLiteral("the"),     QStringLiteral("complete"),
        QStringLiteral("history"),  QStringLiteral("of"),      QStringLiteral("music"),
        QStringLiteral("football"), QStringLiteral("results"), QStringLiteral("2024"),
        QStringLiteral("Python"),   QStringLiteral("C++"),     QStringLiteral("Qt"),
        QStringLiteral("tutorial"), QStringLiteral("forum"),   QStringLiteral("thread"),
        QStringLiteral("photos"),   QStringLiteral("video"),
    };
    return list;
}

// Words outside ASCII: accented Latin, Cyrillic, CJK and one beyond the Basic Multilingual Plane.
inline const QStringList &foreignWords()
{
    static const QStringList list = {
        QStringLiteral("Caf\u00e9"),           QStringLiteral("Stra\u00dfe"),
        QStringLiteral("na\u00efve"),          QStringLiteral("\u041a\u0438\u043d\u043e"),
        QStringLiteral("\u65e5\u672c\u8a9e"),  QStringLiteral("\u0394\u03b5\u03bb\u03c6\u03bf\u03af"),
        QStringLiteral("fr\u00fchst\u00fcck"), QStringLiteral("\U0001F600"),
    };
    return list;
}

inline const QStringList &domains()
{
    static const QStringList list = {
        QStringLiteral("en.wikipedia.org"),
        QStringLiteral("github.com"),
        QStringLiteral("news.ycombinator.com"),
        QStringLiteral("www.bbc.co.uk"),
        QStringLiteral("stackoverflow.com"),
        QStringLiteral("www.youtube.com"),
        QStringLiteral("doc.qt.io"),
        QStringLiteral("www.reddit.com"),
        QStringLiteral("example.org"),
        QStringLiteral("lwn.net"),
    };
    return list;
}

class Generator
{
public:
    explicit Generator(unsigned seed)
        : m_random(seed)
    { }

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(int percent) { return below(100) < percent; }

    QString title(int minWords, int maxWords)
    {
        const int count = minWords + below(maxWords - minWords + 1);
        QStringList parts;
        for (int i = 0; i < count; ++i) {
            const QStringList &pool = chance(8) ? foreignWords() : words();
            parts << pool[below(static_cast<int>(pool.size()))];
        }
        parts.first()[0] = parts.first()[0].toUpper();
        return parts.join(u' ');
    }

    QString link()
    {
        QString url = QStringLiteral("https://") + domains()[below(static_cast<int>(domains().size()))];
        const int segments = 1 + below(4);
        for (int i = 0; i < segments; ++i)
            url += u'/' + words()[below(static_cast<int>(words().size()))].toLower();
        if (chance(30))
            url += QStringLiteral("?id=") + QString::number(below(1000000));
        return url;
    }

    TBookmark category(const QString &name) { return makeCategoryRecord(name); }

    TBookmark bookmark()
    {
        static constexpr Colour priorities[]
            = { PriorityLow, PriorityLow, PriorityLow, PriorityMedium, PriorityHigh };
        static constexpr qint32 states[] = { LinkNotVerified, LinkAlive, LinkAlive, LinkBroken };
        TBookmark r;
        r.Description = title(2, 9);
        r.Link = link();
        if (chance(10))
            r.Comment = title(3, 12) + QStringLiteral("\r\n") + title(3, 12);
        r.Editable = true;
        r.ImageIndex = 1;
        r.ImportSource = below(3);
        r.LinkState = states[below(4)];
        r.PriorityColor = priorities[below(5)];
        return r;
    }

private:
    std::mt19937 m_random;
};

} // namespace treegenerator_detail

// Fills `tree` (emptied first) with `nodeCount` nodes, the root category included: a root, one folder
// holding a fifth of the nodes (20,000 of 100,000) as bookmarks, a chain of folders six levels deep,
// and the rest spread over folders of 5 to 40 entries nested up to eight levels.
inline void generateTree(BookmarkTree &tree, int nodeCount, unsigned seed)
{
    using treegenerator_detail::Generator;
    tree.clear();
    if (nodeCount <= 0)
        return;
    Generator gen(seed);
    BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
    root->setState(NodeState::Expanded, true);
    int made = 1;
    auto add = [&made](BookmarkNode &parent, TBookmark record) {
        ++made;
        return parent.appendChild(std::make_unique<BookmarkNode>(std::move(record)));
    };

    std::vector<BookmarkNode *> folders;
    BookmarkNode *chain = root;
    for (const char *name : { "Archive", "2019", "Projects", "Web", "Frameworks", "Reading" }) {
        if (made >= nodeCount)
            return;
        chain = add(*chain, gen.category(QString::fromLatin1(name)));
        folders.push_back(chain);
    }

    const int flatCount = std::min(nodeCount / 5, nodeCount - made - 1);
    if (flatCount > 0) {
        BookmarkNode *flat = add(*root, gen.category(QStringLiteral("Unsorted bookmarks")));
        for (int i = 0; i < flatCount; ++i)
            add(*flat, gen.bookmark());
    }

    // The rest: each new folder receives its own entries, so folders stay of realistic size.
    folders.push_back(root);
    while (made < nodeCount) {
        BookmarkNode *folder = folders[static_cast<size_t>(gen.below(static_cast<int>(folders.size())))];
        const int entries = 5 + gen.below(36);
        for (int i = 0; i < entries && made < nodeCount; ++i) {
            if (folder->depth() < 8 && gen.chance(12))
                folders.push_back(add(*folder, gen.category(gen.title(1, 3))));
            else
                add(*folder, gen.bookmark());
        }
    }
}

} // namespace vellumite
