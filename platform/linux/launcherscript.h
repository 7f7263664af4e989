#pragma once

#include <QByteArrayView>
#include <QString>

namespace vellumite {

// The largest launcher script that is read; distributions' launchers are a few kilobytes.
inline constexpr qint64 MaximumLauncherScriptSize = 64 * 1024;

// The program a shell script starts: the absolute path that its last `exec` command names, with its
// quotes removed. An `exec` in a comment or inside quotes, of a bare name (found through PATH when the
// script runs) or of anything holding a variable or a command substitution names nothing. Empty when
// there is none, or when `text` is not text (it holds a NUL byte).
QString execTargetOfScript(QByteArrayView text);

// The same for the file `script`, read through the guarded read and never run; empty when it cannot be
// read or is larger than MaximumLauncherScriptSize.
QString launcherScriptTarget(const QString &script);

} // namespace vellumite
