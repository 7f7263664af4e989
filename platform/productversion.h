#pragma once

#include <QString>

namespace vellumite {

// GetProductVersion: the product version of an installed program, empty when it has none.
class ProductVersionReader
{
public:
    virtual ~ProductVersionReader() = default;

    virtual QString productVersion(const QString &fileName) const = 0;
    // The folder the program that `fileName` starts is installed in (where its version was found), in
    // the form the program itself names it; empty when it is not known.
    virtual QString installFolder(const QString &fileName) const = 0;
};

} // namespace vellumite
