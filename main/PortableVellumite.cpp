// The program: one instance per user; the main window lives beside its two files.

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

} // namespace

int main(int argc, char *argv[])
{
    using namespace vellumite;

    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle);

    PlatformServices services = makeDesktopServices(ApplicationTitle);
    // A second start hands over to the first instance's window and ends without showing anything.
    if (!services.singleInstance->tryBecomeFirst() && services.singleInstance->askFirstToShow())
        return 0;

    addTahomaFont();
    TForm1 form;
    QObject::connect(services.singleInstance.get(), &SingleInstance::showRequested, &form,
                     [&form] { bringToFront(&form); });
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
    form.FormCreate(services, QCoreApplication::applicationDirPath());
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
