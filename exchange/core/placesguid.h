#pragma once

#include <QByteArray>

class QRandomGenerator;

namespace vellumite {

// A new identifier as Firefox makes them: nine random bytes in the URL-safe base64 alphabet, twelve
// characters. Firefox shows a folder without one as empty and syncs rows by it.
QByteArray makePlacesGuid(QRandomGenerator &random);

} // namespace vellumite
