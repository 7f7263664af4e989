#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace vellumite {

// How the paths of a file system are spelled: the Windows style has "\" separators and ".exe" names,
// the Linux style "/" separators and bare executable names.
enum class PathStyle { Windows, Linux };

// What the readers of other programs' files look at: whether a file exists, the keys and sections of
// INI files and when a file was written. Missing files and keys read as empty text, a missing file's
// time as an invalid one. Tests stand in for the file system with a table of their own.
class FileLookup
{
public:
    virtual ~FileLookup() = default;

    virtual PathStyle pathStyle() const = 0;
    virtual bool fileExists(const QString &path) const = 0;
    // One key of an INI file; the file is only read.
    virtual QString readIniString(const QString &file, const QString &section, const QString &key) const = 0;
    // The section names of an INI file in file order; none when the file cannot be read.
    virtual QStringList iniSections(const QString &file) const = 0;
    // When a file was last written; an invalid time when it does not exist.
    virtual QDateTime lastModified(const QString &path) const = 0;
};

// The files of this machine.
class LocalFileLookup final : public FileLookup
{
public:
    PathStyle pathStyle() const override { return PathStyle::Linux; }
    bool fileExists(const QString &path) const override;
    QString readIniString(const QString &file, const QString &section, const QString &key) const override;
    QStringList iniSections(const QString &file) const override;
    QDateTime lastModified(const QString &path) const override;
};

} // namespace vellumite
