#include "platform/linux/curlurltester.h"
#include "tests/common/loopbackhttpserver.h"

#include <QElapsedTimer>
#include <QTest>
#include <thread>

using namespace vellumite;
using namespace vellumite::testhttp;

namespace {

Answer route(const Request &request)
{
    const QByteArray &path = request.target;
    if (path == "/ok")
        return Answer::status(200);
    if (path == "/found-nowhere")
        return Answer::status(302);
    if (path == "/moved-to-missing")
        return Answer::redirect(301, "/missing");
    if (path == "/found-to-ok")
        return Answer::redirect(302, "/ok");
    if (path == "/forbidden")
        return Answer::status(403);
    if (path == "/loop")
        return Answer::redirect(302, "/loop");
    if (path == "/to-file")
        return Answer::redirect(302, "file:///etc/passwd");
    if (path == "/large")
        return { Answer::Kind::EndlessBody, {} };
    if (path == "/stall")
        return { Answer::Kind::Stall, {} };
    return Answer::status(404);
}

} // namespace

// The HTTP test against a server on the loopback address.
class TestIsUrlAlive : public QObject
{
    Q_OBJECT

private:
    LoopbackHttpServer m_server { route };
    // Short enough that a stall costs the suite a second, not twenty.
    CurlUrlTester m_tester { UrlTestTimeouts { std::chrono::seconds(2), std::chrono::seconds(1) } };
    AbortFlag m_noAbort { false };

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        // The loopback server must be reached directly, whatever proxy the machine names.
        for (const char *name :
             { "http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY" })
            qunsetenv(name);
    }

    void finalStatus_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("alive");
        QTest::newRow("200") << QByteArray("/ok") << true;
        QTest::newRow("302 without Location stays 302") << QByteArray("/found-nowhere") << true;
        QTest::newRow("301 to 404") << QByteArray("/moved-to-missing") << false;
        QTest::newRow("302 to 200") << QByteArray("/found-to-ok") << true;
        QTest::newRow("403") << QByteArray("/forbidden") << false;
        QTest::newRow("404") << QByteArray("/missing") << false;
        QTest::newRow("redirect loop") << QByteArray("/loop") << false;
        QTest::newRow("redirect to a local file is refused") << QByteArray("/to-file") << false;
    }
    void finalStatus()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, alive);
        QCOMPARE(m_tester.IsUrlAlive(m_server.url(path), m_noAbort), alive);
    }

    void requestIsAPlainGetWithTheProgramsAgent()
    {
        const qsizetype before = m_server.requests().size();
        QVERIFY(m_tester.IsUrlAlive(m_server.url("/ok"), m_noAbort));
        const QList<Request> requests = m_server.requests();
        QCOMPARE(requests.size(), before + 1);
        const Request &request = requests.last();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/ok"));
        QCOMPARE(request.userAgent, QByteArray("InetURL:/1.0"));
        QVERIFY(request.headers.contains("Cache-Control: no-cache"));
    }

    void redirectsStopAfterTen()
    {
        const qsizetype before = m_server.requests().size();
        QVERIFY(!m_tester.IsUrlAlive(m_server.url("/loop"), m_noAbort));
        QCOMPARE(m_server.requests().size() - before, 1 + CurlUrlTester::MaxRedirects);
    }

    void largeBodyIsNotRead()
    {
        QVERIFY(m_tester.IsUrlAlive(m_server.url("/large"), m_noAbort));
        // The server could only fill the socket buffers before the client hung up.
        QVERIFY2(m_server.bodyBytesSent() < 64 * 1024 * 1024, QByteArray::number(m_server.bodyBytesSent()));
    }

    void closedPortIsBroken()
    {
        const QByteArray url
            = "http://127.0.0.1:" + QByteArray::number(LoopbackHttpServer::closedPort()) + "/";
        QVERIFY(!m_tester.IsUrlAlive(url, m_noAbort));
    }

    void silentServerTimesOut()
    {
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!m_tester.IsUrlAlive(m_server.url("/stall"), m_noAbort));
        QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()));
    }

    void abortEndsAStalledRequest()
    {
        // With the program's own time-outs the stall would last twenty seconds.
        const CurlUrlTester patient;
        AbortFlag abort { false };
        bool alive = true;
        std::thread worker([&] { alive = patient.IsUrlAlive(m_server.url("/stall"), abort); });
        QTest::qWait(300);
        QElapsedTimer clock;
        clock.start();
        abort = true;
        worker.join();
        QVERIFY(!alive);
        QVERIFY2(clock.elapsed() < 3000, QByteArray::number(clock.elapsed()));
    }

    void environmentProxyIsUsed()
    {
        // The loopback server plays the proxy: it is asked for the absolute address.
        qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(m_server.port()));
        const bool alive = m_tester.IsUrlAlive("http://proxied.invalid/ok", m_noAbort);
        qunsetenv("http_proxy");
        QVERIFY(!alive); // the proxy answers 404 for the absolute target
        QCOMPARE(m_server.requests().last().target, QByteArray("http://proxied.invalid/ok"));
    }

    void prefixRule_data()
    {
        QTest::addColumn<QByteArray>("link");
        QTest::addColumn<QByteArray>("requested");
        QTest::addColumn<bool>("requestable");
        QTest::newRow("no scheme") << QByteArray("www.example.com") << QByteArray("http://www.example.com")
                                   << true;
        QTest::newRow("http kept") << QByteArray("http://a.test/") << QByteArray("http://a.test/") << true;
        QTest::newRow("upper-case HTTPS kept")
            << QByteArray("HTTPS://A.test/Path") << QByteArray("HTTPS://A.test/Path") << true;
        QTest::newRow("http only in the path")
            << QByteArray("www.a.test/http-page") << QByteArray("www.a.test/http-page") << false;
        QTest::newRow("file scheme") << QByteArray("file:///etc/passwd")
                                     << QByteArray("http://file:///etc/passwd") << true;
        QTest::newRow("file scheme with http in it")
            << QByteArray("file:///tmp/http") << QByteArray("file:///tmp/http") << false;
        QTest::newRow("ftp with http in it")
            << QByteArray("ftp://a.test/http") << QByteArray("ftp://a.test/http") << false;
        QTest::newRow("gopher with http in it")
            << QByteArray("gopher://a.test/http") << QByteArray("gopher://a.test/http") << false;
        QTest::newRow("line break") << QByteArray("http://a.test/\r\nX: y")
                                    << QByteArray("http://a.test/\r\nX: y") << false;
        QTest::newRow("empty") << QByteArray() << QByteArray("http://") << true;
    }
    void prefixRule()
    {
        QFETCH(QByteArray, link);
        QFETCH(QByteArray, requested);
        QFETCH(bool, requestable);
        QCOMPARE(withHttpPrefix(link), requested);
        QCOMPARE(isRequestableUrl(withHttpPrefix(link)), requestable);
    }

    void unrequestableAddressIsBrokenUntried()
    {
        const qsizetype before = m_server.requests().size();
        QVERIFY(!m_tester.IsUrlAlive("file:///etc/http", m_noAbort));
        QVERIFY(
            !m_tester.IsUrlAlive("127.0.0.1:" + QByteArray::number(m_server.port()) + "/http", m_noAbort));
        QCOMPARE(m_server.requests().size(), before);
    }

    void linkWithoutSchemeIsRequestedOverHttp()
    {
        QVERIFY(m_tester.IsUrlAlive("127.0.0.1:" + QByteArray::number(m_server.port()) + "/ok", m_noAbort));
    }
};

QTEST_GUILESS_MAIN(TestIsUrlAlive)
#include "tst_isurlalive.moc"
