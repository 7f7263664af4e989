#include "main/core/programlifecycle.h"

#include "main/core/bookmarkfile.h"
#include "main/core/bookmarktree.h"
#include "main/core/inplaceedit.h"
#include "platform/folderprobe.h"

#include <QDir>
#include <QFile>

namespace vellumite {

QString bookmarkFilePathIn(const QString &programFolder)
{
    return QDir(programFolder).filePath(BookmarkFileName);
}

void makeTreeWhole(BookmarkTree &tree)
{
    // A node whose record was never read gives way to its children, which were read whole before it.
    std::vector<BookmarkNode *> pending { &tree.topLevel() };
    while (!pending.empty()) {
        BookmarkNode *parent = pending.back();
        pending.pop_back();
        for (int row = 0; row < parent->childCount();) {
            BookmarkNode *child = parent->child(row);
            if (child->hasRecord) {
                pending.push_back(child);
                ++row;
                continue;
            }
            std::unique_ptr<BookmarkNode> without = parent->takeChild(row);
            std::vector<std::unique_ptr<BookmarkNode>> children = without->takeAllChildren();
            for (auto &grandChild : children)
                parent->insertChild(row++, std::move(grandChild));
            row -= static_cast<int>(children.size());
        }
    }
    // One root category "Bookmarks" on top; anything else read goes below a new one.
    BookmarkNode &top = tree.topLevel();
    const BookmarkNode *first = tree.firstNode();
    if (top.childCount() == 1 && first->record.IsCategory && !first->record.Editable)
        return;
    auto root = std::make_unique<BookmarkNode>(makeRootRecord());
    root->setState(NodeState::Expanded, true);
    root->appendChildren(top.takeAllChildren());
    top.appendChild(std::move(root));
}

ProgramLifecycle::ProgramLifecycle(const FolderProbe &folderProbe, QString programFolder,
                                   ShowMessage showMessage)
    : m_folderProbe(folderProbe)
    , m_programFolder(std::move(programFolder))
    , m_showMessage(std::move(showMessage))
{ }

ProgramLifecycle::StartupResult ProgramLifecycle::loadOrCreateTree(BookmarkTree &tree, qint32 bookmarkIcon)
{
    const QString path = bookmarkFilePath();
    if (QFile::exists(path)) {
        const QString failure = BookmarkFile::loadFromFile(tree, path, applyStoredCaption);
        if (!failure.isEmpty()) {
            // Whatever was read stays in the tree, but the file itself is never overwritten.
            m_failedFile.markFailed(path);
            makeTreeWhole(tree);
            m_showMessage(MessageKind::Error, failure);
            return StartupResult::LoadFailed;
        }
    }
    if (tree.isEmpty() && !createRootCategory(tree))
        return StartupResult::RootNotSaved;
    tree.forEach([bookmarkIcon](BookmarkNode &node) {
        if (!node.record.IsCategory)
            node.record.ImageIndex = bookmarkIcon;
    });
    return StartupResult::Ready;
}

StartupSettings ProgramLifecycle::readSettings(const ScreenLayout &screens)
{
    m_settingsReadFailure.clear();
    return loadStartupSettings(m_folderProbe, m_programFolder, screens, &m_settingsReadFailure);
}

void ProgramLifecycle::reportUnreadableSettings()
{
    // Shown at once, as the messages of a close are.
    if (!m_settingsReadFailure.isEmpty())
        reportUnreadableSettings(ExitKind::Close, m_settingsReadFailure);
}

void ProgramLifecycle::reportUnreadableSettings(ExitKind exit, const QString &reason)
{
    if (m_unreadableSettingsReported)
        return;
    // Set before the message shows: a termination while it is up must not tell it again.
    m_unreadableSettingsReported = true;
    report(exit, MessageKind::Error,
           QStringLiteral("The settings file \"%1\" cannot be read, so its settings do not apply and "
                          "none are saved into it: %2")
               .arg(QDir::toNativeSeparators(settingsFilePath(m_programFolder)), reason));
}

bool ProgramLifecycle::createRootCategory(BookmarkTree &tree)
{
    tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
    if (!m_folderProbe.isWritable(m_programFolder)) {
        m_showMessage(MessageKind::Information, FolderNotWritableMessage);
        return true;
    }
    const QString failure = BookmarkFile::saveToFile(tree, bookmarkFilePath());
    if (!failure.isEmpty()) {
        m_showMessage(MessageKind::Error, failure);
        return false;
    }
    return true;
}

void ProgramLifecycle::report(ExitKind exit, MessageKind kind, const QString &text)
{
    if (exit == ExitKind::Termination)
        m_deferred << text;
    else
        m_showMessage(kind, text);
}

ProgramLifecycle::ExitStep ProgramLifecycle::prepareExit(const ExitSettings &settings, ExitKind exit)
{
    if (!m_folderProbe.isWritable(m_programFolder)) {
        report(exit, MessageKind::Information, FolderNotWritableMessage);
        return ExitStep::Close;
    }
    QString settingsFailure;
    switch (saveExitSettings(m_programFolder, settings, &settingsFailure)) {
    case SettingsSave::Saved:
        break;
    case SettingsSave::Unreadable:
        reportUnreadableSettings(exit, settingsFailure);
        break;
    case SettingsSave::WriteFailed:
        report(exit, MessageKind::Error, settingsFailure);
        break;
    }

    QString keptFailure;
    const QString keptAs = m_failedFile.keepAside(&keptFailure);
    if (!keptFailure.isEmpty()) {
        report(exit, MessageKind::Error,
               QStringLiteral("The bookmark file that could not be loaded cannot be kept aside, so "
                              "the bookmarks were not saved: %1")
                   .arg(keptFailure));
        return ExitStep::StayOpen;
    }
    if (!keptAs.isEmpty()) {
        report(exit, MessageKind::Information,
               QStringLiteral("The bookmark file that could not be loaded was kept as \"%1\".")
                   .arg(QDir::toNativeSeparators(keptAs)));
    }
    return ExitStep::SaveTree;
}

bool ProgramLifecycle::finishExit(const QString &writeFailure, ExitKind exit)
{
    if (!writeFailure.isEmpty()) {
        report(exit, MessageKind::Error, writeFailure);
        return false;
    }
    return true;
}

} // namespace vellumite
