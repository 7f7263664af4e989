#include "main/core/programsettings.h"

#include "base/atomicfile.h"
#include "base/programfolder.h"
#include "main/core/failedfilekeeper.h"
#include "platform/folderprobe.h"

#include <QDir>

namespace vellumite {

QRect primaryArea(const ScreenLayout &screens)
{
    return screens.availableAreas.isEmpty() ? QRect(QPoint(0, 0), FallbackScreenSize)
                                            : screens.availableAreas.first();
}

QString settingsFilePath(const QString &programFolder)
{
    return QDir(programFolder).filePath(SettingsFileName);
}

IniFile settingsFileIn(const ProgramFolder &folder)
{
    return IniFile(folder.fd(), SettingsFileName, folder.shownPathOf(SettingsFileName));
}

QRect defaultWindowBounds(const QRect &primaryArea)
{
    const QRect designed = DesignedWindowBounds;
    // The origin is that of the designed height, taken before Height is read.
    return QRect(centredCorner(primaryArea, designed.size()), QSize(designed.width(), DefaultWindowHeight));
}

WindowPlacement readPlacement(const IniFile &ini, const QRect &primaryArea)
{
    using namespace SettingsKey;
    WindowPlacement placement;
    const qint32 show = ini.readInteger(ProgramSection, Show, static_cast<qint32>(WindowShow::Normal));
    if (show == static_cast<qint32>(WindowShow::Maximized)) {
        placement.maximized = true;
        return placement;
    }
    const QRect defaults = defaultWindowBounds(primaryArea);
    const auto coordinate = [&ini](const QString &key, int defaultValue) {
        return qBound(-PlacementLimit, ini.readInteger(ProgramSection, key, defaultValue), PlacementLimit);
    };
    const auto size = [&ini](const QString &key, int defaultValue) {
        return qBound(0, ini.readInteger(ProgramSection, key, defaultValue), PlacementLimit);
    };
    const int left = coordinate(Left, defaults.left());
    const int top = coordinate(Top, defaults.top());
    const int width = size(Width, defaults.width());
    const int height = size(Height, defaults.height());
    placement.bounds = QRect(left, top, width, height);
    return placement;
}

ColumnWidths readColumnWidths(const IniFile &ini)
{
    using namespace SettingsKey;
    const ColumnWidths defaults;
    ColumnWidths widths;
    widths.description = ini.readInteger(ProgramSection, ColumnDescription, defaults.description);
    widths.link = ini.readInteger(ProgramSection, ColumnLink, defaults.link);
    widths.state = ini.readInteger(ProgramSection, ColumnState, defaults.state);
    return clampColumnWidths(widths);
}

StartupSettings readStartupSettings(const IniFile &ini, const ScreenLayout &screens)
{
    StartupSettings settings;
    settings.placement = readPlacement(ini, primaryArea(screens));
    settings.columns = readColumnWidths(ini);
    settings.openWithBrowser
        = ini.readString(SettingsKey::BrowserSection, SettingsKey::OpenWithBrowser, QString());
    const QString kept = ini.readString(SettingsKey::ProgramSection, SettingsKey::KeptBookmarkFiles, {});
    for (const QString &name : kept.split(u';', Qt::SkipEmptyParts)) {
        if (isKeptCopyName(name, BookmarkFileName) && !settings.keptBookmarkFiles.contains(name))
            settings.keptBookmarkFiles << name;
    }
    return settings;
}

StartupSettings loadStartupSettings(const FolderProbe &probe, const ProgramFolder &folder,
                                    const ScreenLayout &screens, QString *readFailure)
{
    if (!probe.isWritable(folder))
        return {};
    IniFile ini = settingsFileIn(folder);
    // An unreadable file reads as an empty one.
    if (!ini.load() && readFailure)
        *readFailure = ini.errorString();
    return readStartupSettings(ini, screens);
}

ColumnWidths clampColumnWidths(ColumnWidths widths)
{
    widths.description = qBound(ColumnWidths::TextMinimum, widths.description, ColumnWidths::TextMaximum);
    widths.link = qBound(ColumnWidths::TextMinimum, widths.link, ColumnWidths::TextMaximum);
    widths.state = qBound(ColumnWidths::StateMinimum, widths.state, ColumnWidths::StateMaximum);
    return widths;
}

void writeExitSettings(IniFile &ini, const ExitSettings &settings)
{
    using namespace SettingsKey;
    ini.writeInteger(ProgramSection, Show, static_cast<qint32>(settings.show));
    ini.writeInteger(ProgramSection, Left, settings.bounds.left());
    ini.writeInteger(ProgramSection, Top, settings.bounds.top());
    ini.writeInteger(ProgramSection, Width, settings.bounds.width());
    ini.writeInteger(ProgramSection, Height, settings.bounds.height());
    ini.writeInteger(ProgramSection, ColumnDescription, settings.columns.description);
    ini.writeInteger(ProgramSection, ColumnLink, settings.columns.link);
    ini.writeInteger(ProgramSection, ColumnState, settings.columns.state);
    if (settings.keptBookmarkFiles.isEmpty())
        ini.removeKey(ProgramSection, KeptBookmarkFiles);
    else
        ini.writeString(ProgramSection, KeptBookmarkFiles, settings.keptBookmarkFiles.join(u';'));
    ini.writeString(BrowserSection, OpenWithBrowser, settings.openWithBrowser);
}

SettingsSave saveExitSettings(const ProgramFolder &folder, const ExitSettings &settings, QString *errorString)
{
    IniFile ini = settingsFileIn(folder);
    SettingsSave result = SettingsSave::Unreadable;
    if (ini.load()) {
        writeExitSettings(ini, settings);
        result = ini.save() ? SettingsSave::Saved : SettingsSave::WriteFailed;
    }
    if (errorString && result == SettingsSave::Unreadable)
        *errorString = ini.errorString();
    if (errorString && result == SettingsSave::WriteFailed)
        *errorString = cannotCreateFileMessage(ini.fileName(), ini.errorString());
    return result;
}

} // namespace vellumite
