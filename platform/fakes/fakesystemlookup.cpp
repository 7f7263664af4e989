#include "platform/fakes/fakesystemlookup.h"

#include <QRegularExpression>

namespace vellumite {

namespace {

QString iniKey(const QString &file, const QString &section, const QString &key)
{
    return file + u'\n' + section.toLower() + u'\n' + key.toLower();
}

} // namespace

void FakeSystemLookup::setRegistryString(RegistryRoot root, const QString &key, const QString &valueName,
                                         const QString &value)
{
    m_registry.append({ root, normalisedRegistryKey(key), valueName, value });
}

void FakeSystemLookup::addFile(const QString &path)
{
    m_files.insert(normalisedPath(path));
}

void FakeSystemLookup::setIniString(const QString &file, const QString &section, const QString &key,
                                    const QString &value)
{
    const QString normal = normalisedPath(file);
    m_ini.insert(iniKey(normal, section, key), value);
    QStringList &sections = m_iniSections[normal];
    if (!sections.contains(section, Qt::CaseInsensitive))
        sections.append(section);
}

void FakeSystemLookup::setEnvironment(const QString &name, const QString &value)
{
    m_environment.insert(name.toLower(), value);
}

QString FakeSystemLookup::readRegistryString(RegistryRoot root, const QString &key,
                                             const QString &valueName) const
{
    const QString normal = normalisedRegistryKey(key);
    for (const RegistryValue &v : m_registry) {
        if (v.root == root && v.key == normal && v.name.compare(valueName, Qt::CaseInsensitive) == 0)
            return v.value;
    }
    return {};
}

QStringList FakeSystemLookup::registrySubKeys(RegistryRoot root, const QString &key) const
{
    const QString prefix = normalisedRegistryKey(key) + u'\\';
    QStringList names;
    for (const RegistryValue &v : m_registry) {
        if (v.root != root || !v.key.startsWith(prefix))
            continue;
        const QString name = v.key.sliced(prefix.size()).section(u'\\', 0, 0);
        if (!names.contains(name))
            names << name;
    }
    return names;
}

QString FakeSystemLookup::expandEnvironment(const QString &text) const
{
    static const QRegularExpression reference(QStringLiteral("%([^%]+)%"));
    QString result;
    qsizetype done = 0;
    for (const QRegularExpressionMatch &m : reference.globalMatch(text)) {
        const auto value = m_environment.constFind(m.captured(1).toLower());
        if (value == m_environment.cend())
            continue;
        result += QStringView(text).sliced(done, m.capturedStart() - done) + *value;
        done = m.capturedEnd();
    }
    return result + QStringView(text).sliced(done);
}

bool FakeSystemLookup::fileExists(const QString &path) const
{
    return !path.isEmpty() && m_files.contains(normalisedPath(path));
}

QString FakeSystemLookup::readIniString(const QString &file, const QString &section, const QString &key) const
{
    return m_ini.value(iniKey(normalisedPath(file), section, key));
}

QStringList FakeSystemLookup::iniSections(const QString &file) const
{
    return m_iniSections.value(normalisedPath(file));
}

QDateTime FakeSystemLookup::lastModified(const QString &) const
{
    return {};
}

QList<FirefoxProfileRoot> FakeSystemLookup::firefoxProfileRoots(const QString &) const
{
    return {};
}

QString FakeSystemLookup::normalisedPath(const QString &path) const
{
    const QChar separator = m_style == PathStyle::Windows ? u'\\' : u'/';
    QString normal;
    for (QChar c : path) {
        if (c == separator && normal.endsWith(separator))
            continue;
        normal += c;
    }
    return m_style == PathStyle::Windows ? normal.toLower() : normal;
}

} // namespace vellumite
