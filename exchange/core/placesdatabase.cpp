#include "exchange/core/placesdatabase.h"

#include "base/sqlite/sqlitestatement.h"
#include "base/sqlite/sqlitetransaction.h"
#include "exchange/core/placesclear.h"
#include "exchange/core/placesexport.h"
#include "exchange/core/placesimport.h"
#include "exchange/core/placesrows.h"
#include "exchange/core/placestouch.h"
#include "exchange/core/stagingmerge.h"

#include <QDir>
#include <QFileInfo>

namespace vellumite {

namespace {

// Long enough to wait out another reader's moment on the file, short enough not to keep the user
// waiting while Firefox holds it for good.
constexpr int busyTimeoutMs = 250;

} // namespace

QString PlacesDatabase::lockedMessage()
{
    return QStringLiteral("The database is locked. Please, close a Firefox browser.");
}

QString PlacesDatabase::failureMessage(PlacesError error, const QString &path, const QString &detail)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    switch (error) {
    case PlacesError::None:
        return QString();
    case PlacesError::Locked:
        return lockedMessage();
    case PlacesError::NotPlaces:
        return QStringLiteral("The file \"%1\" is not a Firefox places database. Nothing in it was changed.")
            .arg(shown);
    case PlacesError::Damaged:
        return QStringLiteral("The Firefox places database \"%1\" is damaged. Nothing in it was changed.")
            .arg(shown);
    case PlacesError::TooDeep:
        return QStringLiteral("The Firefox places database \"%1\" cannot be read. %2")
            .arg(shown, storeTooDeepReason());
    case PlacesError::Failed:
        break;
    }
    QString reason = detail.trimmed();
    if (reason.endsWith(u'.'))
        reason.chop(1);
    return QStringLiteral("The Firefox places database \"%1\" cannot be used: %2. Nothing in it was changed.")
        .arg(shown, reason);
}

PlacesDatabase::PlacesDatabase()
    : m_random(QRandomGenerator::securelySeeded())
{ }

PlacesDatabase::~PlacesDatabase()
{
    close();
}

template<typename Step> QString PlacesDatabase::run(Step step)
{
    m_lastError = PlacesError::None;
    m_lastErrorDetail.clear();
    try {
        step();
        return QString();
    } catch (const sqlite::Error &error) {
        if (error.isBusy())
            return fail(PlacesError::Locked, error.message());
        if (error.isNotADatabase())
            return fail(PlacesError::NotPlaces, error.message());
        if (error.isDamaged())
            return fail(PlacesError::Damaged, error.message());
        return fail(PlacesError::Failed, error.message());
    }
}

QString PlacesDatabase::fail(PlacesError error, const QString &detail)
{
    // Whatever an export wrote or deleted goes back.
    m_export.reset();
    m_lastError = error;
    m_lastErrorDetail = detail;
    return failureMessage(error, m_requestedPath, detail);
}

QString PlacesDatabase::open(const QString &path)
{
    if (isOpen() && path == m_path)
        return QString();
    close();
    m_requestedPath = path;
    const QString result = run([&] {
        m_database = sqlite::Database::openForeign(path, sqlite::OpenMode::ReadWrite);
        m_database.setBusyTimeout(busyTimeoutMs);
        m_schema = PlacesSchema::read(m_database);
    });
    if (!result.isEmpty()) {
        close();
        return result;
    }
    if (!m_schema->isPlacesDatabase()) {
        close();
        return fail(PlacesError::NotPlaces,
                    QStringLiteral("%1 holds no moz_bookmarks and moz_places tables").arg(path));
    }
    m_path = path;
    return QString();
}

void PlacesDatabase::close()
{
    m_export.reset();
    m_schema.reset();
    m_startFolder.reset();
    m_database.close();
    m_path.clear();
}

void PlacesDatabase::findStartFolder()
{
    m_startFolder.reset();
    sqlite::Statement find = m_database.prepare(
        "SELECT id FROM moz_bookmarks WHERE type = 2 AND parent = 1 AND position = 0 ORDER BY id LIMIT 1");
    if (find.step())
        m_startFolder = find.int64At(0);
}

QString PlacesDatabase::locateStartFolder()
{
    return run([this] { findStartFolder(); });
}

QString PlacesDatabase::importPlaces(BookmarkNode &staging, qint32 browserCode)
{
    if (!isOpen())
        return fail(PlacesError::Failed, QStringLiteral("the database is not open"));
    if (!m_startFolder)
        return QString();
    bool tooDeep = false;
    const QString result = run([&] {
        const PlacesRows rows = PlacesRows::read(m_database, *m_schema);
        tooDeep = !vellumite::importPlaces(rows, *m_startFolder, staging, browserCode);
    });
    if (result.isEmpty() && tooDeep)
        return fail(PlacesError::TooDeep, QString());
    return result;
}

QString PlacesDatabase::read(BookmarkNode &staging, qint32 browserCode)
{
    if (!isOpen())
        return fail(PlacesError::Failed, QStringLiteral("the database is not open"));
    if (QString result = locateStartFolder(); !result.isEmpty())
        return result;
    return importPlaces(staging, browserCode);
}

QString PlacesDatabase::beginExport()
{
    if (!isOpen())
        return fail(PlacesError::Failed, QStringLiteral("the database is not open"));
    m_export.reset();
    return run([this] {
        m_export = std::make_unique<sqlite::Transaction>(m_database);
        findStartFolder();
    });
}

QString PlacesDatabase::deletePlacesFolderContent()
{
    if (!m_export)
        return fail(PlacesError::Failed, QStringLiteral("no export has begun"));
    if (!m_startFolder)
        return QString();
    return run([this] {
        const PlacesRows rows = PlacesRows::read(m_database, *m_schema);
        vellumite::deletePlacesFolderContent(m_database, *m_schema, rows, *m_startFolder, placesNow());
    });
}

QString PlacesDatabase::exportPlaces(const BookmarkNode &rootCategory)
{
    if (!m_export)
        return fail(PlacesError::Failed, QStringLiteral("no export has begun"));
    if (!m_startFolder)
        return QString();
    return run([&] {
        const PlacesRows rows = PlacesRows::read(m_database, *m_schema);
        vellumite::exportPlaces(m_database, *m_schema, rows, rootCategory, *m_startFolder, placesNow(),
                                m_random);
    });
}

QString PlacesDatabase::commitExport()
{
    if (!m_export)
        return fail(PlacesError::Failed, QStringLiteral("no export has begun"));
    return run([this] {
        m_export->commit();
        m_export.reset();
    });
}

QString PlacesDatabase::write(const BookmarkNode &rootCategory, ExportMode mode)
{
    QString result = beginExport();
    if (result.isEmpty() && mode == ExportMode::Replace)
        result = deletePlacesFolderContent();
    if (result.isEmpty())
        result = exportPlaces(rootCategory);
    if (result.isEmpty())
        result = commitExport();
    return result;
}

} // namespace vellumite
