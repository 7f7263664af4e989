#pragma once

#include <QString>
#include <QStringView>

namespace vellumite {

// One key of an INI file, read the way the desktop's profile functions read it: section and key
// names without regard to case, the first occurrence wins, blanks around the value and one pair of
// enclosing quotes dropped. Empty when the file, the section or the key is missing.
QString readIniKey(const QString &file, QStringView section, QStringView key);

} // namespace vellumite
