#pragma once

#include "platform/foregroundwindow.h"

#include <QString>
#include <optional>

namespace vellumite {

// How much of the page's title a window name holds.
enum class TitleForm {
    Whole,
    // The browser cut a long title to its limit: the name holds the start of it.
    Start,
};

// The browser window whose current page is asked for.
struct BrowserWindow
{
    // The service of the browser family: "IExplore", "Opera" or "Firefox".
    QString service;
    qint64 processId = 0;
    // The title of the page the window shows, as its window name tells it (the browser's name removed);
    // empty when the name is the browser's name alone, as for a page without a title.
    QString pageTitle;
    TitleForm titleForm = TitleForm::Whole;
    WindowPlace place;

    // Whether a page of `title` at `url` is one this window's name may stand for. A page without a title
    // (or titled with its own address) goes by its address, as older browsers name its window.
    bool namesPage(const QString &title, const QString &url) const
    {
        const bool untitled = title.isEmpty() || title == url;
        if (pageTitle.isEmpty())
            return untitled;
        if (untitled)
            return url == pageTitle;
        return title == pageTitle || (titleForm == TitleForm::Start && title.startsWith(pageTitle));
    }
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
