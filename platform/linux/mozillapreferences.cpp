#include "platform/linux/mozillapreferences.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace vellumite {

namespace {

std::optional<qint64> integerPreferenceIn(const QString &fileName, QStringView name)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaximumPreferenceFileSize)
        return std::nullopt;
    const QString text = QString::fromUtf8(file.read(MaximumPreferenceFileSize));
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
