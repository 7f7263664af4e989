#include "platform/folderinstance.h"

#include <QThread>

namespace vellumite {

FolderClaim claimProgramFolder(FolderInstance &folder, QDeadlineTimer deadline)
{
    for (;;) {
        switch (folder.claim()) {
        case FolderInstance::Claim::Taken:
            return FolderClaim::Taken;
        case FolderInstance::Claim::Unavailable:
            return FolderClaim::Unavailable;
        case FolderInstance::Claim::Busy:
            break;
        }
        switch (folder.askHolderToShow()) {
        case FolderInstance::Answer::Shown:
            return FolderClaim::HandedOver;
        case FolderInstance::Answer::OtherUser:
            return FolderClaim::HeldByAnotherUser;
        case FolderInstance::Answer::NoAnswer:
            break;
        }
        if (deadline.hasExpired())
            return FolderClaim::StillBusy;
        QThread::msleep(50);
    }
}

} // namespace vellumite
