#pragma once

#include "exchange/core/exchangerun.h"

#include <QString>
#include <vector>

namespace vellumite {

struct BrowserPaths;
class ProductVersionReader;

// One row of the exchange dialog (TSychr): a store that exists on disk.
struct StoreRow
{
    QString StoreTitle;
    QString VersionLine;
    StoreKind kind = StoreKind::InternetExplorer;
};

// "Product version : " and the trimmed product version of a browser's executable (nothing after it
// when the executable is unknown or has no version).
QString versionLine(const ProductVersionReader &versions, const QString &executable);

// The rows, in the order Internet Explorer, Firefox, Opera: the Favorites folder when it is a folder, the
// Firefox store and the Opera hotlist when each is a file.
std::vector<StoreRow> storeRows(const BrowserPaths &paths, const ProductVersionReader &versions);

// Where a store lies.
QString storePath(const BrowserPaths &paths, StoreKind kind);

} // namespace vellumite
