#pragma once

#include "platform/folderinstance.h"

#include <QString>

namespace vellumite {

class ShowRequestServer;

// Holds the program folder with flock on a lock file in it (created with the user's permissions only,
// so another user cannot hold it; removed again at the end of the run); a folder where the file cannot
// be created, a read-only medium, is locked itself instead. Later starts ask the holder through a
// socket in the abstract namespace named after the application and the folder's identity, so that
// neither the user's runtime folder nor the path by which the folder was reached matters.
class FlockFolderInstance final : public FolderInstance
{
    Q_OBJECT

public:
    // `folderFd`: an open descriptor of the program folder (duplicated here); `lockFileName`: the lock
    // file's name in it.
    FlockFolderInstance(const QString &applicationTitle, int folderFd, const QString &lockFileName,
                        QObject *parent = nullptr);
    ~FlockFolderInstance() override;

    Claim claim() override;
    Answer askHolderToShow() override;
    bool startListening() override;

    // The name the holder listens on; empty when the folder could not be identified.
    const QString &serverName() const { return m_serverName; }

private:
    Claim claimLockFile();
    Claim claimFolder();
    void release();

    int m_folderFd = -1;
    QString m_lockFileName;
    QString m_serverName;
    // The descriptor whose lock is held; it is the folder's own when no lock file could be made.
    int m_heldFd = -1;
    bool m_holdsLockFile = false;
    ShowRequestServer *m_server = nullptr;
};

} // namespace vellumite
