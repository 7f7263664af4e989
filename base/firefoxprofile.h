#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace vellumite {

class FileLookup;

// A folder where one kind of Firefox install keeps its profile list (profiles.ini).
struct FirefoxProfileRoot
{
    QString folder;
    // The Firefox that was asked about is of the kind that keeps its profiles here.
    bool ofFoundInstall = false;
};

// A profile of the user's Firefox.
struct FirefoxProfile
{
    // Empty when no profile list exists.
    QString folder;
    // The version of the Firefox that last opened the profile ("153.8.0" of compatibility.ini's
    // LastVersion=153.8.0_20261117185949/20261117185949); empty when the profile does not say.
    QString lastVersion;
};

// One profile list (profiles.ini) and the folder that holds it and installs.ini.
struct FirefoxProfileList
{
    QString file;
    QString folder;
    bool ofFoundInstall = false;
};

// Reads Firefox's profile lists: the one rule by which the exchange and the capture know the user's
// profiles. Each list names its profile in use in this order: the profile that an install's section
// names ([Install<hash>] of the list, or a section of installs.ini beside it), where several installs
// name different ones the one last opened by the Firefox found; then the profile marked Default=1; then
// [Profile0]. Where several folders hold profile lists, the one of the kind of install found is taken,
// else the profile of theirs that was opened last.
//
// A profile counts as opened by the Firefox found when its compatibility.ini names `installFolder`
// (LastPlatformDir); otherwise the one whose lock file (.parentlock) or compatibility.ini was written
// last counts as opened last. In the Windows path style the only profile list is the one below
// `appData` and a profile's path is "Profiles/<name>" below the profiles folder; in the Linux style a
// relative path is relative to the list's folder and an absolute one stands.
class FirefoxProfileFinder
{
public:
    FirefoxProfileFinder(const FileLookup &files, QString appData, QString installFolder);

    // The profile lists that exist among `roots` (in the Windows style: below AppData).
    QList<FirefoxProfileList> existingLists(const QList<FirefoxProfileRoot> &roots) const;
    // The list's profile in use.
    QString profileInUse(const FirefoxProfileList &list) const;
    // Every profile folder the list names, each once: the one in use first, then the others in the
    // order of the list.
    QStringList listedProfiles(const FirefoxProfileList &list) const;
    // The one opened by the Firefox found, else the one opened last, else the first.
    QString lastOpened(const QStringList &folders) const;
    // The profile in use over all the lists, with the version that last opened it.
    FirefoxProfile find(const QList<FirefoxProfileRoot> &roots) const;

private:
    QChar separator() const;
    QString compatibility(const QString &folder, const QString &key) const;
    QString compatibilityFile(const QString &folder) const;
    QDateTime lastOpenedTime(const QString &folder) const;
    QStringList installDefaults(const FirefoxProfileList &list) const;
    QString profileFolder(const FirefoxProfileList &list, const QString &path) const;
    bool sameFolder(const QString &a, const QString &b) const;

    const FileLookup &m_files;
    QString m_appData;
    QString m_installFolder;
};

// The profile in use (FirefoxProfileFinder::find).
FirefoxProfile findFirefoxProfile(const FileLookup &files, const QString &appData,
                                  const QList<FirefoxProfileRoot> &roots, const QString &installFolder);

} // namespace vellumite
