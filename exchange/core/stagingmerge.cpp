#include "exchange/core/stagingmerge.h"

#include <QHash>
#include <QString>
#include <optional>
#include <unordered_map>

namespace vellumite {

QString storeTooDeepReason(const QString &where)
{
    return QStringLiteral("Its entries nest more than %1 levels deep%2, deeper than the program's tree can "
                          "hold below its root. Nothing was read from it.")
        .arg(MaxStoreLevels)
        .arg(where.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(where));
}

namespace {

// The names present in one folder, categories and bookmarks apart, and whether each named node is one
// this merge added.
class FolderNames
{
public:
    struct Entry
    {
        BookmarkNode *node = nullptr;
        bool added = false;
    };

    FolderNames(const BookmarkNode &folder, NameMatch match)
        : m_match(match)
    {
        for (int row = 0; row < folder.childCount(); ++row)
            add(*folder.child(row), false);
    }

    Entry find(const TBookmark &record) const
    {
        const auto &names = record.IsCategory ? m_categories : m_bookmarks;
        return names.value(key(record.name(), record.IsCategory));
    }

    void add(BookmarkNode &node, bool added)
    {
        auto &names = node.record.IsCategory ? m_categories : m_bookmarks;
        // The first of two equal names is the one a later entry meets.
        const QString name = key(node.record.name(), node.record.IsCategory);
        if (!names.contains(name))
            names.insert(name, Entry { &node, added });
    }

private:
    QString key(const QString &name, bool category) const
    {
        const bool ignoreCase
            = m_match == NameMatch::IgnoreCase || (m_match == NameMatch::CategoriesIgnoreCase && category);
        return ignoreCase ? name.toCaseFolded() : name;
    }

    NameMatch m_match;
    QHash<QString, Entry> m_categories;
    QHash<QString, Entry> m_bookmarks;
};

// One merge into a target tree. The names of a target folder, and its group in the plan, are kept for
// the whole merge: a store may visit a folder twice (two entries of one name), and what the first visit
// planned is not in the tree yet.
class Merger
{
public:
    Merger(NameMatch match, MergePlan &plan)
        : m_match(match)
        , m_plan(plan)
    { }

    // `into` lies in the target tree: new subtrees are planned under it.
    void mergeIntoTarget(BookmarkNode &into, BookmarkNode &from)
    {
        TargetFolder &folder = targetFolder(into);
        for (std::unique_ptr<BookmarkNode> &entry : from.takeAllChildren()) {
            if (const FolderNames::Entry present = folder.names.find(entry->record); present.node) {
                mergeIntoPresent(present, *entry);
                continue;
            }
            if (!folder.insertion) {
                m_plan.push_back({ &into, {} });
                folder.insertion = m_plan.size() - 1;
            }
            auto &nodes = m_plan[*folder.insertion].nodes;
            std::vector<std::unique_ptr<BookmarkNode>> inner = entry->takeAllChildren();
            nodes.push_back(std::move(entry));
            addNew(folder.names, *nodes.back(), std::move(inner));
        }
    }

private:
    struct TargetFolder
    {
        FolderNames names;
        std::optional<size_t> insertion; // An index: the plan grows meanwhile.
    };

    TargetFolder &targetFolder(BookmarkNode &folder)
    {
        auto it = m_targetFolders.find(&folder);
        if (it == m_targetFolders.end())
            it = m_targetFolders.emplace(&folder, TargetFolder { FolderNames(folder, m_match), {} }).first;
        return it->second;
    }

    void mergeIntoPresent(const FolderNames::Entry &present, BookmarkNode &entry)
    {
        if (!entry.record.IsCategory)
            return;
        if (present.added)
            mergeIntoNew(*present.node, entry);
        else
            mergeIntoTarget(*present.node, entry);
    }

    // `into` is a node this merge added: what is new goes straight under it.
    void mergeIntoNew(BookmarkNode &into, BookmarkNode &from)
    {
        FolderNames &names = newFolderNames(into);
        for (std::unique_ptr<BookmarkNode> &entry : from.takeAllChildren()) {
            if (const FolderNames::Entry present = names.find(entry->record); present.node) {
                mergeIntoPresent(present, *entry);
                continue;
            }
            std::vector<std::unique_ptr<BookmarkNode>> inner = entry->takeAllChildren();
            addNew(names, *into.appendChild(std::move(entry)), std::move(inner));
        }
    }

    // A new category still merges its own children, so names repeated inside it are added once.
    void addNew(FolderNames &names, BookmarkNode &added, std::vector<std::unique_ptr<BookmarkNode>> inner)
    {
        names.add(added, true);
        if (!added.record.IsCategory || inner.empty())
            return;
        BookmarkNode holder;
        holder.appendChildren(std::move(inner));
        mergeIntoNew(added, holder);
    }

    FolderNames &newFolderNames(BookmarkNode &folder)
    {
        auto it = m_newFolders.find(&folder);
        if (it == m_newFolders.end())
            it = m_newFolders.emplace(&folder, FolderNames(folder, m_match)).first;
        return it->second;
    }

    NameMatch m_match;
    MergePlan &m_plan;
    std::unordered_map<BookmarkNode *, TargetFolder> m_targetFolders;
    std::unordered_map<BookmarkNode *, FolderNames> m_newFolders;
};

} // namespace

MergePlan planMerge(BookmarkNode &target, BookmarkNode &staging, NameMatch match)
{
    MergePlan plan;
    Merger(match, plan).mergeIntoTarget(target, staging);
    return plan;
}

void applyMerge(MergePlan plan)
{
    for (MergeInsertion &insertion : plan)
        insertion.parent->appendChildren(std::move(insertion.nodes));
}

qsizetype mergeInto(BookmarkNode &target, BookmarkNode &staging, NameMatch match)
{
    MergePlan plan = planMerge(target, staging, match);
    qsizetype added = 0;
    for (const MergeInsertion &insertion : plan) {
        for (const auto &node : insertion.nodes) {
            ++added;
            for (const BookmarkNode *n = node->firstChild(); n; n = n->nextInTreeOrder(node.get()))
                ++added;
        }
    }
    applyMerge(std::move(plan));
    return added;
}

} // namespace vellumite
