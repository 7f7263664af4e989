#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vellumite::testfiles {

// While it lives, file permissions stop the calling thread as they stop an ordinary user, also when the
// tests run as root: the capabilities that pass over them are lowered in the thread's effective set and
// raised again at the end. Other threads keep theirs, so only code that runs on this thread is stopped.
// isSet() is false where the capabilities cannot be changed.
class PermissionsApply
{
public:
    PermissionsApply()
    {
        if (::geteuid() != 0) {
            m_set = true;
            return;
        }
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = { m_saved[0], m_saved[1] };
        lowered[0].effective
            &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_lowered = ::syscall(SYS_capset, &m_header, lowered) == 0;
        m_set = m_lowered;
    }
    ~PermissionsApply()
    {
        if (m_lowered)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    PermissionsApply(const PermissionsApply &) = delete;
    PermissionsApply &operator=(const PermissionsApply &) = delete;
    bool isSet() const { return m_set; }

private:
    __user_cap_header_struct m_header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_saved[2] {};
    bool m_lowered = false;
    bool m_set = false;
};

} // namespace vellumite::testfiles
