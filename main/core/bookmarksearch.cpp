#include "main/core/bookmarksearch.h"

#include <QHashFunctions>
#include <algorithm>

namespace vellumite {

LiveNodes::LiveNodes(const BookmarkTree &tree)
{
    m_nodes.reserve(static_cast<size_t>(tree.totalCount()));
    tree.forEach([this](const BookmarkNode &node) { m_nodes.insert(&node); });
}

BookmarkNode *LiveNodes::resolve(const NodeHandle &handle) const
{
    // Only a node found in the tree may be read; its serial then tells whether it is the same one.
    if (!m_nodes.contains(handle.node) || handle.node->serial() != handle.serial)
        return nullptr;
    return const_cast<BookmarkNode *>(handle.node);
}

QString nodeLocation(const BookmarkNode &node)
{
    std::vector<const BookmarkNode *> path;
    for (const BookmarkNode *n = &node; n && n->parent(); n = n->parent())
        path.push_back(n);
    QString location;
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        location += (*it)->record.name() + u'\\';
    return location;
}

QString locationText(const SearchResult &row)
{
    // The bookmark's own name and its "\" end the path.
    const qsizetype own = row.Description.size() + 1;
    return row.Location.size() >= own ? row.Location.first(row.Location.size() - own) : QString();
}

namespace {

struct LinkHash
{
    size_t operator()(const QString &link) const noexcept { return qHash(link); }
};

SearchResult resultFor(const BookmarkNode &node)
{
    const TBookmark &r = node.record;
    return { r.Description, r.Link, nodeLocation(node), r.ImageIndex, NodeHandle::of(node) };
}

} // namespace

std::vector<SearchResult> FindAllLinks(const BookmarkTree &tree, const QString &text, SearchMode mode)
{
    std::vector<SearchResult> rows;
    if (text.isEmpty())
        return rows;
    QString joined;
    tree.forEach([&](const BookmarkNode &node) {
        const TBookmark &r = node.record;
        if (r.IsCategory)
            return;
        bool found = false;
        switch (mode) {
        case SearchMode::DescriptionsAndLinks:
            // The text may span the end of the title and the start of the link.
            joined.resize(0);
            joined += r.Description;
            joined += u' ';
            joined += r.Link;
            found = joined.contains(text, Qt::CaseInsensitive);
            break;
        case SearchMode::Descriptions:
            found = r.Description.contains(text, Qt::CaseInsensitive);
            break;
        case SearchMode::Links:
            found = r.Link.contains(text, Qt::CaseInsensitive);
            break;
        case SearchMode::Dublicates:
            break;
        }
        if (found)
            rows.push_back(resultFor(node));
    });
    return rows;
}

std::vector<SearchResult> FindDublicates(const BookmarkTree &tree)
{
    std::unordered_map<QString, std::vector<const BookmarkNode *>, LinkHash> byLink;
    std::vector<const QString *> links; // each shared link once, in order of its first bookmark
    tree.forEach([&](const BookmarkNode &node) {
        if (node.record.IsCategory)
            return;
        const auto it = byLink.try_emplace(node.record.Link).first;
        if (it->second.size() == 1)
            links.push_back(&it->first);
        it->second.push_back(&node);
    });
    std::sort(links.begin(), links.end(), [](const QString *a, const QString *b) { return *a < *b; });
    std::vector<SearchResult> rows;
    for (const QString *link : links) {
        for (const BookmarkNode *node : byLink[*link])
            rows.push_back(resultFor(*node));
    }
    return rows;
}

QString totalText(qsizetype rows)
{
    return QStringLiteral("Total: ") + QString::number(rows);
}

} // namespace vellumite
