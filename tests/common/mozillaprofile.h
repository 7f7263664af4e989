#pragma once

// The files of a Mozilla profile as the browser writes them, for the capture's tests and benchmark: the
// session store and the places database.

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "platform/linux/mozillasessionstore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <lz4.h>
#include <unistd.h>

namespace vellumite::mozillaprofile {

inline constexpr int LinkVisit = 1;
inline constexpr int DownloadVisit = 7;
inline constexpr int FramedLinkVisit = 8;

// A session store file: magic, the size (the JSON's unless given), one LZ4 block.
inline QByteArray mozLz4(const QByteArray &json, qint64 sizeField = -1)
{
    QByteArray block(LZ4_compressBound(int(json.size())), '\0');
    block.resize(LZ4_compress_default(json.constData(), block.data(), int(json.size()), int(block.size())));
    char size[4];
    qToLittleEndian<quint32>(quint32(sizeField < 0 ? json.size() : sizeField), size);
    return QByteArray("mozLz40\0", 8) + QByteArray(size, 4) + block;
}

// The JSON of one window in the browser's form: one tab showing `window.page`, at its place.
inline QJsonObject sessionWindowJson(const SessionWindow &window)
{
    static const QHash<WindowPlace::Size, QString> sizeModes {
        { WindowPlace::Size::Normal, QStringLiteral("normal") },
        { WindowPlace::Size::Maximized, QStringLiteral("maximized") },
        { WindowPlace::Size::FullScreen, QStringLiteral("fullscreen") },
        { WindowPlace::Size::Minimized, QStringLiteral("minimized") },
    };
    const QJsonObject entry { { QStringLiteral("url"), window.page.url },
                              { QStringLiteral("title"), window.page.title } };
    const QJsonObject tab { { QStringLiteral("index"), 1 },
                            { QStringLiteral("entries"), QJsonArray { entry } } };
    const QRect &frame = window.place.frame;
    return { { QStringLiteral("selected"), 1 },
             { QStringLiteral("tabs"), QJsonArray { tab } },
             { QStringLiteral("sizemode"), sizeModes.value(window.place.size) },
             { QStringLiteral("screenX"), frame.x() },
             { QStringLiteral("screenY"), frame.y() },
             { QStringLiteral("width"), frame.width() },
             { QStringLiteral("height"), frame.height() } };
}

// A session store of these windows (the selected one is the store's selectedWindow), collected at
// `collectedAtMs`.
inline QByteArray sessionStore(const QList<SessionWindow> &windows, qint64 collectedAtMs)
{
    QJsonArray list;
    int selected = 0;
    for (const SessionWindow &window : windows) {
        list.append(sessionWindowJson(window));
        if (window.selected)
            selected = int(list.size());
    }
    const QJsonObject session { { QStringLiteral("lastUpdate"), collectedAtMs } };
    const QJsonObject store { { QStringLiteral("windows"), list },
                              { QStringLiteral("selectedWindow"), selected },
                              { QStringLiteral("session"), session } };
    return mozLz4(QJsonDocument(store).toJson(QJsonDocument::Compact));
}

// A places database with Firefox's own schema (a profile that firefox-esr made), no history yet.
inline QString makePlacesDatabase(const QString &folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("places.sqlite"));
    QFile::copy(QStringLiteral(VELLUMITE_TEST_DATA "/places/esr153-places.sqlite"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// Adds a place, when new, and one visit of it at `atMs`, as the browser records them. A null title is
// an untitled page's.
inline void addVisit(sqlite::Database &db, const QString &url, const QString &title, qint64 atMs,
                     int type = LinkVisit)
{
    sqlite::Statement place = db.prepare("INSERT OR IGNORE INTO moz_places (url, title, rev_host, guid) "
                                         "VALUES (?1, ?2, 'x', ?1)");
    place.bind(1, url);
    if (title.isNull())
        place.bindNull(2);
    else
        place.bind(2, title);
    place.execute();
    sqlite::Statement visit = db.prepare("INSERT INTO moz_historyvisits (place_id, visit_date, visit_type) "
                                         "SELECT id, ?2, ?3 FROM moz_places WHERE url = ?1");
    visit.bind(1, url);
    visit.bind(2, atMs * 1000);
    visit.bind(3, qint64(type));
    visit.execute();
}

// A profile folder as a running browser holds it, held by this process: its `lock` link names this
// process and the process keeps its `.parentlock` open, for the capture to find through /proc.
class HeldProfile
{
public:
    explicit HeldProfile(const QString &folder)
        : m_folder(folder)
    {
        QDir().mkpath(m_folder.filePath(QStringLiteral("sessionstore-backups")));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::link(QStringLiteral("127.0.0.1:+%1").arg(::getpid()),
                    m_folder.filePath(QStringLiteral("lock")));
        m_parentLock.setFileName(m_folder.filePath(QStringLiteral(".parentlock")));
        m_parentLock.open(QIODevice::WriteOnly);
    }

    QString path() const { return m_folder.path(); }
    QString filePath(const QString &name) const { return m_folder.filePath(name); }
    static qint64 processId() { return ::getpid(); }

private:
    QDir m_folder;
    QFile m_parentLock;
};

} // namespace vellumite::mozillaprofile
