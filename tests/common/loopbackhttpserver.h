#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for the link tests and benchmarks: one thread accepts, one
// thread serves each connection, every connection is closed after its answer.

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QStringBuilder>
#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vellumite::testhttp {

struct Request
{
    QByteArray method;
    QByteArray target;
    QByteArray userAgent;
    QByteArrayList headers;

    // The value of the header `name` (in any case), empty when the request has none.
    QByteArray header(const QByteArray &name) const
    {
        const QByteArray prefix = name.toLower() + ':';
        for (const QByteArray &line : headers) {
            if (line.toLower().startsWith(prefix))
                return line.mid(prefix.size()).trimmed();
        }
        return {};
    }
};

// What one route answers: a whole response, or a stall (what `response` holds is sent, then nothing more,
// so the client waits for the rest), or a body streamed until the client goes away.
struct Answer
{
    enum class Kind { Whole, Stall, EndlessBody } kind = Kind::Whole;
    QByteArray response;

    // The headers of an answer whose body of 1,000 bytes never comes.
    static Answer lateBody(int code, const QByteArray &extraHeaders = {})
    {
        return { Kind::Stall,
                 "HTTP/1.1 " + QByteArray::number(code) + " Status\r\n" + extraHeaders
                     + "Content-Length: 1000\r\n\r\n" };
    }

    static Answer status(int code, const QByteArray &extraHeaders = {})
    {
        return { Kind::Whole,
                 "HTTP/1.1 " + QByteArray::number(code) + " Status\r\n" + extraHeaders
                     + "Content-Length: 0\r\nConnection: close\r\n\r\n" };
    }
    static Answer redirect(int code, const QByteArray &location)
    {
        return status(code, "Location: " + location + "\r\n");
    }
};

class LoopbackHttpServer
{
public:
    using Router = std::function<Answer(const Request &)>;

    explicit LoopbackHttpServer(Router router)
        : m_router(std::move(router))
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
            || ::listen(m_listen, 128) != 0
            || ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
            ::close(m_listen);
            m_listen = -1;
            return;
        }
        m_port = ntohs(address.sin_port);
        m_acceptor = std::thread([this] { acceptLoop(); });
    }

    ~LoopbackHttpServer()
    {
        m_stopping = true;
        if (m_acceptor.joinable())
            m_acceptor.join();
        const std::lock_guard lock(m_mutex);
        for (std::thread &t : m_connections)
            t.join();
        if (m_listen >= 0)
            ::close(m_listen);
    }

    bool isListening() const { return m_listen >= 0; }
    quint16 port() const { return m_port; }
    QByteArray url(const QByteArray &path) const
    {
        return "http://127.0.0.1:" + QByteArray::number(m_port) + path;
    }

    QList<Request> requests() const
    {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }
    // Body bytes written by the endless routes.
    qint64 bodyBytesSent() const { return m_bodyBytes; }

    // A port on which nothing listens: bound once, then closed.
    static quint16 closedPort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
        ::close(fd);
        return ntohs(address.sin_port);
    }

private:
    // Waits until `fd` is readable or the server stops; false when it stops.
    bool waitReadable(int fd)
    {
        pollfd p { fd, POLLIN, 0 };
        while (!m_stopping) {
            if (::poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }

    void acceptLoop()
    {
        while (waitReadable(m_listen)) {
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0)
                continue;
            const std::lock_guard lock(m_mutex);
            m_connections.emplace_back([this, fd] { serve(fd); });
        }
    }

    static Request parse(const QByteArray &head)
    {
        Request request;
        const QByteArrayList lines = head.split('\n');
        const QByteArrayList first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            if (line.isEmpty())
                continue;
            request.headers.append(line);
            if (line.toLower().startsWith("user-agent:"))
                request.userAgent = line.mid(11).trimmed();
        }
        return request;
    }

    void serve(int fd)
    {
        QByteArray head;
        char buffer[4096];
        while (!head.contains("\r\n\r\n") && waitReadable(fd)) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            head.append(buffer, n);
        }
        if (head.contains("\r\n\r\n")) {
            const Request request = parse(head.left(head.indexOf("\r\n\r\n")));
            {
                const std::lock_guard lock(m_mutex);
                m_requests.append(request);
            }
            answer(fd, m_router(request));
        }
        ::close(fd);
    }

    void answer(int fd, const Answer &reply)
    {
        switch (reply.kind) {
        case Answer::Kind::Whole:
            ::send(fd, reply.response.constData(), static_cast<size_t>(reply.response.size()), MSG_NOSIGNAL);
            return;
        case Answer::Kind::Stall:
            ::send(fd, reply.response.constData(), static_cast<size_t>(reply.response.size()), MSG_NOSIGNAL);
            // Until the client gives up (readable at its end of file) or the server stops.
            waitReadable(fd);
            return;
        case Answer::Kind::EndlessBody: {
            const QByteArray headers = "HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n";
            ::send(fd, headers.constData(), static_cast<size_t>(headers.size()), MSG_NOSIGNAL);
            const QByteArray chunk(64 * 1024, 'x');
            while (!m_stopping && m_bodyBytes < 1073741824) {
                const ssize_t n
                    = ::send(fd, chunk.constData(), static_cast<size_t>(chunk.size()), MSG_NOSIGNAL);
                if (n <= 0)
                    return;
                m_bodyBytes += n;
            }
            return;
        }
        }
    }

    Router m_router;
    int m_listen = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping { false };
    std::atomic<qint64> m_bodyBytes { 0 };
    std::thread m_acceptor;
    mutable std::mutex m_mutex;
    std::vector<std::thread> m_connections;
    QList<Request> m_requests;
};

} // namespace vellumite::testhttp
