#include "main/core/functii.h"

using namespace Qt::StringLiterals;

namespace vellumite {

QString GetDelimitedField(const QString &text, QChar delimiter, int index)
{
    if (index < 1)
        return {};
    QStringView rest(text);
    for (int field = 1;; ++field) {
        const qsizetype end = rest.indexOf(delimiter);
        if (field == index)
            return (end < 0 ? rest : rest.first(end)).toString();
        if (end < 0)
            return {};
        rest = rest.sliced(end + 1);
    }
}

QByteArray ReplaceFileNameChars(const QByteArray &text, char replacement)
{
    static constexpr QByteArrayView forbidden("\"*./:<>?\\|");
    QByteArray result = text;
    for (char &c : result) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || forbidden.contains(c))
            c = replacement;
    }
    return result;
}

QByteArray GetQuotedField(const QByteArray &text, int index)
{
    if (index < 1)
        return {};
    qsizetype close = -1;
    for (int pair = 1;; ++pair) {
        const qsizetype open = text.indexOf('"', close + 1);
        if (open < 0)
            return {};
        close = text.indexOf('"', open + 1);
        if (close < 0)
            return {};
        if (pair == index)
            return text.sliced(open + 1, close - open - 1);
    }
}

bool WideContains(const QString &text, const QString &sub)
{
    return !sub.isEmpty() && text.contains(sub, Qt::CaseSensitive);
}

TreeCounts countTree(const BookmarkTree &tree)
{
    TreeCounts counts;
    tree.forEach([&counts](const BookmarkNode &node) {
        if (node.record.IsCategory)
            ++counts.categories;
        else
            ++counts.links;
    });
    // The root category is not counted; a tree without any node has no root to take away.
    counts.categories = qMax<qsizetype>(0, counts.categories - 1);
    return counts;
}

QString categoriesText(const TreeCounts &counts)
{
    return u"Categories: "_s + QString::number(counts.categories);
}

QString linksText(const TreeCounts &counts)
{
    return u"Links: "_s + QString::number(counts.links);
}

QString programProductVersion()
{
    return QStringLiteral(VELLUMITE_VERSION);
}

} // namespace vellumite
