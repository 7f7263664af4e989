#pragma once

#include <QString>
#include <QStringView>

namespace vellumite {

// The two ways the INI-like files read here are written.
enum class IniDialect {
    // As the desktop's profile functions read an INI file: section and key names without regard to
    // case, one pair of enclosing quotes dropped from the value.
    Profile,
    // A desktop entry file: names compared exactly, the value as it stands.
    DesktopEntry,
};

// One key of an INI file: the first occurrence wins and blanks around names and values do not count.
// Empty when the file, the section or the key is missing.
QString readIniKey(const QString &file, QStringView section, QStringView key,
                   IniDialect dialect = IniDialect::Profile);

} // namespace vellumite
