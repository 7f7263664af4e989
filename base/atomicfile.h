#pragma once

#include <QByteArray>
#include <QString>

namespace vellumite {

// Replaces the file at `path` by `bytes` as a whole: on any failure, part way included, the former file
// stays as it was and false is returned with the system's reason in `errorString`.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *errorString);

// The same for the file `name` in the open folder `directoryFd` (openat, renameat): the temporary file
// is made beside it, a link in its place is followed, and the former file's permissions are kept.
bool writeFileAtomicallyAt(int directoryFd, const QString &name, const QByteArray &bytes,
                           QString *errorString);

// Writes all `size` bytes of `data` to the descriptor, going on after an interruption and after a
// write the disk cuts short; false with errno set (ENOSPC for a write of nothing) when it fails.
bool writeAllToDescriptor(int fd, const char *data, qsizetype size);

// "Cannot create file "<full path>". <system text>": a file that could not be written, by name.
QString cannotCreateFileMessage(const QString &path, const QString &systemText);

} // namespace vellumite
