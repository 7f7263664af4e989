#pragma once

#include "platform/systemlookup.h"

#include <QHash>
#include <QList>
#include <QSet>

namespace vellumite {

// Look-ups answered from tables that a test fills: registry values (sub-keys are listed in the order
// their first value was set), existing files, INI keys (sections listed in the order their first key
// was set), environment variables, the Favorites folder and the default browser; no file has a time and
// there are no Firefox profile roots (the profile list of the Windows style lies below AppData). In the
// Windows style, paths compare without regard to case and with runs of separators taken as one, as the
// Windows file functions take them.
class FakeSystemLookup final : public SystemLookup
{
public:
    explicit FakeSystemLookup(PathStyle style = PathStyle::Windows)
        : m_style(style)
    { }

    void setPathStyle(PathStyle style) { m_style = style; }
    void setRegistryString(RegistryRoot root, const QString &key, const QString &valueName,
                           const QString &value);
    void addFile(const QString &path);
    void setIniString(const QString &file, const QString &section, const QString &key, const QString &value);
    void setEnvironment(const QString &name, const QString &value);
    void setFavoritesFolder(const QString &folder) { m_favorites = folder; }
    void setDefaultBrowser(const QString &path) { m_defaultBrowser = path; }

    PathStyle pathStyle() const override { return m_style; }
    QString readRegistryString(RegistryRoot root, const QString &key,
                               const QString &valueName) const override;
    QStringList registrySubKeys(RegistryRoot root, const QString &key) const override;
    QString favoritesFolder() const override { return m_favorites; }
    QString defaultBrowser() const override { return m_defaultBrowser; }
    QString expandEnvironment(const QString &text) const override;
    bool fileExists(const QString &path) const override;
    QString readIniString(const QString &file, const QString &section, const QString &key) const override;
    QStringList iniSections(const QString &file) const override;
    QDateTime lastModified(const QString &path) const override;
    QList<FirefoxProfileRoot> firefoxProfileRoots(const QString &firefoxExecutable) const override;

private:
    struct RegistryValue
    {
        RegistryRoot root;
        QString key; // normalised
        QString name;
        QString value;
    };

    QString normalisedPath(const QString &path) const;

    PathStyle m_style;
    QList<RegistryValue> m_registry;
    QSet<QString> m_files;
    QHash<QString, QString> m_ini;
    QHash<QString, QStringList> m_iniSections; // by normalised file
    QHash<QString, QString> m_environment;
    QString m_favorites;
    QString m_defaultBrowser;
};

} // namespace vellumite
