#pragma once

#include <QByteArray>
#include <QString>

namespace vellumite {

// Replaces the file at `path` by `bytes` as a whole: on any failure, part way included, the former file
// stays as it was and false is returned with the system's reason in `errorString`.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *errorString);

} // namespace vellumite
