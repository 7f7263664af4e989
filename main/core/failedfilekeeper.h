#pragma once

#include <QString>

namespace vellumite {

// A bookmark file that failed to load is never lost. At the failure a copy of it is kept beside it, as
// "<name>.bad" (or "<name>.bad.2", ".bad.3", ... when that exists), so the file itself never goes
// missing; the copy is on the disk before the program goes on. What cannot be copied (no regular file,
// unreadable, no room) stays pending and is moved aside before the first save that would replace it.
class FailedFileKeeper
{
public:
    // Copies the file at `path` aside. Returns the copy's path; on failure an empty string, with the
    // reason in `error`, and the file is pending.
    QString keepCopy(const QString &path, QString *error);

    bool hasPending() const { return !m_failedPath.isEmpty(); }

    // Moves a pending file aside. Returns the new path, or an empty string when nothing was pending or
    // the file no longer exists; `error` gets a message when the move failed (the save must then not go
    // ahead).
    QString keepAside(QString *error);

private:
    QString m_failedPath;
};

// True when `name` is a name keepCopy or keepAside gives a copy of the file named `originalName` in the
// same folder: "<originalName>.bad" or "<originalName>.bad.<n>", n from 2 on.
bool isKeptCopyName(const QString &name, const QString &originalName);

} // namespace vellumite
