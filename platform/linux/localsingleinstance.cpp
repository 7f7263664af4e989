#include "platform/linux/localsingleinstance.h"

#include "platform/linux/showrequest.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

// "Vellumite Portable Edition" -> "vellumite-portable-edition-1000" for user 1000.
QString instanceName(const QString &applicationTitle)
{
    QString name;
    for (const QChar c : applicationTitle.toLower())
        name += (c.isLetterOrNumber() && c.unicode() < 128) ? c : u'-';
    return name + u'-' + QString::number(::getuid());
}

} // namespace

LocalSingleInstance::LocalSingleInstance(const QString &applicationTitle, const QString &folder,
                                         QObject *parent)
    : SingleInstance(parent)
{
    QString base = folder;
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    m_basePath = QDir(base).filePath(instanceName(applicationTitle));
}

LocalSingleInstance::~LocalSingleInstance() = default;

QString LocalSingleInstance::lockFilePath() const
{
    return m_basePath + u".lock"_s;
}

QString LocalSingleInstance::serverPath() const
{
    return m_basePath + u".socket"_s;
}

bool LocalSingleInstance::tryBecomeFirst()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(lockFilePath());
    // The first instance may run for days: its lock must never turn stale by age, only when its
    // process is gone.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

bool LocalSingleInstance::askFirstToShow()
{
    return askToShow(serverPath(), QLocalSocket::NoOptions) == ShowAnswer::Shown;
}

bool LocalSingleInstance::startListening()
{
    if (!m_lock || !m_lock->isLocked())
        return false;
    if (m_server)
        return m_server->isListening();
    m_server = new ShowRequestServer(this);
    connect(m_server, &ShowRequestServer::showRequested, this, &SingleInstance::showRequested);
    return m_server->listen(serverPath(), QLocalServer::UserAccessOption);
}

} // namespace vellumite
