#include "platform/linux/mozillasessionstore.h"

#include "base/foreignfile.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <algorithm>
#include <fcntl.h>
#include <lz4.h>

namespace vellumite {

namespace {

constexpr QByteArrayView Magic("mozLz40\0", 8);
constexpr qsizetype HeaderSize = 12;
// An LZ4 block never expands its data more than this many times.
constexpr qint64 MaximumExpansion = 255;

// A 1-based position into `array`, as the store counts tabs and entries; nothing when out of range.
std::optional<QJsonValue> oneBased(const QJsonArray &array, const QJsonValue &position, qsizetype fallback)
{
    const qint64 index = position.isDouble() ? position.toInteger(0) : fallback;
    if (index < 1 || index > array.size())
        return std::nullopt;
    return array.at(index - 1);
}

WindowPlace placeOf(const QJsonObject &window)
{
    static const QHash<QString, WindowPlace::Size> sizes {
        { QStringLiteral("normal"), WindowPlace::Size::Normal },
        { QStringLiteral("maximized"), WindowPlace::Size::Maximized },
        { QStringLiteral("fullscreen"), WindowPlace::Size::FullScreen },
        { QStringLiteral("minimized"), WindowPlace::Size::Minimized },
    };
    const auto coordinate = [&](QStringView name) { return int(window.value(name).toInteger(0)); };
    return { sizes.value(window.value(u"sizemode").toString(), WindowPlace::Size::Unknown),
             QRect(coordinate(u"screenX"), coordinate(u"screenY"), coordinate(u"width"),
                   coordinate(u"height")) };
}

} // namespace

bool MozillaSessionStoreReader::fail(const QString &reason)
{
    m_windows.clear();
    m_collectedAtMs = 0;
    m_errorString = reason;
    return false;
}

bool MozillaSessionStoreReader::readFile(const QString &fileName)
{
    return readFile(AT_FDCWD, fileName);
}

bool MozillaSessionStoreReader::readFile(int directoryFd, const QString &fileName)
{
    ForeignFile file(directoryFd, fileName, MaximumSize, ForeignFileOwner::ThisUser);
    const QByteArray data = file.readAll();
    if (!file.isOpen())
        return fail(file.errorString());
    if (!readData(data))
        return false;
    // The browser writes the file just after it collected its contents.
    if (m_collectedAtMs == 0)
        m_collectedAtMs = file.modifiedAtMs();
    return true;
}

bool MozillaSessionStoreReader::readData(const QByteArray &data)
{
    m_windows.clear();
    m_collectedAtMs = 0;
    m_errorString.clear();
    if (data.size() > MaximumSize)
        return fail(QStringLiteral("The session store is larger than %1 bytes.").arg(MaximumSize));
    if (data.size() < HeaderSize || !QByteArrayView(data).first(Magic.size()).startsWith(Magic))
        return fail(QStringLiteral("This is not a session store."));
    const quint32 size = qFromLittleEndian<quint32>(data.constData() + Magic.size());
    const qint64 compressed = data.size() - HeaderSize;
    if (size > MaximumSize || size > compressed * MaximumExpansion)
        return fail(QStringLiteral("The session store's size field does not fit its data."));
    QByteArray json(qsizetype(size), Qt::Uninitialized);
    const int written
        = LZ4_decompress_safe(data.constData() + HeaderSize, json.data(), int(compressed), int(size));
    if (written < 0 || quint32(written) != size)
        return fail(QStringLiteral("The session store's data is damaged."));
    return readJson(json);
}

bool MozillaSessionStoreReader::readJson(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject())
        return fail(QStringLiteral("The session store holds no session: %1").arg(parseError.errorString()));
    const QJsonValue lastUpdate = document.object().value(u"session").toObject().value(u"lastUpdate");
    m_collectedAtMs = lastUpdate.isDouble() ? std::max<qint64>(lastUpdate.toInteger(0), 0) : 0;
    const QJsonArray windows = document.object().value(u"windows").toArray();
    // 1-based; 0 when the browser had none of these windows in front (a private one, or none at all).
    const qint64 selectedWindow = document.object().value(u"selectedWindow").toInteger(0);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const QJsonObject window = windows.at(i).toObject();
        const QJsonArray tabs = window.value(u"tabs").toArray();
        const auto tab = oneBased(tabs, window.value(u"selected"), 1);
        if (!tab)
            continue;
        const QJsonArray entries = tab->toObject().value(u"entries").toArray();
        // Without an index the tab shows its last entry.
        const auto entry = oneBased(entries, tab->toObject().value(u"index"), entries.size());
        if (!entry)
            continue;
        const QJsonObject page = entry->toObject();
        m_windows.append({ { page.value(u"url").toString(), page.value(u"title").toString() },
                           placeOf(window),
                           i + 1 == selectedWindow });
    }
    return true;
}

std::optional<SessionPage> findShownPage(const QList<SessionWindow> &windows, const BrowserWindow &window)
{
    QList<const SessionWindow *> named;
    for (const SessionWindow &stored : windows) {
        if (window.namesPage(stored.page.title, stored.page.url))
            named.append(&stored);
    }
    if (named.isEmpty())
        return std::nullopt;
    // The store is written when a page changes, not when another window comes to the front: its window
    // in front may be an earlier one. A window's place tells it apart where it has one of its own.
    QList<const SessionWindow *> placed;
    for (const SessionWindow *stored : std::as_const(named)) {
        if (stored->place.sameAs(window.place))
            placed.append(stored);
    }
    if (placed.size() == 1)
        return placed.first()->page;
    const QList<const SessionWindow *> &likely = placed.isEmpty() ? named : placed;
    const auto front = std::find_if(likely.begin(), likely.end(),
                                    [](const SessionWindow *stored) { return stored->selected; });
    return (front != likely.end() ? *front : likely.first())->page;
}

} // namespace vellumite
