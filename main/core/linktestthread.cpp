#include "main/core/linktestthread.h"

#include <system_error>

namespace vellumite {

std::unique_ptr<LinkTestThread> LinkTestThread::create(const UrlTester &tester)
{
    try {
        return std::make_unique<LinkTestThread>(tester);
    } catch (const std::system_error &) {
        return nullptr;
    }
}

LinkTestThread::LinkTestThread(const UrlTester &tester)
    : m_tester(tester)
    , m_thread([this] { run(); })
{ }

LinkTestThread::~LinkTestThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_abort = true;
    m_wake.notify_all();
    m_thread.join();
}

void LinkTestThread::test(const QByteArray &url, Done onDone)
{
    {
        const std::lock_guard lock(m_mutex);
        m_job = Job { url, std::move(onDone) };
    }
    m_wake.notify_all();
}

void LinkTestThread::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_job.has_value(); });
            if (m_quit)
                return;
            job = std::move(*m_job);
            m_job.reset();
        }
        const bool alive = !m_abort && m_tester.IsUrlAlive(job.url, m_abort);
        job.onDone(alive && !m_abort);
    }
}

} // namespace vellumite
