#include "platform/linux/showrequest.h"

#include <QTimer>
#include <sys/socket.h>
#include <unistd.h>

namespace vellumite {

namespace {

const QByteArray ShowRequest = QByteArrayLiteral("show\n");
const QByteArray ShownAnswer = QByteArrayLiteral("shown\n");
constexpr int ConnectTimeoutMs = 1000;
constexpr int AnswerTimeoutMs = 3000;
// A client that says nothing useful is dropped after this.
constexpr int ClientTimeoutMs = 5000;

// Whether the process at the other end of a connected local socket runs as this user.
bool peerIsThisUser(const QLocalSocket &socket)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size)
        == 0
        && peer.uid == ::getuid();
}

} // namespace

ShowRequestServer::ShowRequestServer(QObject *parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &ShowRequestServer::answer);
}

bool ShowRequestServer::listen(const QString &name, QLocalServer::SocketOptions options)
{
    m_server->setSocketOptions(options);
    // Only called by the instance that holds the lock the name belongs to: a socket file left here is
    // one of an instance that has died.
    if (!options.testFlag(QLocalServer::AbstractNamespaceOption))
        QLocalServer::removeServer(name);
    return m_server->listen(name);
}

void ShowRequestServer::answer()
{
    while (QLocalSocket *client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        if (!peerIsThisUser(*client)) {
            client->abort();
            continue;
        }
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

ShowAnswer askToShow(const QString &name, QLocalSocket::SocketOptions options)
{
    QLocalSocket socket;
    socket.setSocketOptions(options);
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return ShowAnswer::NoAnswer;
    if (!peerIsThisUser(socket))
        return ShowAnswer::OtherUser;
    socket.write(ShowRequest);
    if (!socket.waitForBytesWritten(ConnectTimeoutMs))
        return ShowAnswer::NoAnswer;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerTimeoutMs))
            return ShowAnswer::NoAnswer;
    }
    return socket.readLine() == ShownAnswer ? ShowAnswer::Shown : ShowAnswer::NoAnswer;
}

} // namespace vellumite
