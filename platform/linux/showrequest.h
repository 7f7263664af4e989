#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>

namespace vellumite {

// The exchange by which a later start asks a running instance to show its window: it connects, sends
// "show", and the instance answers "shown" once it has done so. Only processes of the same user take
// part: each side checks who is at the other end of the socket.
class ShowRequestServer : public QObject
{
    Q_OBJECT

public:
    explicit ShowRequestServer(QObject *parent = nullptr);

    // Listens on `name` (a socket file is replaced, an abstract name must be free).
    bool listen(const QString &name, QLocalServer::SocketOptions options);
    bool isListening() const { return m_server->isListening(); }

signals:
    void showRequested();

private:
    void answer();

    QLocalServer *m_server;
};

enum class ShowAnswer {
    Shown,
    // Nobody listens, or the listener did not answer in time.
    NoAnswer,
    // The listener belongs to another user.
    OtherUser,
};
// Asks the instance listening on `name`; blocks a few seconds at most.
ShowAnswer askToShow(const QString &name, QLocalSocket::SocketOptions options);

} // namespace vellumite
