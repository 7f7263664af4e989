#include "main/core/firefoxstore.h"

namespace vellumite {

QString trimmedProductVersion(QStringView version)
{
    qsizetype first = 0;
    qsizetype last = version.size();
    while (first < last && version[first].unicode() < 33)
        ++first;
    while (last > first && version[last - 1].unicode() < 33)
        --last;
    return version.mid(first, last - first).toString();
}

FirefoxStore firefoxStoreForVersion(QStringView productVersion)
{
    const QString version = trimmedProductVersion(productVersion);
    qsizetype digits = 0;
    while (digits < version.size() && version[digits] >= u'0' && version[digits] <= u'9')
        ++digits;
    if (digits == 0)
        return FirefoxStore::BookmarkFile;
    bool ok = false;
    const qulonglong major = QStringView(version).first(digits).toULongLong(&ok);
    // A major number too long to read is certainly not below 3.
    return !ok || major >= 3 ? FirefoxStore::PlacesDatabase : FirefoxStore::BookmarkFile;
}

FirefoxStore firefoxStoreFor(const FirefoxStoreEvidence &evidence)
{
    for (const QString *version : { &evidence.executableVersion, &evidence.profileVersion }) {
        if (!trimmedProductVersion(*version).isEmpty())
            return firefoxStoreForVersion(*version);
    }
    return evidence.profileHoldsPlaces ? FirefoxStore::PlacesDatabase : FirefoxStore::BookmarkFile;
}

} // namespace vellumite
