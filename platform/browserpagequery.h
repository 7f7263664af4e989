#pragma once

#include <QString>
#include <optional>

namespace vellumite {

// The browser window whose current page is asked for.
struct BrowserWindow
{
    // The service of the browser family: "IExplore", "Opera" or "Firefox".
    QString service;
    qint64 processId = 0;
    // The title of the page the window shows, as its window name tells it (the browser's name removed).
    QString pageTitle;
};

// A browser's answer about the page it shows: the first field is its address, the second its title,
// both as the browser gives them.
struct WindowInfoReply
{
    QString address;
    QString title;

    friend bool operator==(const WindowInfoReply &, const WindowInfoReply &) = default;
};

// Asks a running browser for the page its window shows.
class BrowserPageQuery
{
public:
    virtual ~BrowserPageQuery() = default;

    // Nothing when the browser does not answer (no such service here, or it knows no such page).
    virtual std::optional<WindowInfoReply> requestWindowInfo(const BrowserWindow &window) const = 0;
};

} // namespace vellumite
