#pragma once

#include "platform/urltester.h"

#include <chrono>

namespace vellumite {

// How long a silent server may hold a test.
struct UrlTestTimeouts
{
    // Name lookup and connection together.
    std::chrono::seconds connect { 10 };
    // No byte at all for this long ends the test.
    std::chrono::seconds silence { 20 };
};

// The HTTP test over libcurl: a GET with the agent "InetURL:/1.0", never answered from a cache, the
// proxy of the environment honoured, redirects followed (at most 10, to web addresses only). The body is
// not read: the transfer ends at its first bytes, once the status is final.
class CurlUrlTester final : public UrlTester
{
public:
    static constexpr const char *UserAgent = "InetURL:/1.0";
    static constexpr long MaxRedirects = 10;

    explicit CurlUrlTester(UrlTestTimeouts timeouts = {});

    bool IsUrlAlive(const QByteArray &url, const AbortFlag &abort) const override;

private:
    UrlTestTimeouts m_timeouts;
};

} // namespace vellumite
