#include "exchange/core/operahotlist.h"

#include "base/foreignfile.h"
#include "exchange/core/storefile.h"
#include "main/core/bookmarkfile.h"
#include "main/core/operalines.h"
#include "main/core/textcodec.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vellumite {

namespace {

constexpr QStringView CrLf = u"\r\n";
constexpr QStringView FolderHeader = u"#FOLDER";
constexpr QStringView LinkHeader = u"#URL";
constexpr QStringView FolderEnd = u"-";
constexpr QStringView HotlistHeader
    = u"Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n";
constexpr QStringView HeaderStart = u"Opera Hotlist version";
constexpr QByteArrayView Utf8Bom = "\xEF\xBB\xBF";

// A line that ends the entry above it: the next entry of any kind, or a folder end.
bool endsEntry(QStringView trimmed)
{
    return trimmed.startsWith(u'#') || trimmed == FolderEnd;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// ---- Reading --------------------------------------------------------------------------------------

// UTF-8 as Opera writes it. A file that is not valid UTF-8 throughout is read line by line, each line
// that is not UTF-8 as Windows-1252, so a line typed in by hand or written by an old version keeps its
// characters and the lines around it keep theirs. Line ends become LF there; the reader splits at
// any of them.
QString decodeHotlistText(QByteArrayView bytes)
{
    if (bytes.startsWith(Utf8Bom))
        bytes = bytes.sliced(Utf8Bom.size());
    constexpr auto flags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder whole(QStringDecoder::Utf8, flags);
    QString text = whole.decode(bytes);
    if (!whole.hasError())
        return text;

    text.clear();
    text.reserve(bytes.size());
    forEachHotlistLine(bytes, [&text, flags](QByteArrayView line) {
        QStringDecoder utf8(QStringDecoder::Utf8, flags);
        const QString decoded = utf8.decode(line);
        text += utf8.hasError() ? fromWindows1252(line) : decoded;
        text += u'\n';
    });
    return text;
}

// A value as the records hold it: a U+0002 pair is a line break.
QString recordValue(QStringView stored)
{
    return decodeHotlistValue(stored);
}

struct EntryText
{
    QString block;
    QStringView name;
    QStringView link;
    QStringView description;
};

// Lines that belong to no folder or link: the header before the first entry, entries of other kinds
// (separators, notes) and stray lines, each run kept at its place between the entries, so an export
// that merges into the file writes them back where they stood.
struct OtherLines
{
    int row; // the number of entries of the folder before it
    QString text; // every line followed by CR LF
};

// A hotlist as a merging export keeps it.
struct HotlistDocument
{
    QString prologue; // the lines before the first entry, each followed by CR LF
    BookmarkNode root;
    std::unordered_map<const BookmarkNode *, std::vector<OtherLines>> otherLines;
};

class HotlistParser
{
public:
    HotlistParser(QStringView text, qint32 browserCode, HotlistDocument *keep)
        : m_browserCode(browserCode)
        , m_keep(keep)
    {
        m_lines.reserve(static_cast<size_t>(text.size() / 32));
        forEachHotlistLine(text, [this](QStringView line) { m_lines.push_back(line); });
    }

    QString parse(BookmarkNode &root)
    {
        for (size_t i = 0; i < m_lines.size(); ++i) {
            if (m_lines[i].size() > MaxHotlistLineLength)
                return QStringLiteral("Line %1 of the hotlist is longer than %2 characters.")
                    .arg(i + 1)
                    .arg(MaxHotlistLineLength);
        }

        // The open folders, innermost last; the node the read started at stays at the bottom.
        std::vector<BookmarkNode *> open { &root };
        bool entrySeen = false;
        size_t i = 0;
        while (i < m_lines.size()) {
            const QStringView trimmed = trimmedHotlistLine(m_lines[i]);
            if (trimmed == FolderHeader || trimmed == LinkHeader) {
                entrySeen = true;
                const bool isLink = trimmed == LinkHeader;
                // The entry goes one level below the innermost open folder.
                if (open.size() > static_cast<size_t>(MaxStoreLevels))
                    return storeTooDeepReason(QStringLiteral("line %1").arg(i + 1));
                const EntryText entry = collectEntry(i, isLink);
                BookmarkNode *added = open.back()->appendChild(
                    std::make_unique<BookmarkNode>(isLink ? linkRecord(entry) : folderRecord(entry)));
                if (!isLink)
                    open.push_back(added);
                continue;
            }
            if (trimmed == FolderEnd) {
                entrySeen = true;
                // A surplus end at the level where the read started does nothing.
                if (open.size() > 1)
                    open.pop_back();
                ++i;
                continue;
            }
            entrySeen = entrySeen || trimmed.startsWith(u'#');
            if (!m_keep) {
                ++i;
            } else if (!entrySeen) {
                m_keep->prologue += m_lines[i] + CrLf;
                ++i;
            } else {
                keepOtherLines(i, *open.back());
            }
        }
        return QString();
    }

private:
    // The entry that begins at line `i`: its lines up to the next line that ends it. Advances `i` past it.
    EntryText collectEntry(size_t &i, bool isLink)
    {
        EntryText entry;
        size_t end = i + 1;
        qsizetype length = m_lines[i].size();
        for (; end < m_lines.size(); ++end) {
            const QStringView trimmed = trimmedHotlistLine(m_lines[end]);
            if (endsEntry(trimmed))
                break;
            length += CrLf.size() + m_lines[end].size();
            // A key that occurs twice keeps its last value.
            if (trimmed.startsWith(HotlistNameKey))
                entry.name = trimmed.sliced(HotlistNameKey.size());
            else if (trimmed.startsWith(HotlistDescriptionKey))
                entry.description = trimmed.sliced(HotlistDescriptionKey.size());
            else if (isLink && trimmed.startsWith(HotlistUrlKey))
                entry.link = trimmed.sliced(HotlistUrlKey.size());
        }
        entry.block.reserve(length);
        entry.block += m_lines[i];
        for (size_t line = i + 1; line < end; ++line) {
            entry.block += CrLf;
            entry.block += m_lines[line];
        }
        i = end;
        return entry;
    }

    void keepOtherLines(size_t &i, const BookmarkNode &folder)
    {
        QString text = m_lines[i] + CrLf;
        for (++i; i < m_lines.size() && !endsEntry(trimmedHotlistLine(m_lines[i])); ++i)
            text += m_lines[i] + CrLf;
        m_keep->otherLines[&folder].push_back({ folder.childCount(), std::move(text) });
    }

    TBookmark folderRecord(const EntryText &entry) const
    {
        TBookmark record = makeCategoryRecord(recordValue(entry.name));
        record.Comment = recordValue(entry.description);
        record.OperaBlock = entry.block;
        record.ImportSource = FromOpera;
        return record;
    }

    TBookmark linkRecord(const EntryText &entry) const
    {
        TBookmark record
            = makeBookmarkRecord(recordValue(entry.name), recordValue(entry.link), m_browserCode);
        record.Comment = recordValue(entry.description);
        record.OperaBlock = entry.block;
        record.ImportSource = FromOpera;
        return record;
    }

    std::vector<QStringView> m_lines;
    qint32 m_browserCode;
    HotlistDocument *m_keep;
};

QString parseInto(QStringView text, BookmarkNode &staging, qint32 browserCode, HotlistDocument *keep)
{
    BookmarkNode read;
    const QString error = HotlistParser(text, browserCode, keep).parse(keep ? keep->root : read);
    if (error.isEmpty() && !keep)
        staging.appendChildren(read.takeAllChildren());
    return error;
}

enum class MissingFile { IsAFailure, IsEmpty };

QString readHotlistBytes(const QString &path, QByteArray &bytes, MissingFile missing)
{
    ForeignFileRead file = readForeignFile(path, MaxHotlistFileSize);
    bytes = std::move(file.bytes);
    switch (file.status) {
    case ForeignFileStatus::Ok:
        return QString();
    case ForeignFileStatus::Missing:
        if (missing == MissingFile::IsEmpty)
            return QString();
        break;
    case ForeignFileStatus::TooLarge:
        return QStringLiteral("The file \"%1\" is larger than %2 MiB and is not read as a hotlist.")
            .arg(nativePath(path))
            .arg(MaxHotlistFileSize / (1024 * 1024));
    case ForeignFileStatus::Failed:
        break;
    }
    return cannotOpenFileMessage(path, file.errorString);
}

// ---- Writing --------------------------------------------------------------------------------------

// What a stored block says, when it is one entry of the expected kind.
struct StoredEntry
{
    QStringView name;
    QStringView link;
    QStringView description;
};

std::optional<StoredEntry> inspectBlock(QStringView block, bool isLink)
{
    StoredEntry entry;
    bool first = true;
    bool usable = true;
    forEachHotlistLine(block, [&](QStringView line) {
        const QStringView trimmed = trimmedHotlistLine(line);
        if (first) {
            first = false;
            usable = trimmed == (isLink ? LinkHeader : FolderHeader);
        } else if (endsEntry(trimmed)) {
            // Written as it stands it would end the entry early and add others, or close a folder.
            usable = false;
        } else if (trimmed.startsWith(HotlistNameKey)) {
            entry.name = trimmed.sliced(HotlistNameKey.size());
        } else if (trimmed.startsWith(HotlistDescriptionKey)) {
            entry.description = trimmed.sliced(HotlistDescriptionKey.size());
        } else if (isLink && trimmed.startsWith(HotlistUrlKey)) {
            entry.link = trimmed.sliced(HotlistUrlKey.size());
        }
    });
    if (first || !usable)
        return std::nullopt;
    return entry;
}

bool saysTheSame(QStringView stored, const QString &value)
{
    return stored.contains(u'\u0002') ? recordValue(stored) == value : stored == value;
}

// Rewrites every line of the key, or adds one after the entry's last line that is not blank (the blank
// lines that end a stored entry stay last).
void rewriteOrAddKey(QStringList &lines, QStringView key, const QString &value)
{
    if (rewriteHotlistKeyLines(lines, key, HotlistKeyIndent, value) > 0)
        return;
    qsizetype at = lines.size();
    while (at > 1 && trimmedHotlistLine(lines[at - 1]).isEmpty())
        --at;
    lines.insert(at, HotlistKeyIndent + key + encodeHotlistValue(value));
}

class HotlistWriter
{
public:
    explicit HotlistWriter(const HotlistDocument *document = nullptr)
        : m_document(document)
    { }

    void writeHeader(QStringView prologue)
    {
        // A file of another program may begin with anything: it keeps that, after a header Opera knows.
        if (!trimmedHotlistLine(prologue).startsWith(HeaderStart))
            m_out += HotlistHeader;
        m_out += prologue;
    }

    // Everything below `root`, depth first, a "-" after each folder's entries.
    void writeEntries(const BookmarkNode &root)
    {
        std::vector<OpenFolder> open { openFolder(root) };
        while (!open.empty()) {
            OpenFolder &top = open.back();
            writeOtherLines(top);
            if (top.next < top.folder->childCount()) {
                const BookmarkNode &child = *top.folder->child(top.next++);
                m_out += operaBlockToWrite(child.record);
                m_out += CrLf;
                if (child.record.IsCategory)
                    open.push_back(openFolder(child));
                continue;
            }
            if (open.size() > 1) {
                m_out += FolderEnd;
                m_out += CrLf;
            }
            open.pop_back();
        }
    }

    const QString &text() const { return m_out; }
    QByteArray bytes() const { return m_out.toUtf8(); }

private:
    struct OpenFolder
    {
        const BookmarkNode *folder;
        int next;
        const std::vector<OtherLines> *other;
        size_t nextOther;
    };

    OpenFolder openFolder(const BookmarkNode &folder) const
    {
        const std::vector<OtherLines> *other = nullptr;
        if (m_document) {
            const auto it = m_document->otherLines.find(&folder);
            if (it != m_document->otherLines.end())
                other = &it->second;
        }
        return { &folder, 0, other, 0 };
    }

    // The kept lines that stood before the folder's next entry (all that are left after its last).
    void writeOtherLines(OpenFolder &folder)
    {
        if (!folder.other)
            return;
        while (folder.nextOther < folder.other->size()
               && (*folder.other)[folder.nextOther].row <= folder.next)
            m_out += (*folder.other)[folder.nextOther++].text;
    }

    const HotlistDocument *m_document;
    QString m_out;
};

} // namespace

QString parseOperaHotlist(QByteArrayView bytes, BookmarkNode &staging, qint32 browserCode)
{
    if (bytes.size() > MaxHotlistFileSize)
        return QStringLiteral("The hotlist is larger than %1 MiB.").arg(MaxHotlistFileSize / (1024 * 1024));
    return parseInto(decodeHotlistText(bytes), staging, browserCode, nullptr);
}

QString readOperaHotlist(const QString &path, BookmarkNode &staging, qint32 browserCode)
{
    QByteArray bytes;
    if (QString error = readHotlistBytes(path, bytes, MissingFile::IsAFailure); !error.isEmpty())
        return error;
    if (QString error = parseOperaHotlist(bytes, staging, browserCode); !error.isEmpty())
        return QStringLiteral("The hotlist \"%1\" cannot be read. %2").arg(nativePath(path), error);
    return QString();
}

QString freshOperaBlock(const TBookmark &record)
{
    QString block = record.IsCategory ? FolderHeader.toString() : LinkHeader.toString();
    auto addKey = [&block](QStringView key, const QString &value) {
        block += CrLf + HotlistKeyIndent + key + encodeHotlistValue(value);
    };
    addKey(HotlistNameKey, record.name());
    if (!record.IsCategory)
        addKey(HotlistUrlKey, record.Link);
    addKey(HotlistDescriptionKey, record.Comment);
    return block;
}

QString operaBlockToWrite(const TBookmark &record)
{
    const bool isLink = !record.IsCategory;
    const std::optional<StoredEntry> stored = inspectBlock(record.OperaBlock, isLink);
    if (!stored)
        return freshOperaBlock(record);
    const bool nameHolds = saysTheSame(stored->name, record.name());
    const bool linkHolds = !isLink || saysTheSame(stored->link, record.Link);
    const bool descriptionHolds = saysTheSame(stored->description, record.Comment);
    if (nameHolds && linkHolds && descriptionHolds)
        return record.OperaBlock;

    // The record changed since the block was stored (a node renamed or edited while nothing rebuilt its
    // block): the record is what the user sees, so it wins; Opera's own keys stay.
    QStringList lines = splitHotlistLines(record.OperaBlock);
    if (!nameHolds)
        rewriteOrAddKey(lines, HotlistNameKey, record.name());
    if (!linkHolds)
        rewriteOrAddKey(lines, HotlistUrlKey, record.Link);
    if (!descriptionHolds)
        rewriteOrAddKey(lines, HotlistDescriptionKey, record.Comment);
    return joinHotlistLines(lines);
}

qsizetype fillMissingOperaBlocks(BookmarkNode &rootCategory)
{
    qsizetype changed = 0;
    for (BookmarkNode *node = rootCategory.firstChild(); node; node = node->nextInTreeOrder(&rootCategory)) {
        QString block = operaBlockToWrite(node->record);
        if (block != node->record.OperaBlock) {
            node->record.OperaBlock = std::move(block);
            ++changed;
        }
    }
    return changed;
}

QByteArray formatOperaHotlist(const BookmarkNode &rootCategory)
{
    HotlistWriter writer;
    writer.writeHeader({});
    writer.writeEntries(rootCategory);
    return writer.bytes();
}

QString mergeOperaHotlist(QByteArrayView present, const BookmarkNode &rootCategory, QByteArray &merged)
{
    if (present.size() > MaxHotlistFileSize)
        return QStringLiteral("The hotlist is larger than %1 MiB.").arg(MaxHotlistFileSize / (1024 * 1024));
    HotlistDocument document;
    BookmarkNode unused;
    if (QString error = parseInto(decodeHotlistText(present), unused, 0, &document); !error.isEmpty())
        return error;

    // The tree's entries as the file would give them back once written, so they merge by the names a
    // later import compares.
    HotlistWriter treeWriter;
    treeWriter.writeEntries(rootCategory);
    BookmarkNode staging;
    if (QString error = parseInto(treeWriter.text(), staging, 0, nullptr); !error.isEmpty())
        return error;
    mergeInto(document.root, staging, OperaHotlistNameMatch);

    HotlistWriter writer(&document);
    writer.writeHeader(document.prologue);
    writer.writeEntries(document.root);
    merged = writer.bytes();
    return QString();
}

QString writeOperaHotlist(const BookmarkNode &rootCategory, const QString &path, ExportMode mode)
{
    QByteArray bytes;
    if (mode == ExportMode::Merge) {
        QByteArray present;
        if (QString error = readHotlistBytes(path, present, MissingFile::IsEmpty); !error.isEmpty())
            return error;
        if (QString error = mergeOperaHotlist(present, rootCategory, bytes); !error.isEmpty())
            return QStringLiteral("The hotlist \"%1\" cannot be read, so it is left as it was. %2")
                .arg(nativePath(path), error);
    } else {
        bytes = formatOperaHotlist(rootCategory);
    }
    return BookmarkFile::writeToFile(bytes, path);
}

} // namespace vellumite
