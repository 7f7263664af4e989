#pragma once

#include <QString>

namespace vellumite {

// GetProductVersion: the product version of an installed program, empty when it has none.
class ProductVersionReader
{
public:
    virtual ~ProductVersionReader() = default;

    virtual QString productVersion(const QString &fileName) const = 0;
};

} // namespace vellumite
