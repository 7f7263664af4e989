#pragma once

#include <QString>
#include <QStringView>

namespace vellumite {

// The two bookmark stores of Firefox: the bookmark file of the early versions and the places database
// that every Firefox since 3.0 keeps.
enum class FirefoxStore { BookmarkFile, PlacesDatabase };

// The product version with the blanks and control characters around it removed.
QString trimmedProductVersion(QStringView version);

// The places database when the numeric major version is 3 or more; the bookmark file for older
// versions and for a version that is empty or does not start with a number.
FirefoxStore firefoxStoreForVersion(QStringView productVersion);

// What tells which store the user's Firefox keeps, the surest witness first.
struct FirefoxStoreEvidence
{
    // The product version of the Firefox found.
    QString executableVersion;
    // The version of the Firefox that last opened the profile (its compatibility.ini).
    QString profileVersion;
    bool profileHoldsPlaces = false;
};

// The store by the executable's version; where that gives none, by the profile's; where neither gives
// one, the places database when the profile holds one, else the bookmark file. Detection decides it once;
// the exchange and the options window follow that decision.
FirefoxStore firefoxStoreFor(const FirefoxStoreEvidence &evidence);

} // namespace vellumite
