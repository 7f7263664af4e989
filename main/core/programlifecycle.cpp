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
            if (tree.isEmpty())
                tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
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

ProgramLifecycle::ExitStep ProgramLifecycle::prepareExit(const ExitSettings &settings)
{
    if (!m_folderProbe.isWritable(m_programFolder)) {
        m_showMessage(MessageKind::Information, FolderNotWritableMessage);
        return ExitStep::Close;
    }
    QString settingsFailure;
    if (!saveExitSettings(m_programFolder, settings, &settingsFailure))
        m_showMessage(MessageKind::Error, settingsFailure);

    QString keptFailure;
    const QString keptAs = m_failedFile.keepAside(&keptFailure);
    if (!keptFailure.isEmpty()) {
        m_showMessage(MessageKind::Error,
                      QStringLiteral("The bookmark file that could not be loaded cannot be kept aside, so "
                                     "the bookmarks were not saved: %1")
                          .arg(keptFailure));
        return ExitStep::StayOpen;
    }
    if (!keptAs.isEmpty()) {
        m_showMessage(MessageKind::Information,
                      QStringLiteral("The bookmark file that could not be loaded was kept as \"%1\".")
                          .arg(QDir::toNativeSeparators(keptAs)));
    }
    return ExitStep::SaveTree;
}

bool ProgramLifecycle::finishExit(const QString &writeFailure) const
{
    if (!writeFailure.isEmpty()) {
        m_showMessage(MessageKind::Error, writeFailure);
        return false;
    }
    return true;
}

} // namespace vellumite
