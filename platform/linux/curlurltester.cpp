#include "platform/linux/curlurltester.h"

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

// The first body bytes mean the status is final (bodies of followed redirects never get here): stop.
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
    const QByteArray requestUrl = withHttpPrefix(url);
    if (!isRequestableUrl(requestUrl) || abort.load())
        return false;
    const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy)
        return false;
    std::unique_ptr<curl_slist, HeaderListDeleter> headers(
        curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (headers)
        headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));

    CURL *h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, requestUrl.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_USERAGENT, UserAgent);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, MaxRedirects);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(m_timeouts.connect.count()));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>(m_timeouts.silence.count()));
    // Worker threads must not get the alarm signal libcurl would use for name look-ups.
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, stopAtBody);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, abortWhenAsked);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, const_cast<AbortFlag *>(&abort));

    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK && code != CURLE_WRITE_ERROR)
        return false;
    long status = 0;
    if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        return false;
    return status == 200 || status == 302;
}

} // namespace vellumite
