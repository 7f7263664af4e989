#include "platform/linux/mozillapreferences.h"

#include "base/foreignfile.h"

#include <QDir>
#include <QRegularExpression>

namespace vellumite {

namespace {

std::optional<qint64> integerPreferenceIn(const QString &fileName, QStringView name)
{
    const ForeignFileRead file = readForeignFile(fileName, MaximumPreferenceFileSize);
    if (!file.ok())
        return std::nullopt;
    const QString text = QString::fromUtf8(file.bytes);
    const QRegularExpression line(QStringLiteral(R"(^\s*user_pref\(\s*"%1"\s*,\s*(-?\d{1,18})\s*\)\s*;)")
                                      .arg(QRegularExpression::escape(name.toString())),
                                  QRegularExpression::MultilineOption);
    std::optional<qint64> value;
    for (const QRegularExpressionMatch &match : line.globalMatch(text))
        value = match.captured(1).toLongLong();
    return value;
}

} // namespace

std::optional<qint64> mozillaIntegerPreference(const QString &profileFolder, QStringView name)
{
    const QDir profile(profileFolder);
    if (std::optional<qint64> value = integerPreferenceIn(profile.filePath(QStringLiteral("user.js")), name))
        return value;
    return integerPreferenceIn(profile.filePath(QStringLiteral("prefs.js")), name);
}

} // namespace vellumite
