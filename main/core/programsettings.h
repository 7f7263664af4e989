#pragma once

#include "base/inifile.h"
#include "main/core/windowplacement.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace vellumite {

class FolderProbe;
class ProgramFolder;

// The caption of the main window, the application title and the name of the single instance.
inline const QString ApplicationTitle = QStringLiteral("Vellumite Portable Edition");

// The bookmark file in the program folder.
inline const QString BookmarkFileName = QStringLiteral("Bookmarks.lkb");
// "Settings.ini" in the program folder: sections, keys and the program's defaults.
inline const QString SettingsFileName = QStringLiteral("Settings.ini");
namespace SettingsKey {
inline const QString ProgramSection = QStringLiteral("Program");
inline const QString BrowserSection = QStringLiteral("Browser");
inline const QString Show = QStringLiteral("Show");
inline const QString Left = QStringLiteral("Left");
inline const QString Top = QStringLiteral("Top");
inline const QString Width = QStringLiteral("Width");
inline const QString Height = QStringLiteral("Height");
inline const QString ColumnDescription = QStringLiteral("ClDescr");
inline const QString ColumnLink = QStringLiteral("ClLink");
inline const QString ColumnState = QStringLiteral("ClState");
inline const QString HotKey = QStringLiteral("HotKey1");
inline const QString OpenWithBrowser = QStringLiteral("OpenWithBrowser");
// The copies of bookmark files that failed to load which the user has not yet been told of (the program
// ended while the message was up), by file name, separated by ";".
inline const QString KeptBookmarkFiles = QStringLiteral("KeptBookmarkFiles");
} // namespace SettingsKey

// The main window as designed, before any setting applies, and the smallest size it takes.
inline constexpr QRect DesignedWindowBounds(213, 108, 650, 592);
inline constexpr QSize MinimumWindowSize(650, 580);
inline constexpr int DefaultWindowHeight = 550;

// The window state as the settings store it.
enum class WindowShow : qint32 { Normal = 0, Minimized = 1, Maximized = 2 };

struct WindowPlacement
{
    // Maximized: the bounds were not read and stay the designed ones (the window's normal geometry).
    bool maximized = false;
    // As stored, before the window's minimum size and the screens apply (see fitWindowOnScreens).
    QRect bounds = DesignedWindowBounds;

    friend bool operator==(const WindowPlacement &, const WindowPlacement &) = default;
};

// Every coordinate and size read for the window lies within this, so no sum of them overflows.
inline constexpr int PlacementLimit = 32767;

// Widths of the tree's columns "Description", "Link" and "State".
struct ColumnWidths
{
    static constexpr int StateMinimum = 45;
    static constexpr int StateMaximum = 150;
    // "Description" and "Link": wide enough to show an icon and a few letters, never wider than a wall
    // of screens.
    static constexpr int TextMinimum = 40;
    static constexpr int TextMaximum = 4000;

    int description = 270;
    int link = 270;
    int state = 45;

    friend bool operator==(const ColumnWidths &, const ColumnWidths &) = default;
};

// What start-up takes from the settings.
struct StartupSettings
{
    WindowPlacement placement;
    ColumnWidths columns;
    QString openWithBrowser;
    // File names in the program folder, each a kept copy of a bookmark file (see KeptBookmarkFiles).
    QStringList keptBookmarkFiles;

    friend bool operator==(const StartupSettings &, const StartupSettings &) = default;
};

// What shut-down writes.
struct ExitSettings
{
    WindowShow show = WindowShow::Normal;
    QRect bounds;
    ColumnWidths columns;
    QString openWithBrowser;
    // Written when there are any, else the key is removed.
    QStringList keptBookmarkFiles;
};

// "Settings.ini" in the folder at `programFolder`.
QString settingsFilePath(const QString &programFolder);
// "Settings.ini" of the open program folder, read and written relative to it.
IniFile settingsFileIn(const ProgramFolder &folder);

// The primary screen's available area, or a screen of FallbackScreenSize at (0, 0) when none is known.
inline constexpr QSize FallbackScreenSize(1024, 768);
QRect primaryArea(const ScreenLayout &screens);
// What a missing Left, Top, Width and Height give: the designed window centred on the primary screen's
// available area, wherever that lies, 550 high.
QRect defaultWindowBounds(const QRect &primaryArea);
// Show, then Left, Top, Width and Height unless Show is 2, each with the default of
// defaultWindowBounds(); Left and Top are kept within +-PlacementLimit, Width and Height within 0 and
// PlacementLimit. Whether the window can be reached there is not looked at: the window decides that
// when it is placed (fitWindowOnScreens), once its frame is known.
WindowPlacement readPlacement(const IniFile &ini, const QRect &primaryArea);
// ClDescr, ClLink, ClState, each kept within its column's limits.
ColumnWidths readColumnWidths(const IniFile &ini);
// The placement as stored, the column widths, the open-with browser and the kept bookmark files (only
// names a kept copy can have).
StartupSettings readStartupSettings(const IniFile &ini, const ScreenLayout &screens);

// The start-up read: nothing is read from a folder that cannot be written, and the designed values stay.
// A missing file reads as all defaults; so does an existing one that cannot be read, and `readFailure`
// then gets the reason.
StartupSettings loadStartupSettings(const FolderProbe &probe, const ProgramFolder &folder,
                                    const ScreenLayout &screens, QString *readFailure = nullptr);

ColumnWidths clampColumnWidths(ColumnWidths widths);

// Writes [Program] Show, Left, Top, Width, Height, ClDescr, ClLink, ClState, KeptBookmarkFiles and
// [Browser] OpenWithBrowser, in that order; every other key of the file stays as it is.
void writeExitSettings(IniFile &ini, const ExitSettings &settings);
enum class SettingsSave {
    Saved,
    // An existing file that cannot be read is not replaced: its other keys would be lost.
    Unreadable,
    WriteFailed,
};
// Reads the settings file of the folder, writes the exit settings into it and saves it atomically; on
// failure `errorString` gets the reason (a failed write names the file). The caller tests the folder
// first.
SettingsSave saveExitSettings(const ProgramFolder &folder, const ExitSettings &settings,
                              QString *errorString = nullptr);

} // namespace vellumite
