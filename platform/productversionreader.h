#pragma once

#include <QString>

namespace vellumite {

// The product version an executable declares about itself.
class ProductVersionReader
{
public:
    virtual ~ProductVersionReader() = default;

    // Empty when the file is missing or declares no version.
    virtual QString GetProductVersion(const QString &fileName) const = 0;
};

} // namespace vellumite
