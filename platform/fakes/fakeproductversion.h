#pragma once

#include "platform/productversion.h"

#include <QHash>

namespace vellumite {

// Product versions set by the test, by file name; empty for any other file. No install folder is known.
class FakeProductVersionReader final : public ProductVersionReader
{
public:
    QString productVersion(const QString &fileName) const override { return m_versions.value(fileName); }
    QString installFolder(const QString &) const override { return {}; }

    void setVersion(const QString &fileName, const QString &version) { m_versions.insert(fileName, version); }

private:
    QHash<QString, QString> m_versions;
};

} // namespace vellumite
