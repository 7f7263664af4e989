#include "main/core/treeclipboard.h"

#include "main/core/bookmarkfile.h"
#include "main/core/bookmarksort.h"
#include "main/core/inplaceedit.h"
#include "main/core/nodeselection.h"

#include <QMimeData>

namespace vellumite {

namespace {

using NodeList = std::vector<const BookmarkNode *>;

QString cellText(const BookmarkNode &node, int column)
{
    if (column == ColumnLink)
        return node.record.IsCategory ? QString() : node.record.Link;
    return node.record.name();
}

// Calls f(node, depth) for every node of every subtree, in tree order; depth 0 is a copied node.
template<typename F> void forEachCopied(const NodeList &nodes, F &&f)
{
    for (const BookmarkNode *top : nodes) {
        const int topDepth = top->depth();
        for (const BookmarkNode *n = top; n; n = n->nextInTreeOrder(top))
            f(*n, n->depth() - topDepth);
    }
}

QString csvField(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// RTF is 7-bit: the control characters are escaped and every other character beyond ASCII is written
// as its UTF-16 code unit, with "?" for readers that do not know the escape.
void appendRtfText(QByteArray &out, const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == u'\n' || u == u'\r') {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x80) {
            out += static_cast<char>(u);
        } else if (u >= 0x80) {
            out += "\\u" + QByteArray::number(static_cast<qint16>(u)) + '?';
        }
    }
}

void markEditable(BookmarkNode &top)
{
    for (BookmarkNode *n = &top; n; n = n->nextInTreeOrder(&top))
        n->record.Editable = true;
}

} // namespace

QString nodesAsPlainText(const NodeList &nodes)
{
    QString text;
    forEachCopied(nodes, [&text](const BookmarkNode &node, int depth) {
        text += QString(2 * depth, u' ') + cellText(node, ColumnDescription);
        if (const QString link = cellText(node, ColumnLink); !link.isEmpty())
            text += u'\t' + link;
        text += u'\n';
    });
    return text;
}

QString nodesAsHtml(const NodeList &nodes)
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>\n"
                                  "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">\n"
                                  "<tr><th>Description</th><th>Link</th></tr>\n");
    forEachCopied(nodes, [&html](const BookmarkNode &node, int depth) {
        html += QStringLiteral("<tr><td style=\"padding-left:%1px\">").arg(2 + 16 * depth)
            + cellText(node, ColumnDescription).toHtmlEscaped() + QStringLiteral("</td><td>")
            + cellText(node, ColumnLink).toHtmlEscaped() + QStringLiteral("</td></tr>\n");
    });
    html += QStringLiteral("</table>\n</body></html>\n");
    return html;
}

QString nodesAsCsv(const NodeList &nodes)
{
    QString csv = QStringLiteral("\"Description\",\"Link\"\r\n");
    forEachCopied(nodes, [&csv](const BookmarkNode &node, int) {
        csv += csvField(cellText(node, ColumnDescription)) + u',' + csvField(cellText(node, ColumnLink))
            + QStringLiteral("\r\n");
    });
    return csv;
}

QByteArray nodesAsRtf(const NodeList &nodes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs16\n";
    forEachCopied(nodes, [&rtf](const BookmarkNode &node, int depth) {
        rtf += "\\pard\\li" + QByteArray::number(240 * depth) + ' ';
        appendRtfText(rtf, cellText(node, ColumnDescription));
        if (const QString link = cellText(node, ColumnLink); !link.isEmpty()) {
            rtf += "\\tab ";
            appendRtfText(rtf, link);
        }
        rtf += "\\par\n";
    });
    rtf += "}\n";
    return rtf;
}

std::vector<BookmarkNode *> nodesToCopy(const BookmarkTree &tree, std::vector<BookmarkNode *> selected)
{
    std::erase(selected, tree.firstNode());
    return topmostNodes(selected);
}

std::unique_ptr<QMimeData> makeTreeMimeData(const NodeList &nodes, const QByteArray &cutId)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(VirtualTreeDataMimeType, BookmarkFile::writeNodeChunks(nodes));
    if (!cutId.isEmpty())
        data->setData(TreeCutMimeType, cutId);
    data->setText(nodesAsPlainText(nodes));
    data->setHtml(nodesAsHtml(nodes));
    data->setData(CsvMimeType, nodesAsCsv(nodes).toUtf8());
    data->setData(RtfMimeType, nodesAsRtf(nodes));
    return data;
}

bool holdsTreeData(const QMimeData *data)
{
    return data && data->hasFormat(VirtualTreeDataMimeType);
}

QByteArray treeCutIdOf(const QMimeData *data)
{
    return holdsTreeData(data) ? data->data(TreeCutMimeType) : QByteArray();
}

QString readTreeData(const QMimeData &data, std::vector<std::unique_ptr<BookmarkNode>> &nodes, int maxLevels)
{
    nodes.clear();
    BookmarkNode scratch;
    const QString failure = BookmarkFile::readNodeChunks(data.data(VirtualTreeDataMimeType), scratch, nullptr,
                                                         applyStoredCaption, maxLevels);
    if (!failure.isEmpty())
        return failure;
    nodes = scratch.takeAllChildren();
    for (auto &node : nodes)
        markEditable(*node);
    return QString();
}

} // namespace vellumite
