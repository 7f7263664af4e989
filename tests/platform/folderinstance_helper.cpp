// Claims a program folder as the program does:
//   folderinstance_helper <folder> hold    claims it, listens, prints "ready" and "show" for every
//                                          request; runs until it is killed
//   folderinstance_helper <folder> start   a later start: exits 0 when it handed over, 1 when it took
//                                          the folder itself, 2 when the holder never answered
#include "platform/folderinstance.h"
#include "platform/linux/flockfolderinstance.h"
#include "tests/common/helperlines.h"

#include <QCoreApplication>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 64;
    const int folderFd = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    FlockFolderInstance folder(u"Vellumite Portable Edition"_s, folderFd, u"Bookmarks.lkb.lock"_s);
    ::close(folderFd);
    if (QByteArray(argv[2]) == "start") {
        switch (claimProgramFolder(folder, QDeadlineTimer(3000))) {
        case FolderClaim::HandedOver:
            return 0;
        case FolderClaim::Taken:
            return 1;
        default:
            return 2;
        }
    }
    if (folder.claim() != FolderInstance::Claim::Taken || !folder.startListening())
        return 3;
    QObject::connect(&folder, &FolderInstance::showRequested, [] { testfiles::sayLine("show"); });
    testfiles::sayLine("ready");
    return app.exec();
}
