#include "exchange/core/storerows.h"

#include "main/core/browserdetection.h"
#include "main/core/firefoxstore.h"
#include "platform/productversion.h"

#include <QFileInfo>

namespace vellumite {

QString versionLine(const ProductVersionReader &versions, const QString &executable)
{
    const QString version = executable.isEmpty() ? QString() : versions.productVersion(executable);
    return QStringLiteral("Product version : ") + trimmedProductVersion(version);
}

QString storePath(const BrowserPaths &paths, StoreKind kind)
{
    switch (kind) {
    case StoreKind::InternetExplorer:
        return paths.ExplorerFavoritesPath;
    case StoreKind::Firefox:
        return paths.PathFavFirefox;
    case StoreKind::Opera:
        break;
    }
    return paths.OperaFavPath;
}

std::vector<StoreRow> storeRows(const BrowserPaths &paths, const ProductVersionReader &versions)
{
    std::vector<StoreRow> rows;
    const auto exists = [](const QString &path, bool folder) {
        if (path.isEmpty())
            return false;
        const QFileInfo info(path);
        return folder ? info.isDir() : info.isFile();
    };
    if (exists(paths.ExplorerFavoritesPath, true))
        rows.push_back({ QStringLiteral("Internet Explorer"), versionLine(versions, paths.PathToIExplorer),
                         StoreKind::InternetExplorer });
    if (exists(paths.PathFavFirefox, false))
        rows.push_back({ QStringLiteral("Firefox Bookmarks"), versionLine(versions, paths.PathToFirefox),
                         StoreKind::Firefox });
    if (exists(paths.OperaFavPath, false))
        rows.push_back({ QStringLiteral("Opera Bookmarks"), versionLine(versions, paths.PathToOpera),
                         StoreKind::Opera });
    return rows;
}

} // namespace vellumite
