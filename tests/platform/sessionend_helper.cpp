// sessionend_helper <file>: prints "ready" once the session end is watched; when the end is requested it
// writes the reason into <file> and quits normally.
#include "platform/widgets/desktopsessionend.h"

#include <QFile>
#include <QGuiApplication>
#include <QMetaEnum>
#include <cstdio>

using namespace vellumite;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 64;
    const QString path = QString::fromLocal8Bit(argv[1]);
    DesktopSessionEnd sessionEnd;
    QObject::connect(&sessionEnd, &SessionEnd::endRequested, &app, [&app, path](SessionEnd::Reason reason) {
        QFile file(path);
        if (file.open(QIODevice::Append))
            file.write(QByteArray(QMetaEnum::fromType<SessionEnd::Reason>().valueToKey(int(reason))) + '\n');
        app.quit();
    });
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
