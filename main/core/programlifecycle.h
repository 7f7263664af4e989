#pragma once

#include "main/core/failedfilekeeper.h"
#include "main/core/programsettings.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

namespace vellumite {

class BookmarkTree;
class FolderProbe;

// The text shown when the program folder cannot be written, at root creation and at exit.
inline const QString FolderNotWritableMessage = QStringLiteral(
    "In a current folder the program cannot save data.\r\n"
    "Please, instal the program in other folder or change access rights to a current folder.");
inline const QString BookmarkFileName = QStringLiteral("Bookmarks.lkb");

// "Bookmarks.lkb" in `programFolder`.
QString bookmarkFilePathIn(const QString &programFolder);

// After a failed load: a single root category "Bookmarks" with its record on top, what was read below
// it, and every node with a record (a node whose record was never read gives way to its children).
void makeTreeWhole(BookmarkTree &tree);

// The policy of start-up and shut-down, without widgets: load "Bookmarks.lkb" or create the root
// category, keep a file that failed to load aside before it would be overwritten, write the settings
// before the tree, and write nothing when the program folder cannot be written. The window shows the
// messages it is handed, in the order they come, and updates its view from the results.
class ProgramLifecycle
{
public:
    enum class MessageKind { Information, Error };
    using ShowMessage = std::function<void(MessageKind kind, const QString &text)>;

    ProgramLifecycle(const FolderProbe &folderProbe, QString programFolder, ShowMessage showMessage);

    const QString &programFolder() const { return m_programFolder; }
    QString bookmarkFilePath() const { return bookmarkFilePathIn(m_programFolder); }

    enum class StartupResult {
        // The tree was loaded or created; every bookmark has the icon: restore the view, show the counts.
        Ready,
        // The file did not load: what was read stays (at least the root), the file is never overwritten.
        // Restore the view; the failure was shown.
        LoadFailed,
        // The new root category could not be saved (the failure was shown): only reload the view.
        RootNotSaved,
    };
    // Loads "Bookmarks.lkb" into `tree` when it exists, or creates the root category and saves it when
    // the folder can be written. A ready tree gets `bookmarkIcon` as the image of every bookmark.
    StartupResult loadOrCreateTree(BookmarkTree &tree, qint32 bookmarkIcon);

    // The settings for the start (loadStartupSettings). A settings file that exists but cannot be read
    // reads as all defaults and is never written: its other keys would be lost.
    StartupSettings readSettings(const ScreenLayout &screens);
    // Tells the user of a settings file that readSettings could not read; once a run, whichever comes
    // first of this and the exit. Called once the tree is loaded: a termination while the message shows
    // saves the tree.
    void reportUnreadableSettings();

    enum class ExitStep {
        // Nothing is to be saved (the folder cannot be written): the program may end.
        Close,
        // The failed file could not be kept aside: nothing was saved, the program must run on.
        StayOpen,
        // The settings are written and the failed file is aside: save the tree to bookmarkFilePath().
        SaveTree,
    };
    enum class ExitKind {
        // The user closes the window: every message is shown as it comes.
        Close,
        // The session or a signal asks the program to end: nothing modal may stand before or between the
        // saves, so the messages are held back (deferredMessages) for the caller to report afterwards.
        Termination,
    };
    // The steps of the exit before the tree's save: the folder check, the settings, the failed file.
    ExitStep prepareExit(const ExitSettings &settings, ExitKind kind = ExitKind::Close);
    // After the tree's save: reports its failure and returns whether the program may end.
    bool finishExit(const QString &writeFailure, ExitKind kind = ExitKind::Close);
    // The messages a termination exit held back, oldest first; taking them empties the list.
    QStringList takeDeferredMessages() { return std::exchange(m_deferred, {}); }

private:
    // False when the root could not be saved (the failure was shown).
    bool createRootCategory(BookmarkTree &tree);
    void report(ExitKind exit, MessageKind kind, const QString &text);
    void reportUnreadableSettings(ExitKind exit, const QString &reason);

    const FolderProbe &m_folderProbe;
    QString m_programFolder;
    ShowMessage m_showMessage;
    FailedFileKeeper m_failedFile;
    QStringList m_deferred;
    QString m_settingsReadFailure;
    bool m_unreadableSettingsReported = false;
};

} // namespace vellumite
