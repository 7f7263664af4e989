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

QString readIniKey(const QString &file, QStringView section, QStringView key)
{
    QFile ini(file);
    if (!ini.open(QIODevice::ReadOnly))
        return {};
    // The small files read here (profile lists, application descriptions) are read whole.
    const QString text = QString::fromUtf8(ini.readAll());
    bool inSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            inSection
                = close > 0 && line.sliced(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(u';'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && line.first(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return unquoted(line.sliced(equals + 1).trimmed()).toString();
    }
    return {};
}

} // namespace vellumite
