#pragma once

#include <QString>

namespace vellumite {

// A bookmark file that failed to load must never be overwritten: before the first save that would
// replace it, it is moved aside to "<name>.bad" (or "<name>.bad.2", ".bad.3", ... when that exists).
class FailedFileKeeper
{
public:
    // Remembers that `path` failed to load and must be kept.
    void markFailed(const QString &path) { m_failedPath = path; }
    bool hasPending() const { return !m_failedPath.isEmpty(); }

    // Moves the failed file aside if it is still pending. Returns the new path, or an empty string when
    // nothing was pending or the file no longer exists; `error` gets a message when the move failed (the
    // save must then not go ahead).
    QString keepAside(QString *error);

private:
    QString m_failedPath;
};

} // namespace vellumite
