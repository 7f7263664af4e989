#include "main/core/programlifecycle.h"

#include "base/programfolder.h"
#include "main/core/bookmarkfile.h"
#include "main/core/bookmarktree.h"
#include "main/core/inplaceedit.h"
#include "platform/folderprobe.h"

#include <QDir>

namespace vellumite {

QString bookmarkFilePathIn(const QString &programFolder)
{
    return QDir(programFolder).filePath(BookmarkFileName);
}

QString folderInUseMessage(const QString &programFolder)
{
    return QStringLiteral("Another copy of the program is working on the bookmarks in \"%1\", and it does "
                          "not answer. Close it, or wait until it has ended, then start the program again.")
        .arg(QDir::toNativeSeparators(programFolder));
}

void makeTreeWhole(BookmarkTree &tree)
{
    BookmarkNode &top = tree.topLevel();
    // A record comes after the node's children in the file, so the nodes whose record was lost are the
    // ones the reader still had open. Children are visited before their parent: a node is judged by
    // what is left below it.
    std::vector<BookmarkNode *> order;
    for (BookmarkNode *node = top.firstChild(); node; node = node->nextInTreeOrder(&top))
        order.push_back(node);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        BookmarkNode *node = *it;
        if (node->hasRecord)
            continue;
        BookmarkNode *parent = node->parent();
        // Nothing of it was read: it is no node of the file.
        if (node->childCount() == 0) {
            parent->takeChild(node->row());
            continue;
        }
        // Its children keep their place below it. The file's first node is its root.
        const bool isRoot = parent == &top && node->row() == 0;
        node->record = isRoot ? makeRootRecord() : makeCategoryRecord(UnreadableCategoryName);
        node->hasRecord = true;
    }
    // One root category "Bookmarks" on top; anything else read goes below a new one.
    const BookmarkNode *first = tree.firstNode();
    if (top.childCount() == 1 && first->record.IsCategory && !first->record.Editable)
        return;
    auto root = std::make_unique<BookmarkNode>(makeRootRecord());
    root->setState(NodeState::Expanded, true);
    root->appendChildren(top.takeAllChildren());
    top.appendChild(std::move(root));
}

ProgramLifecycle::ProgramLifecycle(const FolderProbe &folderProbe, const ProgramFolder &folder,
                                   ShowMessage showMessage)
    : m_folderProbe(folderProbe)
    , m_folder(folder)
    , m_showMessage(std::move(showMessage))
{ }

QString ProgramLifecycle::bookmarkFilePath() const
{
    return m_folder.shownPathOf(BookmarkFileName);
}

ProgramLifecycle::StartupResult ProgramLifecycle::loadOrCreateTree(BookmarkTree &tree, qint32 bookmarkIcon)
{
    StartupResult result = StartupResult::Ready;
    if (m_folder.contains(BookmarkFileName)) {
        const QString failure = BookmarkFile::loadFromFileAt(tree, m_folder.fd(), BookmarkFileName,
                                                             bookmarkFilePath(), applyStoredCaption);
        if (!failure.isEmpty()) {
            // Whatever was read stays in the tree, each node where it was.
            makeTreeWhole(tree);
            holdLoadFailure(failure);
            result = StartupResult::LoadFailed;
        }
    }
    if (result == StartupResult::Ready && tree.isEmpty() && !createRootCategory(tree))
        result = StartupResult::RootNotSaved;
    if (result == StartupResult::Ready) {
        tree.forEach([bookmarkIcon](BookmarkNode &node) {
            if (!node.record.IsCategory)
                node.record.ImageIndex = bookmarkIcon;
        });
    }
    m_readOnly = !isStorageWritable();
    if (m_readOnly) {
        m_readOnlyTold = true;
        m_startupMessages.append({ MessageKind::Information, FolderNotWritableMessage, {} });
    }
    holdKeptCopiesFromEarlierRuns();
    return result;
}

void ProgramLifecycle::holdLoadFailure(const QString &failure)
{
    // The copy is made at once, before the user hears of it, so that no later step, a save at a
    // termination included, can lose the file.
    QString copyFailure;
    const QString copy = m_failedFile.keepCopy(m_folder, BookmarkFileName, &copyFailure);
    QString text = failure + QStringLiteral("\r\n\r\nThe tree shows what could be read of the file. ");
    if (copy.isEmpty()) {
        text += QStringLiteral("No copy of the file could be kept (%1): the file is moved aside before the "
                               "bookmarks are saved.")
                    .arg(copyFailure);
    } else {
        text += QStringLiteral("The whole file is kept as \"%1\".")
                    .arg(QDir::toNativeSeparators(m_folder.shownPathOf(copy)));
    }
    m_startupMessages.append({ MessageKind::Error, text, copy });
}

void ProgramLifecycle::holdKeptCopiesFromEarlierRuns()
{
    for (const QString &name : std::exchange(m_keptFromEarlierRuns, {})) {
        if (!m_folder.contains(name))
            continue;
        m_startupMessages.append(
            { MessageKind::Information,
              QStringLiteral("A bookmark file could not be loaded whole at an earlier start: the tree shows "
                             "what could be read of it. The whole file is kept as \"%1\".")
                  .arg(QDir::toNativeSeparators(m_folder.shownPathOf(name))),
              name });
    }
}

void ProgramLifecycle::reportStartup()
{
    for (const StartupMessage &message : std::exchange(m_startupMessages, {})) {
        if (!message.keptCopy.isEmpty())
            m_untoldKeptCopies << message.keptCopy;
        m_showMessage(message.kind, message.text);
        m_untoldKeptCopies.removeOne(message.keptCopy);
    }
}

bool ProgramLifecycle::isStorageWritable() const
{
    return m_folderProbe.isWritable(m_folder) && m_folderProbe.isFileWritable(m_folder, BookmarkFileName);
}

StartupSettings ProgramLifecycle::readSettings(const ScreenLayout &screens)
{
    m_settingsReadFailure.clear();
    StartupSettings settings = loadStartupSettings(m_folderProbe, m_folder, screens, &m_settingsReadFailure);
    m_keptFromEarlierRuns = settings.keptBookmarkFiles;
    return settings;
}

void ProgramLifecycle::reportUnreadableSettings()
{
    if (!m_settingsReadFailure.isEmpty())
        reportUnreadableSettings(false, m_settingsReadFailure);
}

void ProgramLifecycle::reportUnreadableSettings(bool atExit, const QString &reason)
{
    if (m_unreadableSettingsReported)
        return;
    // Set before the message shows: a termination while it is up must not tell it again.
    m_unreadableSettingsReported = true;
    const QString text = QStringLiteral("The settings file \"%1\" cannot be read, so its settings do not "
                                        "apply and none are saved into it: %2")
                             .arg(QDir::toNativeSeparators(m_folder.shownPathOf(SettingsFileName)), reason);
    if (atExit)
        holdExitMessage(MessageKind::Error, text);
    else
        m_showMessage(MessageKind::Error, text);
}

bool ProgramLifecycle::createRootCategory(BookmarkTree &tree)
{
    tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
    // A folder that cannot be written keeps the root in memory, and the user is told so.
    if (!isStorageWritable())
        return true;
    const QString failure = BookmarkFile::writeToFileAt(BookmarkFile::save(tree), m_folder.fd(),
                                                        BookmarkFileName, bookmarkFilePath());
    if (!failure.isEmpty()) {
        m_startupMessages.append({ MessageKind::Error, failure, {} });
        return false;
    }
    return true;
}

void ProgramLifecycle::holdExitMessage(MessageKind kind, const QString &text)
{
    m_exitMessages.append({ kind, text });
}

ProgramLifecycle::ExitStep ProgramLifecycle::prepareExit(const ExitSettings &settings, ExitKind exit)
{
    m_readOnly = !isStorageWritable();
    if (m_readOnly) {
        holdExitMessage(MessageKind::Information, FolderNotWritableMessage);
        // Who knew it may end the program without a save. A folder that has become read-only since is
        // news: a close keeps the window open, so that the bookmarks can still be saved once it can
        // be written again. A termination cannot wait.
        const bool news = !m_readOnlyTold;
        m_readOnlyTold = true;
        return news && exit == ExitKind::Close ? ExitStep::StayOpen : ExitStep::Close;
    }
    m_readOnlyTold = false;

    // Before anything is written: a file that failed to load and could not be copied then goes aside.
    QString keptFailure;
    const QString keptAs = m_failedFile.keepAside(&keptFailure);
    if (!keptFailure.isEmpty()) {
        holdExitMessage(MessageKind::Error,
                        QStringLiteral("The bookmark file that could not be loaded cannot be kept aside, so "
                                       "the bookmarks were not saved: %1")
                            .arg(keptFailure));
        return ExitStep::StayOpen;
    }
    ExitSettings written = settings;
    if (!keptAs.isEmpty()) {
        holdExitMessage(MessageKind::Information,
                        QStringLiteral("The bookmark file that could not be loaded was kept as \"%1\".")
                            .arg(QDir::toNativeSeparators(m_folder.shownPathOf(keptAs))));
        // Told after the saves at a close; a termination leaves it for the next start.
        if (exit == ExitKind::Termination)
            written.keptBookmarkFiles << keptAs;
    }
    // So is a kept copy whose message is still up.
    for (const QString &name : std::as_const(m_untoldKeptCopies)) {
        if (m_folder.contains(name) && !written.keptBookmarkFiles.contains(name))
            written.keptBookmarkFiles << name;
    }
    QString settingsFailure;
    switch (saveExitSettings(m_folder, written, &settingsFailure)) {
    case SettingsSave::Saved:
        break;
    case SettingsSave::Unreadable:
        reportUnreadableSettings(true, settingsFailure);
        break;
    case SettingsSave::WriteFailed:
        holdExitMessage(MessageKind::Error, settingsFailure);
        break;
    }
    return ExitStep::SaveTree;
}

bool ProgramLifecycle::finishExit(const QString &writeFailure)
{
    if (!writeFailure.isEmpty()) {
        holdExitMessage(MessageKind::Error, writeFailure);
        return false;
    }
    return true;
}

} // namespace vellumite
