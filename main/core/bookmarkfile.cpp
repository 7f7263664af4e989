#include "main/core/bookmarkfile.h"

#include "base/atomicfile.h"
#include "base/foreignfile.h"
#include "main/core/bookmarkrecord.h"
#include "main/core/bytereader.h"
#include "main/core/bytewriter.h"
#include "main/core/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <fcntl.h>
#include <iterator>
#include <limits>

namespace vellumite {

namespace {

enum ChunkType : qint32 { NodeChunk = 1, BaseChunk = 2, CaptionChunk = 3, UserChunk = 4 };

constexpr qsizetype ChunkHeaderSize = 8;
constexpr quint16 StreamVersion = 2;
// The identification: six UTF-16 code units, the fourth of them the stream version.
constexpr std::array<char16_t, 6> Identification = { 0x2045, u'V', u'T', StreamVersion, u' ', 0x2046 };
constexpr qsizetype IdentificationSize = 2 * Identification.size();

// Writes node chunks. A chunk's size is known only after its body, so the header is written with size 0
// and filled in afterwards. Descendants are walked with an explicit stack: a deep tree cannot exhaust
// the call stack.
class NodeStreamWriter
{
public:
    explicit NodeStreamWriter(ByteWriter &out)
        : m_out(out)
    { }

    void writeNode(const BookmarkNode &top)
    {
        m_pending.clear();
        beginNode(top);
        while (!m_pending.empty()) {
            Pending &p = m_pending.back();
            if (p.nextChild < p.node->childCount()) {
                beginNode(*p.node->child(p.nextChild++));
                continue;
            }
            endChunk(p.baseChunk);

            const qsizetype userChunk = beginChunk(UserChunk);
            VTSaveNode(m_out, p.node->record);
            endChunk(userChunk);

            const QString &caption = p.node->record.name();
            if (!caption.isEmpty()) {
                const qsizetype captionChunk = beginChunk(CaptionChunk);
                m_out.writeUtf16LE(caption);
                endChunk(captionChunk);
            }
            endChunk(p.nodeChunk);
            m_pending.pop_back();
        }
    }

private:
    struct Pending
    {
        const BookmarkNode *node;
        qsizetype nodeChunk;
        qsizetype baseChunk;
        int nextChild;
    };

    // The node chunk's header, its base chunk's header and body; the children follow inside the base
    // chunk.
    void beginNode(const BookmarkNode &node)
    {
        const qsizetype nodeChunk = beginChunk(NodeChunk);
        const qsizetype baseChunk = beginChunk(BaseChunk);
        // Saving initializes every node, and an initialized node always has its children written; the
        // has-children flag says what is written, whatever flag the node was read with.
        quint16 states = (node.states | NodeState::Initialized) & NodeState::StoredMask;
        states
            = node.childCount() > 0 ? (states | NodeState::HasChildren) : (states & ~NodeState::HasChildren);
        m_out.write<quint32>(static_cast<quint32>(node.childCount()));
        m_out.write<quint32>(node.nodeHeight);
        m_out.write<quint16>(states);
        m_out.writeU8(node.align);
        m_out.writeU8(node.checkState);
        m_out.writeU8(node.checkType);
        m_out.write<quint32>(0); // reserved
        m_pending.push_back({ &node, nodeChunk, baseChunk, 0 });
    }

    qsizetype beginChunk(qint32 type)
    {
        const qsizetype start = m_out.size();
        m_out.write<qint32>(type);
        m_out.write<qint32>(0);
        return start;
    }

    void endChunk(qsizetype start)
    {
        const qsizetype size = m_out.size() - start - ChunkHeaderSize;
        m_out.writeAt<qint32>(start + 4, static_cast<qint32>(size));
    }

    ByteWriter &m_out;
    std::vector<Pending> m_pending;
};

// Reads node chunks, bounded by the data. Like the writer it keeps its own stack of open nodes: the
// children of a node lie inside its base chunk, before the node's own record.
class NodeStreamReader
{
public:
    NodeStreamReader(QByteArrayView data, qsizetype position, quint16 version,
                     const CaptionHandler &onCaption, int maxLevels)
        : m_in(data, position)
        , m_version(version)
        , m_maxLevels(maxLevels)
        , m_onCaption(onCaption)
    { }

    bool atEnd() const { return m_in.atEnd(); }
    const QString &error() const { return m_error; }

    // Reads one node chunk into `node`, with all its descendants.
    bool readNode(BookmarkNode &node)
    {
        m_open.clear();
        if (m_maxLevels < 1)
            return fail(TooDeeplyNestedMessage);
        if (!beginNode(node))
            return false;
        while (!m_open.empty()) {
            OpenNode &open = m_open.back();
            if (open.childrenLeft > 0) {
                // One child at a time, each only once its predecessor is read: a child count that the
                // data cannot hold ends at the data's end and never turns into an allocation.
                --open.childrenLeft;
                if (std::ssize(m_open) >= m_maxLevels)
                    return fail(TooDeeplyNestedMessage);
                if (!beginNode(*open.node->appendChild(std::make_unique<BookmarkNode>())))
                    return false;
                continue;
            }
            if (m_in.position() < open.end) {
                if (!readSubChunk(open))
                    return false;
                continue;
            }
            if (m_in.position() != open.end)
                return fail(UnexpectedDataMessage);
            m_open.pop_back();
        }
        return true;
    }

private:
    struct OpenNode
    {
        BookmarkNode *node;
        qint64 end;
        quint32 childrenLeft;
    };

    bool fail(const QString &message)
    {
        m_error = message;
        return false;
    }

    bool readHeader(qint32 &type, qint32 &size)
    {
        return (m_in.readI32(type) && m_in.readI32(size)) || fail(StreamReadErrorMessage);
    }

    bool beginNode(BookmarkNode &node)
    {
        // Marked before anything is read: a node whose chunk fails from its first byte on holds nothing
        // of the file, and must not pass for a bookmark with an empty record.
        node.hasRecord = false;
        qint32 type = 0;
        qint32 size = 0;
        if (!readHeader(type, size))
            return false;
        if (type != NodeChunk)
            return fail(AnchorChunkMissingMessage);
        m_open.push_back({ &node, qint64(m_in.position()) + size, 0 });
        return true;
    }

    bool readSubChunk(OpenNode &open)
    {
        qint32 type = 0;
        qint32 size = 0;
        if (!readHeader(type, size))
            return false;
        // A chunk cannot end before it starts; skipping backwards would read the same bytes forever.
        if (size < 0)
            return fail(UnexpectedDataMessage);
        switch (type) {
        case BaseChunk:
            return readBaseBody(open);
        case UserChunk:
            return readUserChunk(*open.node, size);
        case CaptionChunk:
            return readCaptionChunk(*open.node, size);
        case NodeChunk:
            // Children come only as many as the base chunk announces; chunks of an unknown type are
            // skipped, but a node is never dropped.
            return fail(ChildCountMismatchMessage);
        default:
            return m_in.skip(size) || fail(StreamReadErrorMessage);
        }
    }

    // The node's state and its child count; the chunk's own size is not needed to read it.
    bool readBaseBody(OpenNode &open)
    {
        quint32 childCount = 0;
        quint32 nodeHeight = 0;
        quint16 states = 0;
        quint8 align = 0, checkState = 0, checkType = 0;
        bool ok = m_in.readU32(childCount) && m_in.readU32(nodeHeight);
        if (m_version >= 2) {
            quint32 reserved = 0;
            ok = ok && m_in.readU16(states) && m_in.readU8(align) && m_in.readU8(checkState)
                && m_in.readU8(checkType) && m_in.readU32(reserved);
        } else {
            // The older body holds the states in one byte, where "visible" stood for "selected".
            quint8 oldStates = 0;
            ok = ok && m_in.readU8(oldStates) && m_in.readU8(align) && m_in.readU8(checkState)
                && m_in.readU8(checkType);
            states = oldStates;
            states |= (states & NodeState::Visible) ? NodeState::Selected : NodeState::Visible;
        }
        if (!ok)
            return fail(StreamReadErrorMessage);

        BookmarkNode &node = *open.node;
        node.states = states & NodeState::StoredMask;
        // Children read from an earlier base chunk of the same node stay, and so does their flag.
        if (node.childCount() > 0)
            node.setState(NodeState::HasChildren, true);
        node.nodeHeight = static_cast<quint16>(nodeHeight);
        node.align = align;
        node.checkState = checkState;
        node.checkType = checkType;
        open.childrenLeft = childCount;
        return true;
    }

    // The record may be shorter or longer than its chunk says: it is read from the chunk's start, and
    // reading then goes on at the chunk's end.
    bool readUserChunk(BookmarkNode &node, qint32 size)
    {
        if (size == 0)
            return true;
        if (size > m_in.bytesLeft())
            return fail(StreamReadErrorMessage);
        const qsizetype start = m_in.position();
        if (!VTLoadNode(m_in, node.record, &m_error))
            return false;
        node.hasRecord = true;
        m_in.seek(start + size);
        return true;
    }

    bool readCaptionChunk(BookmarkNode &node, qint32 size)
    {
        QByteArrayView bytes;
        if (!m_in.readBytes(size, bytes))
            return fail(StreamReadErrorMessage);
        const QString caption = fromUtf16LE(bytes);
        if (m_onCaption)
            m_onCaption(node, caption);
        else if (!caption.isEmpty())
            node.record.setName(caption);
        return true;
    }

    ByteReader m_in;
    quint16 m_version;
    int m_maxLevels;
    const CaptionHandler &m_onCaption;
    QString m_error;
    std::vector<OpenNode> m_open;
};

} // namespace

QByteArray BookmarkFile::save(const BookmarkTree &tree)
{
    QByteArray bytes;
    {
        ByteWriter out(bytes);
        out.writeUtf16LE(QStringView(Identification.data(), Identification.size()));
        out.write<quint32>(static_cast<quint32>(tree.topLevel().childCount()));
        NodeStreamWriter writer(out);
        for (int i = 0; i < tree.topLevel().childCount(); ++i)
            writer.writeNode(*tree.topLevel().child(i));
    }
    return bytes;
}

QString BookmarkFile::saveToFile(const BookmarkTree &tree, const QString &path)
{
    return writeToFile(save(tree), path);
}

QString BookmarkFile::writeToFile(const QByteArray &bytes, const QString &path)
{
    QString systemText;
    if (!writeFileAtomically(path, bytes, &systemText))
        return cannotCreateFileMessage(path, systemText);
    return QString();
}

QString BookmarkFile::writeToFileAt(const QByteArray &bytes, int directoryFd, const QString &name,
                                    const QString &shownPath)
{
    QString systemText;
    if (!writeFileAtomicallyAt(directoryFd, name, bytes, &systemText))
        return cannotCreateFileMessage(shownPath, systemText);
    return QString();
}

QString BookmarkFile::load(BookmarkTree &tree, QByteArrayView data, const CaptionHandler &onCaption)
{
    tree.clear();
    if (data.size() < IdentificationSize)
        return NotEnoughDataMessage;
    const QString id = fromUtf16LE(data.first(IdentificationSize));
    // The fifth unit is not looked at.
    for (int unit : { 0, 1, 2, 5 }) {
        if (id[unit].unicode() != Identification[static_cast<size_t>(unit)])
            return WrongFormatMessage;
    }
    const quint16 version = id[3].unicode();
    if (version > StreamVersion)
        return UnknownVersionMessage;

    qsizetype position = IdentificationSize;
    quint32 count = std::numeric_limits<qint32>::max();
    if (version == StreamVersion) {
        ByteReader header(data, position);
        if (!header.readU32(count))
            return StreamReadErrorMessage;
        position = header.position();
    }
    // No writer makes a count with the sign bit set.
    if (count > quint32(std::numeric_limits<qint32>::max()))
        return NodeCountMismatchMessage;

    NodeStreamReader reader(data, position, version, onCaption, MaxTreeLevels);
    BookmarkNode &top = tree.topLevel();
    while (!reader.atEnd() && count > 0) {
        --count;
        if (!reader.readNode(*top.appendChild(std::make_unique<BookmarkNode>())))
            return reader.error();
    }
    if (!reader.atEnd())
        return NodeCountMismatchMessage;
    return QString();
}

QString BookmarkFile::loadFromFile(BookmarkTree &tree, const QString &path, const CaptionHandler &onCaption)
{
    return loadFromFileAt(tree, AT_FDCWD, path, QFileInfo(path).absoluteFilePath(), onCaption);
}

QString BookmarkFile::loadFromFileAt(BookmarkTree &tree, int directoryFd, const QString &name,
                                     const QString &shownPath, const CaptionHandler &onCaption)
{
    const auto cannotOpen = [&shownPath](const QString &reason) {
        return QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(shownPath), reason);
    };
    // The guarded open: a pipe in the file's place cannot block the caller, nor a device feed it forever.
    ForeignFile file(directoryFd, name, MaximumFileSize);
    if (!file.isOpen())
        return cannotOpen(file.errorString());
    const QByteArray data = file.readAll();
    if (file.status() == ForeignFileStatus::TooLarge) // it grew after it was opened
        return cannotOpen(file.errorString());
    if (file.status() != ForeignFileStatus::Ok) {
        tree.clear();
        return StreamReadErrorMessage;
    }
    return load(tree, data, onCaption);
}

QByteArray BookmarkFile::writeNodeChunks(const std::vector<const BookmarkNode *> &nodes)
{
    QByteArray bytes;
    {
        ByteWriter out(bytes);
        NodeStreamWriter writer(out);
        for (const BookmarkNode *node : nodes)
            writer.writeNode(*node);
    }
    return bytes;
}

QString BookmarkFile::readNodeChunks(QByteArrayView data, BookmarkNode &parent,
                                     std::vector<BookmarkNode *> *added, const CaptionHandler &onCaption,
                                     int maxLevels)
{
    NodeStreamReader reader(data, 0, StreamVersion, onCaption, maxLevels);
    while (!reader.atEnd()) {
        BookmarkNode *node = parent.appendChild(std::make_unique<BookmarkNode>());
        if (added)
            added->push_back(node);
        if (!reader.readNode(*node))
            return reader.error();
    }
    return QString();
}

} // namespace vellumite
