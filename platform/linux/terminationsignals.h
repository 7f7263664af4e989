#pragma once

#include "platform/sessionend.h"

#include <array>
#include <signal.h>

class QSocketNotifier;

namespace vellumite {

// Turns SIGTERM, SIGHUP and SIGINT into one endRequested(TerminationRequested) on the thread that made
// this object; later termination signals are taken in silence, so a save under way is not entered twice.
// A signal that was ignored when the object was made (nohup) stays ignored.
// The handlers belong to the whole process: only one object may exist at a time, and it puts the earlier
// handlers back when destroyed.
class TerminationSignals final : public SessionEnd
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // False when the handlers could not be installed (another object holds them, or the system refused).
    bool isActive() const { return m_notifier != nullptr; }

private:
    void drain();

    static constexpr std::array<int, 3> Signals { SIGTERM, SIGHUP, SIGINT };

    int m_readFd = -1;
    int m_writeFd = -1;
    QSocketNotifier *m_notifier = nullptr;
    std::array<struct sigaction, Signals.size()> m_previous {};
    bool m_ended = false;
};

} // namespace vellumite
