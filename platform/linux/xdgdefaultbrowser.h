#pragma once

#include <QString>
#include <chrono>

namespace vellumite {

// The executable of the desktop's default web browser: the handler that xdg-mime names for
// x-scheme-handler/http (else for text/html), the first word of its desktop entry's Exec line, found
// on PATH. Empty when any step finds nothing. Each xdg-mime run is given `timeout` to answer.
QString findXdgDefaultBrowser(std::chrono::milliseconds timeout = std::chrono::seconds(3));

// The program of a desktop entry file: the first word of [Desktop Entry] Exec, with its quoting
// undone. Empty when the file has none.
QString desktopEntryProgram(const QString &desktopFile);

} // namespace vellumite
