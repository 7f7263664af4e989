#include "platform/linux/terminationsignals.h"

#include <QSocketNotifier>
#include <QtDebug>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vellumite {

namespace {

// The write end of the self-pipe, read by the handler; -1 while no object holds the handlers.
std::atomic<int> g_signalPipe { -1 };
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler may only use lock-free atomics");

// Runs in signal context: only async-signal-safe calls. The pipe is non-blocking, so a full pipe drops
// the byte instead of hanging the process; one byte already waiting is enough.
extern "C" void onTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const int fd = g_signalPipe.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : SessionEnd(parent)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Cannot create the pipe for termination signals: %s", strerror(errno));
        return;
    }
    int expected = -1;
    if (!g_signalPipe.compare_exchange_strong(expected, fds[1])) {
        qWarning("Termination signals are already handled by another object");
        ::close(fds[0]);
        ::close(fds[1]);
        return;
    }
    m_readFd = fds[0];
    m_writeFd = fds[1];

    struct sigaction action
    {
    };
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < Signals.size(); ++i) {
        sigaction(Signals[i], nullptr, &m_previous[i]);
        // A signal ignored at the start stays ignored: started with nohup, or in the background of a
        // shell, the program outlives the terminal.
        if (m_previous[i].sa_handler != SIG_IGN)
            sigaction(Signals[i], &action, nullptr);
    }

    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);
}

TerminationSignals::~TerminationSignals()
{
    if (m_writeFd < 0)
        return;
    for (size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &m_previous[i], nullptr);
    g_signalPipe.store(-1);
    delete m_notifier;
    ::close(m_readFd);
    ::close(m_writeFd);
}

void TerminationSignals::drain()
{
    unsigned char buffer[64];
    bool received = false;
    while (::read(m_readFd, buffer, sizeof buffer) > 0)
        received = true;
    if (!received || m_ended)
        return;
    // Signals that come while the request is handled (its save runs a nested event loop) are part of
    // it; once it is handled, a later signal is a new request, so a failed save never leaves the
    // program deaf.
    m_ended = true;
    emit endRequested(Reason::TerminationRequested);
    m_ended = false;
}

} // namespace vellumite
