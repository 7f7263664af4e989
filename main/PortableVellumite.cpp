// The program: one instance per user and one process per program folder; the main window lives beside
// its two files.

#include "main/options/tfroptions.h"
#include "main/window/tform1.h"
#include "platform/platformservices.h"
#include "platform/widgets/windowactivation.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>

namespace {

// The window font is Tahoma; where the system has no such family, the copy that ships with Wine does.
void addTahomaFont()
{
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        return;
    for (const char *path : { "/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf" }) {
        if (QFile::exists(QString::fromLatin1(path)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(path));
    }
}

// What a later start asks for: the window to the front; while the window is not shown yet (its start
// is telling something), the message that is up.
void showRunningInstance(QWidget &form)
{
    if (!form.isVisible()) {
        if (QWidget *message = QApplication::activeModalWidget())
            vellumite::bringToFront(message);
        return;
    }
    vellumite::bringToFront(&form);
}

// Tells a start that has to end that another copy of the program holds its folder. A termination
// request ends it at once.
void tellFolderInUse(const QString &programFolder)
{
    using namespace vellumite;
    PlatformServices services = makeDesktopServices(ApplicationTitle);
    QObject::connect(services.sessionEnd.get(), &SessionEnd::endRequested, qApp,
                     [] { QCoreApplication::exit(0); });
    services.messages->information(ApplicationTitle, folderInUseMessage(programFolder));
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace vellumite;

    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle);

    // The folder is held open: its path may hold any bytes and be of any length. Two processes never
    // work on one folder: a start on a folder in use hands over to its holder. The folder is claimed
    // before anything else: until it is, a termination signal ends the process at once, as there is
    // nothing to save.
    ProgramFolder folder = ProgramFolder::ofExecutable(argv[0]);
    if (!folder.isOpen())
        folder = ProgramFolder(QCoreApplication::applicationDirPath());
    std::unique_ptr<FolderInstance> folderInstance
        = makeFolderInstance(ApplicationTitle, folder.fd(), FolderLockFileName);
    switch (claimProgramFolder(*folderInstance, QDeadlineTimer(FolderClaimTimeoutMs))) {
    case FolderClaim::Taken:
    case FolderClaim::Unavailable:
        break;
    case FolderClaim::HandedOver:
        return 0;
    case FolderClaim::HeldByAnotherUser:
    case FolderClaim::StillBusy:
        tellFolderInUse(folder.shownPath());
        return 0;
    }
    // At once: a later start is answered while this one is still starting.
    folderInstance->startListening();

    PlatformServices services = makeDesktopServices(ApplicationTitle);
    services.folderInstance = std::move(folderInstance);
    // A second start hands over to the first instance's window and ends without showing anything.
    if (!services.singleInstance->tryBecomeFirst() && services.singleInstance->askFirstToShow())
        return 0;

    addTahomaFont();
    TForm1 form;
    QObject::connect(services.singleInstance.get(), &SingleInstance::showRequested, &form,
                     [&form] { showRunningInstance(form); });
    QObject::connect(services.folderInstance.get(), &FolderInstance::showRequested, &form,
                     [&form] { showRunningInstance(form); });
    QObject::connect(services.sessionEnd.get(), &SessionEnd::endRequested, &form,
                     [&form](SessionEnd::Reason reason) {
                         const auto kind = reason == SessionEnd::Reason::TerminationRequested
                             ? ProgramLifecycle::ExitKind::Termination
                             : ProgramLifecycle::ExitKind::Close;
                         // A failed save keeps the program running, so the bookmarks stay in memory.
                         // Exiting leaves every event loop, a start-up message box's as well.
                         if (form.closeprogram(kind) && kind == ProgramLifecycle::ExitKind::Termination)
                             QCoreApplication::exit(0);
                     });
    form.FormCreate(services, std::move(folder));
    // Ended while start-up still showed its messages: the saves are done.
    if (form.isTerminated())
        return 0;
    // Registers the capture hot key; lives hidden until the program ends.
    TfrOptions frOptions(form, services);
    form.setOptionsWindow(&frOptions);
    services.singleInstance->startListening();
    form.show();
    return app.exec();
}
