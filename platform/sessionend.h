#pragma once

#include <QObject>

namespace vellumite {

// Tells the program that its session or its process is about to end, so that it saves what it keeps.
// The signal arrives on the thread that made the object, the user-interface thread.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    enum class Reason {
        // The desktop session is logging off or shutting down; it may still be cancelled, so the
        // program saves and keeps running until it is told to quit.
        SessionEnding,
        // The process was asked to terminate (SIGTERM, SIGHUP, SIGINT): save, then quit.
        TerminationRequested,
    };
    Q_ENUM(Reason)

signals:
    void endRequested(vellumite::SessionEnd::Reason reason);

protected:
    using QObject::QObject;
};

} // namespace vellumite
