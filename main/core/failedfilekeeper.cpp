#include "main/core/failedfilekeeper.h"

#include <QFile>

namespace vellumite {

QString FailedFileKeeper::keepAside(QString *error)
{
    if (m_failedPath.isEmpty())
        return {};
    if (!QFile::exists(m_failedPath)) {
        m_failedPath.clear();
        return {};
    }
    QString target = m_failedPath + QStringLiteral(".bad");
    for (int n = 2; QFile::exists(target); ++n)
        target = m_failedPath + QStringLiteral(".bad.") + QString::number(n);
    QFile file(m_failedPath);
    if (!file.rename(target)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    m_failedPath.clear();
    return target;
}

} // namespace vellumite
