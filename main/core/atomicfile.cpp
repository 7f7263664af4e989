#include "main/core/atomicfile.h"

#include <QSaveFile>

namespace vellumite {

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *errorString)
{
    QSaveFile file(path);
    // Unbuffered: a failure while a buffered write is flushed would not stop the commit, and the
    // truncated temporary file would replace the former one.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size()
        && file.error() == QFileDevice::NoError && file.commit())
        return true;
    if (errorString)
        *errorString = file.errorString();
    file.cancelWriting();
    return false;
}

} // namespace vellumite
