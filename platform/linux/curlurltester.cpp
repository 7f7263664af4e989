#include "platform/linux/curlurltester.h"

#include <QByteArrayView>
#include <curl/curl.h>
#include <memory>

namespace vellumite {

namespace {

// libcurl's global state is set up once, before any worker thread makes a request.
void initialiseCurlOnce()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

struct EasyDeleter
{
    void operator()(CURL *easy) const { curl_easy_cleanup(easy); }
};
struct HeaderListDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

// The statuses a browser follows to the address in "Location".
bool isFollowedRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

struct HeaderWatch
{
    CURL *easy = nullptr;
    // libcurl answers a 401 itself when the address holds a login: that answer is not the final one.
    bool loginAnswersChallenge = false;
    // The "Location" of the answer last received, as the server wrote it.
    QByteArray location;
};

// Each header line of each answer; the blank line ends an answer's headers. Once they are in for the
// final answer, its status is known and the transfer ends: a server that sends its body late, or never,
// cannot make a live page look dead.
size_t endAtFinalHeaders(char *data, size_t size, size_t count, void *watchData)
{
    const size_t length = size * count;
    auto &watch = *static_cast<HeaderWatch *>(watchData);
    const QByteArrayView line(data, static_cast<qsizetype>(length));
    if (line.startsWith("HTTP/"))
        watch.location.clear();
    else if (line.size() > 9 && qstrnicmp(line.data(), "location:", 9) == 0)
        watch.location = line.sliced(9).trimmed().toByteArray();
    const bool blankLine = !line.isEmpty() && line.size() <= 2 && (line[0] == '\r' || line[0] == '\n');
    if (!blankLine)
        return length;
    long status = 0;
    curl_easy_getinfo(watch.easy, CURLINFO_RESPONSE_CODE, &status);
    // An interim answer (100 Continue and the like): the final one follows on the same request.
    if (status < 200)
        return length;
    if (status == 401 && watch.loginAnswersChallenge)
        return length;
    return 0;
}

struct UrlDeleter
{
    void operator()(CURLU *url) const { curl_url_cleanup(url); }
};

// The absolute address a "Location" value names, read against the address that was requested; empty
// when it names none.
QByteArray resolveLocation(const QByteArray &requested, const QByteArray &location)
{
    const std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, requested.constData(), 0) != CURLUE_OK)
        return {};
    // As a browser does, blanks and bytes beyond ASCII in the target are percent-encoded.
    if (curl_url_set(url.get(), CURLUPART_URL, location.constData(), CURLU_URLENCODE | CURLU_ALLOW_SPACE)
        != CURLUE_OK)
        return {};
    char *resolved = nullptr;
    if (curl_url_get(url.get(), CURLUPART_URL, &resolved, 0) != CURLUE_OK)
        return {};
    QByteArray result(resolved);
    curl_free(resolved);
    return result;
}

// A body reaches here only where the headers did not end the transfer (a 401 that libcurl did not
// answer): its status is final too.
size_t stopAtBody(char *, size_t, size_t, void *)
{
    return 0;
}

// Called by libcurl about once a second even while nothing arrives, so an abort is seen promptly.
int abortWhenAsked(void *flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const AbortFlag *>(flag)->load() ? 1 : 0;
}

} // namespace

CurlUrlTester::CurlUrlTester(UrlTestTimeouts timeouts)
    : m_timeouts(timeouts)
{
    initialiseCurlOnce();
}

bool CurlUrlTester::IsUrlAlive(const QByteArray &url, const AbortFlag &abort) const
{
    std::optional<QByteArray> address = requestAddress(url);
    // Redirects are followed here, not by libcurl, so that each answer ends at its headers.
    for (long redirects = 0; address && !abort.load(); ++redirects) {
        const Answer answer = request(*address, abort);
        if (!answer.received)
            return false;
        if (!answer.redirect)
            return answer.status == 200 || answer.status == 302;
        if (redirects == MaxRedirects || !isRequestableUrl(*answer.redirect))
            return false;
        address = answer.redirect;
    }
    return false;
}

CurlUrlTester::Answer CurlUrlTester::request(const QByteArray &url, const AbortFlag &abort) const
{
    const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy)
        return {};
    std::unique_ptr<curl_slist, HeaderListDeleter> headers(
        curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (headers)
        headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));

    CURL *h = easy.get();
    HeaderWatch watch;
    watch.easy = h;
    watch.loginAnswersChallenge = hasLogin(url);
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_USERAGENT, UserAgent);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    // With more than one method allowed libcurl asks the server first and never sends a login unasked.
    // Methods that would hand over the system's own credentials (Negotiate) are not offered.
    if (watch.loginAnswersChallenge)
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(m_timeouts.connect.count()));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>(m_timeouts.silence.count()));
    // Worker threads must not get the alarm signal libcurl would use for name look-ups.
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // A proxy's answer to CONNECT is not the server's.
    curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, endAtFinalHeaders);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &watch);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, stopAtBody);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, abortWhenAsked);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, const_cast<AbortFlag *>(&abort));

    // The callbacks end the transfer with a write error once the status is final.
    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK && code != CURLE_WRITE_ERROR)
        return {};
    Answer answer;
    if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer.status) != CURLE_OK || answer.status < 200)
        return {};
    answer.received = true;
    if (isFollowedRedirect(answer.status) && !watch.location.isEmpty())
        answer.redirect = resolveLocation(url, watch.location);
    return answer;
}

} // namespace vellumite
