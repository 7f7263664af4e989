#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vellumite {

// The two ways the INI-like files read here are written.
enum class IniDialect {
    // As the Windows profile functions read an INI file (see IniFile).
    Profile,
    // A desktop entry or mimeapps.list file: names compared exactly, the value as it stands (quotes
    // kept), "#" starts a comment as ";" does, a header without its "]" names no section, and a key
    // is looked for in every section of the name.
    DesktopEntry,
};

// An INI file read and written the way the Windows profile functions treat one: sections and keys are
// found without regard to letter case, the first of two equal sections or keys wins, blanks around
// names and values do not count, and a value between a pair of quotes loses them. Everything the
// program does not touch (unknown sections, keys, comments, blank lines, their order, the line
// endings) is written back as it was read. Text is 8-bit in the system code page, UTF-8 here. A key before
// the first section belongs to none. The desktop's own files are read in the DesktopEntry dialect.
class IniFile
{
public:
    // Files larger than this are refused rather than read into memory.
    static constexpr qint64 MaximumSize = 1024 * 1024;

    IniFile() = default;
    explicit IniFile(QString fileName, IniDialect dialect = IniDialect::Profile);
    // The file `name` in the open folder `directoryFd`, read and written relative to it; `shownPath` is
    // its path as messages show it (fileName()).
    IniFile(int directoryFd, QString name, QString shownPath);

    const QString &fileName() const { return m_fileName; }
    QString errorString() const { return m_errorString; }

    // Reads the file the guarded way of ForeignFile. A file that does not exist reads as an empty one;
    // anything else that cannot be read (a pipe, a folder, a link to nothing) or a file above
    // MaximumSize leaves the content empty and returns false.
    bool load();
    // Writes the whole text atomically: on any failure the old file is untouched and false is returned.
    bool save();

    QByteArray data() const;
    void setData(const QByteArray &data);

    bool contains(const QString &section, const QString &key) const;
    // The names of the sections in file order, each once, as first spelled (a header without its "]"
    // names a section only in the Profile dialect).
    QStringList sectionNames() const;
    // The value, or `defaultValue` when the key is missing; an empty value is returned as it is.
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    // One value of a file read for it alone; empty when the file cannot be read or lacks the key.
    static QString readValue(const QString &fileName, const QString &section, const QString &key,
                             IniDialect dialect = IniDialect::Profile);
    // The value's bytes as the file holds them (quotes removed), for a caller that decodes them itself;
    // nothing when the key is missing.
    std::optional<QByteArray> readBytes(const QString &section, const QString &key) const
    {
        return rawValue(section, key);
    }
    // A value beginning "0x" or "0X" (and longer than that) counts as hexadecimal; see parseInteger.
    // A missing key, an empty value or text that is no such number gives `defaultValue`.
    qint32 readInteger(const QString &section, const QString &key, qint32 defaultValue) const;

    // Sets the value in the first section of that name (appended at the end of the file when there is
    // none); a new key follows the last key of its section. Names and values that would break the
    // file's lines (line breaks, a "=" in a key, a "]" in a section name) are refused with false.
    bool writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, qint32 value);
    // Removes the key from the section, each line of it; nothing else changes.
    void removeKey(const QString &section, const QString &key);

private:
    struct Location
    {
        qsizetype section = -1; // the header line of the section, -1 when there is none
        qsizetype key = -1; // the line of the key, -1 when there is none
        qsizetype insertAt = -1; // where a new key of that section goes
    };
    Location locate(const QString &section, const QString &key) const;
    bool sameName(const QByteArray &stored, const QString &wanted) const;
    std::optional<QByteArray> rawValue(const QString &section, const QString &key) const;

    QString m_fileName;
    // A file reached relative to an open folder, never by its shown path.
    bool m_inDirectory = false;
    int m_directoryFd = -1;
    QString m_nameInDirectory;
    QString m_errorString;
    IniDialect m_dialect = IniDialect::Profile;
    QList<QByteArray> m_lines;
    bool m_crlf = false;
    bool m_byteOrderMark = false;
};

} // namespace vellumite
