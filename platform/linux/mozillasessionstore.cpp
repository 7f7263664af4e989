#include "platform/linux/mozillasessionstore.h"

#include "base/foreignfile.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <algorithm>
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

} // namespace

bool MozillaSessionStoreReader::fail(const QString &reason)
{
    m_pages.clear();
    m_collectedAtMs = 0;
    m_errorString = reason;
    return false;
}

bool MozillaSessionStoreReader::readFile(const QString &fileName)
{
    ForeignFile file(fileName, MaximumSize);
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
    m_pages.clear();
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
    for (const QJsonValue &windowValue : windows) {
        const QJsonObject window = windowValue.toObject();
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
        m_pages.append({ page.value(u"url").toString(), page.value(u"title").toString() });
    }
    return true;
}

std::optional<SessionPage> findPageByTitle(const QList<SessionPage> &pages, const QString &title)
{
    for (const SessionPage &page : pages) {
        const QString &shown = page.title.isEmpty() ? page.url : page.title;
        if (shown == title)
            return page;
    }
    return std::nullopt;
}

} // namespace vellumite
