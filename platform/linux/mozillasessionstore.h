#pragma once

#include "platform/browserpagequery.h"
#include "platform/foregroundwindow.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace vellumite {

// The page a browser window shows, as its session store keeps it.
struct SessionPage
{
    QString url;
    QString title;

    friend bool operator==(const SessionPage &, const SessionPage &) = default;
};

// A browser window as its session store keeps it.
struct SessionWindow
{
    // The current entry of its selected tab.
    SessionPage page;
    // Where it stood when the store was collected (a maximized window keeps its normal frame beside).
    WindowPlace place;
    // Whether it was the browser's window in front then (the store's selectedWindow).
    bool selected = false;

    friend bool operator==(const SessionWindow &, const SessionWindow &) = default;
};

// Reads a Mozilla session store (recovery.jsonlz4): the magic "mozLz40\0", the JSON's size as a 32-bit
// little-endian number, then the JSON as one LZ4 block. What it keeps is the current entry of each
// window's selected tab, with the window's place. Every read is bounded: files and sizes above MaximumSize
// are refused before anything is allocated for them.
class MozillaSessionStoreReader
{
public:
    static constexpr qint64 MaximumSize = 64 * 1024 * 1024;

    // Only a file of this user's that others may not write is read.
    bool readFile(const QString &fileName);
    // `fileName` relative to the open folder `directoryFd`, as openat takes it.
    bool readFile(int directoryFd, const QString &fileName);
    // `data` is the whole file.
    bool readData(const QByteArray &data);

    // The windows whose selected tab has a current entry, in the store's order.
    const QList<SessionWindow> &windows() const { return m_windows; }
    // When the browser collected what the store holds, in milliseconds since 1970 (UTC): the store's
    // own record of it, else the time the file was written (readFile only); 0 when unknown. The store
    // keeps no time of its own for each page.
    qint64 collectedAtMs() const { return m_collectedAtMs; }
    bool hasError() const { return !m_errorString.isEmpty(); }
    QString errorString() const { return m_errorString; }

private:
    bool fail(const QString &reason);
    bool readJson(const QByteArray &json);

    QList<SessionWindow> m_windows;
    qint64 m_collectedAtMs = 0;
    QString m_errorString;
};

// The page that `window` shows, among the store's windows: the page of the one window whose selected
// tab has the page the window's name stands for; among several such windows, the one whose place is
// the window's, else the one the browser had in front, else the first. Nothing when no window's page
// has that title.
std::optional<SessionPage> findShownPage(const QList<SessionWindow> &windows, const BrowserWindow &window);

} // namespace vellumite
