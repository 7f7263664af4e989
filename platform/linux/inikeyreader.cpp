#include "platform/linux/inikeyreader.h"

#include <QFile>

namespace vellumite {

namespace {

QStringView unquoted(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

QString readIniKey(const QString &file, QStringView section, QStringView key, IniDialect dialect)
{
    QFile ini(file);
    if (!ini.open(QIODevice::ReadOnly))
        return {};
    const Qt::CaseSensitivity names
        = dialect == IniDialect::Profile ? Qt::CaseInsensitive : Qt::CaseSensitive;
    // The small files read here (profile lists, application and desktop entries) are read whole.
    const QString text = QString::fromUtf8(ini.readAll());
    bool inSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            inSection = close > 0 && line.sliced(1, close - 1).trimmed().compare(section, names) == 0;
            continue;
        }
        if (!inSection || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || line.first(equals).trimmed().compare(key, names) != 0)
            continue;
        const QStringView value = line.sliced(equals + 1).trimmed();
        return (dialect == IniDialect::Profile ? unquoted(value) : value).toString();
    }
    return {};
}

} // namespace vellumite
