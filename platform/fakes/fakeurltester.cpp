#include "platform/fakes/fakeurltester.h"

#include <chrono>

namespace vellumite {

bool FakeUrlTester::IsUrlAlive(const QByteArray &url, const AbortFlag &abort) const
{
    std::unique_lock lock(m_mutex);
    m_requests.append(url);
    m_changed.notify_all();
    // The abort is polled, as the real test polls it between network events.
    while (m_held && !abort.load())
        m_changed.wait_for(lock, std::chrono::milliseconds(10));
    return !abort.load() && m_alive.contains(url);
}

void FakeUrlTester::setAlive(const QByteArray &url)
{
    const std::lock_guard lock(m_mutex);
    m_alive.insert(url);
}

void FakeUrlTester::holdLatch()
{
    const std::lock_guard lock(m_mutex);
    m_held = true;
}

void FakeUrlTester::openLatch()
{
    const std::lock_guard lock(m_mutex);
    m_held = false;
    m_changed.notify_all();
}

bool FakeUrlTester::waitForRequests(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this, count] { return m_requests.size() >= count; });
}

QByteArrayList FakeUrlTester::requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

} // namespace vellumite
