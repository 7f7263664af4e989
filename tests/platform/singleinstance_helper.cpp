// Starts like the program does, as far as the single instance goes:
//   singleinstance_helper <folder> start              the usual start, listening once "ready"
//   singleinstance_helper <folder> start-not-listening  a first instance still creating its window
// A later start that handed over to the first exits 0; one that found no first answering exits 2.
// The first prints "ready" once started and "show" for every request; it runs until it is killed.
#include "platform/linux/localsingleinstance.h"
#include "tests/common/helperlines.h"

#include <QCoreApplication>

using namespace vellumite;
using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 64;
    const QString mode = QString::fromLocal8Bit(argv[2]);
    LocalSingleInstance instance(u"Vellumite Portable Edition"_s, QString::fromLocal8Bit(argv[1]));
    if (!instance.tryBecomeFirst()) {
        if (instance.askFirstToShow())
            return 0;
        testfiles::sayLine("side by side");
        return 2;
    }
    QObject::connect(&instance, &SingleInstance::showRequested, [] { testfiles::sayLine("show"); });
    if (mode == u"start"_s && !instance.startListening())
        return 3;
    testfiles::sayLine("ready");
    return app.exec();
}
