#pragma once

#include "platform/browserpagequery.h"

#include <QString>
#include <optional>

namespace vellumite {

// One visit of a page, from a Mozilla profile's history.
struct HistoryVisit
{
    QString url;
    QString title;
    // When the visit was made, in milliseconds since 1970 (UTC).
    qint64 visitedAtMs = 0;

    friend bool operator==(const HistoryVisit &, const HistoryVisit &) = default;
};

// Reads a Mozilla places database (places.sqlite) for the newest visit of a page that a window of
// `title` shows: a page of that title (or whose title begins with it, when the window name holds only
// its start), or an untitled one whose address it is, as older browsers name its window. An empty
// `title` stands for any untitled page. Loads into frames and downloads are no page of a window and do not
// count. The browser holds the live database, so only a private copy of it and its log is read
// (DatabaseCopy), read-only.
class MozillaHistoryReader
{
public:
    // Nothing when no page of that title was visited; nothing, with the reason kept, when the
    // database cannot be copied or read.
    std::optional<HistoryVisit> newestVisitOfTitle(const QString &databasePath, const QString &title,
                                                   TitleForm form = TitleForm::Whole);
    // `databasePath` relative to the open folder `directoryFd`, as openat takes it.
    std::optional<HistoryVisit> newestVisitOfTitle(int directoryFd, const QString &databasePath,
                                                   const QString &title, TitleForm form);

    bool hasError() const { return !m_errorString.isEmpty(); }
    QString errorString() const { return m_errorString; }

private:
    QString m_errorString;
};

} // namespace vellumite
