#pragma once

#include "platform/urltester.h"

#include <chrono>
#include <optional>

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
// proxy of the environment honoured, redirects followed (at most 10, to web addresses only). Each
// answer is judged by its status line and headers: the transfer ends there and no body is read. A login
// in the address is given only to a server that asks for one.
class CurlUrlTester final : public UrlTester
{
public:
    static constexpr const char *UserAgent = "InetURL:/1.0";
    static constexpr long MaxRedirects = 10;

    explicit CurlUrlTester(UrlTestTimeouts timeouts = {});

    bool IsUrlAlive(const QByteArray &url, const AbortFlag &abort) const override;

private:
    struct Answer
    {
        bool received = false;
        long status = 0;
        // Where a redirect leads, as an absolute address (empty when "Location" names none); nothing for
        // any other answer.
        std::optional<QByteArray> redirect;
    };
    // One request, ended once the headers of its final answer are in.
    Answer request(const QByteArray &url, const AbortFlag &abort) const;

    UrlTestTimeouts m_timeouts;
};

} // namespace vellumite
