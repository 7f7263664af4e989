#pragma once

#include <QString>

namespace vellumite {

// The executable of the desktop's default web browser: the default application that the XDG
// mimeapps.list files name for x-scheme-handler/http (else for text/html), read in the desktop's order
// without running any program, then the first word of its desktop entry's Exec line, found on PATH.
// Empty when any step finds nothing.
QString findXdgDefaultBrowser();

// The program of a desktop entry file: the first word of [Desktop Entry] Exec, with its quoting
// undone. Empty when the file has none.
QString desktopEntryProgram(const QString &desktopFile);

} // namespace vellumite
