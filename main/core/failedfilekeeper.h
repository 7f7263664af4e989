#pragma once

#include <QString>

namespace vellumite {

class ProgramFolder;

// A bookmark file that failed to load is never lost. At the failure a copy of it is kept beside it, as
// "<name>.bad" (or "<name>.bad.2", ".bad.3", ... when that exists), so the file itself never goes
// missing; the copy is on the disk before the program goes on. What cannot be copied (no regular file,
// unreadable, no room) stays pending and is moved aside before the first save that would replace it.
class FailedFileKeeper
{
public:
    // Copies the file `name` of the open folder aside, beside it. Returns the copy's name; on failure an
    // empty string, with the reason in `error`, and the file is pending. The folder must outlive this.
    QString keepCopy(const ProgramFolder &folder, const QString &name, QString *error);

    bool hasPending() const { return !m_failedName.isEmpty(); }

    // Moves a pending file aside. Returns its new name, or an empty string when nothing was pending or
    // the file no longer exists; `error` gets a message when the move failed (the save must then not go
    // ahead).
    QString keepAside(QString *error);

private:
    const ProgramFolder *m_folder = nullptr;
    QString m_failedName;
};

// True when `name` is a name keepCopy or keepAside gives a copy of the file named `originalName` in the
// same folder: "<originalName>.bad" or "<originalName>.bad.<n>", n from 2 on.
bool isKeptCopyName(const QString &name, const QString &originalName);

} // namespace vellumite
