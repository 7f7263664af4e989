#include "exchange/core/netscapebookmarkfile.h"

#include "exchange/core/storefile.h"
#include "main/core/textcodec.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace vellumite {

namespace {

using namespace Qt::StringLiterals;

constexpr QByteArrayView FileHeader
    = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
      "<!-- This is an automatically generated file.\r\n"
      "It will be read and overwritten.\r\n"
      "DO NOT EDIT! -->\r\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
      "<TITLE>Bookmarks</TITLE>\r\n"
      "<H1 LAST_MODIFIED=\"1209401134\">Bookmarks</H1>\r\n";
constexpr QByteArrayView CrLf = "\r\n";
constexpr QByteArrayView ListStart = "<DL><p>\r\n";
constexpr QByteArrayView ListEnd = "</DL><p>\r\n";
constexpr QByteArrayView Utf8ByteOrderMark = "\xEF\xBB\xBF";

// What the file said about an entry beyond its name and link: the other attributes of its start tag,
// its description and a separator before it. Kept only for a merge, so that rewriting the file keeps
// the dates, icons, keywords and descriptions of the entries it held.
struct EntryExtras
{
    QByteArray attributes; // each attribute with a space before it
    QByteArray description; // the text after <DD>, as the file holds it
    bool separatorBefore = false;
};
using ExtrasOfNodes = std::unordered_map<const BookmarkNode *, EntryExtras>;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool sameTagName(QByteArrayView name, QByteArrayView wanted)
{
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

struct Attribute
{
    QByteArrayView name;
    QByteArrayView value;
    QByteArrayView whole; // name, "=" and value as written
};

struct StartTag
{
    std::vector<Attribute> attributes;
    qsizetype end = -1; // just past the ">"; -1 when the data ends inside the tag

    QByteArrayView value(QByteArrayView name) const
    {
        for (const Attribute &a : attributes) {
            if (sameTagName(a.name, name))
                return a.value;
        }
        return {};
    }
};

// Scans a file of any bytes once from start to end: no construct makes it look back, so hostile input
// costs time in proportion to its size.
class BookmarkHtmlReader
{
public:
    BookmarkHtmlReader(QByteArrayView data, BookmarkNode &staging, qint32 browserCode, ExtrasOfNodes *extras)
        : m_data(data)
        , m_current(&staging)
        , m_browserCode(browserCode)
        , m_extras(extras)
    {
        if (m_data.startsWith(Utf8ByteOrderMark))
            m_data = m_data.sliced(Utf8ByteOrderMark.size());
    }

    // False when the file nests entries deeper than a staging tree may hold; the read stops there.
    bool read()
    {
        qsizetype at = 0;
        while (at >= 0 && at < m_data.size())
            at = readFrom(at);
        return !m_tooDeep;
    }

private:
    // One piece of the data from `at`: text up to the next tag, or one tag. Returns where to go on, or
    // -1 when the rest of the data holds nothing more.
    qsizetype readFrom(qsizetype at)
    {
        const char *found
            = static_cast<const char *>(std::memchr(m_data.data() + at, '<', size_t(m_data.size() - at)));
        if (!found)
            return -1;
        at = found - m_data.data();
        const QByteArrayView rest = m_data.sliced(at);
        if (rest.startsWith("<!--")) {
            const qsizetype close = m_data.indexOf("-->", at + 4);
            return close < 0 ? -1 : close + 3;
        }
        qsizetype nameStart = at + 1;
        const bool closing = nameStart < m_data.size() && m_data[nameStart] == '/';
        if (closing)
            ++nameStart;
        qsizetype nameEnd = nameStart;
        while (nameEnd < m_data.size() && isLetterOrDigit(m_data[nameEnd]))
            ++nameEnd;
        if (nameEnd == nameStart)
            return at + 1; // a "<" in text
        const QByteArrayView name = m_data.sliced(nameStart, nameEnd - nameStart);

        if (closing) {
            if (sameTagName(name, "DL"))
                closeList();
            return skipTag(nameEnd);
        }
        if (sameTagName(name, "A"))
            return readLink(nameEnd);
        if (sameTagName(name, "H3"))
            return readFolder(nameEnd);
        if (sameTagName(name, "DL")) {
            openList();
            return skipTag(nameEnd);
        }
        if (sameTagName(name, "DD"))
            return readDescription(nameEnd);
        if (sameTagName(name, "HR"))
            m_separatorPending = true;
        return skipTag(nameEnd);
    }

    qsizetype skipTag(qsizetype at) const
    {
        const qsizetype close = m_data.indexOf('>', at);
        return close < 0 ? -1 : close + 1;
    }

    // The attributes up to the ">" that closes the tag. A quoted value ends at its quote, or at the end
    // of its line when the quote is never closed there.
    StartTag readStartTag(qsizetype at) const
    {
        StartTag tag;
        const qsizetype size = m_data.size();
        while (at < size) {
            while (at < size && isSpace(m_data[at]))
                ++at;
            if (at >= size)
                break;
            if (m_data[at] == '>') {
                tag.end = at + 1;
                return tag;
            }
            const qsizetype start = at;
            while (at < size && !isSpace(m_data[at]) && m_data[at] != '=' && m_data[at] != '>')
                ++at;
            if (at == start) {
                ++at; // a stray "="
                continue;
            }
            Attribute attribute;
            attribute.name = m_data.sliced(start, at - start);
            qsizetype look = at;
            while (look < size && isSpace(m_data[look]))
                ++look;
            if (look < size && m_data[look] == '=') {
                at = look + 1;
                while (at < size && isSpace(m_data[at]))
                    ++at;
                if (at < size && (m_data[at] == '"' || m_data[at] == '\'')) {
                    const char quote = m_data[at];
                    const qsizetype valueStart = ++at;
                    while (at < size && m_data[at] != quote && m_data[at] != '\n' && m_data[at] != '\r')
                        ++at;
                    attribute.value = m_data.sliced(valueStart, at - valueStart);
                    if (at < size && m_data[at] == quote)
                        ++at;
                } else {
                    const qsizetype valueStart = at;
                    while (at < size && !isSpace(m_data[at]) && m_data[at] != '>')
                        ++at;
                    attribute.value = m_data.sliced(valueStart, at - valueStart);
                }
            }
            attribute.whole = m_data.sliced(start, at - start);
            tag.attributes.push_back(attribute);
        }
        return tag;
    }

    // The title after a start tag: up to the first "</" (its closing tag), or the end of the line when a
    // sloppy file leaves the tag open.
    QByteArrayView readTitle(qsizetype at, qsizetype &end) const
    {
        qsizetype stop = at;
        const qsizetype size = m_data.size();
        while (stop < size && m_data[stop] != '\n' && m_data[stop] != '\r'
               && !(m_data[stop] == '<' && stop + 1 < size && m_data[stop + 1] == '/'))
            ++stop;
        end = stop;
        return m_data.sliced(at, stop - at);
    }

    static QString decodeText(QByteArrayView bytes)
    {
        return decodeCharacterReferences(fromUtf8OrWindows1252(bytes));
    }

    qsizetype readLink(qsizetype at)
    {
        const StartTag tag = readStartTag(at);
        if (tag.end < 0)
            return -1;
        m_pendingFolder = Pending::None; // a folder without a list of its own stays empty
        qsizetype end = 0;
        const QByteArrayView title = readTitle(tag.end, end);
        const QByteArrayView href = tag.value("HREF");
        if (title.isEmpty() || href.isEmpty())
            return end;
        if (!roomForEntry())
            return -1;
        BookmarkNode *node = m_current->appendChild(std::make_unique<BookmarkNode>(
            makeBookmarkRecord(decodeText(title), decodeText(href), m_browserCode)));
        node->record.ImportSource = FromFirefox;
        noteEntry(node, tag, "HREF");
        return end;
    }

    qsizetype readFolder(qsizetype at)
    {
        const StartTag tag = readStartTag(at);
        if (tag.end < 0)
            return -1;
        qsizetype end = 0;
        const QByteArrayView name = readTitle(tag.end, end);
        if (name.isEmpty()) {
            m_pendingFolder = Pending::Anonymous;
            m_lastEntry = nullptr;
            return end;
        }
        if (!roomForEntry())
            return -1;
        BookmarkNode *node
            = m_current->appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(decodeText(name))));
        node->record.ImportSource = FromFirefox;
        m_pendingFolder = Pending::Folder;
        m_folder = node;
        noteEntry(node, tag, {});
        return end;
    }

    qsizetype readDescription(qsizetype at)
    {
        const qsizetype start = skipTag(at);
        if (start < 0)
            return -1;
        const qsizetype next = m_data.indexOf('<', start);
        const qsizetype end = next < 0 ? m_data.size() : next;
        if (m_extras && m_lastEntry) {
            QByteArrayView text = m_data.sliced(start, end - start);
            while (!text.isEmpty() && isSpace(text.back()))
                text.chop(1);
            (*m_extras)[m_lastEntry].description = text.toByteArray();
        }
        m_lastEntry = nullptr;
        return end;
    }

    // Whether an entry of the current folder lies within the levels a store may fill.
    bool roomForEntry()
    {
        m_tooDeep = m_depth >= MaxStoreLevels;
        return !m_tooDeep;
    }

    void noteEntry(BookmarkNode *node, const StartTag &tag, QByteArrayView skippedAttribute)
    {
        m_lastEntry = node;
        if (!m_extras) {
            m_separatorPending = false;
            return;
        }
        EntryExtras &extras = (*m_extras)[node];
        extras.separatorBefore = std::exchange(m_separatorPending, false);
        for (const Attribute &a : tag.attributes) {
            if (!skippedAttribute.isEmpty() && sameTagName(a.name, skippedAttribute))
                continue;
            extras.attributes += ' ';
            extras.attributes += a.whole;
        }
    }

    void openList()
    {
        m_open.push_back({ m_current, m_depth });
        if (m_pendingFolder == Pending::Folder) {
            m_current = m_folder;
            ++m_depth;
        }
        m_pendingFolder = Pending::None;
        m_lastEntry = nullptr;
    }

    // A surplus closing tag never leaves the node the import started at.
    void closeList()
    {
        m_pendingFolder = Pending::None;
        m_lastEntry = nullptr;
        if (m_open.empty())
            return;
        m_current = m_open.back().node;
        m_depth = m_open.back().depth;
        m_open.pop_back();
    }

    enum class Pending { None, Folder, Anonymous };
    struct OpenList
    {
        BookmarkNode *node;
        int depth;
    };

    QByteArrayView m_data;
    BookmarkNode *m_current;
    qint32 m_browserCode;
    ExtrasOfNodes *m_extras;
    int m_depth = 0;
    std::vector<OpenList> m_open; // an explicit stack: nesting costs no call stack
    Pending m_pendingFolder = Pending::None;
    BookmarkNode *m_folder = nullptr;
    BookmarkNode *m_lastEntry = nullptr;
    bool m_separatorPending = false;
    bool m_tooDeep = false;
};

class BookmarkHtmlWriter
{
public:
    explicit BookmarkHtmlWriter(const ExtrasOfNodes *extras)
        : m_extras(extras)
    { }

    QByteArray write(const BookmarkNode &rootCategory)
    {
        m_out.reserve(1024 * 1024);
        m_out += FileHeader;
        m_out += CrLf;
        m_out += ListStart;
        writeChildren(rootCategory);
        m_out += ListEnd;
        return std::move(m_out);
    }

private:
    // Depth first without recursion: a tree loaded from a hostile file may be very deep.
    void writeChildren(const BookmarkNode &top)
    {
        const BookmarkNode *node = top.firstChild();
        while (node) {
            writeEntry(*node);
            if (node->record.IsCategory && node->childCount() > 0) {
                node = node->firstChild();
                continue;
            }
            if (node->record.IsCategory)
                m_out += ListEnd;
            // Up to the next sibling, closing the lists that end on the way.
            while (node != &top) {
                const BookmarkNode *parent = node->parent();
                if (node->row() + 1 < parent->childCount()) {
                    node = parent->child(node->row() + 1);
                    break;
                }
                node = parent;
                if (node != &top)
                    m_out += ListEnd;
            }
            if (node == &top)
                break;
        }
    }

    void writeEntry(const BookmarkNode &node)
    {
        const EntryExtras *extras = extrasOf(node);
        if (extras && extras->separatorBefore)
            m_out += "<HR>\r\n";
        const TBookmark &record = node.record;
        if (record.IsCategory) {
            m_out += "<DT><H3";
            m_out += extras ? QByteArrayView(extras->attributes) : QByteArrayView(" LAST_MODIFIED=\"\"");
            m_out += '>';
            m_out += escapeBookmarkHtml(record.CategoryName);
            m_out += "</H3>\r\n";
            writeDescription(extras);
            m_out += ListStart;
            return;
        }
        m_out += "<DT><A HREF=\"";
        m_out += escapeBookmarkHtml(record.Link);
        m_out += '"';
        if (extras)
            m_out += extras->attributes;
        m_out += '>';
        m_out += escapeBookmarkHtml(record.Description);
        m_out += "</A>\r\n";
        if (!writeDescription(extras))
            m_out += CrLf;
    }

    bool writeDescription(const EntryExtras *extras)
    {
        if (!extras || extras->description.isEmpty())
            return false;
        m_out += "<DD>";
        m_out += extras->description;
        m_out += CrLf;
        return true;
    }

    const EntryExtras *extrasOf(const BookmarkNode &node) const
    {
        if (!m_extras)
            return nullptr;
        const auto it = m_extras->find(&node);
        return it == m_extras->end() ? nullptr : &it->second;
    }

    const ExtrasOfNodes *m_extras;
    QByteArray m_out;
};

struct NamedReference
{
    QStringView name;
    char32_t character;
};

// What browsers and other bookmark programs write; the rest of HTML's names is left as it stands.
constexpr NamedReference NamedReferences[] = {
    { u"amp", U'&' },        { u"lt", U'<' },          { u"gt", U'>' },          { u"quot", U'"' },
    { u"apos", U'\'' },      { u"nbsp", U'\u00A0' },   { u"copy", U'\u00A9' },   { u"reg", U'\u00AE' },
    { u"trade", U'\u2122' }, { u"hellip", U'\u2026' }, { u"ndash", U'\u2013' },  { u"mdash", U'\u2014' },
    { u"lsquo", U'\u2018' }, { u"rsquo", U'\u2019' },  { u"ldquo", U'\u201C' },  { u"rdquo", U'\u201D' },
    { u"laquo", U'\u00AB' }, { u"raquo", U'\u00BB' },  { u"middot", U'\u00B7' }, { u"bull", U'\u2022' },
    { u"euro", U'\u20AC' },
};

// The character a reference between "&" and ";" stands for, 0 when it names none.
char32_t referencedCharacter(QStringView reference)
{
    if (reference.startsWith(u'#')) {
        const bool hex = reference.size() > 1 && (reference[1] == u'x' || reference[1] == u'X');
        const QStringView digits = reference.sliced(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > 8)
            return 0;
        bool ok = false;
        const uint value = digits.toUInt(&ok, hex ? 16 : 10);
        if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return 0;
        return char32_t(value);
    }
    for (const NamedReference &named : NamedReferences) {
        if (named.name == reference)
            return named.character;
    }
    return 0;
}

} // namespace

QString decodeCharacterReferences(const QString &text)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;
    while (amp >= 0) {
        // References are short; a lone "&" costs no search beyond a few characters.
        const qsizetype semicolon = text.indexOf(u';', amp + 1);
        if (semicolon > amp + 1 && semicolon - amp <= 12) {
            if (const char32_t c
                = referencedCharacter(QStringView(text).sliced(amp + 1, semicolon - amp - 1))) {
                out += QStringView(text).sliced(copied, amp - copied);
                out += QString::fromUcs4(&c, 1);
                copied = semicolon + 1;
            }
        }
        amp = text.indexOf(u'&', amp + 1);
    }
    out += QStringView(text).sliced(copied);
    return out;
}

QByteArray escapeBookmarkHtml(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        // A line break would end the entry's line for a reader that goes by lines.
        case '\r':
            out += "&#13;";
            break;
        case '\n':
            out += "&#10;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString ImportBookmarksHtml(QByteArrayView bytes, BookmarkNode &staging, qint32 browserCode)
{
    BookmarkNode read;
    if (!BookmarkHtmlReader(bytes, read, browserCode, nullptr).read())
        return storeTooDeepReason();
    staging.appendChildren(read.takeAllChildren());
    return QString();
}

QString readNetscapeBookmarkFile(const QString &path, BookmarkNode &staging, qint32 browserCode)
{
    QByteArray bytes;
    if (const QString error = readStoreFile(path, MaximumNetscapeBookmarkFileSize, bytes); !error.isEmpty())
        return error;
    if (const QString error = ImportBookmarksHtml(bytes, staging, browserCode); !error.isEmpty())
        return QStringLiteral("The file \"%1\" cannot be read. %2")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), error);
    return QString();
}

QByteArray ExportBookmarksHtml(const BookmarkNode &rootCategory)
{
    return BookmarkHtmlWriter(nullptr).write(rootCategory);
}

QString writeNetscapeBookmarkFile(const BookmarkNode &rootCategory, const QString &path, ExportMode mode)
{
    if (mode == ExportMode::Replace || !QFileInfo::exists(path))
        return writeStoreFile(path, ExportBookmarksHtml(rootCategory));

    QByteArray bytes;
    if (const QString error = readStoreFile(path, MaximumNetscapeBookmarkFileSize, bytes); !error.isEmpty())
        return error;
    BookmarkNode held;
    ExtrasOfNodes extras;
    if (!BookmarkHtmlReader(bytes, held, 0, &extras).read())
        return QStringLiteral("The file \"%1\" cannot be read, so it is left as it was. %2")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), storeTooDeepReason());
    BookmarkNode added;
    appendCopiesOfChildren(rootCategory, added);
    applyMerge(planMerge(held, added, NetscapeBookmarkFileNameMatch));
    return writeStoreFile(path, BookmarkHtmlWriter(&extras).write(held));
}

} // namespace vellumite
