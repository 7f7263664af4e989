#pragma once

#include "main/core/failedfilekeeper.h"
#include "main/core/programsettings.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

namespace vellumite {

class BookmarkTree;
class FolderProbe;
class ProgramFolder;

// The text shown when the program folder cannot be written, at root creation and at exit.
inline const QString FolderNotWritableMessage = QStringLiteral(
    "In a current folder the program cannot save data.\r\n"
    "Please, instal the program in other folder or change access rights to a current folder.");

// "Bookmarks.lkb" in `programFolder`.
QString bookmarkFilePathIn(const QString &programFolder);

// The lock file beside the bookmark file, held while a process works on the folder.
inline const QString FolderLockFileName = BookmarkFileName + QStringLiteral(".lock");
// How long a start waits for another process that holds its folder to answer or to end.
inline constexpr int FolderClaimTimeoutMs = 20000;
// What a start that has to end is told when another copy of the program holds the folder.
QString folderInUseMessage(const QString &programFolder);

// The name a category whose own record was lost takes after a failed load, so that the user sees
// which nodes were read without it.
inline const QString UnreadableCategoryName = QStringLiteral("Unreadable category");

// After a failed load: a single root category "Bookmarks" with its record on top and what was read
// below it, each node at its depth. A node whose record was never read is dropped when nothing below it
// was read either; otherwise it becomes the root (the file's first node) or an "Unreadable category".
void makeTreeWhole(BookmarkTree &tree);

// The policy of start-up and shut-down, without widgets: load "Bookmarks.lkb" or create the root
// category, keep a copy of a file that failed to load, write the settings before the tree, and write
// nothing when the program folder or the bookmark file cannot be written. The window shows the messages
// it is handed, in the order they come, and updates its view from the results.
class ProgramLifecycle
{
public:
    enum class MessageKind { Information, Error };
    using ShowMessage = std::function<void(MessageKind kind, const QString &text)>;
    struct Message
    {
        MessageKind kind;
        QString text;
    };

    // `folder` must outlive the object.
    ProgramLifecycle(const FolderProbe &folderProbe, const ProgramFolder &folder, ShowMessage showMessage);

    const ProgramFolder &folder() const { return m_folder; }
    // The bookmark file's path as messages show it.
    QString bookmarkFilePath() const;

    enum class StartupResult {
        // The tree was loaded or created; every bookmark has the icon: restore the view, show the counts.
        Ready,
        // The file did not load: what was read stays (at least the root), a copy of the file is kept
        // aside. Restore the view; the failure was shown.
        LoadFailed,
        // The new root category could not be saved (the failure was shown): only reload the view.
        RootNotSaved,
    };
    // Loads "Bookmarks.lkb" into `tree` when it exists, or creates the root category and saves it when
    // the folder can be written. A ready tree gets `bookmarkIcon` as the image of every bookmark. What
    // the user must hear of (a failure, a folder or file that cannot be written, kept copies not yet
    // told of) is held for reportStartup.
    StartupResult loadOrCreateTree(BookmarkTree &tree, qint32 bookmarkIcon);
    // Shows what loadOrCreateTree held, in order. Called once the window shows the tree: a termination
    // while a message is up saves the tree as the view has it.
    void reportStartup();

    // The settings for the start (loadStartupSettings). A settings file that exists but cannot be read
    // reads as all defaults and is never written: its other keys would be lost.
    StartupSettings readSettings(const ScreenLayout &screens);
    // Tells the user of a settings file that readSettings could not read; once a run, whichever comes
    // first of this and the exit. Called once the tree is loaded: a termination while the message shows
    // saves the tree.
    void reportUnreadableSettings();

    // True while the program folder or the bookmark file is known to be not writable (tested at the
    // start and at every exit): nothing the user changes can be saved.
    bool isReadOnly() const { return m_readOnly; }

    enum class ExitStep {
        // Nothing is to be saved (the folder cannot be written, as the user knew): the program may end.
        Close,
        // Nothing was saved and the program must run on: the failed file could not be kept aside, or
        // the folder has become read-only since the user last heard of it.
        StayOpen,
        // The settings are written and the failed file is aside: save the tree to the bookmark file.
        SaveTree,
    };
    enum class ExitKind {
        // The user closes the window: the program may stay open when its bookmarks cannot be saved.
        Close,
        // The session or a signal asks the program to end: the messages go where nothing waits for them.
        Termination,
    };
    // The steps of the exit before the tree's save: the folder check, the settings, the failed file.
    // Nothing is shown meanwhile: the messages are held (takeExitMessages), so that no box stands
    // between the request and the saves.
    ExitStep prepareExit(const ExitSettings &settings, ExitKind kind = ExitKind::Close);
    // After the tree's save: holds its failure and returns whether the program may end.
    bool finishExit(const QString &writeFailure);
    // The messages of the exit, oldest first, to be shown once the saves are done (a close) or written
    // where nothing waits (a termination); taking them empties the list.
    QList<Message> takeExitMessages() { return std::exchange(m_exitMessages, {}); }

private:
    struct StartupMessage
    {
        MessageKind kind;
        QString text;
        // The kept copy the message names: while the message is up it counts as untold, so that an
        // exit in the meantime notes it for the next start.
        QString keptCopy;
    };
    // False when the root could not be saved.
    bool createRootCategory(BookmarkTree &tree);
    void holdLoadFailure(const QString &failure);
    void holdKeptCopiesFromEarlierRuns();
    bool isStorageWritable() const;
    void holdExitMessage(MessageKind kind, const QString &text);
    void reportUnreadableSettings(bool atExit, const QString &reason);

    const FolderProbe &m_folderProbe;
    const ProgramFolder &m_folder;
    ShowMessage m_showMessage;
    FailedFileKeeper m_failedFile;
    QList<StartupMessage> m_startupMessages;
    QList<Message> m_exitMessages;
    QString m_settingsReadFailure;
    bool m_unreadableSettingsReported = false;
    bool m_readOnly = false;
    // The user has heard that nothing can be saved, and has not since seen it saved.
    bool m_readOnlyTold = false;
    // Kept copies named in Settings.ini at the start, and those whose message is up.
    QStringList m_keptFromEarlierRuns;
    QStringList m_untoldKeptCopies;
};

} // namespace vellumite
