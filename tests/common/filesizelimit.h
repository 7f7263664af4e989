#pragma once

#include <QtGlobal>
#include <csignal>
#include <sys/resource.h>

namespace vellumite::testfiles {

// Limits the size of the files this process writes while it lives; a write beyond the limit
// then fails (EFBIG) instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_set = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit limit = m_old;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        m_set = m_set && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_set)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isSet() const { return m_set; }

private:
    rlimit m_old {};
    bool m_set = false;
    void (*m_oldHandler)(int) = SIG_DFL;
};

} // namespace vellumite::testfiles
