#pragma once

#include <QByteArray>
#include <atomic>
#include <optional>

namespace vellumite {

// Set from another thread to make a running test give up at once (the program is ending).
using AbortFlag = std::atomic<bool>;

// The HTTP test of one link: is the page there? The address is 8-bit text as the user stored it.
class UrlTester
{
public:
    virtual ~UrlTester() = default;

    // Blocks until the server answered, the test timed out or `abort` was set; true for a final status
    // of 200 or 302, false for any other status and for every failure. Called only on worker threads,
    // possibly from several at once.
    virtual bool IsUrlAlive(const QByteArray &url, const AbortFlag &abort) const = 0;
};

// The address requested for a stored link, as a browser given that link would request it, or nothing
// when the link is broken untried. Blanks around the link are dropped. A link without a scheme gets
// "http://" in front, unless its lower-cased copy holds "http" somewhere. Only http and https addresses
// without control characters are requested, so a bookmark can never make the program read a local file
// or send a mail address over HTTP. The path and query carry percent-encoded what a browser never sends
// raw (blanks, quotes, angle brackets, bytes beyond ASCII); the fragment, which no browser sends, is
// dropped; the host is left to the HTTP client.
std::optional<QByteArray> requestAddress(const QByteArray &link);

// A redirect may lead only to an http or https address without control characters.
bool isRequestableUrl(const QByteArray &url);

// True when the address names a user (and maybe a password) before its host.
bool hasLogin(const QByteArray &url);

} // namespace vellumite
