#include "platform/linux/localsingleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

const QByteArray ShowRequest = QByteArrayLiteral("show\n");
const QByteArray ShownAnswer = QByteArrayLiteral("shown\n");
constexpr int ConnectTimeoutMs = 1000;
constexpr int AnswerTimeoutMs = 3000;
// A client that says nothing useful is dropped after this.
constexpr int ClientTimeoutMs = 5000;

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
    QLocalSocket socket;
    socket.connectToServer(serverPath());
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(ShowRequest);
    if (!socket.waitForBytesWritten(ConnectTimeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerTimeoutMs))
            return false;
    }
    return socket.readLine() == ShownAnswer;
}

bool LocalSingleInstance::startListening()
{
    if (!m_lock || !m_lock->isLocked())
        return false;
    if (m_server)
        return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left here belongs to an instance that has died.
    QLocalServer::removeServer(serverPath());
    connect(m_server, &QLocalServer::newConnection, this, &LocalSingleInstance::answer);
    return m_server->listen(serverPath());
}

void LocalSingleInstance::answer()
{
    while (QLocalSocket *client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        QTimer::singleShot(ClientTimeoutMs, client, [client] { client->abort(); });
        const auto handleRequest = [this, client] {
            if (!client->canReadLine()) {
                if (client->bytesAvailable() > ShowRequest.size())
                    client->abort();
                return;
            }
            if (client->readLine() == ShowRequest) {
                emit showRequested();
                client->write(ShownAnswer);
                client->flush();
            }
            client->disconnectFromServer();
        };
        connect(client, &QLocalSocket::readyRead, this, handleRequest);
        if (client->bytesAvailable() > 0)
            handleRequest();
    }
}

} // namespace vellumite
