#pragma once

#include "platform/productversion.h"

#include <QHash>

namespace vellumite {

// Product versions and install folders set by the test, by file name; empty for any other file.
class FakeProductVersionReader final : public ProductVersionReader
{
public:
    QString productVersion(const QString &fileName) const override { return m_versions.value(fileName); }
    QString installFolder(const QString &fileName) const override { return m_folders.value(fileName); }

    void setVersion(const QString &fileName, const QString &version) { m_versions.insert(fileName, version); }
    void setInstallFolder(const QString &fileName, const QString &folder)
    {
        m_folders.insert(fileName, folder);
    }

private:
    QHash<QString, QString> m_versions;
    QHash<QString, QString> m_folders;
};

} // namespace vellumite
