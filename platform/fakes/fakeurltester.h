#pragma once

#include "platform/urltester.h"

#include <QByteArrayList>
#include <QSet>
#include <condition_variable>
#include <mutex>

namespace vellumite {

// Answers "alive" for the addresses a test names and "broken" for all others, and records what it was
// asked. Held shut, every test waits at the latch until the test opens it (or an abort comes), so a
// test can change the tree while a link is being tested.
class FakeUrlTester final : public UrlTester
{
public:
    bool IsUrlAlive(const QByteArray &url, const AbortFlag &abort) const override;

    void setAlive(const QByteArray &url);
    void holdLatch();
    void openLatch();
    // Waits until `count` tests have begun; false after `timeoutMs`.
    bool waitForRequests(int count, int timeoutMs = 5000) const;
    QByteArrayList requests() const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    QSet<QByteArray> m_alive;
    bool m_held = false;
    mutable QByteArrayList m_requests;
};

} // namespace vellumite
