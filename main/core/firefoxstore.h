#pragma once

#include <QString>
#include <QStringView>

namespace vellumite {

class ProductVersionReader;

// The two bookmark stores of Firefox: the bookmark file of the early versions and the places database
// that every Firefox since 3.0 keeps.
enum class FirefoxStore { BookmarkFile, PlacesDatabase };

// The product version with the blanks and control characters around it removed.
QString trimmedProductVersion(QStringView version);

// The places database when the numeric major version is 3 or more; the bookmark file for older
// versions and for a version that is empty or does not start with a number.
FirefoxStore firefoxStoreForVersion(QStringView productVersion);

// The store of the Firefox whose executable is `pathToFirefox`.
FirefoxStore installedFirefoxStore(const ProductVersionReader &versions, const QString &pathToFirefox);

} // namespace vellumite
