#pragma once

#include <QByteArray>
#include <atomic>

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

// The address that is requested: "http://" goes in front of one whose lower-cased copy holds no
// "http" anywhere; any other address is requested as it stands.
QByteArray withHttpPrefix(const QByteArray &url);

// Only web addresses are ever requested: after the prefix, an http or https scheme (in any case) and no
// control characters. Anything else (file:, ftp:, a stray "http" inside a path) is broken untried, so a
// bookmark can never make the program read a local file.
bool isRequestableUrl(const QByteArray &requestUrl);

} // namespace vellumite
