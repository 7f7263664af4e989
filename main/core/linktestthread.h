#pragma once

#include "platform/urltester.h"

#include <QByteArray>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace vellumite {

// The worker of a verification: one thread that blocks in one HTTP test at a time. It gets the address
// as plain bytes and never sees the tree; the answer goes to `onDone`, called on this thread.
class LinkTestThread
{
public:
    using Done = std::function<void(bool alive)>;

    // nullptr when the system gives no thread.
    static std::unique_ptr<LinkTestThread> create(const UrlTester &tester);

    explicit LinkTestThread(const UrlTester &tester);
    // Waits for the thread; a test under way is aborted first.
    ~LinkTestThread();
    LinkTestThread(const LinkTestThread &) = delete;
    LinkTestThread &operator=(const LinkTestThread &) = delete;

    void test(const QByteArray &url, Done onDone);
    // Ends the test under way at once (as broken) and refuses the ones to come.
    void abort() { m_abort = true; }

private:
    struct Job
    {
        QByteArray url;
        Done onDone;
    };
    void run();

    const UrlTester &m_tester;
    AbortFlag m_abort { false };
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_job;
    bool m_quit = false;
    std::thread m_thread;
};

using LinkTestThreadFactory = std::function<std::unique_ptr<LinkTestThread>(const UrlTester &)>;

} // namespace vellumite
