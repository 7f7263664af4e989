#include "base/atomicfile.h"

#include <QSaveFile>

namespace vellumite {

namespace {

// Writes all of `bytes`. A write the disk cuts short (full, or over a size limit) returns its count
// without an error; the next one, of the rest, fails with the system's reason.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0 || file.error() != QFileDevice::NoError)
            return false;
        written += count;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *errorString)
{
    QSaveFile file(path);
    // Unbuffered: a failure while a buffered write is flushed would not stop the commit, and the
    // truncated temporary file would replace the former one.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, bytes) && file.commit())
        return true;
    if (errorString)
        *errorString = file.errorString();
    file.cancelWriting();
    return false;
}

} // namespace vellumite
