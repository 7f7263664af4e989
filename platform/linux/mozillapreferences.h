#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace vellumite {

inline constexpr qint64 MaximumPreferenceFileSize = qint64(16) << 20;

// An integer preference of a Mozilla profile: the last `user_pref("name", number);` line for it in the
// profile's user.js, else in its prefs.js (the user's file wins, as the browser applies it last).
// Nothing when neither sets it, and the browser's default holds. A file over MaximumPreferenceFileSize
// is not read.
std::optional<qint64> mozillaIntegerPreference(const QString &profileFolder, QStringView name);

} // namespace vellumite
