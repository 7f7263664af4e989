#pragma once

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

// Reads a Mozilla session store (recovery.jsonlz4): the magic "mozLz40\0", the JSON's size as a 32-bit
// little-endian number, then the JSON as one LZ4 block. What it keeps is the current entry of each
// window's selected tab. Every read is bounded: files and sizes above MaximumSize are refused before
// anything is allocated for them.
class MozillaSessionStoreReader
{
public:
    static constexpr qint64 MaximumSize = 64 * 1024 * 1024;

    bool readFile(const QString &fileName);
    // `data` is the whole file.
    bool readData(const QByteArray &data);

    const QList<SessionPage> &selectedPages() const { return m_pages; }
    // When the browser collected what the store holds, in milliseconds since 1970 (UTC): the store's
    // own record of it, else the time the file was written (readFile only); 0 when unknown. The store
    // keeps no time of its own for each page.
    qint64 collectedAtMs() const { return m_collectedAtMs; }
    bool hasError() const { return !m_errorString.isEmpty(); }
    QString errorString() const { return m_errorString; }

private:
    bool fail(const QString &reason);
    bool readJson(const QByteArray &json);

    QList<SessionPage> m_pages;
    qint64 m_collectedAtMs = 0;
    QString m_errorString;
};

// The first page whose title equals `title`; a page without a title goes by its address, as the
// browser then names its window.
std::optional<SessionPage> findPageByTitle(const QList<SessionPage> &pages, const QString &title);

} // namespace vellumite
