#include "base/inifile.h"

#include "base/atomicfile.h"
#include "base/foreignfile.h"
#include "base/integertext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

constexpr QByteArrayView Utf8ByteOrderMark("\xEF\xBB\xBF");

struct SectionLine
{
    QByteArray name;
    bool closed = false; // the header has its "]"
};

// A section header line "[name]", or nothing for any other line.
std::optional<SectionLine> sectionOf(const QByteArray &line)
{
    const QByteArray text = line.trimmed();
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']');
    return SectionLine { (close < 0 ? text.sliced(1) : text.sliced(1, close - 1)).trimmed(), close >= 0 };
}

struct KeyLine
{
    QByteArray key;
    QByteArray value;
};

// A "key=value" line; comments, blank lines and lines without "=" are none.
std::optional<KeyLine> keyOf(const QByteArray &line, IniDialect dialect)
{
    const QByteArray text = line.trimmed();
    if (text.isEmpty() || text.startsWith(';') || text.startsWith('[')
        || (dialect == IniDialect::DesktopEntry && text.startsWith('#')))
        return std::nullopt;
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0)
        return std::nullopt;
    QByteArray key = text.first(equals).trimmed();
    if (key.isEmpty())
        return std::nullopt;
    return KeyLine { key, text.sliced(equals + 1).trimmed() };
}

bool isQuoted(QByteArrayView value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front();
}

bool breaksLine(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(u'\0'));
}

} // namespace

IniFile::IniFile(QString fileName, IniDialect dialect)
    : m_fileName(std::move(fileName))
    , m_dialect(dialect)
{ }

IniFile::IniFile(int directoryFd, QString name, QString shownPath)
    : m_fileName(std::move(shownPath))
    , m_inDirectory(true)
    , m_directoryFd(directoryFd)
    , m_nameInDirectory(std::move(name))
{ }

bool IniFile::load()
{
    setData({});
    m_errorString.clear();
    const ForeignFileRead file = m_inDirectory
        ? readForeignFileAt(m_directoryFd, m_nameInDirectory, MaximumSize)
        : readForeignFile(m_fileName, MaximumSize);
    if (file.status == ForeignFileStatus::Missing)
        return true;
    if (!file.ok()) {
        m_errorString = file.errorString;
        return false;
    }
    setData(file.bytes);
    return true;
}

bool IniFile::save()
{
    m_errorString.clear();
    if (m_inDirectory)
        return writeFileAtomicallyAt(m_directoryFd, m_nameInDirectory, data(), &m_errorString);
    return writeFileAtomically(m_fileName, data(), &m_errorString);
}

QByteArray IniFile::data() const
{
    const QByteArrayView eol = m_crlf ? QByteArrayView("\r\n") : QByteArrayView("\n");
    QByteArray out;
    if (m_byteOrderMark)
        out += Utf8ByteOrderMark;
    for (const QByteArray &line : m_lines) {
        out += line;
        out += eol;
    }
    return out;
}

void IniFile::setData(const QByteArray &data)
{
    QByteArrayView text(data);
    m_byteOrderMark = text.startsWith(Utf8ByteOrderMark);
    if (m_byteOrderMark)
        text = text.sliced(Utf8ByteOrderMark.size());
    const qsizetype firstBreak = text.indexOf('\n');
    m_crlf = firstBreak > 0 && text[firstBreak - 1] == '\r';

    m_lines.clear();
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf('\n');
        QByteArrayView line = end < 0 ? text : text.first(end);
        text = end < 0 ? QByteArrayView() : text.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        m_lines.append(line.toByteArray());
    }
}

bool IniFile::sameName(const QByteArray &stored, const QString &wanted) const
{
    const Qt::CaseSensitivity names
        = m_dialect == IniDialect::Profile ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return QString::fromUtf8(stored).compare(wanted, names) == 0;
}

QString IniFile::readValue(const QString &fileName, const QString &section, const QString &key,
                           IniDialect dialect)
{
    IniFile file(fileName, dialect);
    file.load(); // a file that cannot be read holds no key
    return file.readString(section, key, {});
}

IniFile::Location IniFile::locate(const QString &section, const QString &key) const
{
    Location where;
    bool inSection = false;
    bool inFirstSection = false; // new keys go only there
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (const auto header = sectionOf(m_lines[i])) {
            inFirstSection = false;
            if (where.section >= 0 && m_dialect == IniDialect::Profile)
                break; // only the first section of the name counts
            inSection
                = sameName(header->name, section) && (header->closed || m_dialect == IniDialect::Profile);
            if (inSection && where.section < 0) {
                where.section = where.insertAt = i;
                inFirstSection = true;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (const auto entry = keyOf(m_lines[i], m_dialect)) {
            if (inFirstSection)
                where.insertAt = i;
            if (where.key < 0 && sameName(entry->key, key))
                where.key = i;
        }
    }
    if (where.insertAt >= 0)
        ++where.insertAt;
    return where;
}

std::optional<QByteArray> IniFile::rawValue(const QString &section, const QString &key) const
{
    const Location where = locate(section, key);
    if (where.key < 0)
        return std::nullopt;
    QByteArray value = keyOf(m_lines[where.key], m_dialect)->value;
    if (m_dialect == IniDialect::Profile && isQuoted(value))
        value = value.sliced(1, value.size() - 2);
    return value;
}

QStringList IniFile::sectionNames() const
{
    QStringList names;
    for (const QByteArray &line : m_lines) {
        const auto header = sectionOf(line);
        if (!header || (!header->closed && m_dialect != IniDialect::Profile))
            continue;
        const QString name = QString::fromUtf8(header->name);
        const bool seen = std::any_of(names.cbegin(), names.cend(),
                                      [&](const QString &known) { return sameName(known.toUtf8(), name); });
        if (!seen)
            names.append(name);
    }
    return names;
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    return locate(section, key).key >= 0;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto value = rawValue(section, key);
    return value ? QString::fromUtf8(*value) : defaultValue;
}

qint32 IniFile::readInteger(const QString &section, const QString &key, qint32 defaultValue) const
{
    const auto raw = rawValue(section, key);
    if (!raw)
        return defaultValue;
    QString text = QString::fromUtf8(*raw);
    if (text.size() > 2 && (text.startsWith("0x"_L1) || text.startsWith("0X"_L1)))
        text.replace(0, 2, u"$"_s);
    return parseInteger(text).value_or(defaultValue);
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString name = key.trimmed();
    if (breaksLine(section) || section.contains(u']') || breaksLine(name) || name.isEmpty()
        || name.contains(u'=') || name.startsWith(u'[') || name.startsWith(u';') || breaksLine(value))
        return false;

    QByteArray stored = value.toUtf8();
    if (m_dialect == IniDialect::DesktopEntry) {
        // That dialect keeps quotes, so outer blanks cannot be kept, and a "#" key would be a comment.
        if (stored != stored.trimmed() || name.startsWith(u'#'))
            return false;
    } else if (stored != stored.trimmed() || isQuoted(stored)) {
        // Quote what the reader would otherwise change: outer blanks, or a value that looks quoted.
        stored = '"' + stored + '"';
    }

    const Location where = locate(section, name);
    if (where.key >= 0) {
        m_lines[where.key] = keyOf(m_lines[where.key], m_dialect)->key + '=' + stored;
        return true;
    }
    const QByteArray line = name.toUtf8() + '=' + stored;
    if (where.section >= 0) {
        m_lines.insert(where.insertAt, line);
        return true;
    }
    if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
        m_lines.append(QByteArray());
    m_lines.append('[' + section.toUtf8() + ']');
    m_lines.append(line);
    return true;
}

void IniFile::writeInteger(const QString &section, const QString &key, qint32 value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::removeKey(const QString &section, const QString &key)
{
    for (qsizetype line = locate(section, key).key; line >= 0; line = locate(section, key).key)
        m_lines.removeAt(line);
}

} // namespace vellumite
