#pragma once

#include "platform/productversionreader.h"

#include <QHash>

namespace vellumite {

// Product versions from a table; a file not in it has none.
class FakeProductVersionReader final : public ProductVersionReader
{
public:
    void setVersion(const QString &fileName, const QString &version) { m_versions.insert(fileName, version); }
    QString GetProductVersion(const QString &fileName) const override { return m_versions.value(fileName); }

private:
    QHash<QString, QString> m_versions;
};

} // namespace vellumite
